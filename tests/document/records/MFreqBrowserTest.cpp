// The partial browser of Multi Frequency against a fake dialog: what it shows, how new partials
// take over the boxes, what a bad box does, and that the list the document reads is exactly the
// list of partials.

#include "platform/test/ScriptedMessages.h"
#include "document/records/MFreqRecords.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace kelvorn {
namespace {

struct BrowserState
{
    std::string count;
    std::string position;
    bool canPrevious;
    bool canNext;
    bool canDelete;
    bool canPaste;
};

class FakeMFreqView : public MFreqPartialView
{
public:
    std::string GetFieldText(MFreqField field) const override { return boxes[Index(field)]; }
    void SetFieldText(MFreqField field, const std::string& text) override
    {
        boxes[Index(field)] = text;
        if (text.empty())
            emptied.push_back(field);
    }
    bool GetKeepDefault(MFreqField field) const override { return keep[Index(field)] != 0; }
    void ShowBrowserState(const std::string& count, const std::string& position, bool canPrevious,
                          bool canNext, bool canDelete, bool canPaste) override
    {
        state = {count, position, canPrevious, canNext, canDelete, canPaste};
        ++stateShown;
    }

    static size_t Index(MFreqField field) { return static_cast<size_t>(field); }
    std::string& Box(MFreqField field) { return boxes[Index(field)]; }

    std::array<std::string, kMFreqFieldCount> boxes;
    std::array<uint8_t, kMFreqFieldCount> keep{1, 0, 1, 1, 1};
    std::vector<MFreqField> emptied;
    BrowserState state{};
    int stateShown = 0;
};

// The boxes as the browser writes a partial.
std::array<std::string, kMFreqFieldCount> TextsOf(const TMFreqBrowseRecord& partial)
{
    std::array<std::string, kMFreqFieldCount> texts;
    for (int i = 0; i < kMFreqFieldCount; ++i)
        texts[static_cast<size_t>(i)] = partial.Field(static_cast<MFreqField>(i)).ToText();
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
        partial->startVolume.SetValue(static_cast<double>(i) / n);
        tail = tail->InsertAfter(std::move(partial));
    }
    return first;
}

TEST(MFreqBrowser, FieldLabels)
{
    EXPECT_STREQ(MFreqFieldLabel(MFreqField::StartVolume), "Start Volume");
    EXPECT_STREQ(MFreqFieldLabel(MFreqField::Frequency), "Frequency");
    EXPECT_STREQ(MFreqFieldLabel(MFreqField::StartAngle), "Start Angle");
    EXPECT_STREQ(MFreqFieldLabel(MFreqField::VolumeFactor), "Volume Factor");
    EXPECT_STREQ(MFreqFieldLabel(MFreqField::VolumeFactorAtTime), "Volume Factor at Time");
}

TEST(MFreqBrowser, NewRecordOpensWithOnePartialAndNothingToMoveTo)
{
    TMFreqProps props;
    FakeMFreqView view;
    props.partials.OpenView(&view);
    EXPECT_TRUE(props.partials.GetIsOpen());
    EXPECT_EQ(view.state.count, "1");
    EXPECT_EQ(view.state.position, "1");
    EXPECT_FALSE(view.state.canPrevious);
    EXPECT_FALSE(view.state.canNext);
    EXPECT_FALSE(view.state.canDelete);
    EXPECT_FALSE(view.state.canPaste);
    EXPECT_EQ(view.boxes, TextsOf(TMFreqBrowseRecord()));
    EXPECT_NE(view.Box(MFreqField::Frequency), "");
}

TEST(MFreqBrowser, AppendWithTheShippedDefaultsEmptiesOnlyTheFrequency)
{
    ScriptedMessages messages;
    TMFreqProps props;
    FakeMFreqView view;
    props.partials.OpenView(&view);
    view.Box(MFreqField::StartVolume) = "25%";
    const auto typed = view.boxes;

    props.partials.Append();
    EXPECT_EQ(view.emptied, std::vector<MFreqField>{MFreqField::Frequency});
    for (MFreqField kept : {MFreqField::StartVolume, MFreqField::StartAngle,
                            MFreqField::VolumeFactor, MFreqField::VolumeFactorAtTime})
        EXPECT_EQ(view.Box(kept), typed[FakeMFreqView::Index(kept)]);
    EXPECT_EQ(view.state.count, "2");
    EXPECT_EQ(view.state.position, "2");
    EXPECT_TRUE(view.state.canPrevious);
    EXPECT_TRUE(view.state.canDelete);

    // OK with the frequency box empty names "Frequency" and keeps the browser open.
    messages.Expect();
    EXPECT_FALSE(props.partials.CloseOk());
    EXPECT_TRUE(props.partials.GetIsOpen());
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].caption, "Input Error");
    EXPECT_EQ(messages.Shown()[0].text.rfind("In Frequency: ", 0), 0u) << messages.Shown()[0].text;

    view.Box(MFreqField::Frequency) = "2 kHz";
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
    EXPECT_TRUE(messages.Unexpected().empty());
}

