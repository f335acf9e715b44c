#pragma once
// "Music": the tool window that edits what the score shows no symbol for: the tempo, the
// staves with their rooms, colours and flags, each stave's note groups with their colour, note
// shape and default stem, and each group's players with their sampler settings; and it plays
// one stave or one note group.
//
// It keeps no cursor of its own: the current stave is the piece's, the current group the
// stave's selected one and the current player its compound player's. Each of the three lists
// has a navigator: First, Previous, Next and Last make a neighbour current, Insert and Append
// add a new element before or after the current one, Delete removes it (never the only one),
// the two move buttons shift it one place. The player page shown is the player's kind;
// choosing another page makes the player that kind, with the settings it keeps for it.

#include "music/ui/MusicToolWindow.h"

#include <functional>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QTabWidget;

namespace kelvorn {

class TColorCombo;
class TCompoundPlayer;
class TMuzList;
class TNoteGroup;
class TNoteStave;
class TOnePlayer;

class TDlgMusic : public TMusicToolWindow
{
    Q_OBJECT

public:
    static constexpr int HelpContextMusic = 51;

    /// host: not owned, must outlive the window.
    TDlgMusic(QWidget* owner, MusicToolHost& host);
    ~TDlgMusic() override;

    /// When stave is the current stave, its panel shows it afresh (its rooms after a drag).
    void RefreshStave(const TNoteStave& stave);

    /// The buttons and fields of one list.
    struct Navigator
    {
        QPushButton* first;
        QPushButton* previous;
        QPushButton* next;
        QPushButton* last;
        QLabel* countLabel;
        QLineEdit* count;
        QLabel* cursorLabel;
        QLineEdit* cursor;
        QPushButton* insert;
        QPushButton* append;
        QPushButton* remove;
        QPushButton* movePrevious;
        QPushButton* moveNext;
    };

    QLabel* lblTempo;
    QLineEdit* editTempo;
    Navigator staves;

    QGroupBox* grpStave;
    QLabel* lblStaveRoomUp;
    QLineEdit* editStaveRoomUp;
    QLabel* lblStaveRoomDown;
    QLineEdit* editStaveRoomDown;
    QLabel* lblStaveForeground;
    TColorCombo* colbStaveForeground;
    QLabel* lblStaveBackground;
    TColorCombo* colbStaveBackground;
    QCheckBox* chkStaveAllowJoinFlags;
    QCheckBox* chkStaveEnableSound;
    QCheckBox* chkStaveExtraLines;
    QLabel* lblStavePlay;
    QPushButton* btnStavePlay;
    Navigator groups;

    QGroupBox* grpNoteGroup;
    QGroupBox* grpGroupNoteShape;
    QRadioButton* rbGroupNoteShapeNormal;
    QRadioButton* rbGroupNoteShapeRectangle;
    QLabel* lblGroupNoteColor;
    TColorCombo* colbGroupNoteColor;
    QCheckBox* chkGroupDrawSticksUp;
    QCheckBox* chkGroupDrawSticksDown;
    QLabel* Label12;
    QPushButton* btnGroupPlay;
    Navigator players;

    QGroupBox* grpPlay;
    QLabel* lblPlayVolumeFactor;
    QLineEdit* editPlayVolumeFactor;
    QLabel* lblPlayFreqUp;
    QLineEdit* editPlayFreqUp;
    QTabWidget* pcPlay;
    QWidget* tsSimpleOneSampler;
    QWidget* tsResonantSampler;
    QWidget* tsRepaetWaveForm;
    QWidget* tsRollOutSampler;
    QWidget* tsRollOutWaveForm;
    QComboBox* cboPlaySOSSampleWave;
    QLineEdit* editPlaySOSBasicFreq;
    QComboBox* cboPlayRSSampleWave;
    QLineEdit* editPlayRSResonantFactor;
    QComboBox* cboPlayRWFSampleWave;
    QComboBox* cboPlayROSSampleWave;
    QLineEdit* editPlayROSBasicFreq;
    QComboBox* cboPlayROWFSampleWave;

    // The current elements of the piece shown, or null.
    TNoteStave* CurrentStave() const;
    TNoteGroup* CurrentGroup() const;
    TOnePlayer* CurrentPlayer() const;

protected:
    void Refill() override;
    /// Fills the five sample-wave lists with the open waves' names.
    void Activated() override;

private:
    using ListOf = std::function<std::unique_ptr<TMuzList>()>;
    enum class Step { First, Previous, Next, Last };

    Navigator MakeNavigator(QWidget* parent, const char* name, int left, int top,
                            const ListOf& list);
    void FillNavigator(Navigator& navigator, TMuzList* list);
    void Walk(const ListOf& list, Step step);
    void Change(const ListOf& list, const std::function<bool(TMuzList&)>& change);

    void FillStavePanel();
    void FillGroupPanel();
    void FillPlayerPanel();
    void BuildFields();
    void BuildControls();

    /// A stave, group or player value changed by a control: repaint and mark modified.
    void StaveEdited();
    void StickClicked(QCheckBox* clicked, QCheckBox* other);
    void PageChosen(int page);
    void Play(bool group);

    QButtonGroup* noteShapes;
};

} // namespace kelvorn
