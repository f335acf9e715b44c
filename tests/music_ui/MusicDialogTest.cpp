// The "Music" tool window on real music windows: its cleared state, the three navigators, the
// typed fields with their boxes, the controls that change a stave, group or player at once, the
// player pages and refills that change nothing.
#include "support/MusicWindows.h"

#include "music/core/MuzLists.h"
#include "music/ui/MusicDialog.h"
#include "window_base/ColorCombo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class MusicDialogTest : public MusicToolTest<TDlgMusic>
{
protected:
    /// A navigator as "count/cursor" and its buttons, "." for a disabled one.
    static std::string State(const TDlgMusic::Navigator& n)
    {
        std::string text =
            n.count->text().toStdString() + "/" + n.cursor->text().toStdString() + " ";
        const std::pair<QPushButton*, char> buttons[] = {
            {n.first, 'f'},  {n.previous, 'p'},     {n.next, 'n'},
            {n.last, 'l'},   {n.insert, 'i'},       {n.append, 'a'},
            {n.remove, 'd'}, {n.movePrevious, '<'}, {n.moveNext, '>'}};
        for (const auto& [button, letter] : buttons)
            text += button->isEnabled() ? letter : '.';
        return text;
    }
};

TEST_F(MusicDialogTest, WithoutAPieceEveryFieldIsEmptyAndDisabled)
{
    auto expectAllOff = [this](const char* when) {
        SCOPED_TRACE(when);
        for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
            EXPECT_TRUE(edit->text().isEmpty()) << edit->objectName().toStdString();
            EXPECT_TRUE(edit->isReadOnly() || !edit->isEnabled())
                << edit->objectName().toStdString();
        }
        for (QComboBox* combo : dialog.findChildren<QComboBox*>())
            EXPECT_FALSE(combo->isEnabled()) << combo->objectName().toStdString();
        for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
            const bool stays = button == dialog.btnClose || button == dialog.btnHelp;
            EXPECT_EQ(button->isEnabled(), stays) << button->objectName().toStdString();
            EXPECT_FALSE(button->isChecked()) << button->objectName().toStdString();
        }
        EXPECT_FALSE(dialog.pcPlay->isEnabled());
    };
    expectAllOff("never shown a piece");
    Show(PieceWithRooms({{80, 80}}));
    EXPECT_TRUE(dialog.editTempo->isEnabled() && dialog.btnApply->isEnabled());
    dialog.SetUnitMuz(nullptr);
    expectAllOff("after one");
    EXPECT_EQ(dialog.windowTitle(), "Music");
    EXPECT_EQ(dialog.HelpContext(), 51);
    EXPECT_EQ(dialog.windowType(), Qt::Tool);
    EXPECT_FALSE(dialog.isModal() || dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(MusicDialogTest, NavigatorsOfferWhatTheCursorAllowsAndEditTheirLists)
{
    TUnitMuz& doc = Show(PieceWithRooms({{81, 80}, {82, 80}, {83, 80}}));
    auto rooms = [&doc] {
        std::string text;
        for (TNoteStave* s = doc.GetFirstStave(); s; s = s->GetNext())
            text +=
                std::to_string(s->RoomUp.GetValue()) + (s == doc.GetCurrentStave() ? "* " : " ");
        return text;
    };
    struct Step
    {
        TDlgMusic::Navigator TDlgMusic::*navigator;
        QPushButton* TDlgMusic::Navigator::*button;
        const char* state;
        bool modified;
    };
    using N = TDlgMusic::Navigator;
    const Step steps[] = {
        {&TDlgMusic::staves, nullptr, "3/3 fp..iad<.", false},
        {&TDlgMusic::staves, &N::first, "3/1 ..nliad.>", false},
        {&TDlgMusic::staves, &N::insert, "4/1 ..nliad.>", true},
        {&TDlgMusic::staves, &N::last, "4/4 fp..iad<.", false},
        {&TDlgMusic::staves, &N::remove, "3/3 fp..iad<.", true},
        {&TDlgMusic::staves, &N::movePrevious, "3/2 fpnliad<>", true},
        {&TDlgMusic::groups, nullptr, "1/1 ....ia...", false},
        {&TDlgMusic::groups, &N::append, "2/2 fp..iad<.", true},
        {&TDlgMusic::groups, &N::first, "2/1 ..nliad.>", false},
        {&TDlgMusic::groups, &N::moveNext, "2/2 fp..iad<.", true},
        {&TDlgMusic::groups, &N::remove, "1/1 ....ia...", true},
        {&TDlgMusic::players, &N::insert, "2/1 ..nliad.>", true},
        {&TDlgMusic::players, &N::last, "2/2 fp..iad<.", false},
        {&TDlgMusic::players, &N::remove, "1/1 ....ia...", true},
    };
    for (const Step& step : steps) {
        doc.ClearModified();
        if (step.button)
            (dialog.*step.navigator.*step.button)->click();
        EXPECT_EQ(State(dialog.*step.navigator), step.state);
        EXPECT_EQ(doc.IsModified(), step.modified) << step.state;
    }
    // Inserted before the first: the default stave at the front; the last deleted made its
    // predecessor current, and the move kept the stave current.
    EXPECT_EQ(rooms(), "80 82* 81 ");
    EXPECT_EQ(dialog.editStaveRoomUp->text(), "82");
    EXPECT_TRUE(messages.Unexpected().empty());
}

TEST_F(MusicDialogTest, TypedValuesAreTakenOnLeavingAndARefusedOneKeepsTheFocus)
{
    TUnitMuz& doc = Show(PieceWithRooms({{80, 80}}));
    TNoteStave* stave = doc.GetFirstStave();
    TOnePlayer& player = *stave->GetFirstNoteGroup()->GetPlayer()->GetFirstOnePlayer();
    auto simple = [&player] { return player.OnePlayerProps.GetSimpleSamplerProps(); };
    std::string abc;
    unitInteger(0, EHNone).FromText("abc", "Room Up", abc);
    struct Case
    {
        QWidget* field;
        const char* text;
        std::string box; // "" for a text taken
        std::function<std::string()> stored;
        const char* want;
    };
    auto roomUp = [stave] { return stave->RoomUp.ToText(); };
    BoxesLeaveTheKeyboard boxes(area);
    ASSERT_TRUE(Focus(&dialog));
    const Case cases[] = {
        {dialog.editStaveRoomUp, "abc", "Input Error: " + abc, roomUp, "80"},
        {dialog.editStaveRoomUp, "10001",
         "Input Error: In Room Up: Value must be less or "
         "equal of 10000.",
         roomUp, "80"},
        {dialog.editStaveRoomUp, "10000", "", roomUp, "10000"},
        {dialog.editStaveRoomDown, " 95", "", [stave] { return stave->RoomDown.ToText(); }, "95"},
        {dialog.editTempo, "500 ms", "", [&doc] { return std::to_string(doc.tempo.GetValue()); },
         "0.500000"},
        {dialog.editPlayVolumeFactor, "2", "",
         [&player] { return player.OnePlayerProps.VolumeFactor.ToText(); }, "2"},
        {dialog.editPlaySOSBasicFreq, "250 Hz", "",
         [&] { return std::to_string(1 / simple().BasicFreq.GetValue()); }, "250.000000"},
        {dialog.cboPlaySOSSampleWave, " ",
         "Input Error: In Sample Wave: Field should not be empty.",
         [&] { return simple().SampleWave.GetCaption(); }, "sample"},
        {dialog.cboPlaySOSSampleWave, "a<b",
         "Input Error: In Sample Wave: A name cannot hold "
         "\"<\" or \">\".",
         [&] { return simple().SampleWave.GetCaption(); }, "sample"},
        {dialog.cboPlaySOSSampleWave, "\xce\xbb",
         "Input Error: In Sample Wave: A name can only "
         "hold characters of Latin-1.",
         [&] { return simple().SampleWave.GetCaption(); }, "sample"},
        // Stored as typed, whether or not such a wave is open.
        {dialog.cboPlaySOSSampleWave, "Nowhere", "",
         [&] { return simple().SampleWave.GetCaption(); }, "Nowhere"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        doc.ClearModified();
        const bool refused = !c.box.empty();
        EXPECT_EQ(Type(c.field, c.text, true, refused),
                  refused ? std::vector<std::string>{c.box} : std::vector<std::string>{});
        EXPECT_EQ(c.stored(), c.want);
        EXPECT_EQ(doc.IsModified(), !refused);
        EXPECT_EQ(dialog.HasPendingField(), refused);
        if (refused) {
            // The text stays with the keyboard; nothing else runs until it is taken.
            EXPECT_TRUE(KeyboardIn(c.field));
            dialog.staves.append->click();
            EXPECT_EQ(doc.CountStaves(), 1);
            EXPECT_TRUE(messages.Shown().empty()) << "no second box for the same text";
            dialog.SetUnitMuz(window);
        }
    }
    EXPECT_TRUE(messages.Unexpected().empty());
}

TEST_F(MusicDialogTest, ControlsChangeTheCurrentStaveGroupAndPlayerAtOnce)
{
    TUnitMuz& doc = Show(PieceWithRooms({{80, 80}}));
    TNoteStave& stave = *doc.GetFirstStave();
    TNoteGroup& group = *stave.GetFirstNoteGroup();
    struct Case
    {
        QAbstractButton* button;
        std::function<std::string()> value;
        const char* want;
    };
    auto flags = [&stave] {
        return std::to_string(stave.drawFlagKind) + std::to_string(stave.Mute) +
               std::to_string(stave.ExtraLines);
    };
    auto stem = [&group] { return std::to_string(group.GetDefaultStem()); };
    const Case cases[] = {
        {dialog.chkStaveAllowJoinFlags, flags, "000"},
        {dialog.chkStaveEnableSound, flags, "010"},
        {dialog.chkStaveExtraLines, flags, "011"},
        // The two stem boxes: one checked unchecks the other; neither is automatic.
        {dialog.chkGroupDrawSticksDown, stem, "1"},
        {dialog.chkGroupDrawSticksUp, stem, "0"},
        {dialog.chkGroupDrawSticksUp, stem, "2"},
        {dialog.rbGroupNoteShapeRectangle, [&group] { return std::to_string(group.NoteShape); },
         "1"},
    };
    for (const Case& c : cases) {
        doc.ClearModified();
        c.button->click();
        EXPECT_EQ(c.value(), c.want) << c.button->objectName().toStdString();
        EXPECT_TRUE(doc.IsModified());
    }
    EXPECT_FALSE(dialog.chkGroupDrawSticksDown->isChecked());
    dialog.colbStaveBackground->ChooseRow(dialog.colbStaveBackground->findText("Red"));
    dialog.colbGroupNoteColor->ChooseRow(dialog.colbGroupNoteColor->findText("Blue"));
    EXPECT_EQ(stave.BackgroundColor, 0x0000FFu);
    EXPECT_EQ(group.NoteColor, 0xFF0000u);
    // What the controls set is what the dialog shows again.
    dialog.SetUnitMuz(window);
    EXPECT_EQ(dialog.colbStaveBackground->Color(), 0x0000FF);
    EXPECT_FALSE(dialog.chkStaveEnableSound->isChecked());
    EXPECT_TRUE(dialog.rbGroupNoteShapeRectangle->isChecked());
}

TEST_F(MusicDialogTest, APageMakesThePlayerItsKindWithTheSettingsItKeepsForIt)
{
    TUnitMuz& doc = Show(PieceWithRooms({{80, 80}}));
    TOnePlayerProps& props =
        doc.GetFirstStave()->GetFirstNoteGroup()->GetPlayer()->GetFirstOnePlayer()->OnePlayerProps;
    TRollOutSamplerProps kept;
    kept.SampleWave = unitUnitWave("kept");
    props.SetRollOutSamplerProps(kept);
    props.SetKind(notePlayerSimpleSampler);
    dialog.SetUnitMuz(window);
    EXPECT_EQ(dialog.pcPlay->currentIndex(), 0);
    EXPECT_FALSE(doc.IsModified()) << "a refill changes nothing";
    dialog.pcPlay->setCurrentIndex(notePlayerRollOutSampler);
    EXPECT_EQ(props.GetKind(), notePlayerRollOutSampler);
    EXPECT_EQ(dialog.cboPlayROSSampleWave->currentText(), "kept");
    EXPECT_EQ(dialog.editPlayROSBasicFreq->text().toStdString(), kept.BasicFreq.ToText());
    EXPECT_TRUE(doc.IsModified());
    // A value typed on the page left is taken before the page changes; refused, the page stays
    // and the keyboard comes back to it.
    BoxesLeaveTheKeyboard boxes(area);
    messages.Expect();
    TypeKeys(dialog.editPlayROSBasicFreq, "x");
    dialog.pcPlay->setCurrentIndex(notePlayerResonantSampler);
    EXPECT_EQ(props.GetKind(), notePlayerRollOutSampler);
    EXPECT_EQ(dialog.pcPlay->currentIndex(), int(notePlayerRollOutSampler));
    EXPECT_EQ(messages.Shown().size(), 1u);
    EXPECT_TRUE(KeyboardIn(dialog.editPlayROSBasicFreq));
}

TEST_F(MusicDialogTest, AStaveAfterADragIsShownAgainWhenItIsTheCurrentOne)
{
    TUnitMuz& doc = Show(PieceWithRooms({{80, 80}, {90, 70}}));
    doc.GetFirstStave()->GetNext()->RoomUp.SetValue(120);
    dialog.RefreshStave(*doc.GetFirstStave());
    EXPECT_EQ(dialog.editStaveRoomUp->text(), "90") << "not the stave shown";
    dialog.RefreshStave(*doc.GetFirstStave()->GetNext());
    EXPECT_EQ(dialog.editStaveRoomUp->text(), "120");
    EXPECT_FALSE(doc.IsModified());
}

} // namespace
