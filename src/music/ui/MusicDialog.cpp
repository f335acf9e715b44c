#include "music/ui/MusicDialog.h"

#include "general/GuiMessages.h"
#include "music/core/MuzFile.h"
#include "music/core/MuzLists.h"
#include "music/core/NotePlayer.h"
#include "music/core/Stave.h"
#include "music/core/UnitMuz.h"
#include "music/ui/MusicWindow.h"
#include "window_base/ColorCombo.h"
#include "window_base/EditFields.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace kelvorn {

namespace {

using Tool = TMusicToolWindow;

QLabel* Caption(QWidget* parent, const char* name, const char* text, int left, int top, int width)
{
    return Tool::At(Tool::Named(new QLabel(QLatin1String(text), parent), name), left, top + 4,
                    width, 15);
}

/// A page of the player's kinds: the sample-wave list and, for some kinds, one more field.
QComboBox* PlayerPage(QTabWidget* pages, QWidget*& page, const char* pageName, const char* caption,
                      const char* comboName)
{
    page = Tool::Named(new QWidget(pages), pageName);
    pages->addTab(page, QLatin1String(caption));
    Caption(page, "", "Sample Wave", 8, 8, 90);
    auto* combo = Tool::At(Tool::Named(new QComboBox(page), comboName), 104, 8, 220, 22);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

QLineEdit* PageField(QWidget* page, const char* name, const char* caption)
{
    Caption(page, "", caption, 8, 38, 110);
    return Tool::At(Tool::Named(new QLineEdit(page), name), 120, 38, 90, 21);
}

void Check(QCheckBox* box, bool on)
{
    box->setEnabled(true);
    box->setChecked(on);
}

void Uncheck(QCheckBox* box)
{
    box->setChecked(false);
    box->setEnabled(false);
}

} // namespace

TDlgMusic::TDlgMusic(QWidget* owner, MusicToolHost& host)
    : TMusicToolWindow(owner, host, QSize(700, 640), HelpContextMusic)
{
    setObjectName(QStringLiteral("DlgMusic"));
    setWindowTitle(QStringLiteral("Music"));
    BuildControls();
    BuildFields();
    RefillAll();
}

TDlgMusic::~TDlgMusic() = default;

// ---- Building --------------------------------------------------------------------------------

TDlgMusic::Navigator TDlgMusic::MakeNavigator(QWidget* parent, const char* name, int left, int top,
                                              const ListOf& list)
{
    auto button = [&](const char* part, const char* text, int x, int width, int y) {
        const std::string objectName = std::string("btn") + name + part;
        auto* b = new QPushButton(QLatin1String(text), parent);
        b->setObjectName(QString::fromLatin1(objectName.c_str()));
        b->setAutoDefault(false);
        return At(b, left + x, top + y, width, 23);
    };
    auto field = [&](const char* part, const char* text, int x, QLabel*& label) {
        const std::string editName = std::string("edit") + name + part;
        const std::string labelName = std::string("lbl") + name + part;
        label = Caption(parent, labelName.c_str(), text, left + x, top, 40);
        auto* edit = new QLineEdit(parent);
        edit->setObjectName(QString::fromLatin1(editName.c_str()));
        edit->setReadOnly(true);
        return At(edit, left + x + 42, top, 44, 21);
    };
    Navigator n{};
    n.first = button("First", "|<", 0, 28, 0);
    n.previous = button("Previous", "<", 30, 28, 0);
    n.next = button("Next", ">", 60, 28, 0);
    n.last = button("Last", ">|", 90, 28, 0);
    n.count = field("Count", "Count", 128, n.countLabel);
    n.cursor = field("Cursor", "Cursor", 222, n.cursorLabel);
    n.insert = button("Insert", "Insert", 0, 60, 26);
    n.append = button("Append", "Append", 64, 60, 26);
    n.remove = button("Delete", "Delete", 128, 60, 26);
    n.movePrevious = button("MovePrev", "<<", 200, 28, 26);
    n.moveNext = button("MoveNext", ">>", 230, 28, 26);
    n.movePrevious->setToolTip(QStringLiteral("Move one place back"));
    n.moveNext->setToolTip(QStringLiteral("Move one place on"));

    connect(n.first, &QPushButton::clicked, this, [this, list] { Walk(list, Step::First); });
    connect(n.previous, &QPushButton::clicked, this, [this, list] { Walk(list, Step::Previous); });
    connect(n.next, &QPushButton::clicked, this, [this, list] { Walk(list, Step::Next); });
    connect(n.last, &QPushButton::clicked, this, [this, list] { Walk(list, Step::Last); });
    auto change = [this, list](std::function<bool(TMuzList&)> what) {
        return [this, list, what] { Change(list, what); };
    };
    connect(n.insert, &QPushButton::clicked, this, change([](TMuzList& l) {
                l.Insert(false);
                return true;
            }));
    connect(n.append, &QPushButton::clicked, this, change([](TMuzList& l) {
                l.Insert(true);
                return true;
            }));
    connect(n.remove, &QPushButton::clicked, this,
            change([](TMuzList& l) { return l.DeleteCurrent(); }));
    connect(n.movePrevious, &QPushButton::clicked, this,
            change([](TMuzList& l) { return l.MoveCurrent(false); }));
    connect(n.moveNext, &QPushButton::clicked, this,
            change([](TMuzList& l) { return l.MoveCurrent(true); }));
    return n;
}

void TDlgMusic::BuildControls()
{
    lblTempo = Caption(this, "lblTempo", "Tempo", 8, 8, 40);
    editTempo = At(Named(new QLineEdit(this), "editTempo"), 52, 8, 100, 21);
    Place(btnApply, 200, 8, 75, 25);
    Place(btnClose, 280, 8, 75, 25);
    Place(btnHelp, 360, 8, 72, 25);
    staves = MakeNavigator(this, "Stave", 8, 40, [this]() -> std::unique_ptr<TMuzList> {
        TUnitMuz* doc = Shown();
        return doc ? StaveList(*doc) : nullptr;
    });

    grpStave = At(Named(new QGroupBox(QStringLiteral("Stave"), this), "grpStave"), 8, 96, 684, 536);
    QWidget* s = grpStave;
    lblStaveRoomUp = Caption(s, "lblStaveRoomUp", "Room Up:", 8, 20, 70);
    editStaveRoomUp = At(Named(new QLineEdit(s), "editStaveRoomUp"), 80, 20, 60, 21);
    lblStaveRoomDown = Caption(s, "lblStaveRoomDown", "Room Down:", 160, 20, 72);
    editStaveRoomDown = At(Named(new QLineEdit(s), "editStaveRoomDown"), 236, 20, 60, 21);
    lblStaveForeground = Caption(s, "lblStaveForeground", "Foreground", 8, 48, 70);
    colbStaveForeground = At(Named(new TColorCombo(s), "colbStaveForeground"), 80, 48, 120, 22);
    lblStaveBackground = Caption(s, "lblStaveBackground", "Background", 210, 48, 70);
    colbStaveBackground = At(Named(new TColorCombo(s), "colbStaveBackground"), 282, 48, 130, 22);
    chkStaveAllowJoinFlags =
        At(Named(new QCheckBox(QStringLiteral("Allow Join Flags"), s), "chkStaveAllowJoinFlags"), 8,
           78, 130, 19);
    chkStaveEnableSound =
        At(Named(new QCheckBox(QStringLiteral("Enable Sound"), s), "chkStaveEnableSound"), 150, 78,
           120, 19);
    chkStaveExtraLines = At(Named(new QCheckBox(QStringLiteral("Draw Extra Horizontal Lines"), s),
                                  "chkStaveExtraLines"),
                            8, 100, 220, 19);
    lblStavePlay = Caption(s, "lblStavePlay", "Play Stave", 256, 98, 70);
    btnStavePlay =
        At(Named(new QPushButton(QStringLiteral("Play"), s), "btnStavePlay"), 330, 96, 75, 25);
    groups = MakeNavigator(s, "Group", 8, 128, [this]() -> std::unique_ptr<TMuzList> {
        TNoteStave* stave = CurrentStave();
        return stave ? NoteGroupList(*stave) : nullptr;
    });

    grpNoteGroup =
        At(Named(new QGroupBox(QStringLiteral("Note Group"), s), "grpNoteGroup"), 8, 182, 668, 346);
    QWidget* g = grpNoteGroup;
    grpGroupNoteShape = At(
        Named(new QGroupBox(QStringLiteral("Note Shape"), g), "grpGroupNoteShape"), 8, 18, 110, 64);
    rbGroupNoteShapeNormal = At(Named(new QRadioButton(QStringLiteral("Normal"), grpGroupNoteShape),
                                      "rbGroupNoteShapeNormal"),
                                8, 18, 90, 19);
    rbGroupNoteShapeRectangle =
        At(Named(new QRadioButton(QStringLiteral("Rectangle"), grpGroupNoteShape),
                 "rbGroupNoteShapeRectangle"),
           8, 40, 90, 19);
    noteShapes = new QButtonGroup(this);
    noteShapes->addButton(rbGroupNoteShapeNormal, 0);
    noteShapes->addButton(rbGroupNoteShapeRectangle, 1);
    lblGroupNoteColor = Caption(g, "lblGroupNoteColor", "Note:", 128, 20, 36);
    colbGroupNoteColor = At(Named(new TColorCombo(g), "colbGroupNoteColor"), 166, 20, 120, 22);
    chkGroupDrawSticksUp =
        At(Named(new QCheckBox(QStringLiteral("Draw Sticks Up"), g), "chkGroupDrawSticksUp"), 128,
           48, 130, 19);
    chkGroupDrawSticksDown =
        At(Named(new QCheckBox(QStringLiteral("Draw Sticks Down"), g), "chkGroupDrawSticksDown"),
           128, 68, 140, 19);
    Label12 = Caption(g, "Label12", "Play Note Group", 300, 46, 104);
    btnGroupPlay =
        At(Named(new QPushButton(QStringLiteral("Play"), g), "btnGroupPlay"), 410, 44, 75, 25);
    players = MakeNavigator(g, "Play", 8, 92, [this]() -> std::unique_ptr<TMuzList> {
        TNoteGroup* group = CurrentGroup();
        return group ? OnePlayerList(*group->GetPlayer()) : nullptr;
    });

    grpPlay = At(Named(new QGroupBox(QStringLiteral("Player"), g), "grpPlay"), 8, 146, 652, 192);
    QWidget* p = grpPlay;
    lblPlayVolumeFactor = Caption(p, "lblPlayVolumeFactor", "Volume Factor:", 8, 20, 90);
    editPlayVolumeFactor = At(Named(new QLineEdit(p), "editPlayVolumeFactor"), 100, 20, 80, 21);
    lblPlayFreqUp = Caption(p, "lblPlayFreqUp", "Freq Up:", 196, 20, 56);
    editPlayFreqUp = At(Named(new QLineEdit(p), "editPlayFreqUp"), 254, 20, 80, 21);
    pcPlay = At(Named(new QTabWidget(p), "pcPlay"), 8, 48, 636, 138);
    pcPlay->setUsesScrollButtons(true);
    // The page index is the player kind.
    cboPlaySOSSampleWave = PlayerPage(pcPlay, tsSimpleOneSampler, "tsSimpleOneSampler",
                                      "Simple One Sampler", "cboPlaySOSSampleWave");
    editPlaySOSBasicFreq =
        PageField(tsSimpleOneSampler, "editPlaySOSBasicFreq", "Basic Frequency:");
    cboPlayRSSampleWave = PlayerPage(pcPlay, tsResonantSampler, "tsResonantSampler",
                                     "Resonant Sampler", "cboPlayRSSampleWave");
    editPlayRSResonantFactor =
        PageField(tsResonantSampler, "editPlayRSResonantFactor", "Resonant Factor");
    cboPlayRWFSampleWave = PlayerPage(pcPlay, tsRepaetWaveForm, "tsRepaetWaveForm",
                                      "Repeat Wave Form", "cboPlayRWFSampleWave");
    cboPlayROSSampleWave = PlayerPage(pcPlay, tsRollOutSampler, "tsRollOutSampler",
                                      "Roll Out Sampler", "cboPlayROSSampleWave");
    editPlayROSBasicFreq = PageField(tsRollOutSampler, "editPlayROSBasicFreq", "Basic Frequency:");
    cboPlayROWFSampleWave = PlayerPage(pcPlay, tsRollOutWaveForm, "tsRollOutWaveForm",
                                       "Roll Out Wave Form", "cboPlayROWFSampleWave");

    // The controls that change the current stave, group or player at once.
    auto stave = [this](const std::function<void(TNoteStave&, bool)>& set) {
        return [this, set](bool checked) {
            if (TNoteStave* st = CurrentStave(); st && !IsUpdating()) {
                set(*st, checked);
                StaveEdited();
            }
        };
    };
    connect(chkStaveAllowJoinFlags, &QCheckBox::clicked, this,
            stave([](TNoteStave& st, bool on) { st.drawFlagKind = on ? 1 : 0; }));
    connect(chkStaveEnableSound, &QCheckBox::clicked, this,
            stave([](TNoteStave& st, bool on) { st.Mute = on ? 0 : 1; }));
    connect(chkStaveExtraLines, &QCheckBox::clicked, this,
            stave([](TNoteStave& st, bool on) { st.ExtraLines = on ? 1 : 0; }));
    auto color = [this](TColorCombo* combo, const std::function<void(int32_t)>& set) {
        connect(combo, &TColorCombo::ColorPicked, this, [this, set](int32_t picked) {
            if (!IsUpdating() && CurrentStave()) {
                set(picked);
                StaveEdited();
            }
        });
    };
    color(colbStaveForeground,
          [this](int32_t c) { CurrentStave()->ForegroundColor = uint32_t(c); });
    color(colbStaveBackground,
          [this](int32_t c) { CurrentStave()->BackgroundColor = uint32_t(c); });
    color(colbGroupNoteColor, [this](int32_t c) {
        if (TNoteGroup* group = CurrentGroup())
            group->NoteColor = uint32_t(c);
    });
    connect(noteShapes, &QButtonGroup::idClicked, this, [this](int shape) {
        if (TNoteGroup* group = CurrentGroup(); group && !IsUpdating()) {
            group->NoteShape = uint8_t(shape);
            StaveEdited();
        }
    });
    connect(chkGroupDrawSticksUp, &QCheckBox::clicked, this,
            [this] { StickClicked(chkGroupDrawSticksUp, chkGroupDrawSticksDown); });
    connect(chkGroupDrawSticksDown, &QCheckBox::clicked, this,
            [this] { StickClicked(chkGroupDrawSticksDown, chkGroupDrawSticksUp); });
    connect(pcPlay, &QTabWidget::currentChanged, this, &TDlgMusic::PageChosen);
    connect(btnStavePlay, &QPushButton::clicked, this, [this] { Play(false); });
    connect(btnGroupPlay, &QPushButton::clicked, this, [this] { Play(true); });
}

void TDlgMusic::BuildFields()
{
    AddField(editTempo, [this] {
        TUnitMuz& doc = *Shown();
        unitTimePosMore tempo = doc.tempo;
        if (!TakeValue(tempo, editTempo->text(), "Tempo"))
            return false;
        doc.tempo = tempo;
        doc.SetTempo(tempo.GetValue());
        Edited();
        return true;
    });
    auto room = [this](QLineEdit* edit, const char* field,
                       unitIntegerMoreUser TNoteStave::*member) {
        AddField(edit, [this, edit, field, member] {
            TNoteStave* stave = CurrentStave();
            if (!stave)
                return true;
            if (!TakeValue(stave->*member, edit->text(), field, muzRoomMax))
                return false;
            StaveEdited();
            return true;
        });
    };
    room(editStaveRoomUp, "Room Up", &TNoteStave::RoomUp);
    room(editStaveRoomDown, "Room Down", &TNoteStave::RoomDown);

    AddField(editPlayVolumeFactor, [this] {
        TOnePlayer* player = CurrentPlayer();
        if (!player)
            return true;
        if (!TakeValue(player->OnePlayerProps.VolumeFactor, editPlayVolumeFactor->text(),
                       "Volume Factor"))
            return false;
        Edited();
        return true;
    });
    AddField(editPlayFreqUp, [this] {
        TOnePlayer* player = CurrentPlayer();
        if (!player)
            return true;
        if (!TakeValue(player->OnePlayerProps.FreqUp, editPlayFreqUp->text(), "Freq Up"))
            return false;
        Edited();
        return true;
    });

    // A field of a kind's page: the player's settings of that kind, one value changed. A page
    // that is not the player's kind has nothing to store into.
    auto kindField = [this](NotePlayerKind kind, const std::function<bool(TOnePlayerProps&)>& set) {
        return [this, kind, set] {
            TOnePlayer* player = CurrentPlayer();
            if (!player || player->OnePlayerProps.GetKind() != kind)
                return true;
            if (!set(player->OnePlayerProps))
                return false;
            Edited();
            return true;
        };
    };
    // A value of a kind's settings: a copy of them, the one value changed, stored back.
    auto kindValue = [this, &kindField](QLineEdit* edit, NotePlayerKind kind, auto get, auto set,
                                        auto member, const char* field) {
        AddField(edit, kindField(kind, [edit, get, set, member, field](TOnePlayerProps& p) {
                     auto props = (p.*get)();
                     if (!TakeValue(props.*member, edit->text(), field))
                         return false;
                     (p.*set)(props);
                     return true;
                 }));
    };
    kindValue(editPlaySOSBasicFreq, notePlayerSimpleSampler,
              &TOnePlayerProps::GetSimpleSamplerProps, &TOnePlayerProps::SetSimpleSamplerProps,
              &TSimpleSamplerProps::BasicFreq, "Basic Frequency");
    kindValue(editPlayROSBasicFreq, notePlayerRollOutSampler,
              &TOnePlayerProps::GetRollOutSamplerProps, &TOnePlayerProps::SetRollOutSamplerProps,
              &TRollOutSamplerProps::BasicFreq, "Basic Frequency");
    kindValue(editPlayRSResonantFactor, notePlayerResonantSampler,
              &TOnePlayerProps::GetResonantSamplerProps, &TOnePlayerProps::SetResonantSamplerProps,
              &TResonantSamplerProps::ResFactor, "Resonant Factor");

    // The sample wave: any name the file can hold, whether or not such a wave is open now (the
    // player looks it up when the music is rendered).
    auto sample = [this, &kindField](QComboBox* combo, NotePlayerKind kind, auto get, auto set) {
        AddField(combo, kindField(kind, [combo, get, set](TOnePlayerProps& p) {
                     std::string name;
                     if (!StorableName(combo->currentText(), "Sample Wave", name))
                         return false;
                     if (name.empty()) {
                         TGuiMessages::ShowFieldEmptyError("Sample Wave");
                         return false;
                     }
                     auto props = (p.*get)();
                     props.SampleWave = unitUnitWave(name);
                     (p.*set)(props);
                     return true;
                 }));
    };
    sample(cboPlaySOSSampleWave, notePlayerSimpleSampler, &TOnePlayerProps::GetSimpleSamplerProps,
           &TOnePlayerProps::SetSimpleSamplerProps);
    sample(cboPlayRSSampleWave, notePlayerResonantSampler,
           &TOnePlayerProps::GetResonantSamplerProps, &TOnePlayerProps::SetResonantSamplerProps);
    sample(cboPlayRWFSampleWave, notePlayerRepeatWaveForm, &TOnePlayerProps::GetRepeatWaveFormProps,
           &TOnePlayerProps::SetRepeatWaveFormProps);
    sample(cboPlayROSSampleWave, notePlayerRollOutSampler, &TOnePlayerProps::GetRollOutSamplerProps,
           &TOnePlayerProps::SetRollOutSamplerProps);
    sample(cboPlayROWFSampleWave, notePlayerRollOutWaveForm,
           &TOnePlayerProps::GetRollOutWaveFormProps, &TOnePlayerProps::SetRollOutWaveFormProps);
}

// ---- The current elements --------------------------------------------------------------------

TNoteStave* TDlgMusic::CurrentStave() const
{
    TUnitMuz* doc = Shown();
    return doc ? doc->GetCurrentStave() : nullptr;
}

TNoteGroup* TDlgMusic::CurrentGroup() const
{
    TNoteStave* stave = CurrentStave();
    return stave && stave->GetFirstNoteGroup() ? stave->GetSelectedNoteGroup() : nullptr;
}

TOnePlayer* TDlgMusic::CurrentPlayer() const
{
    TNoteGroup* group = CurrentGroup();
    return group ? group->GetPlayer()->GetCurrentOnePlayer() : nullptr;
}

// ---- Filling ---------------------------------------------------------------------------------

void TDlgMusic::Activated()
{
    const Updating updating(*this);
    const std::vector<std::string> names = host.WaveNames();
    for (QComboBox* combo : {cboPlaySOSSampleWave, cboPlayRSSampleWave, cboPlayRWFSampleWave,
                             cboPlayROSSampleWave, cboPlayROWFSampleWave}) {
        combo->clear();
        for (const std::string& name : names)
            combo->addItem(Text(name));
    }
}

void TDlgMusic::Refill()
{
    TUnitMuz* doc = Shown();
    if (doc) {
        // The piece keeps a current stave for this window; one read without it starts at the
        // first.
        if (!doc->GetCurrentStave())
            doc->SetCurrentStave(doc->GetFirstStave());
        EnableEdit(editTempo);
        editTempo->setText(Text(doc->tempo.ToText()));
    } else {
        DisableEdit(editTempo, true);
    }
    btnApply->setEnabled(doc != nullptr);
    FillNavigator(staves, doc ? StaveList(*doc).get() : nullptr);
    FillStavePanel();
}

void TDlgMusic::FillNavigator(Navigator& n, TMuzList* list)
{
    if (!list) {
        for (QLineEdit* field : {n.count, n.cursor})
            field->clear();
        for (QPushButton* b : {n.first, n.previous, n.next, n.last, n.insert, n.append, n.remove,
                               n.movePrevious, n.moveNext})
            b->setEnabled(false);
        return;
    }
    const int32_t count = list->Count();
    const int32_t cursor = list->CurrentIndex() + 1;
    n.count->setText(QString::number(count));
    n.cursor->setText(QString::number(cursor));
    for (QPushButton* b : {n.first, n.previous, n.movePrevious})
        b->setEnabled(cursor > 1);
    for (QPushButton* b : {n.next, n.last, n.moveNext})
        b->setEnabled(cursor < count);
    n.insert->setEnabled(true);
    n.append->setEnabled(true);
    n.remove->setEnabled(count >= 2);
}

void TDlgMusic::FillStavePanel()
{
    TNoteStave* stave = CurrentStave();
    if (stave) {
        EnableEdit(editStaveRoomUp);
        EnableEdit(editStaveRoomDown);
        editStaveRoomUp->setText(Text(stave->RoomUp.ToText()));
        editStaveRoomDown->setText(Text(stave->RoomDown.ToText()));
        Check(chkStaveAllowJoinFlags, stave->drawFlagKind == 1);
        Check(chkStaveEnableSound, stave->Mute == 0);
        Check(chkStaveExtraLines, stave->ExtraLines != 0);
        colbStaveForeground->SetColor(int32_t(stave->ForegroundColor));
        colbStaveBackground->SetColor(int32_t(stave->BackgroundColor));
    } else {
        DisableEdit(editStaveRoomUp, true);
        DisableEdit(editStaveRoomDown, true);
        for (QCheckBox* box : {chkStaveAllowJoinFlags, chkStaveEnableSound, chkStaveExtraLines})
            Uncheck(box);
    }
    for (QWidget* w :
         std::initializer_list<QWidget*>{colbStaveForeground, colbStaveBackground, btnStavePlay})
        w->setEnabled(stave != nullptr);
    FillNavigator(groups, stave ? NoteGroupList(*stave).get() : nullptr);
    FillGroupPanel();
}

void TDlgMusic::FillGroupPanel()
{
    TNoteGroup* group = CurrentGroup();
    noteShapes->setExclusive(false);
    rbGroupNoteShapeNormal->setChecked(group && group->NoteShape == 0);
    rbGroupNoteShapeRectangle->setChecked(group && group->NoteShape == 1);
    noteShapes->setExclusive(true);
    const uint8_t stem = group ? group->GetDefaultStem() : uint8_t(drawStickAuto);
    chkGroupDrawSticksUp->setChecked(stem == drawStickUp);
    chkGroupDrawSticksDown->setChecked(stem == drawStickDown);
    if (group)
        colbGroupNoteColor->SetColor(int32_t(group->NoteColor));
    for (QWidget* w : std::initializer_list<QWidget*>{
             grpGroupNoteShape, rbGroupNoteShapeNormal, rbGroupNoteShapeRectangle,
             colbGroupNoteColor, chkGroupDrawSticksUp, chkGroupDrawSticksDown, btnGroupPlay})
        w->setEnabled(group != nullptr);
    FillNavigator(players, group ? OnePlayerList(*group->GetPlayer()).get() : nullptr);
    FillPlayerPanel();
}

void TDlgMusic::FillPlayerPanel()
{
    TOnePlayer* player = CurrentPlayer();
    const NotePlayerKind kind = player ? player->OnePlayerProps.GetKind() : notePlayerNone;
    grpPlay->setEnabled(player != nullptr);
    // Without a player, or for one of no kind of the five, no page can be chosen.
    pcPlay->setEnabled(kind <= notePlayerRollOutWaveForm);
    const std::initializer_list<QWidget*> fields{
        editPlayVolumeFactor, editPlayFreqUp,           cboPlaySOSSampleWave, editPlaySOSBasicFreq,
        cboPlayRSSampleWave,  editPlayRSResonantFactor, cboPlayRWFSampleWave, cboPlayROSSampleWave,
        editPlayROSBasicFreq, cboPlayROWFSampleWave};
    if (!player) {
        for (QWidget* field : fields)
            DisableEdit(field, true);
        return;
    }
    for (QWidget* field : fields)
        EnableEdit(field);
    const TOnePlayerProps& props = player->OnePlayerProps;
    editPlayVolumeFactor->setText(Text(props.VolumeFactor.ToText()));
    editPlayFreqUp->setText(Text(props.FreqUp.ToText()));
    if (kind > notePlayerRollOutWaveForm)
        return;
    pcPlay->setCurrentIndex(kind);
    auto wave = [](QComboBox* combo, const unitUnitWave& sampleWave) {
        combo->setEditText(Text(sampleWave.GetCaption()));
    };
    switch (kind) {
    case notePlayerSimpleSampler:
        wave(cboPlaySOSSampleWave, props.GetSimpleSamplerProps().SampleWave);
        editPlaySOSBasicFreq->setText(Text(props.GetSimpleSamplerProps().BasicFreq.ToText()));
        break;
    case notePlayerResonantSampler:
        wave(cboPlayRSSampleWave, props.GetResonantSamplerProps().SampleWave);
        editPlayRSResonantFactor->setText(Text(props.GetResonantSamplerProps().ResFactor.ToText()));
        break;
    case notePlayerRepeatWaveForm:
        wave(cboPlayRWFSampleWave, props.GetRepeatWaveFormProps().SampleWave);
        break;
    case notePlayerRollOutSampler:
        wave(cboPlayROSSampleWave, props.GetRollOutSamplerProps().SampleWave);
        editPlayROSBasicFreq->setText(Text(props.GetRollOutSamplerProps().BasicFreq.ToText()));
        break;
    case notePlayerRollOutWaveForm:
        wave(cboPlayROWFSampleWave, props.GetRollOutWaveFormProps().SampleWave);
        break;
    default:
        break;
    }
}

void TDlgMusic::RefreshStave(const TNoteStave& stave)
{
    if (&stave != CurrentStave())
        return;
    const Updating updating(*this);
    FillStavePanel();
}

// ---- Commands --------------------------------------------------------------------------------

void TDlgMusic::Walk(const ListOf& list, Step step)
{
    if (!TakePendingField())
        return;
    if (std::unique_ptr<TMuzList> l = list()) {
        const int32_t cursor = l->CurrentIndex();
        switch (step) {
        case Step::First:
            l->SetCurrentIndex(0);
            break;
        case Step::Previous:
            l->SetCurrentIndex(cursor - 1);
            break;
        case Step::Next:
            l->SetCurrentIndex(cursor + 1);
            break;
        case Step::Last:
            l->SetCurrentIndex(l->Count() - 1);
            break;
        }
    }
    RefillAll();
}

void TDlgMusic::Change(const ListOf& list, const std::function<bool(TMuzList&)>& change)
{
    if (!TakePendingField())
        return;
    std::unique_ptr<TMuzList> l = list();
    const bool changed = l && change(*l);
    RefillAll();
    if (changed)
        Edited();
}

void TDlgMusic::StaveEdited()
{
    if (TUnitMuz* doc = Shown())
        doc->StavesChanged();
    Edited();
}

void TDlgMusic::StickClicked(QCheckBox* clicked, QCheckBox* other)
{
    TNoteGroup* group = CurrentGroup();
    if (!group || IsUpdating())
        return;
    if (clicked->isChecked()) {
        const Updating updating(*this);
        other->setChecked(false);
    }
    group->SetDefaultStem(chkGroupDrawSticksUp->isChecked()     ? drawStickUp
                          : chkGroupDrawSticksDown->isChecked() ? drawStickDown
                                                                : drawStickAuto);
    StaveEdited();
}

void TDlgMusic::PageChosen(int page)
{
    TOnePlayer* player = CurrentPlayer();
    if (IsUpdating() || !player)
        return;
    // A value typed on the page left is taken first; while it is refused, the page stays.
    if (!TakePendingField()) {
        const Updating updating(*this);
        pcPlay->setCurrentIndex(player->OnePlayerProps.GetKind());
        return;
    }
    player->OnePlayerProps.SetKind(static_cast<NotePlayerKind>(page));
    {
        const Updating updating(*this);
        FillPlayerPanel();
    }
    Edited();
}

void TDlgMusic::Play(bool group)
{
    TUnitMuz* doc = Shown();
    if (!doc || !TakePendingField())
        return;
    TMusicRender render;
    if (group) {
        if (!CurrentGroup())
            return;
        render = doc->CreateNoteGroupSound(CurrentGroup());
    } else {
        if (!CurrentStave())
            return;
        render = doc->CreateStaveSound(CurrentStave());
    }
    std::unique_ptr<Sound> sound = RenderedSound(std::move(render));
    if (sound && sound->GetValues() > 0)
        sound->Play(false);
}

} // namespace kelvorn
