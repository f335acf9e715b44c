// The partial browser of Multi Frequency against a fake dialog: what it shows, how new partials
// take over the boxes, what a bad box does, and that the list the document reads is exactly the
// list of partials.

#include "document/records/MFreqRecords.h"
#include "platform/test/ScriptedMessages.h"

#include <gtest/gtest.h>

#include <array>

namespace kelvorn {
namespace {

using F = MFreqField;

class FakeMFreqView : public MFreqPartialView
{
public:
    std::string GetFieldText(F field) const override { return boxes[size_t(field)]; }
    void SetFieldText(F field, const std::string& text) override
    {
        boxes[size_t(field)] = text;
        if (text.empty())
            emptied.push_back(field);
    }
    bool GetKeepDefault(F field) const override { return keep[size_t(field)] != 0; }
    /// "count/position" and a letter per allowed move: Previous, Next, Delete, paste (V).
    void ShowBrowserState(const std::string& count, const std::string& position, bool canPrevious,
                          bool canNext, bool canDelete, bool canPaste) override
    {
        state = count + "/" + position + " " + (canPrevious ? "P" : "") + (canNext ? "N" : "") +
                (canDelete ? "D" : "") + (canPaste ? "V" : "");
        ++stateShown;
    }
    std::string& Box(F field) { return boxes[size_t(field)]; }

    std::array<std::string, kMFreqFieldCount> boxes;
    std::array<uint8_t, kMFreqFieldCount> keep{1, 0, 1, 1, 1};
    std::vector<F> emptied;
    std::string state;
    int stateShown = 0;
};

std::array<std::string, kMFreqFieldCount> TextsOf(const TMFreqBrowseRecord& partial)
{
    std::array<std::string, kMFreqFieldCount> texts;
    for (int i = 0; i < kMFreqFieldCount; ++i)
        texts[size_t(i)] = partial.Field(F(i)).ToText();
    return texts;
}

// A partial list of n partials with start volumes 0, 1/n, 2/n, ...
std::unique_ptr<TBrowseRecord> ListOf(int n)
{
    auto first = std::make_unique<TMFreqBrowseRecord>();
    first->startVolume.SetValue(0.0);
    TBrowseRecord* tail = first.get();
    for (int i = 1; i < n; ++i) {
        auto partial = std::make_unique<TMFreqBrowseRecord>();
        partial->startVolume.SetValue(double(i) / n);
        tail = tail->InsertAfter(std::move(partial));
    }
    return first;
}

TEST(MFreqBrowser, AppendWithTheShippedDefaultsEmptiesOnlyTheFrequency)
{
    const char* labels[] = {"Start Volume", "Frequency", "Start Angle", "Volume Factor",
                            "Volume Factor at Time"};
    for (int f = 0; f < kMFreqFieldCount; ++f)
        EXPECT_STREQ(MFreqFieldLabel(F(f)), labels[f]);
    ScriptedMessages messages;
    TMFreqProps props;
    FakeMFreqView view;
    props.partials.OpenView(&view);
    EXPECT_EQ(view.state, "1/1 ");
    EXPECT_EQ(view.boxes, TextsOf(TMFreqBrowseRecord()));
    view.Box(F::StartVolume) = "25%";
    const auto typed = view.boxes;

    props.partials.Append();
    EXPECT_EQ(view.emptied, std::vector<F>{F::Frequency});
    for (F kept : {F::StartVolume, F::StartAngle, F::VolumeFactor, F::VolumeFactorAtTime})
        EXPECT_EQ(view.Box(kept), typed[size_t(kept)]);
    EXPECT_EQ(view.state, "2/2 PD");

    // OK with the frequency box empty names "Frequency" and keeps the browser open.
    messages.Expect();
    EXPECT_FALSE(props.partials.CloseOk());
    EXPECT_TRUE(props.partials.GetIsOpen());
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].caption, "Input Error");
    EXPECT_EQ(messages.Shown()[0].text.rfind("In Frequency: ", 0), 0u) << messages.Shown()[0].text;

    view.Box(F::Frequency) = "2 kHz";
    EXPECT_TRUE(props.partials.CloseOk());
    EXPECT_FALSE(props.partials.GetIsOpen());
    EXPECT_EQ(props.partials.GetView(), nullptr);
    const std::vector<MFreqPartial> partials = props.partials.GetPartials();
    ASSERT_EQ(partials.size(), 2u);
    EXPECT_DOUBLE_EQ(partials[0].startVolume, 0.25);
    EXPECT_DOUBLE_EQ(partials[0].period, 0.001);
    EXPECT_DOUBLE_EQ(partials[1].startVolume, 0.25); // kept from the first partial's box
    EXPECT_DOUBLE_EQ(partials[1].period, 0.0005);
    EXPECT_EQ(props.partials.GetCursor(), 1);
}

