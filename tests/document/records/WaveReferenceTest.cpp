// Wave references: the caption rules, equality by name, the lookup of the named document through
// the main window's finder, and reading and showing a dialog's wave list.

#include "document/records/WaveReference.h"
#include "platform/test/ScriptedMessages.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <vector>

namespace kelvorn {
namespace {

// Documents the references point at; the reference only passes the pointers on, so distinct
// addresses stand in for open wave documents.
std::array<char, 3> documentSlots;
TUnitWave* Document(int i)
{
    return reinterpret_cast<TUnitWave*>(&documentSlots[static_cast<size_t>(i)]);
}

class FakeFinder : public WaveDocumentFinder
{
public:
    TUnitWave* FindUnitWave(const std::string& name) override
    {
        asked.push_back(name);
        auto it = open.find(name);
        return it == open.end() ? nullptr : it->second;
    }
    std::map<std::string, TUnitWave*> open;
    std::vector<std::string> asked;
};

TEST(WaveReference, CaptionIsTrimmedAtTheEndsAloneMakesEqualityAndFindsTheWave)
{
    // Above the blank (0xA0) is kept.
    // clang-format off
    for (const auto& [given, kept] : std::vector<std::pair<std::string, std::string>>{
             {"  Wave 1  ", "Wave 1"}, {"\t\r\nWave\x1f", "Wave"}, {"Wave  two", "Wave  two"},
             {"   ", ""}, {"", ""}, {"\xa0Latin\xa0", "\xa0Latin\xa0"},
             {std::string("\0x\0", 3), "x"}}) {
        // clang-format on
        const unitUnitWave reference(given);
        EXPECT_EQ(reference.GetCaption(), kept);
        EXPECT_EQ(reference.GetUnitWave(), nullptr);
    }
    unitUnitWave set;
    EXPECT_TRUE(set.SetCaption(" padded "));
    EXPECT_EQ(set.GetCaption(), " padded ") << "set as it is";
    // Equality compares captions only.
    unitUnitWave a;
    unitUnitWave b;
    a.Set("Wave", Document(0));
    b.Set("Wave", Document(1));
    EXPECT_TRUE(a == b);
    b.Set("wave", Document(0));
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a != b);
    EXPECT_TRUE(unitUnitWave() == unitUnitWave(" "));

    // FindUnitWave asks by caption and leaves the stored document, or says it is gone.
    FakeFinder finder;
    finder.open["Wave 1"] = Document(1);
    unitUnitWave reference;
    reference.Set("Wave 1", Document(0));
    std::string message = "kept";
    EXPECT_EQ(reference.FindUnitWave(finder, message), Document(1));
    EXPECT_EQ(message, "kept");
    EXPECT_EQ(reference.GetUnitWave(), Document(0));
    EXPECT_EQ(finder.asked, std::vector<std::string>{"Wave 1"});

    // Not open: the message is appended.
    const unitUnitWave gone("Gone");
    message = "Envelope: ";
    EXPECT_EQ(gone.FindUnitWave(finder, message), nullptr);
    EXPECT_EQ(message, "Envelope: Cannot find window \"Gone\".");

    // The name is exact: another case is another wave.
    const unitUnitWave other("wave 1");
    message.clear();
    EXPECT_EQ(other.FindUnitWave(finder, message), nullptr);
    EXPECT_EQ(message, "Cannot find window \"wave 1\".");
}

TEST(WaveReference, ReadWaveChoiceTakesTheSelectionOrEmptiesAndReports)
{
    ScriptedMessages messages;
    messages.Expect();
    unitUnitWave reference;
    reference.Set("Old", Document(0));
    bool ok = true;
    reference.ReadWaveChoice(ok, nullptr, "Envelope");
    EXPECT_FALSE(ok);
    EXPECT_TRUE(reference.IsEmpty());
    EXPECT_EQ(reference.GetUnitWave(), nullptr);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text, "In Envelope: You have to select a Wave");
    EXPECT_EQ(messages.Shown()[0].caption, "Input Error");
    EXPECT_EQ(messages.Shown()[0].icon, MsgIcon::Information);
    EXPECT_EQ(messages.Shown()[0].buttons, MsgButtons::Ok);

    // A second reference after the first failure is not read and shows nothing.
    unitUnitWave second;
    second.Set("Keep", Document(1));
    const WaveChoice choice{"New", Document(2)};
    second.ReadWaveChoice(ok, &choice, "Second");
    second.ReadWaveChoice(ok, nullptr, "Second");
    EXPECT_EQ(second.GetCaption(), "Keep");
    EXPECT_EQ(second.GetUnitWave(), Document(1));
    EXPECT_EQ(messages.Shown().size(), 1u);
    EXPECT_TRUE(messages.Unexpected().empty());

    ok = true;
    second.ReadWaveChoice(ok, &choice, "Second");
    EXPECT_TRUE(ok);
    EXPECT_EQ(second.GetCaption(), "New");
    EXPECT_EQ(second.GetUnitWave(), Document(2));

    // FindWaveChoice selects the caption or keeps the selection.
    const std::vector<std::string> list = {"Wave 1", "Wave 2", "wave 2"}; // "" or closed: unchanged
    EXPECT_EQ(unitUnitWave("Wave 2").FindWaveChoice(list, -1), 1);
    EXPECT_EQ(unitUnitWave("wave 2").FindWaveChoice(list, 0), 2);
    EXPECT_EQ(unitUnitWave().FindWaveChoice(list, 1), 1);
    EXPECT_EQ(unitUnitWave("Closed").FindWaveChoice(list, -1), -1);
    EXPECT_EQ(unitUnitWave("Closed").FindWaveChoice({}, 0), 0);
}

} // namespace
} // namespace kelvorn
