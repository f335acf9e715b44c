// Split and merge: the parts and merged waves, their names, and where their windows go.
#include "ShellSupport.h"

#include "document/records/MergeRecords.h"
#include "waveui/ViewWave.h"
#include "waveui/ViewWaveGroup.h"
#include "waveui/dialogs/SplitMergeDialogs.h"

#include <QComboBox>
#include <QRadioButton>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class SplitMergeTest : public CommandsTest
{
protected:
    /// A wave window named name around sound with bounds (left, top, right, bottom).
    TMDIChildWave* Place(const std::string& name, SoundPtr sound, QRect r)
    {
        TMDIChildWave* window = NewWave(name, std::move(sound));
        window->GetUnitWave().ClearModified();
        window->setGeometry(r.left(), r.top(), r.right() - r.left(), r.bottom() - r.top());
        QCoreApplication::processEvents();
        return window;
    }
    TMDIChildWave& Window(const std::string& name)
    {
        auto* unit = form->Documents().FindUnitWave(name);
        EXPECT_NE(unit, nullptr) << name;
        return *dynamic_cast<TMDIChildWave*>(form->Documents().FindChildOf(unit));
    }
    V Left(const std::string& name) { return LeftOf(*Window(name).GetUnitWave().GetSound()); }
    /// (left, top, right, bottom) as QRect's corners.
    static QRect Edges(const QWidget& window)
    {
        const QRect g = window.geometry();
        return QRect(QPoint(g.x(), g.y()), QPoint(g.x() + g.width(), g.y() + g.height()));
    }
    static QRect R(int left, int top, int right, int bottom)
    {
        return QRect(QPoint(left, top), QPoint(right, bottom));
    }
};

TEST_F(SplitMergeTest, SplitHorizontallyAtACursorMakesTwoWindowsWithoutAQuestion)
{
    TMDIChildWave* source = Place("Wave 1", Values(Steps(10)), R(0, 0, 500, 300));
    source->GetUnitWave().SetCursor(4);
    // The volume diagram's writer runs in the source until its window goes.
    source->SetWaveWindKind(mergeWindVolume);
    form->Documents().MakeUndo(source->GetUnitWave());
    Trigger("SplitH");
    EXPECT_EQ(Names().size(), 2u);
    EXPECT_EQ(Left("First Part 1 of Wave 1"), (V{0, 1, 2, 3}));
    EXPECT_EQ(Left("Last Part 1 of Wave 1"), (V{4, 5, 6, 7, 8, 9}));
    // 500 × 4 / 10: the cursor's place on screen.
    EXPECT_EQ(Edges(Window("First Part 1 of Wave 1")), R(0, 0, 200, 300));
    EXPECT_EQ(Edges(Window("Last Part 1 of Wave 1")), R(200, 0, 500, 300));
    // The source is gone at once, and with it the undo record it had.
    EXPECT_EQ(form->Frame()->subWindowList().size(), 2);
    EXPECT_EQ(form->Documents().GetUndo(), nullptr);
    for (const char* name : {"First Part 1 of Wave 1", "Last Part 1 of Wave 1"}) {
        EXPECT_TRUE(Window(name).GetUnitWave().IsUntitled());
        EXPECT_FALSE(Window(name).GetUnitWave().IsDataModified());
        EXPECT_EQ(Window(name).GetWaveWindKind(), mergeWindVolume);
    }
    // An empty wave halves its window.
    Place("Empty", Values({}, 2), R(0, 10, 301, 110));
    splitMerge->SplitHExecute();
    EXPECT_EQ(Edges(Window("First Part 1 of Empty")), R(0, 10, 150, 110));
    EXPECT_EQ(Edges(Window("Last Part 1 of Empty")), R(150, 10, 301, 110));
    EXPECT_EQ(Window("Last Part 1 of Empty").GetUnitWave().GetMonoStereo(), 2);
}

