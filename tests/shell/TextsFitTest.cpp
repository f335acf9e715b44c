// Every caption of the dialogs and every value of the status panels fits its control whole,
// measured with the font metrics of the Liberation fonts at the forms' size: a cut text is read
// wrong, and a caption that runs into its neighbour is not read at all.
#include "ShellSupport.h"
#include "support/MusicWindows.h"

#include "general/palette/ColorPalette1D.h"
#include "general/values/ValueUnits.h"
#include "music/ui/MusicDialog.h"
#include "music/ui/MusicPartsDialog.h"
#include "shell/MainFormLink.h"
#include "shell/MainWaveWindowHost.h"
#include "waveui/ViewWave.h"
#include "waveui/dialogs/ComplexDialogs.h"
#include "waveui/dialogs/EffectDialogs.h"
#include "waveui/dialogs/FilterDialogs.h"
#include "waveui/dialogs/GeneratorDialogs.h"
#include "waveui/dialogs/MultiFreqDialog.h"
#include "waveui/dialogs/PaletteDialog.h"
#include "waveui/dialogs/SplitMergeDialogs.h"
#include "waveui/dialogs/ViewDialogs.h"
#include "waveui/dialogs/WaveFilePropDialog.h"
#include "window_base/AboutBox.h"
#include "window_base/DialogFonts.h"
#include "window_base/ResetDie.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusTipEvent>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTabWidget>

#include <climits>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

QString Where(const QWidget* w)
{
    QString path;
    for (; w; w = w->parentWidget())
        path = (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                          : w->objectName()) +
               (path.isEmpty() ? QString() : QStringLiteral("/") + path);
    return path;
}

// The pixels a label draws its text in: inside the frame and margin, after the indent that a
// framed label puts before its text (half an "x", less the margin).
int LabelRoom(const QLabel* label)
{
    int indent = label->indent();
    if (indent < 0)
        indent =
            label->frameWidth() > 0
                ? label->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - label->margin()
                : 0;
    return label->contentsRect().width() - 2 * label->margin() - std::max(indent, 0);
}

int Widest(const QFontMetrics& metrics, const QString& text)
{
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

QString Rect(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// The part of parent where its children may lie. A group box draws its frame and its title
// where the style says: the room is inside the frame's line and below the title. A framed
// widget keeps its frame; any other parent gives its whole contents rectangle.
QRect ChildRoom(const QWidget& parent)
{
    if (const auto* box = qobject_cast<const QGroupBox*>(&parent)) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.lineWidth = 1;
        option.midLineWidth = 0;
        option.textAlignment = box->alignment();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        if (box->isCheckable())
            option.subControls |= QStyle::SC_GroupBoxCheckBox;
        if (box->isFlat())
            option.features |= QStyleOptionFrame::Flat;
        const QStyle* style = box->style();
        const QRect frame =
            style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, box);
        QRect title =
            style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
        if (box->isCheckable())
            title |= style->subControlRect(QStyle::CC_GroupBox, &option,
                                           QStyle::SC_GroupBoxCheckBox, box);
        QRect room = frame.adjusted(1, 1, -1, -1);
        if (!box->title().isEmpty())
            room.setTop(std::max(room.top(), title.bottom() + 1));
        return room;
    }
    return parent.contentsRect();
}

