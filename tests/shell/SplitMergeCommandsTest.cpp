#include "waveui/WaveWindow.h"
#include "EditCommandsTestSupport.h"

#include "sound/SoundOps.h"
#include "document/records/MergeRecords.h"
#include "waveui/ViewWave.h"
#include "waveui/ViewWaveGroup.h"
#include "waveui/dialogs/SplitMergeDialogs.h"

#include <QComboBox>
#include <QRadioButton>

#include <map>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using V = std::vector<int16_t>;

struct Rect
{
    int left, top, right, bottom;
    bool operator==(const Rect&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rect& r)
{
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

Rect Edges(const QWidget& window)
{
    const QRect g = window.geometry();
    return {g.x(), g.y(), g.x() + g.width(), g.y() + g.height()};
}

class SplitMergeTest : public EditCommandsTest
{
protected:
    /// A wave window named name around sound with bounds (left, top, right, bottom).
    TMDIChildWave* Place(const std::string& name, SoundPtr sound, Rect r)
    {
        TMDIChildWave* window = OpenSound(name, std::move(sound));
        window->setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
        QCoreApplication::processEvents();
        return window;
    }

    /// The wave windows by document name.
    std::map<std::string, TMDIChildWave*> Windows() const
    {
        std::map<std::string, TMDIChildWave*> windows;
        for (TMDIChildKelvorn* window : form->Documents().DocumentWindows())
            if (auto* wave = dynamic_cast<TMDIChildWave*>(window))
                windows[wave->GetUnitWave().GetName()] = wave;
        return windows;
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& [name, window] : Windows())
            names.push_back(name);
        return names;
    }

    /// The window called name; fails the test when there is none.
    TMDIChildWave& Window(const std::string& name)
    {
        auto windows = Windows();
        auto found = windows.find(name);
        EXPECT_NE(found, windows.end()) << name;
        return found == windows.end() ? *windows.begin()->second : *found->second;
    }
    V Left(const std::string& name) { return LeftOf(*Window(name).GetUnitWave().GetSound()); }
};

// ---- Split horizontally ------------------------------------------------------------------------

TEST_F(SplitMergeTest, SplitHorizontallyAtACursorMakesTwoWindowsWithoutAQuestion)
{
    TMDIChildWave* source = Place("Wave 1", Values(Steps(10)), {0, 0, 500, 300});
    source->GetUnitWave().SetCursor(4);
    // The volume diagram's writer runs in the source until its window goes.
    source->SetWaveWindKind(mergeWindVolume);
    Documents().MakeUndo(source->GetUnitWave());
    Trigger("SplitH");
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"First Part 1 of Wave 1", "Last Part 1 of Wave 1"}));
    EXPECT_EQ(Left("First Part 1 of Wave 1"), (V{0, 1, 2, 3}));
    EXPECT_EQ(Left("Last Part 1 of Wave 1"), (V{4, 5, 6, 7, 8, 9}));
    // 500 × 4 / 10: the cursor's place on screen.
    EXPECT_EQ(Edges(Window("First Part 1 of Wave 1")), (Rect{0, 0, 200, 300}));
    EXPECT_EQ(Edges(Window("Last Part 1 of Wave 1")), (Rect{200, 0, 500, 300}));
    // The source is gone at once, and with it the undo record it had.
    EXPECT_EQ(form->Frame()->subWindowList().size(), 2);
    EXPECT_EQ(Documents().GetUndo(), nullptr);
    EXPECT_TRUE(Window("Last Part 1 of Wave 1").GetUnitWave().GetFileName().empty());
    EXPECT_FALSE(Window("Last Part 1 of Wave 1").GetUnitWave().IsDataModified());
    EXPECT_EQ(Window("First Part 1 of Wave 1").GetWaveWindKind(), mergeWindVolume);
    EXPECT_EQ(Window("Last Part 1 of Wave 1").GetWaveWindKind(), mergeWindVolume);
}

struct SplitCase
{
    const char* name;
    uint8_t choice;
    std::vector<std::pair<std::string, std::pair<int32_t, int32_t>>> parts; ///< name, [begin, end)
    std::vector<Rect> rects;
};

