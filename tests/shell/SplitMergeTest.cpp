// Split and merge: the parts and merged waves, their names, and where their windows go.
#include "ShellSupport.h"

#include "document/records/MergeRecords.h"
#include "waveui/dialogs/SplitMergeDialogs.h"

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
        return *dynamic_cast<TMDIChildWave*>(
            form->Documents().FindChildOf(form->Documents().FindUnitWave(name)));
    }
    V Left(const std::string& name) { return LeftOf(*Window(name).GetUnitWave().GetSound()); }
    /// Bounds (left, top, right, bottom), right and bottom past the window, as QRect corners.
    static QRect Edges(const QWidget& window) { return window.geometry().adjusted(0, 0, 1, 1); }
    static QRect R(int left, int top, int right, int bottom)
    {
        return {QPoint(left, top), QPoint(right, bottom)};
    }
};

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

TEST_F(SplitMergeTest, MergeVerticallyMakesTheChannelsEquallyLongByTheRule)
{
    // The left and right waves, the rule, the merged left and right channels.
    const std::tuple<V, V, uint8_t, V, V> rows[] = {
        {{1, 2, 3}, {4, 5}, 0, {1, 2, 3}, {0, 4, 5}},
        {{1, 2, 3}, {4, 5}, 1, {1, 2, 3}, {4, 5, 0}},
        {{1}, {4, 5, 6}, 1, {1, 0, 0}, {4, 5, 6}},
        // The stretched wave is read at i × 2 / 3, with 0 past its end.
        {{0, 20, 40}, {0, 10}, 2, {0, 20, 40}, {0, 6, 6}},
        {{}, {4, 5}, 2, {0, 0}, {4, 5}},
        {{0, 20, 40}, {7, 9}, 3, {0, 30}, {7, 9}},
        {{1, 2}, {}, 3, {}, {}},
        {{1, 2}, {3, 4}, 1, {1, 2}, {3, 4}}};
    for (const auto& [left, right, rule, mergedLeft, mergedRight] : rows) {
        TMDIChildWave* l = Place("L", Values(left, 1, 1000), R(0, 0, 300, 101));
        TMDIChildWave* r = Place("R", Values(right, 1, 1000), R(40, 301, 340, 400));
        TMergeVertProps props;
        props.left.Set("L", &l->GetUnitWave());
        props.right.Set("R", &r->GetUnitWave());
        props.makeLengthsEqual = rule;
        props.SampleFreq = 1000;
        props.BytesPSample = 2;
        splitMerge->MergeV(props);
        TMDIChildWave& merged = Window("Merge Vert. 1 of (L and R)");
        const Sound& sound = *merged.GetUnitWave().GetSound();
        EXPECT_EQ(sound.GetMonoStereo(), 2);
        EXPECT_EQ(LeftOf(sound), mergedLeft);
        EXPECT_EQ(RightOf(sound), mergedRight);
        // d = (301 - 101) / 2 = 100: the means across, 101 + 100 down to 400 - 100 + 1.
        EXPECT_EQ(Edges(merged), R(20, 100, 320, 301));
        EXPECT_EQ(Names(), std::vector<std::string>{"Merge Vert. 1 of (L and R)"});
        delete &merged;
    }
    EXPECT_TRUE(messages.Shown().empty());
}

// A minimised wave splits and merges at its own place, not its icon's; parts made while a
// maximised wave is active come up maximised, and restored they take the halves of its place.
TEST_F(SplitMergeTest, AMinimisedOrMaximisedWaveSplitsAtItsOwnPlace)
{
    const QRect own = R(10, 20, 610, 420);
    for (const bool maximised : {false, true}) {
        SCOPED_TRACE(maximised ? "maximised" : "minimised");
        TMDIChildWave* source = Place("Wave", Pattern(1000, 3), own);
        if (maximised)
            source->showMaximized();
        else
            source->showMinimized();
        // The source's bounds as the split reads them: left, top, right and bottom.
        const QSize area = form->Frame()->viewport()->size();
        const QRect e = maximised ? R(0, 0, area.width(), area.height()) : own;
        Trigger("SplitV");
        const int mid = (e.top() + e.bottom()) / 2;
        const std::pair<const char*, QRect> parts[] = {
            {"Left Part 1 of Wave", R(e.left(), e.top(), e.right(), mid - 1)},
            {"Right Part 1 of Wave", R(e.left(), mid, e.right(), e.bottom())}};
        for (const auto& [name, edges] : parts) {
            TMDIChildWave& part = Window(name);
            EXPECT_FALSE(part.isMinimized()) << name;
            if (part.isMaximized()) {
                EXPECT_EQ(part.geometry(), QRect(QPoint(0, 0), area)) << name;
                part.showNormal();
            }
            EXPECT_EQ(Edges(part), edges) << name;
        }
        for (QMdiSubWindow* window : form->Frame()->subWindowList())
            delete window;
    }

    TMDIChildWave* l = Place("L", Values({1, 2}, 1, 1000), R(0, 0, 300, 101));
    Place("R", Values({3, 4}, 1, 1000), R(40, 301, 340, 400));
    l->showMinimized();
    TMergeVertProps props;
    props.left.Set("L", &l->GetUnitWave());
    props.right.Set("R", &Window("R").GetUnitWave());
    props.SampleFreq = 1000;
    props.BytesPSample = 2;
    splitMerge->MergeV(props);
    EXPECT_EQ(Edges(Window("Merge Vert. 1 of (L and R)")), R(20, 100, 320, 301));
}

} // namespace