// Each text the controls under root show and does not fit: "where: text (need > room)".
std::vector<std::string> CutTexts(QWidget* root)
{
    std::vector<std::string> cut;
    auto check = [&](const QWidget* w, const QString& text, int need, int room) {
        if (!text.isEmpty() && need > room)
            cut.push_back((Where(w) + QStringLiteral(": \"") + text + QStringLiteral("\" (") +
                           QString::number(need) + QStringLiteral(" > ") + QString::number(room) +
                           QStringLiteral(")"))
                              .toStdString());
    };
    for (QLabel* label : root->findChildren<QLabel*>())
        check(label, label->text(), Widest(label->fontMetrics(), label->text()), LabelRoom(label));
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        if (qobject_cast<QTabBar*>(button->parentWidget()))
            continue; // the tab bar's scroll buttons
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        QStyle::SubElement contents = QStyle::SE_PushButtonContents;
        if (qobject_cast<QRadioButton*>(button))
            contents = QStyle::SE_RadioButtonContents;
        else if (qobject_cast<QCheckBox*>(button))
            contents = QStyle::SE_CheckBoxContents;
        else if (!qobject_cast<QPushButton*>(button))
            continue; // tool buttons show pictures
        const QRect room = button->style()->subElementRect(contents, &option, button);
        check(button, button->text().remove(QLatin1Char('&')),
              button->fontMetrics().horizontalAdvance(button->text().remove(QLatin1Char('&'))),
              room.width());
    }
    for (QGroupBox* box : root->findChildren<QGroupBox*>())
        check(box, box->title(), box->minimumSizeHint().width(), box->width());
    // A row of tabs wider than its bar hides the last ones behind scroll buttons.
    for (QTabWidget* pages : root->findChildren<QTabWidget*>())
        for (int i = 0; i < pages->count(); ++i)
            check(pages, pages->tabText(i), pages->tabBar()->tabRect(i).right() + 1,
                  pages->tabBar()->width());
    for (QComboBox* combo : root->findChildren<QComboBox*>()) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        const QRect room = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                          QStyle::SC_ComboBoxEditField, combo);
        const int icon = combo->iconSize().width() + 4;
        for (int i = 0; i < combo->count(); ++i)
            check(combo, combo->itemText(i),
                  combo->fontMetrics().horizontalAdvance(combo->itemText(i)) +
                      (combo->itemIcon(i).isNull() ? 0 : icon),
                  room.width());
    }
    for (QListWidget* list : root->findChildren<QListWidget*>()) {
        const int margin =
            list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
        for (int i = 0; i < list->count(); ++i)
            check(list, list->item(i)->text(),
                  list->fontMetrics().horizontalAdvance(list->item(i)->text()) + 2 * margin,
                  list->viewport()->width());
    }
    // A text must not run into a neighbour either: no control overlaps another on its parent
    // (the bevel, a bare frame behind them, excepted).
    QList<QWidget*> all = root->findChildren<QWidget*>();
    auto counts = [](const QWidget* w) {
        return w->isVisibleTo(w->window()) && !w->isWindow() &&
               (qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
                qobject_cast<const QComboBox*>(w) || qobject_cast<const QGroupBox*>(w) ||
                qobject_cast<const QListWidget*>(w) || qobject_cast<const QTabWidget*>(w) ||
                w->inherits("QLineEdit"));
    };
    // Neighbours that touch read as one control: at least a pixel lies between them.
    for (qsizetype i = 0; i < all.size(); ++i)
        for (qsizetype j = i + 1; j < all.size(); ++j)
            if (all[i]->parentWidget() == all[j]->parentWidget() && counts(all[i]) &&
                counts(all[j]) &&
                all[i]->geometry().adjusted(-1, -1, 1, 1).intersects(all[j]->geometry()))
                cut.push_back((Where(all[i]) +
                               (all[i]->geometry().intersects(all[j]->geometry())
                                    ? QStringLiteral(" overlaps ")
                                    : QStringLiteral(" touches ")) +
                               Where(all[j]))
                                  .toStdString());
    // Every control lies inside the room its parent gives: a group box's room is inside its
    // frame and below its title, another parent's its contents rectangle, and inside the line of
    // a bevel it sits on.
    for (QWidget* w : all) {
        if (!counts(w) || !w->parentWidget())
            continue;
        QRect room = ChildRoom(*w->parentWidget());
        // A bevel drawn behind controls is a frame they sit in: one that reaches its line runs
        // into the frame.
        for (QFrame* bevel : w->parentWidget()->findChildren<QFrame*>(Qt::FindDirectChildrenOnly))
            if (bevel->metaObject() == &QFrame::staticMetaObject &&
                bevel->frameShape() != QFrame::NoFrame && bevel->isVisibleTo(w->window()) &&
                bevel->geometry().intersects(w->geometry())) {
                const int line = bevel->frameWidth();
                room &= bevel->geometry().adjusted(line, line, -line, -line);
            }
        if (!room.contains(w->geometry()))
            cut.push_back((Where(w) + QStringLiteral(" leaves its parent's room (") +
                           Rect(w->geometry()) + QStringLiteral(" outside ") + Rect(room) +
                           QStringLiteral(")"))
                              .toStdString());
    }
    return cut;
}

