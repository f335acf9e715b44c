// The document services of the main window and the document windows they manage.
#include "ShellSupport.h"

#include "document/wave/UndoUnit.h"

#include <QPointer>
#include <QSignalSpy>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

/// A wave window whose panes draw the wave called envelope behind their own.
class EnvelopeWindow final : public TMDIChildKelvorn
{
public:
    std::string envelope;
    int repaints = 0;

    bool DrawsEnvelopeOf(const std::string& name) const override { return name == envelope; }
    void RepaintEnvelopeViews() override { ++repaints; }
};

class DocumentServicesTest : public ShellTest
{
protected:
    DocumentServicesTest() : services((Start(), form->Documents())) {}

    EnvelopeWindow* OpenEnvelopeUser(const std::string& name, const std::string& envelope)
    {
        auto* window = new EnvelopeWindow;
        window->envelope = envelope;
        return Add(window, std::make_unique<TUnitWave>(name, std::string(), Values({})));
    }

    TDocumentServices& services;
};

// ---- Names ---------------------------------------------------------------------------------

TEST_F(DocumentServicesTest, UniqueNamesTakeTheSmallestFreeNumberOfTheWholeName)
{
    struct Row
    {
        std::vector<std::string> open;
        const char* base;
        const char* suffix;
        const char* expected;
    };
    const Row rows[] = {
        {{}, "Wave", "", "Wave 1"},
        {{"Wave 1", "Wave 3"}, "Wave", "", "Wave 2"},
        {{"Wave 1", "Copy 1 of Wave 1"}, "Copy", "of Wave 1", "Copy 2 of Wave 1"},
        {{"Copy 1"}, "Copy", "of Wave 1", "Copy 1 of Wave 1"},
        {{"Wave 1 of Music 1"}, "Wave", "of Music 1", "Wave 2 of Music 1"},
        {{"wave 1"}, "Wave", "", "Wave 1"},
        {{"Wave 2", "Wave 3", "Wave 4", "Wave 5", "Wave 6", "Wave 7", "Wave 8", "Wave 9"},
         "Wave",
         "",
         "Wave 1"},
        {{"Wave 1", "Wave 2", "Wave 3", "Wave 4", "Wave 5", "Wave 6", "Wave 7", "Wave 8", "Wave 9"},
         "Wave",
         "",
         "Wave 10"},
        // Names of every kind count as taken.
        {{"Music 1", "Music 2", "Music 3"}, "Music", "", "Music 4"},
    };
    for (const Row& row : rows) {
        for (size_t i = 0; i < row.open.size(); ++i) {
            if (i == 0)
                OpenMusic(row.open[i]);
            else if (i == 1)
                OpenFactory(row.open[i], 0);
            else
                OpenWave(row.open[i]);
        }
        EXPECT_EQ(services.MakeUniqueName(row.base, row.suffix), row.expected);
        for (QMdiSubWindow* window : form->Frame()->subWindowList())
            delete window;
    }
}

TEST_F(DocumentServicesTest, CheckUniqueNameAcceptsOrShowsOneBox)
{
    const char* const rows[][2] = {
        {"Wave 1", ""}, // its own name
        {"", ""},
        {"Wave 3", ""},
        {"wave 2", ""},
        {"Wave 2", "Error: A window with name \"Wave 2\" already exists."},
        {"Music 1", "Error: A window with name \"Music 1\" already exists."},
        {"a<b", "Input Error: A name may not contain \"<\" or \">\"."},
        {"Wave 1>", "Input Error: A name may not contain \"<\" or \">\"."},
    };
    TMDIChildKelvorn* first = OpenWave("Wave 1");
    OpenWave("Wave 2");
    OpenMusic("Music 1");
    for (const auto& row : rows) {
        messages.Clear();
        const bool accepted = !*row[1];
        if (!accepted)
            messages.Expect();
        EXPECT_EQ(services.CheckUniqueName(row[0], first->GetUnit()), accepted) << row[0];
        EXPECT_EQ(messages.Shown().size(), accepted ? 0u : 1u) << row[0];
        if (!accepted) {
            EXPECT_EQ(LastBox(), row[1]);
        }
    }
    EXPECT_TRUE(messages.Unexpected().empty());
}

TEST_F(DocumentServicesTest, WaveListsOfferTheNamedWavesByModeFromTheLeastRecentOn)
{
    OpenWave("Stereo 0", 2);
    TMDIChildKelvorn* monoActive = OpenWave("Mono A", 1);
    std::vector<WaveChoice> list;
    // Without another wave of its channels the list stays empty.
    EXPECT_EQ(services.FillWaveList(list, TDocumentServices::OtherMono), 0);
    OpenWave("Stereo B", 2);
    OpenWave("Mono C", 1);
    OpenWave("", 1);
    OpenMusic("Music 1");
    OpenWave("Stereo D", 2);
    form->Frame()->setActiveSubWindow(monoActive);
    const std::vector<std::string> expected[] = {
        {"Stereo 0", "Stereo B", "Mono C", "Stereo D", "Mono A"},
        {"Stereo 0", "Stereo B", "Mono C", "Stereo D"},
        {"Mono C"},
        {"Stereo 0", "Stereo B", "Stereo D"}};
    for (int mode = 0; mode < 4; ++mode) {
        list = {{"kept", nullptr}};
        EXPECT_EQ(services.FillWaveList(list, mode), int(expected[mode].size()));
        std::vector<std::string> captions;
        for (const WaveChoice& choice : list) {
            captions.push_back(choice.caption);
            if (choice.caption != "kept") {
                EXPECT_EQ(choice.unitWave, services.FindUnitWave(choice.caption));
            }
        }
        captions.erase(captions.begin());
        EXPECT_EQ(captions, expected[mode]) << mode;
    }
    // Without an active wave none is left out.
    OpenMusic("Music 2");
    list.clear();
    EXPECT_EQ(services.FillWaveList(list, TDocumentServices::OtherMono), 2);
    messages.Expect();
    EXPECT_EQ(services.FillWaveList(list, 4), 0);
    EXPECT_EQ(messages.Shown().at(0).caption, "Assertion failed");
}