TEST_F(SplitMergeTest, EachSplitChoiceCutsThePartsAndPlacesTheirWindows)
{
    struct Part
    {
        const char* name;
        int32_t begin, end;
        QRect rect;
    };
    const std::vector<Part> choices[] = {
        {{"First", 0, 100, R(10, 20, 110, 420)},
         {"Middle", 100, 200, R(110, 20, 210, 420)},
         {"Last", 200, 1000, R(210, 20, 1010, 420)}},
        // Both parts hold the selection, so their windows overlap.
        {{"First", 0, 200, R(10, 20, 210, 420)}, {"Last", 100, 1000, R(110, 20, 1010, 420)}},
        {{"First", 0, 100, R(10, 20, 110, 420)}, {"Last", 200, 1000, R(210, 20, 1010, 420)}}};
    for (uint8_t choice = 0; choice < 3; ++choice) {
        TMDIChildWave* source = Place("Wave", Values(Steps(1000)), R(10, 20, 1010, 420));
        source->GetUnitWave().SetPart(100, 200);
        // A cancelled split changes nothing, the choice included.
        for (DialogResult result : {DialogResult::Rejected, DialogResult::Accepted})
            dialogs.When(
                "TDlgSplitHorProps",
                [choice](ModalDialog& modal) {
                    DialogAs<TDlgSplitHorProps>(modal)->resultItems[choice]->setChecked(true);
                },
                result);
        const uint8_t before = form->SplitHorProps().result;
        Trigger("SplitH");
        EXPECT_EQ(Names(), std::vector<std::string>{"Wave"});
        EXPECT_EQ(form->SplitHorProps().result, before);
        Trigger("SplitH");
        EXPECT_EQ(Names().size(), choices[choice].size());
        for (const Part& part : choices[choice]) {
            const std::string name = std::string(part.name) + " Part 1 of Wave";
            const V all = Steps(part.end);
            EXPECT_EQ(Left(name), V(all.begin() + part.begin, all.end())) << name;
            EXPECT_EQ(Edges(Window(name)), part.rect) << name;
            EXPECT_EQ(Window(name).GetUnitWave().GetPos1(), 0) << name;
        }
        // The choice is kept for the next split.
        EXPECT_EQ(form->SplitHorProps().result, choice);
        for (QMdiSubWindow* window : form->Frame()->subWindowList())
            delete window;
    }
}

TEST_F(SplitMergeTest, SplitVerticallyKeepsSelectionSplitAndZoomInBothHalves)
{
    TMDIChildWave* source = Place("Wave 1", Values(Steps(1000), 2, 22050, 1), R(0, 0, 801, 401));
    TUnitWave& unit = source->GetUnitWave();
    unit.SetPos1(300);
    unit.SetPos2(100);
    TViewWaveGroup& group = source->GetViewWaveGroup();
    group.SetSplitPosition(0.4);
    group.GetView(2)->ZoomTo(200, 600, true);
    const double zoomBegin = group.GetView(2)->GetZoomBegin();
    const double zoomEnd = group.GetView(2)->GetZoomEnd();
    const double split = group.GetSplitPosition();
    form->Documents().MakeUndo(unit);
    Trigger("SplitV");
    TMDIChildWave& upper = Window("Left Part 1 of Wave 1");
    TMDIChildWave& lower = Window("Right Part 1 of Wave 1");
    // The upper window ends one pixel above the middle (401 / 2 = 200).
    EXPECT_EQ(Edges(upper), R(0, 0, 801, 199));
    EXPECT_EQ(Edges(lower), R(0, 200, 801, 401));
    EXPECT_EQ(LeftOf(*upper.GetUnitWave().GetSound()), Steps(1000));
    EXPECT_EQ(LeftOf(*lower.GetUnitWave().GetSound()), RightOf(*Values(Steps(1000), 2)));
    for (TMDIChildWave* half : {&upper, &lower}) {
        TUnitWave& part = half->GetUnitWave();
        EXPECT_EQ(part.GetMonoStereo() * 100000 + part.GetSampleFreq() * 10 +
                      part.GetBytesPSample(),
                  100000 + 220501);
        EXPECT_EQ(part.GetPartBegin() * 1000 + part.GetPartEnd(), 100300);
        TViewWaveGroup& halfGroup = half->GetViewWaveGroup();
        EXPECT_NEAR(halfGroup.GetSplitPosition(), split, 0.01);
        EXPECT_FALSE(halfGroup.GetView(1)->IsZoomed());
        EXPECT_EQ(halfGroup.GetView(2)->GetZoomBegin(), zoomBegin);
        EXPECT_EQ(halfGroup.GetView(2)->GetZoomEnd(), zoomEnd);
    }
    EXPECT_EQ(form->Documents().GetUndo(), nullptr);

    // A cursor goes to both; the names count on past those already open; mono does nothing.
    TMDIChildWave* second = Place("Wave 2", Values(Steps(10), 2), R(0, 0, 400, 300));
    second->GetUnitWave().SetCursor(7);
    Place("Left Part 1 of Wave 2", Values(Steps(2)), R(0, 0, 100, 100));
    form->Frame()->setActiveSubWindow(second);
    Trigger("SplitV");
    EXPECT_TRUE(Window("Left Part 2 of Wave 2").GetUnitWave().IsCursor());
    EXPECT_EQ(Window("Right Part 1 of Wave 2").GetUnitWave().GetPos2(), 7);
    const size_t count = Names().size();
    splitMerge->SplitVExecute();
    EXPECT_EQ(Names().size(), count);
}