/// A dialog as it shows: its controls filled from its record.
struct DialogCase
{
    std::string name;
    std::function<QDialog*()> make;
};

std::ostream& operator<<(std::ostream& out, const DialogCase& c)
{
    return out << c.name;
}

TColorPalette1DItem ThreeStops()
{
    TColorPalette1DItem head(0x000000, 0xFFFFFF);
    head.Insert(0.5, 0x0000FF);
    return head;
}

std::vector<DialogCase> AllDialogs()
{
    static TColorPalette1DItem palette = ThreeStops();
    static RecordingToolHost tools;
    return {
        {"Volume", [] { return new TDlgVolumeProps(nullptr, false, {}); }},
        {"VolumeDrawing", [] { return new TDlgVolumeProps(nullptr, true, {}); }},
        {"Rotate", [] { return new TDlgRotateProps(nullptr, {}, 1.0); }},
        {"Block", [] { return new TDlgBlockProps(nullptr, {}); }},
        {"RollIn", [] { return new TDlgRollInProps(nullptr, {}); }},
        {"RollOut", [] { return new TDlgRollOutProps(nullptr, {}); }},
        {"Length", [] { return new TDlgLengthProps(nullptr, {}); }},
        {"Up", [] { return new TDlgUpProps(nullptr, {}); }},
        {"ShiftMono", [] { return new TDlgShiftProps(nullptr, {}, 1); }},
        {"ShiftStereo", [] { return new TDlgShiftProps(nullptr, {}, 2); }},
        {"Distort", [] { return new TDlgDistortProps(nullptr, {}); }},
        {"Mix", [] { return new TDlgMixProps(nullptr, {}); }},
        {"LeftRight", [] { return new TDlgLeftRightProps(nullptr, {}); }},
        {"Balance", [] { return new TDlgBalanceProps(nullptr, {}); }},
        {"PerEcho", [] { return new TDlgPerEchoProps(nullptr, {}); }},
        {"RandomEcho", [] { return new TDlgRandomEchoProps(nullptr, {}); }},
        {"TempoPitch", [] { return new TDlgTempoPitchProps(nullptr, {}); }},
        {"ResNotch", [] { return new TDlgResNotchProps(nullptr, {}, 44100); }},
        {"HighLow", [] { return new TDlgHighLowProps(nullptr, {}); }},
        {"BlockFilter", [] { return new TDlgBlockFilterProps(nullptr, {}); }},
        {"Silence", [] { return new TDlgSilenceProps(nullptr, {}); }},
        {"Line", [] { return new TDlgLineProps(nullptr, {}); }},
        {"Noise", [] { return new TDlgNoiseProps(nullptr, {}); }},
        {"MakeBlock", [] { return new TDlgBlockTriangleProps(nullptr, {}, "Make Block"); }},
        {"MakeTriangle", [] { return new TDlgBlockTriangleProps(nullptr, {}, "Make Triangle"); }},
        {"Sinus", [] { return new TDlgSinusProps(nullptr, {}); }},
        {"MultiFreq", [] { return new TDlgMFreqProps(nullptr, {}); }},
        {"SplitHor", [] { return new TDlgSplitHorProps(nullptr, {}); }},
        {"MergeHor", [] { return new TDlgMergeHorProps(nullptr, {}); }},
        {"MergeVert", [] { return new TDlgMergeVertProps(nullptr, {}); }},
        {"WaveView", [] { return new TDlgWaveViewProps(nullptr, nullptr, {}); }},
        {"VolumeViewMono",
         [] { return new TDlgVoldViewProps(nullptr, 1, 200, 400, 44100, nullptr, {}); }},
        {"VolumeViewStereo",
         [] { return new TDlgVoldViewProps(nullptr, 2, 200, 400, 44100, nullptr, {}); }},
        {"Palette", [] { return new TDlgColorPalette1D(nullptr, palette); }},
        {"WaveFileProp",
         [] {
             return new TDlgWaveFileProp(nullptr, {2, 44100, 2});
         }},
        // The list shows a frequency of the file's that the six standard items lack.
        {"WaveFilePropOddRate",
         [] {
             return new TDlgWaveFileProp(nullptr, {1, INT32_MAX, 1});
         }},
        {"ResetDie", [] { return new TDlgResetDie(nullptr, {}); }},
        {"About", [] { return new TAboutBox(nullptr); }},
        {"Music", [] { return new TDlgMusic(nullptr, tools); }},
        {"MusicParts", [] { return new TDlgMusTree(nullptr, tools); }},
    };
}