// ---- Closing windows -----------------------------------------------------------------------

TEST_F(DocumentServicesTest, AClosingWindowLeavesTheListAtOnce)
{
    TMDIChildKelvorn* first = OpenWave("Wave 1");
    TMDIChildKelvorn* closing = OpenWave("Wave 2");
    QPointer<TMDIChildKelvorn> alive(closing);
    QSignalSpy closingSpy(&services, &TDocumentServices::DocumentWindowClosing);
    // The frame activates the next window while the closing one is still its child: whatever
    // runs on that activation (the action update, the name window) must not see it either.
    std::vector<std::vector<std::string>> seen;
    const QMetaObject::Connection watch =
        QObject::connect(form->Frame(), &QMdiArea::subWindowActivated, form->Frame(),
                         [&](QMdiSubWindow*) { seen.push_back(Names()); });
    ASSERT_TRUE(closing->close());
    QObject::disconnect(watch);
    ASSERT_FALSE(seen.empty());
    for (const auto& names : seen)
        EXPECT_EQ(names, std::vector<std::string>{"Wave 1"});
    // Deleted only when the event loop gets round to it, but no longer a document window.
    ASSERT_FALSE(alive.isNull());
    EXPECT_TRUE(closing->IsClosing());
    EXPECT_EQ(closingSpy.count(), 1);
    EXPECT_EQ(services.FindUnitByName("Wave 2"), nullptr);
    EXPECT_EQ(services.MakeUniqueName("Wave"), "Wave 2");
    EXPECT_TRUE(services.CheckUniqueName("Wave 2", first->GetUnit()));
    EXPECT_NE(services.GetActiveChild(), closing);
    Flush();
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(Names(), std::vector<std::string>{"Wave 1"});

    // A refused close keeps the window listed.
    TMDIChildKelvorn* changed = OpenWave("Wave 3", 1, 10);
    messages.Expect(MsgAnswer::Cancel);
    EXPECT_FALSE(changed->close());
    EXPECT_FALSE(changed->IsClosing());
    EXPECT_EQ(closingSpy.count(), 1);
    EXPECT_EQ(services.FindUnitByName("Wave 3"), changed->GetUnit());
}

TEST_F(DocumentServicesTest, ClosingTakesTheUndoRecordAndRepaintsEnvelopeUsers)
{
    TMDIChildKelvorn* wave = OpenWave("Wave 1");
    TMDIChildKelvorn* envelope = OpenWave("Env");
    EnvelopeWindow* user = OpenEnvelopeUser("User", "Env");
    EnvelopeWindow* stranger = OpenEnvelopeUser("Stranger", "Other");
    MusicWindow* music = OpenMusic("Music 1");
    QSignalSpy lastSpy(&services, &TDocumentServices::LastDocumentWindowClosing);
    services.MakeUndo(*UnitWaveOf(wave));
    envelope->close();
    EXPECT_EQ(user->repaints, 1);
    EXPECT_EQ(stranger->repaints, 0);
    EXPECT_TRUE(services.CanUndo());
    wave->close();
    EXPECT_FALSE(services.CanUndo());
    EXPECT_EQ(services.GetUndo(), nullptr);
    user->close();
    stranger->close();
    EXPECT_EQ(lastSpy.count(), 0);
    // The window left is a music window: the last of any kind counts.
    music->close();
    EXPECT_EQ(lastSpy.count(), 1);
    EXPECT_EQ(services.GetActiveChild(), nullptr);
    Flush();
    EXPECT_EQ(lastSpy.count(), 1);
}

// ---- Hour-glass, clipboard, undo, records --------------------------------------------------

// ---- The document window base --------------------------------------------------------------

TEST_F(DocumentServicesTest, TheSaveQuestionWordsKindNameAndFile)
{
    struct Row
    {
        uint8_t kind;
        const char* name;
        const char* file;
        const char* question;
    };
    const Row rows[] = {
        {1, "Wave 1", "", "Do you want to save the Wave with name \"Wave 1\" to a new file?"},
        {2, "Music 1", "/m/a.kvm",
         "Do you want to save the Music with name \"Music 1\" to current file \"/m/a.kvm\"?"},
        {3, "", "/f/b.kvf",
         "Do you want to save the Factory without name to current file \"/f/b.kvf\"?"},
        {3, "", "", "Do you want to save the Factory without name to a new file?"},
        {9, "X", "", "Do you want to save the Unknown Object with name \"X\" to a new file?"},
    };
    for (const Row& row : rows) {
        auto unit = Plain(DocumentKind(row.kind), row.name);
        unit->SetFileName(row.file);
        EXPECT_EQ(Add(new TMDIChildKelvorn, std::move(unit))->GetSaveQuestion(), row.question);
    }
}

// ---- The links to the main window ----------------------------------------------------------

} // namespace