TEST(MFreqBrowser, EveryDefaultTickedMakesAppendDuplicateThePartial)
{
    TMFreqProps props;
    FakeMFreqView view;
    view.keep = {1, 1, 1, 1, 1};
    props.partials.OpenView(&view);
    view.Box(MFreqField::Frequency) = "440 Hz";
    view.Box(MFreqField::StartAngle) = "0.25";
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
}

TEST(MFreqBrowser, NewPartialEmptiesUntickedBoxesInTheDialogsOrder)
{
    TMFreqProps props;
    FakeMFreqView view;
    view.keep = {0, 0, 0, 0, 0};
    props.partials.OpenView(&view);
    props.partials.Insert();
    const std::vector<MFreqField> order = {MFreqField::StartVolume, MFreqField::StartAngle,
                                           MFreqField::VolumeFactorAtTime, MFreqField::VolumeFactor,
                                           MFreqField::Frequency};
    EXPECT_EQ(view.emptied, order);
    // Insert keeps the cursor index: the new partial is the first.
    EXPECT_EQ(view.state.position, "1");
    EXPECT_EQ(view.state.count, "2");
    EXPECT_TRUE(view.state.canNext);
}

TEST(MFreqBrowser, BadBoxOnNavigationShowsOnlyTheFirstAndDoesNotMove)
{
    ScriptedMessages messages;
    TMFreqProps props;
    props.partials.SetList(ListOf(3), 1);
    FakeMFreqView view;
    props.partials.OpenView(&view);
    view.Box(MFreqField::StartVolume) = "abc";
    view.Box(MFreqField::VolumeFactor) = "-1"; // also bad, but never reached
    messages.Expect();
    props.partials.Next();
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text.rfind("In Start Volume: ", 0), 0u);
    EXPECT_EQ(props.partials.GetCursor(), 1);
    EXPECT_EQ(view.Box(MFreqField::StartVolume), "abc"); // left as typed

    view.Box(MFreqField::StartVolume) = "0.5";
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
    view.Box(MFreqField::VolumeFactor) = "0.5";
    props.partials.Last();
    EXPECT_EQ(view.state.position, "4");
    EXPECT_FALSE(view.state.canNext);
    EXPECT_EQ(view.boxes, TextsOf(*props.partials.GetPartial(3)));
    props.partials.First();
    EXPECT_EQ(view.Box(MFreqField::VolumeFactor),
              props.partials.GetPartial(0)->volumeFactor.ToText());
    EXPECT_DOUBLE_EQ(props.partials.GetPartial(0)->volumeFactor.GetValue(), 0.5);

    // Copy and paste between partials.
    props.partials.Copy();
    EXPECT_TRUE(view.state.canPaste);
    props.partials.Next();
    props.partials.Paste();
    EXPECT_EQ(view.boxes, TextsOf(*props.partials.GetPartial(0)));
    props.partials.Delete();
    EXPECT_EQ(view.state.count, "3");
    ASSERT_TRUE(props.partials.CloseOk());
    EXPECT_EQ(props.partials.GetPartials().size(), 3u);
}

TEST(MFreqBrowser, WithoutDialogReadingAndClearingAssert)
{
    ScriptedMessages messages;
    TMFreqRecordBrowser browser;
    messages.Expect();
    browser.Copy(); // reads the boxes
    messages.Expect();
    browser.Append(); // stores first: fails the same way, nothing appended
    ASSERT_EQ(messages.Shown().size(), 2u);
    for (const ShownMessage& shown : messages.Shown()) {
        EXPECT_EQ(shown.caption, "Assertion failed");
        EXPECT_NE(shown.text.find("\"DlgMFreqProps != NULL\""), std::string::npos);
    }
    EXPECT_EQ(browser.GetPartialCount(), 1);
    EXPECT_FALSE(browser.GetHasClipRecord());
    EXPECT_TRUE(messages.Unexpected().empty());
}