class DialogTextsFit : public ::testing::TestWithParam<DialogCase>
{
};

TEST_P(DialogTextsFit, EveryCaptionShowsWhole)
{
    std::unique_ptr<QDialog> dialog(GetParam().make());
    dialog->show();
    EXPECT_EQ(QFontInfo(dialog->font()).family(), QStringLiteral("Liberation Sans"));
    for (const std::string& text : CutTexts(dialog.get()))
        ADD_FAILURE() << text;
    dialog->hide();
}

INSTANTIATE_TEST_SUITE_P(WaveDialogs, DialogTextsFit, ::testing::ValuesIn(AllDialogs()),
                         [](const auto& info) { return info.param.name; });

// The faults the check exists for, each in a small dialog of its own, and the same dialog
// mended: a control past its group box's frame, one on the box's title, radio buttons without a
// pixel between them, a box that reaches the bevel's line.
TEST(DialogLayoutCheck, RefusesEachFaultAndPassesItsRepair)
{
    struct Fixture
    {
        const char* name;
        // Builds the dialog's controls; mended places them right.
        std::function<void(QDialog&, bool mended)> build;
        std::vector<std::string> complaints;
    };
    auto box = [](QWidget* parent, const char* name, const char* title, QRect at) {
        auto* group = new QGroupBox(QLatin1String(title), parent);
        group->setObjectName(QLatin1String(name));
        group->setGeometry(at);
        return group;
    };
    auto named = [](QWidget* widget, const char* name, QRect at) {
        widget->setObjectName(QLatin1String(name));
        widget->setGeometry(at);
    };
    const Fixture fixtures[] = {
        {"PastTheFrame",
         [&](QDialog& d, bool mended) {
             QGroupBox* group = box(&d, "grp", "Values", QRect(10, 10, 120, 60));
             named(new QLineEdit(group), "edit", QRect(40, 24, mended ? 70 : 90, 21));
         },
         {"PastTheFrame/grp/edit leaves its parent's room (40,24 90x21 outside 1,15 118x44)"}},
        {"OnTheTitle",
         [&](QDialog& d, bool mended) {
             QGroupBox* group = box(&d, "grp", "Frequency", QRect(10, 10, 200, 80));
             named(new QLabel("Default", group), "head", QRect(120, mended ? 16 : 4, 60, 15));
         },
         {"OnTheTitle/grp/head leaves its parent's room (120,4 60x15 outside 1,15 198x64)"}},
        {"TouchingRadios",
         [&](QDialog& d, bool mended) {
             QGroupBox* group = box(&d, "grp", "Place", QRect(10, 10, 200, 80));
             named(new QRadioButton("Align Begin", group), "begin", QRect(8, 18, 100, 17));
             named(new QRadioButton("Align End", group), "end",
                   QRect(8, mended ? 36 : 35, 100, 17));
         },
         {"TouchingRadios/grp/begin touches TouchingRadios/grp/end"}},
        {"IntoTheBevel",
         [&](QDialog& d, bool mended) {
             auto* bevel = new QFrame(&d);
             bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
             bevel->setGeometry(8, 8, 200, 100);
             box(&d, "grp", "Colors", QRect(20, 20, 150, mended ? 80 : 88));
         },
         {"IntoTheBevel/grp leaves its parent's room (20,20 150x88 outside 10,10 196x96)"}},
    };
    for (const Fixture& fixture : fixtures)
        for (bool mended : {false, true}) {
            SCOPED_TRACE(std::string(fixture.name) + (mended ? " mended" : ""));
            QDialog dialog;
            dialog.setObjectName(QLatin1String(fixture.name));
            dialog.setFont(DialogFont());
            dialog.resize(240, 130);
            fixture.build(dialog, mended);
            dialog.show();
            EXPECT_EQ(CutTexts(&dialog), mended ? std::vector<std::string>{} : fixture.complaints);
        }
}