TEST_F(SplitMergeTest, MergeHorizontallyJoinsInTheChosenFormatAndPlacesTheNewWindow)
{
    TMDIChildWave* a = Place("A", Values({1, 2, 3}), R(0, 0, 300, 200));
    Place("B", Values({4, 5}), R(401, 51, 701, 251));
    form->Documents().MakeUndo(a->GetUnitWave());
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
    EXPECT_EQ(Left("Merge Hor. 1 of (A and B)"), (V{1, 2, 3, 4, 5}));
    // d = (401 - 300) / 2 = 50: left 0 + 50, right 701 - 50 + 1, top and bottom the means.
    EXPECT_EQ(Edges(Window("Merge Hor. 1 of (A and B)")), R(50, 25, 652, 225));
    EXPECT_EQ(form->Documents().GetUndo(), nullptr);
    EXPECT_TRUE(form->MergeHorProps() == before) << "the record served this run only";

    struct Row
    {
        int16_t firstChannels, lastChannels, channels, bytes;
        V first, merged;
    };
    // A stereo first is mixed down: its right channel is the left's negative.
    const Row rows[] = {{1, 1, 1, 2, {1, 2}, {1, 2, 3}},
                        {1, 1, 1, 1, {1, 2}, {1, 2, 3}},
                        {2, 1, 1, 2, {10, 20}, {0, 0, 3}},
                        {1, 2, 2, 2, {10, 20}, {10, 20, 3}}};
    for (const Row& row : rows) {
        const SoundPtr firstSound = Values(row.first, row.firstChannels, 1000);
        TMDIChildWave* first = Place("C", firstSound, R(0, 0, 100, 100));
        TMDIChildWave* last = Place("D", Values({3}, row.lastChannels, 1000), R(100, 0, 200, 100));
        TMergeHorProps props;
        props.first.Set("C", &first->GetUnitWave());
        props.last.Set("D", &last->GetUnitWave());
        props.MonoStereo = row.channels;
        props.SampleFreq = 1000;
        props.BytesPSample = row.bytes;
        splitMerge->MergeH(props);
        const Sound& merged = *Window("Merge Hor. 1 of (C and D)").GetUnitWave().GetSound();
        EXPECT_EQ(merged.GetMonoStereo(), row.channels);
        EXPECT_EQ(merged.GetSampleFreq(), 1000);
        EXPECT_EQ(merged.GetBytesPSample(), row.bytes);
        EXPECT_EQ(LeftOf(merged), row.merged);
        EXPECT_EQ(LeftOf(*firstSound), row.first) << "the source's sound was only read";
        for (QMdiSubWindow* window : form->Frame()->subWindowList())
            delete window;
    }
}

TEST_F(SplitMergeTest, MergeVerticallyMakesTheChannelsEquallyLongByTheRule)
{
    struct Row
    {
        V left, right;
        uint8_t rule;
        V mergedLeft, mergedRight;
    };
    const Row rows[] = {{{1, 2, 3}, {4, 5}, 0, {1, 2, 3}, {0, 4, 5}},
                        {{1, 2, 3}, {4, 5}, 1, {1, 2, 3}, {4, 5, 0}},
                        {{1}, {4, 5, 6}, 1, {1, 0, 0}, {4, 5, 6}},
                        // The stretched wave is read at i × 2 / 3, with 0 past its end.
                        {{0, 20, 40}, {0, 10}, 2, {0, 20, 40}, {0, 6, 6}},
                        {{}, {4, 5}, 2, {0, 0}, {4, 5}},
                        {{0, 20, 40}, {7, 9}, 3, {0, 30}, {7, 9}},
                        {{1, 2}, {}, 3, {}, {}},
                        {{1, 2}, {3, 4}, 1, {1, 2}, {3, 4}}};
    for (const Row& row : rows) {
        TMDIChildWave* l = Place("L", Values(row.left, 1, 1000), R(0, 0, 300, 101));
        TMDIChildWave* r = Place("R", Values(row.right, 1, 1000), R(40, 301, 340, 400));
        TMergeVertProps props;
        props.left.Set("L", &l->GetUnitWave());
        props.right.Set("R", &r->GetUnitWave());
        props.makeLengthsEqual = row.rule;
        props.SampleFreq = 1000;
        props.BytesPSample = 2;
        splitMerge->MergeV(props);
        TMDIChildWave& merged = Window("Merge Vert. 1 of (L and R)");
        const Sound& sound = *merged.GetUnitWave().GetSound();
        EXPECT_EQ(sound.GetMonoStereo(), 2);
        EXPECT_EQ(LeftOf(sound), row.mergedLeft);
        EXPECT_EQ(RightOf(sound), row.mergedRight);
        // d = (301 - 101) / 2 = 100: the means across, 101 + 100 down to 400 - 100 + 1.
        EXPECT_EQ(Edges(merged), R(20, 100, 320, 301));
        EXPECT_EQ(Names(), std::vector<std::string>{"Merge Vert. 1 of (L and R)"});
        delete &merged;
    }
    EXPECT_TRUE(messages.Shown().empty());
}

} // namespace