class SplitHorizontallyTest : public SplitMergeTest, public ::testing::WithParamInterface<SplitCase>
{
};

TEST_P(SplitHorizontallyTest, EachChoiceCutsThePartsAndPlacesTheirWindows)
{
    const SplitCase& c = GetParam();
    TMDIChildWave* source = Place("Wave 1", Values(Steps(1000)), {10, 20, 1010, 420});
    source->GetUnitWave().SetPart(100, 200);
    dialogs.When(
        "TDlgSplitHorProps",
        [&](ModalDialog& modal) {
            DialogAs<TDlgSplitHorProps>(modal)->resultItems[c.choice]->setChecked(true);
        },
        DialogResult::Accepted);
    Trigger("SplitH");
    ASSERT_EQ(Windows().size(), c.parts.size());
    for (size_t i = 0; i < c.parts.size(); ++i) {
        const auto& [name, range] = c.parts[i];
        const V all = Steps(range.second);
        EXPECT_EQ(Left(name), V(all.begin() + range.first, all.end())) << name;
        EXPECT_EQ(Edges(Window(name)), c.rects[i]) << name;
        EXPECT_EQ(Window(name).GetUnitWave().GetPos1(), 0) << name;
    }
    // The choice is kept for the next split.
    EXPECT_EQ(form->SplitHorProps().result, c.choice);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, SplitHorizontallyTest,
    ::testing::Values(
        SplitCase{"ThreeParts",
                  0,
                  {{"First Part 1 of Wave 1", {0, 100}},
                   {"Middle Part 1 of Wave 1", {100, 200}},
                   {"Last Part 1 of Wave 1", {200, 1000}}},
                  {{10, 20, 110, 420}, {110, 20, 210, 420}, {210, 20, 1010, 420}}},
        // Both parts hold the selection, so their windows overlap.
        SplitCase{"TwoInclusive",
                  1,
                  {{"First Part 1 of Wave 1", {0, 200}}, {"Last Part 1 of Wave 1", {100, 1000}}},
                  {{10, 20, 210, 420}, {110, 20, 1010, 420}}},
        SplitCase{"TwoExclusive",
                  2,
                  {{"First Part 1 of Wave 1", {0, 100}}, {"Last Part 1 of Wave 1", {200, 1000}}},
                  {{10, 20, 110, 420}, {210, 20, 1010, 420}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SplitMergeTest, CancelledSplitChangesNothing)
{
    TMDIChildWave* source = Place("Wave 1", Values(Steps(10)), {0, 0, 500, 300});
    source->GetUnitWave().SetPart(2, 5);
    form->SplitHorProps().result = TSplitHorProps::twoPartsExclusive;
    dialogs.When(
        "TDlgSplitHorProps",
        [&](ModalDialog& modal) {
            DialogAs<TDlgSplitHorProps>(modal)->resultItems[0]->setChecked(true);
        },
        DialogResult::Rejected);
    Trigger("SplitH");
    EXPECT_EQ(Names(), std::vector<std::string>{"Wave 1"});
    EXPECT_EQ(form->SplitHorProps().result, TSplitHorProps::twoPartsExclusive);
}

TEST_F(SplitMergeTest, SplitHorizontallyOfAnEmptyWaveHalvesTheWindow)
{
    Place("Wave 1", Values({}, 2), {0, 10, 301, 110});
    splitMerge->SplitHExecute();
    EXPECT_EQ(Edges(Window("First Part 1 of Wave 1")), (Rect{0, 10, 150, 110}));
    EXPECT_EQ(Edges(Window("Last Part 1 of Wave 1")), (Rect{150, 10, 301, 110}));
    EXPECT_EQ(Window("Last Part 1 of Wave 1").GetUnitWave().GetValues(), 0);
    EXPECT_EQ(Window("Last Part 1 of Wave 1").GetUnitWave().GetMonoStereo(), 2);
}

// ---- Split vertically --------------------------------------------------------------------------

TEST_F(SplitMergeTest, SplitVerticallyKeepsSelectionSplitAndZoomInBothHalves)
{
    TMDIChildWave* source = Place("Wave 1", Values(Steps(1000), 2, 22050, 1), {0, 0, 801, 401});
    TUnitWave& unit = source->GetUnitWave();
    unit.SetPos1(300);
    unit.SetPos2(100);
    TViewWaveGroup& group = source->GetViewWaveGroup();
    group.SetSplitPosition(0.4);
    group.GetView(2)->ZoomTo(200, 600, true);
    const double zoomBegin = group.GetView(2)->GetZoomBegin();
    const double zoomEnd = group.GetView(2)->GetZoomEnd();
    const double split = group.GetSplitPosition();
    Documents().MakeUndo(unit);
    Trigger("SplitV");

    EXPECT_EQ(Names(),
              (std::vector<std::string>{"Left Part 1 of Wave 1", "Right Part 1 of Wave 1"}));
    TMDIChildWave& upper = Window("Left Part 1 of Wave 1");
    TMDIChildWave& lower = Window("Right Part 1 of Wave 1");
    // The upper window ends one pixel above the middle (401 / 2 = 200).
    EXPECT_EQ(Edges(upper), (Rect{0, 0, 801, 199}));
    EXPECT_EQ(Edges(lower), (Rect{0, 200, 801, 401}));
    EXPECT_EQ(LeftOf(*upper.GetUnitWave().GetSound()), Steps(1000));
    V negatives;
    for (int16_t v : Steps(1000))
        negatives.push_back(static_cast<int16_t>(-v));
    EXPECT_EQ(LeftOf(*lower.GetUnitWave().GetSound()), negatives);
    for (TMDIChildWave* half : {&upper, &lower}) {
        TUnitWave& part = half->GetUnitWave();
        EXPECT_EQ(part.GetMonoStereo(), 1);
        EXPECT_EQ(part.GetSampleFreq(), 22050);
        EXPECT_EQ(part.GetBytesPSample(), 1);
        EXPECT_EQ(part.GetPartBegin(), 100);
        EXPECT_EQ(part.GetPartEnd(), 300);
        TViewWaveGroup& halfGroup = half->GetViewWaveGroup();
        EXPECT_NEAR(halfGroup.GetSplitPosition(), split, 0.01);
        EXPECT_FALSE(halfGroup.GetView(1)->IsZoomed());
        ASSERT_TRUE(halfGroup.GetView(2)->IsZoomed());
        EXPECT_EQ(halfGroup.GetView(2)->GetZoomBegin(), zoomBegin);
        EXPECT_EQ(halfGroup.GetView(2)->GetZoomEnd(), zoomEnd);
    }
    EXPECT_EQ(Documents().GetUndo(), nullptr);
}

TEST_F(SplitMergeTest, SplitVerticallyWithACursorGivesBothTheCursor)
{
    TMDIChildWave* source = Place("Wave 1", Values(Steps(10), 2), {0, 0, 400, 300});
    source->GetUnitWave().SetCursor(7);
    Place("Left Part 1 of Wave 1", Values(Steps(2)), {0, 0, 100, 100});
    form->Frame()->setActiveSubWindow(source);
    Trigger("SplitV");
    // The names count on past those already open.
    EXPECT_EQ(Window("Left Part 2 of Wave 1").GetUnitWave().GetPos1(), 7);
    EXPECT_TRUE(Window("Left Part 2 of Wave 1").GetUnitWave().IsCursor());
    EXPECT_EQ(Window("Right Part 1 of Wave 1").GetUnitWave().GetPos2(), 7);
}

TEST_F(SplitMergeTest, SplitVerticallyOfAMonoWaveDoesNothing)
{
    Place("Wave 1", Values(Steps(10)), {0, 0, 400, 300});
    splitMerge->SplitVExecute();
    EXPECT_EQ(Names(), std::vector<std::string>{"Wave 1"});
}

// ---- Merge horizontally -------------------------------------------------------------------------

TMergeHorProps HorProps(TMDIChildWave* first, TMDIChildWave* last, int16_t channels, int32_t freq,
                        int16_t bytes)
{
    TMergeHorProps props;
    props.first.Set(first->GetUnitWave().GetName(), &first->GetUnitWave());
    props.last.Set(last->GetUnitWave().GetName(), &last->GetUnitWave());
    props.MonoStereo = channels;
    props.SampleFreq = freq;
    props.BytesPSample = bytes;
    return props;
}

TEST_F(SplitMergeTest, MergeHorizontallyThroughTheDialogJoinsAndPlacesTheNewWindow)
{
    TMDIChildWave* a = Place("A", Values({1, 2, 3}), {0, 0, 300, 200});
    Place("B", Values({4, 5}), {401, 51, 701, 251});
    Documents().MakeUndo(a->GetUnitWave());
    const TMergeHorProps before = form->MergeHorProps();
    dialogs.When(
        "TDlgMergeHorProps",
        [&](ModalDialog& modal) {
            auto* dialog = DialogAs<TDlgMergeHorProps>(modal);
            dialog->cboFirst()->setCurrentIndex(dialog->cboFirst()->findText("A"));
            dialog->cboLast()->setCurrentIndex(dialog->cboLast()->findText("B"));
        },
        DialogResult::Accepted);
    Trigger("MergeH");
    EXPECT_EQ(Names(), std::vector<std::string>{"Merge Hor. 1 of (A and B)"});
    TMDIChildWave& merged = Window("Merge Hor. 1 of (A and B)");
    EXPECT_EQ(LeftOf(*merged.GetUnitWave().GetSound()), (V{1, 2, 3, 4, 5}));
    // d = (401 - 300) / 2 = 50: left 0 + 50, right 701 - 50 + 1, top and bottom the means.
    EXPECT_EQ(Edges(merged), (Rect{50, 25, 652, 225}));
    EXPECT_EQ(Documents().GetUndo(), nullptr);
    // The record served this run only.
    EXPECT_TRUE(form->MergeHorProps() == before);
}

struct HorMergeCase
{
    const char* name;
    int16_t firstChannels;
    int32_t firstFreq;
    V firstValues;
    int16_t lastChannels;
    int32_t lastFreq;
    V lastValues;
    int16_t channels; ///< chosen
    int32_t freq;
    int16_t bytes;
    V merged; ///< the left channel
};

class MergeHorizontallyTest : public SplitMergeTest,
                              public ::testing::WithParamInterface<HorMergeCase>
{
};

TEST_P(MergeHorizontallyTest, ConvertsToTheChosenFormat)
{
    const HorMergeCase& c = GetParam();
    TMDIChildWave* a =
        Place("A", Values(c.firstValues, c.firstChannels, c.firstFreq), {0, 0, 100, 100});
    TMDIChildWave* b =
        Place("B", Values(c.lastValues, c.lastChannels, c.lastFreq), {100, 0, 200, 100});
    const SoundPtr firstSound = a->GetUnitWave().GetSound();
    splitMerge->MergeH(HorProps(a, b, c.channels, c.freq, c.bytes));
    const Sound& merged = *Window("Merge Hor. 1 of (A and B)").GetUnitWave().GetSound();
    EXPECT_EQ(merged.GetMonoStereo(), c.channels);
    EXPECT_EQ(merged.GetSampleFreq(), c.freq);
    EXPECT_EQ(merged.GetBytesPSample(), c.bytes);
    EXPECT_EQ(LeftOf(merged), c.merged);
    // The source's sound was only read.
    EXPECT_EQ(firstSound->GetValues(), static_cast<int32_t>(c.firstValues.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, MergeHorizontallyTest,
    ::testing::Values(
        HorMergeCase{"Alike", 1, 1000, {1, 2}, 1, 1000, {3}, 1, 1000, 2, {1, 2, 3}},
        HorMergeCase{"ToEightBits", 1, 1000, {1, 2}, 1, 1000, {3}, 1, 1000, 1, {1, 2, 3}},
        // A stereo first is mixed down: the right channel is the left's negative.
        HorMergeCase{"StereoToMono", 2, 1000, {10, 20}, 1, 1000, {3}, 1, 1000, 2, {0, 0, 3}},
        HorMergeCase{"MonoToStereo", 1, 1000, {10, 20}, 2, 1000, {3}, 2, 1000, 2, {10, 20, 3}},
        HorMergeCase{"LastOfAnotherRate", 1, 2000, {1}, 1, 2000, {7, 7}, 1, 2000, 2, {1, 7, 7}}),
    [](const auto& info) { return std::string(info.param.name); });

// The first is resampled to the chosen rate; the last follows the first.
TEST_F(SplitMergeTest, MergeHorizontallyResamplesTheFirstAndThePasteTheLast)
{
    TMDIChildWave* a = Place("A", Values(Steps(100, 10), 1, 1000), {0, 0, 100, 100});
    TMDIChildWave* b = Place("B", Values(V(50, 7), 2, 4000), {100, 0, 200, 100});
    const int32_t firstAt2000 =
        ChangeSampleFreq(*a->GetUnitWave().GetSound(), nullptr, 2000)->GetValues();
    const int32_t lastAt2000 = b->GetUnitWave().GetSound()->GetMonoWaveAt(nullptr, 2000)->Values();
    splitMerge->MergeH(HorProps(a, b, 1, 2000, 2));
    const Sound& merged = *Window("Merge Hor. 1 of (A and B)").GetUnitWave().GetSound();
    EXPECT_EQ(merged.GetSampleFreq(), 2000);
    ASSERT_EQ(merged.GetValues(), firstAt2000 + lastAt2000);
    EXPECT_NEAR(firstAt2000, 200, 2);
    EXPECT_EQ((*merged.GetLeftWave())[0], 0);
    EXPECT_EQ((*merged.GetLeftWave())[20], 100); // value 10 of the first at twice the rate
    // The stereo last was mixed to mono: 7 and -7.
    EXPECT_EQ((*merged.GetLeftWave())[firstAt2000 + 1], 0);
}

// An empty first wave has no format of its own worth keeping: the chosen one is used.
TEST_F(SplitMergeTest, MergeHorizontallyWithAnEmptyFirstUsesTheChosenFormat)
{
    TMDIChildWave* a = Place("A", Values({}, 1, 1000), {0, 0, 100, 100});
    TMDIChildWave* b = Place("B", Values(V(40, 4), 1, 1000), {100, 0, 200, 100});
    const int32_t lastAt2000 = b->GetUnitWave().GetSound()->GetMonoWaveAt(nullptr, 2000)->Values();
    splitMerge->MergeH(HorProps(a, b, 2, 2000, 1));
    const Sound& merged = *Window("Merge Hor. 1 of (A and B)").GetUnitWave().GetSound();
    EXPECT_EQ(merged.GetMonoStereo(), 2);
    EXPECT_EQ(merged.GetSampleFreq(), 2000);
    EXPECT_EQ(merged.GetBytesPSample(), 1);
    EXPECT_EQ(merged.GetValues(), lastAt2000);
    EXPECT_EQ((*merged.GetRightWave())[10], 4);
}

// ---- Merge vertically ---------------------------------------------------------------------------

TMergeVertProps VertProps(TMDIChildWave* left, TMDIChildWave* right, uint8_t rule, int32_t freq,
                          int16_t bytes = 2)
{
    TMergeVertProps props;
    props.left.Set(left->GetUnitWave().GetName(), &left->GetUnitWave());
    props.right.Set(right->GetUnitWave().GetName(), &right->GetUnitWave());
    props.makeLengthsEqual = rule;
    props.SampleFreq = freq;
    props.BytesPSample = bytes;
    return props;
}

V RightOf(const Sound& sound)
{
    V values;
    for (int32_t i = 0; i < sound.GetValues(); ++i)
        values.push_back((*sound.GetRightWave())[i]);
    return values;
}

struct VertCase
{
    const char* name;
    V left;
    V right;
    uint8_t rule;
    V mergedLeft;
    V mergedRight;
};

class MergeVerticallyTest : public SplitMergeTest, public ::testing::WithParamInterface<VertCase>
{
};

TEST_P(MergeVerticallyTest, MakesTheChannelsEquallyLongByTheRule)
{
    const VertCase& c = GetParam();
    TMDIChildWave* l = Place("L", Values(c.left, 1, 1000), {0, 0, 300, 101});
    TMDIChildWave* r = Place("R", Values(c.right, 1, 1000), {40, 301, 340, 400});
    splitMerge->MergeV(VertProps(l, r, c.rule, 1000));
    TMDIChildWave& merged = Window("Merge Vert. 1 of (L and R)");
    const Sound& sound = *merged.GetUnitWave().GetSound();
    EXPECT_EQ(sound.GetMonoStereo(), 2);
    EXPECT_EQ(LeftOf(sound), c.mergedLeft);
    EXPECT_EQ(RightOf(sound), c.mergedRight);
    // d = (301 - 101) / 2 = 100: the means across, 101 + 100 down to 400 - 100 + 1.
    EXPECT_EQ(Edges(merged), (Rect{20, 100, 320, 301}));
    EXPECT_EQ(Names(), std::vector<std::string>{"Merge Vert. 1 of (L and R)"});
}

INSTANTIATE_TEST_SUITE_P(
    Rules, MergeVerticallyTest,
    ::testing::Values(
        VertCase{"SilenceAtBegin", {1, 2, 3}, {4, 5}, 0, {1, 2, 3}, {0, 4, 5}},
        VertCase{"SilenceAtEnd", {1, 2, 3}, {4, 5}, 1, {1, 2, 3}, {4, 5, 0}},
        VertCase{"SilenceAtEndOfTheLeft", {1}, {4, 5, 6}, 1, {1, 0, 0}, {4, 5, 6}},
        // The engine's resampling reads the stretched wave at i × 2 / 3, with 0 past its end.
        VertCase{"StretchShortest", {0, 20, 40}, {0, 10}, 2, {0, 20, 40}, {0, 6, 6}},
        VertCase{"StretchShortestEmpty", {}, {4, 5}, 2, {0, 0}, {4, 5}},
        VertCase{"StretchLongest", {0, 20, 40}, {7, 9}, 3, {0, 30}, {7, 9}},
        VertCase{"StretchLongestEmpty", {1, 2}, {}, 3, {}, {}},
        VertCase{"EqualLengths", {1, 2}, {3, 4}, 1, {1, 2}, {3, 4}}),
    [](const auto& info) { return std::string(info.param.name); });

// Two waves of the same duration whose counts differ once both are resampled to the new rate.
TEST_F(SplitMergeTest, MergeVerticallyEvensOutCountsThatResamplingLeftUnequal)
{
    TMDIChildWave* l = Place("L", Values(V(10, 100), 1, 1000), {0, 0, 100, 100});
    TMDIChildWave* r = Place("R", Values(V(20, 200), 1, 2000), {0, 100, 100, 200});
    const int32_t nL = l->GetUnitWave().GetSound()->CloneMonoWave(nullptr, 4000)->Values();
    const int32_t nR = r->GetUnitWave().GetSound()->CloneMonoWave(nullptr, 4000)->Values();
    ASSERT_NE(nL, nR);
    splitMerge->MergeV(VertProps(l, r, TMergeVertProps::silenceAtEnd, 4000, 1));
    const Sound& sound = *Window("Merge Vert. 1 of (L and R)").GetUnitWave().GetSound();
    EXPECT_EQ(sound.GetValues(), std::max(nL, nR));
    EXPECT_EQ(sound.GetLeftWave()->Values(), sound.GetRightWave()->Values());
    EXPECT_EQ(sound.GetSampleFreq(), 4000);
    EXPECT_EQ(sound.GetBytesPSample(), 1);
    EXPECT_TRUE(messages.Shown().empty()); // no assertion box about unequal channels
}

} // namespace