TEST(MFreqBrowser, CancelLeavesTheRecordTheDialogWasGiven)
{
    ScriptedMessages messages;
    const TMFreqProps documentRecord;
    TMFreqProps dialogCopy = documentRecord;
    FakeMFreqView view;
    view.keep = {1, 1, 1, 1, 1};
    dialogCopy.partials.OpenView(&view);
    view.Box(MFreqField::StartVolume) = "10%";
    dialogCopy.partials.Append();
    dialogCopy.partials.Append();
    dialogCopy.partials.CloseCancel();
    EXPECT_EQ(dialogCopy.partials.GetView(), nullptr);
    EXPECT_FALSE(dialogCopy.partials.GetIsOpen());
    EXPECT_EQ(documentRecord.partials.GetPartialCount(), 1);
    EXPECT_TRUE(documentRecord == TMFreqProps());
    EXPECT_FALSE(dialogCopy == documentRecord);
}

TEST(MFreqBrowser, CopiesComeWithoutTheDialog)
{
    TMFreqProps props;
    FakeMFreqView view;
    props.partials.OpenView(&view);
    TMFreqProps copy = props;
    EXPECT_EQ(copy.partials.GetView(), nullptr);
    TMFreqProps assigned;
    assigned = props;
    EXPECT_EQ(assigned.partials.GetView(), nullptr);
    const int shownBefore = view.stateShown;
    copy.partials.UpdateControls();
    assigned.partials.UpdateControls();
    EXPECT_EQ(view.stateShown, shownBefore); // the copies do not write into the dialog
}

// The document's operation sizes its arrays by the partial list it reads; the list it gets is
// the walk of the partials themselves, so no count can be longer or shorter than the list.
TEST(MFreqBrowser, PartialsAreExactlyTheListWhateverTheReadPosition)
{
    TMFreqRecordBrowser browser;
    browser.SetList(ListOf(5), 2);
    ASSERT_TRUE(browser.NextRecord());
    ASSERT_TRUE(browser.NextRecord());
    const std::vector<MFreqPartial> partials = browser.GetPartials();
    ASSERT_EQ(partials.size(), 5u);
    EXPECT_EQ(static_cast<int32_t>(partials.size()), browser.GetPartialCount());
    for (size_t i = 0; i < partials.size(); ++i)
        EXPECT_DOUBLE_EQ(partials[i].startVolume, static_cast<double>(i) / 5);
    EXPECT_EQ(browser.GetPartial(5), nullptr);
    EXPECT_EQ(browser.GetPartial(-1), nullptr);
}

class ForeignRecord : public TBrowseRecord
{
public:
    std::unique_ptr<TBrowseRecord> Clone() const override
    {
        return std::make_unique<ForeignRecord>();
    }
};

TEST(MFreqBrowser, RecordsOfAnotherKindAreNotPartials)
{
    ScriptedMessages messages;
    messages.Expect();
    TMFreqRecordBrowser browser;
    std::unique_ptr<TBrowseRecord> first = ListOf(2);
    first->GetNext()->InsertAfter(std::make_unique<ForeignRecord>());
    browser.SetList(std::move(first), 0);
    const std::vector<MFreqPartial> partials = browser.GetPartials();
    EXPECT_EQ(partials.size(), 2u);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_NE(messages.Shown()[0].text.find("\"mFreqBrowseRecord != NULL\""), std::string::npos);
}

TEST(MFreqBrowser, LongListsCopyAndReadWithoutRecursion)
{
    TMFreqProps props;
    props.partials.SetList(ListOf(100000), 99999);
    const TMFreqProps copy = props;
    EXPECT_EQ(copy.partials.GetPartialCount(), 100000);
    EXPECT_EQ(copy.partials.GetCursor(), 99999);
    EXPECT_TRUE(copy == props);
    EXPECT_EQ(copy.partials.GetPartials().size(), 100000u);
}

TEST(MFreqBrowser, EqualityComparesPartialsAndCursor)
{
    TMFreqRecordBrowser a;
    TMFreqRecordBrowser b;
    a.SetList(ListOf(3), 0);
    b.SetList(ListOf(3), 0);
    EXPECT_TRUE(a == b);
    b.SetList(ListOf(3), 2);
    EXPECT_FALSE(a == b);
    b.SetList(ListOf(4), 0);
    EXPECT_FALSE(a == b);
    EXPECT_FALSE(b == a);
}

} // namespace
} // namespace kelvorn