// ---- Status panels -----------------------------------------------------------------------------

std::string Time(double seconds)
{
    return unitTime(seconds, EHTime).ToText();
}

// The longest wave there is: the most values a wave counts at one value a second.
constexpr double LongestSeconds = INT32_MAX;

/// The widest texts of each status panel, from the formatting the documents and panes use.
std::vector<std::vector<std::string>> PanelTexts(TMainForm& form)
{
    std::vector<std::vector<std::string>> texts(8);
    for (QAction* action : form.findChildren<QAction*>())
        texts[0].push_back(action->statusTip().toStdString());
    for (double seconds : {0.93762, 600.0, 35999.99999, LongestSeconds})
        texts[2].push_back(Time(seconds));
    for (double freq : {1.0, 176128.0, double(INT32_MAX)})
        texts[3].push_back(unitFreq(freq, EHHZ).ToText());
    texts[4] = {"8", "16"};
    texts[5] = {"MO", "ST"};
    // Every unit's widest figures, up to the largest stereo wave of 16 bits.
    for (int64_t bytes :
         {int64_t{1023}, int64_t{10239}, int64_t{102399}, int64_t{1048575}, int64_t{10485759},
          int64_t{104857599}, int64_t{1073741823}, int64_t{INT32_MAX} * 4})
        texts[6].push_back(SizeText(bytes));
    texts[7] = {"New", "Changed"};
    return texts;
}

/// The pane's mouse texts as the wave pane and the volume diagram write them, at the ends of
/// their ranges: the time of the longest wave, the level and frequency bounds, volumes from the
/// faintest to the loudest a cell holds.
std::vector<std::string> WaveMouseTexts()
{
    std::vector<std::string> texts;
    for (double seconds : {0.93762, 600.0, LongestSeconds})
        for (double level : {0.42, -100.0})
            texts.push_back("(" + Time(seconds) + ", " +
                            unitFactor(level, EHNone).ToTextDigits(1, 2, 2) + " %)");
    return texts;
}

std::string VolumeMouseText(double seconds, double freq, const std::string& cell)
{
    return "(" + Time(seconds) + ", " + unitFreq(freq, EHFreq).ToTextPrecision(4) + " ): (" + cell +
           " ," + cell + ")";
}

std::vector<std::string> VolumeMouseTexts()
{
    std::vector<std::string> cells;
    // A cell holds a band's peak over the wave's full scale: from one step of 32768 up to the
    // peak a resonating band reaches, above full scale.
    for (float volume : {1.0f / 32768.0f, 0.5f, 1.0f, 32768.0f}) {
        unitFactorPos level(0.0, EHDB);
        level.SetValue(volume);
        cells.push_back(level.ToText());
    }
    std::vector<std::string> texts;
    for (double seconds : {0.93762, LongestSeconds})
        for (double freq : {0.001, 22050.0, INT32_MAX / 2.0})
            for (const std::string& cell : cells) {
                texts.push_back("(" + Time(seconds) + ", " +
                                unitFreq(freq, EHFreq).ToTextPrecision(4) + " ): " + cell);
                texts.push_back(VolumeMouseText(seconds, freq, cell));
            }
    return texts;
}

class StatusTextsFit : public ShellTest
{
protected:
    // Each text in the panel as the main window shows it; the cut ones.
    std::vector<std::string> Cut(QLabel* panel, const std::vector<std::string>& texts,
                                 const std::function<void(const std::string&)>& show)
    {
        std::vector<std::string> cut;
        for (const std::string& text : texts) {
            show(text);
            const int need = panel->fontMetrics().horizontalAdvance(panel->text());
            if (need > LabelRoom(panel))
                cut.push_back(panel->objectName().toStdString() + ": \"" + text + "\" (" +
                              std::to_string(need) + " > " + std::to_string(LabelRoom(panel)) +
                              ")");
        }
        return cut;
    }
};