TEST(MFreqBrowser, TheTickedDefaultsDecideWhatANewPartialKeeps)
{
    TMFreqProps props;
    FakeMFreqView view;
    view.keep = {1, 1, 1, 1, 1};
    props.partials.OpenView(&view);
    view.Box(F::Frequency) = "440 Hz";
    view.Box(F::StartAngle) = "0.25";
    props.partials.Append();
    props.partials.Insert();
    EXPECT_TRUE(view.emptied.empty());
    ASSERT_TRUE(props.partials.CloseOk());
    const std::vector<MFreqPartial> partials = props.partials.GetPartials();
    ASSERT_EQ(partials.size(), 3u);
    for (const MFreqPartial& partial : partials) {
        EXPECT_DOUBLE_EQ(partial.period, 1.0 / 440.0);
        EXPECT_DOUBLE_EQ(partial.startAngle, 0.25);
    }
    // None ticked: a new partial empties every box in the dialog's order.
    TMFreqProps none;
    FakeMFreqView empty;
    empty.keep = {0, 0, 0, 0, 0};
    none.partials.OpenView(&empty);
    none.partials.Insert();
    EXPECT_EQ(empty.emptied, (std::vector<F>{F::StartVolume, F::StartAngle, F::VolumeFactorAtTime,
                                             F::VolumeFactor, F::Frequency}));
    EXPECT_EQ(empty.state, "2/1 ND") << "Insert keeps the cursor index: the new partial is first";
}

TEST(MFreqBrowser, BadBoxOnNavigationShowsOnlyTheFirstAndDoesNotMove)
{
    ScriptedMessages messages;
    TMFreqProps props;
    props.partials.SetList(ListOf(3), 1);
    FakeMFreqView view;
    props.partials.OpenView(&view);
    view.Box(F::StartVolume) = "abc";
    view.Box(F::VolumeFactor) = "-1"; // also bad, but never reached
    messages.Expect();
    props.partials.Next();
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text.rfind("In Start Volume: ", 0), 0u);
    EXPECT_EQ(props.partials.GetCursor(), 1);
    EXPECT_EQ(view.Box(F::StartVolume), "abc"); // left as typed

    view.Box(F::StartVolume) = "0.5";
    messages.Expect();
    props.partials.Append();
    ASSERT_EQ(messages.Shown().size(), 2u);
    EXPECT_EQ(messages.Shown()[1].text.rfind("In Volume Factor: ", 0), 0u);
    EXPECT_EQ(props.partials.GetListCount(), 3);
    EXPECT_TRUE(messages.Unexpected().empty());
}

TEST(MFreqBrowser, NavigationStoresAndShows)
{
    TMFreqProps props;
    props.partials.SetList(ListOf(4), 0);
    FakeMFreqView view;
    props.partials.OpenView(&view);
    view.Box(F::VolumeFactor) = "0.5";
    props.partials.Last();
    EXPECT_EQ(view.state, "4/4 PD");
    EXPECT_EQ(view.boxes, TextsOf(*props.partials.GetPartial(3)));
    props.partials.First();
    EXPECT_EQ(view.Box(F::VolumeFactor), props.partials.GetPartial(0)->volumeFactor.ToText());
    EXPECT_DOUBLE_EQ(props.partials.GetPartial(0)->volumeFactor.GetValue(), 0.5);
    props.partials.Copy();
    EXPECT_EQ(view.state, "4/1 NDV");
    props.partials.Next();
    props.partials.Paste();
    EXPECT_EQ(view.boxes, TextsOf(*props.partials.GetPartial(0)));
    props.partials.Delete();
    EXPECT_EQ(view.state.substr(0, 2), "3/");
    ASSERT_TRUE(props.partials.CloseOk());
    EXPECT_EQ(props.partials.GetPartials().size(), 3u);
}

class ForeignRecord : public TBrowseRecord
{
public:
    std::unique_ptr<TBrowseRecord> Clone() const override
    {
        return std::make_unique<ForeignRecord>();
    }
};

// The document's operation sizes its arrays by the partial list it reads; the list it gets is
// the walk of the partials themselves, so no count can be longer or shorter than the list.
TEST(MFreqBrowser, PartialsAreExactlyTheListWhateverTheReadPositionAndOnlyPartials)
{
    TMFreqRecordBrowser browser;
    browser.SetList(ListOf(5), 2);
    ASSERT_TRUE(browser.NextRecord());
    ASSERT_TRUE(browser.NextRecord());
    const std::vector<MFreqPartial> partials = browser.GetPartials();
    ASSERT_EQ(partials.size(), 5u);
    EXPECT_EQ(browser.GetPartialCount(), 5);
    for (size_t i = 0; i < partials.size(); ++i)
        EXPECT_DOUBLE_EQ(partials[i].startVolume, double(i) / 5);
    EXPECT_EQ(browser.GetPartial(5), nullptr);
    EXPECT_EQ(browser.GetPartial(-1), nullptr);

    // Long lists copy, compare and read without recursion; the cursor counts.
    TMFreqProps props;
    props.partials.SetList(ListOf(100000), 99999);
    const TMFreqProps copy = props;
    EXPECT_EQ(copy.partials.GetCursor(), 99999);
    EXPECT_TRUE(copy == props);
    EXPECT_EQ(copy.partials.GetPartials().size(), 100000u);
    props.partials.SetList(ListOf(100000), 2);
    EXPECT_FALSE(copy == props);

    // Records of another kind are not partials.
    ScriptedMessages messages;
    messages.Expect();
    TMFreqRecordBrowser mixed;
    std::unique_ptr<TBrowseRecord> first = ListOf(2);
    first->GetNext()->InsertAfter(std::make_unique<ForeignRecord>());
    mixed.SetList(std::move(first), 0);
    EXPECT_EQ(mixed.GetPartials().size(), 2u);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_NE(messages.Shown()[0].text.find("\"mFreqBrowseRecord != NULL\""), std::string::npos);
}

} // namespace
} // namespace kelvorn