TEST_F(StatusTextsFit, EveryPanelShowsItsWidestTextsWhole)
{
    TMainForm& main = Start();
    QLabel* first = main.GetStatusPanel(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(QFontInfo(first->font()).family(), QStringLiteral("Liberation Sans"));
    std::vector<std::string> cut;
    const auto texts = PanelTexts(main);
    for (int panel : {0, 2, 3, 4, 5, 6, 7}) {
        QLabel* label = main.GetStatusPanel(panel);
        auto more = Cut(label, texts[size_t(panel)], [&](const std::string& text) {
            if (panel == 0) {
                QStatusTipEvent tip(QString::fromLatin1(text.c_str()));
                QCoreApplication::sendEvent(&main, &tip);
            } else {
                main.Link().SetStatusText(panel, text);
            }
        });
        cut.insert(cut.end(), more.begin(), more.end());
    }
    // The mouse panel: the wave pane's texts fit its width, the diagram's widen it as needed.
    TMainWaveWindowHost host(main);
    QLabel* mouse = main.GetStatusPanel(1);
    for (const auto& [shown, paneWidth] :
         {std::pair{WaveMouseTexts(), TViewWave::WaveStatusWidth},
          std::pair{VolumeMouseTexts(), TViewWave::VolumeStatusWidth}}) {
        const int width = paneWidth; // clang 14 lambdas cannot capture a binding
        auto more = Cut(mouse, shown, [&](const std::string& text) {
            host.SetMouseStatus(text, width);
            if (width == TViewWave::WaveStatusWidth) {
                EXPECT_EQ(mouse->width(), width) << text;
            }
        });
        cut.insert(cut.end(), more.begin(), more.end());
    }
    for (const std::string& text : cut)
        ADD_FAILURE() << text;

    // A diagram of a ten-hour wave at the usual rates keeps the panel's width.
    unitFactorPos faintest(0.0, EHDB);
    faintest.SetValue(1.0f / 32768.0f);
    for (double freq : {22050.0, 96000.0}) {
        host.SetMouseStatus(VolumeMouseText(35999.99999, freq, faintest.ToText()),
                            TViewWave::VolumeStatusWidth);
        EXPECT_EQ(mouse->width(), TViewWave::VolumeStatusWidth) << mouse->text().toStdString();
    }
}

} // namespace

namespace {

// The music window's panels: every note name from the lowest pitch to the highest with every
// accidental, the latest time a file holds, every length of a value with its dots.
TEST_F(StatusTextsFit, TheSelectedSymbolsTextsShowWhole)
{
    TMainForm& main = Start();
    MusicDoc m;
    std::vector<std::vector<std::string>> texts(5);
    texts[1] = {"Bar", "Loop", "Key", "Note", "Silence"};
    for (double position : {muzPositionLimit - 1 + 127.0 / 128, 2.0 + 63.0 / 64})
        texts[2].push_back("pos: " + std::to_string(int(position)) + " " +
                           (position > 100 ? "127/128" : "63/64"));
    for (int32_t pitch = GetMinPitch(); pitch <= GetMaxPitch(); ++pitch)
        for (NoteShiftKind shift : {noteShiftDoubleKruis, noteShiftKruis, noteShiftNormal,
                                    noteShiftMol, noteShiftDoubleMol}) {
            for (uint8_t length : {1, 2, 4, 8, 16, 32, 64}) {
                TMuzNote* note = m.Note(1.0, pitch, length);
                note->SetNoteShiftKind(shift);
                note->SetPoints(pitch % 4 < 0 ? -(pitch % 4) : pitch % 4);
                m.doc.SetSelectedSymbol(note);
                texts[3].push_back(m.doc.StatusText(3));
                texts[4].push_back(m.doc.StatusText(4));
                m.part->DeleteSymbol(note);
            }
        }
    std::vector<std::string> cut;
    for (int panel = 1; panel <= 4; ++panel) {
        auto more = Cut(main.GetStatusPanel(panel), texts[size_t(panel)],
                        [&](const std::string& text) { main.Link().SetStatusText(panel, text); });
        cut.insert(cut.end(), more.begin(), more.end());
    }
    for (const std::string& text : cut)
        ADD_FAILURE() << text;
}

} // namespace
