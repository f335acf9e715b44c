// The main window's menus, toolbars and status bar.
#include "shell/MainForm.h"

#include "shell/WindowArrangement.h"
#include "window_base/DialogFonts.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace kelvorn {

namespace {

// A menu's content: action names, "-" for a separator.
using Items = std::initializer_list<const char*>;

void AddItems(QMenu* menu, const TActionList& actions, Items items)
{
    for (const char* item : items) {
        if (item[0] == '-')
            menu->addSeparator();
        else
            menu->addAction(actions.At(item));
    }
}

} // namespace

void TMainForm::BuildMenus()
{
    QMenuBar* bar = menuBar();
    auto add = [&](const char* name, const char* caption, Items items) {
        QMenu* menu = bar->addMenu(QString::fromLatin1(caption));
        menu->setObjectName(QString::fromLatin1(name));
        AddItems(menu, *actions, items);
        menus.push_back(menu);
        return menu;
    };
    auto sub = [&](QMenu* parent, const char* name, const char* caption, Items items) {
        QMenu* menu = parent->addMenu(QString::fromLatin1(caption));
        menu->setObjectName(QString::fromLatin1(name));
        AddItems(menu, *actions, items);
        return menu;
    };

    add("MenuFile", "&File",
        {"FileNewWave",
         "FileNewMuz",
         "FileNewFactory",
         "-",
         "FileOpenWave",
         "FileOpenMuz",
         "FileOpenFactory",
         "-",
         "FileClose",
         "FileSave",
         "FileSaveAs",
         "FileRevert",
         "DuplicateWave",
         "DuplicateMuz",
         "DuplicateFact",
         "FileProperties",
         "-",
         "FilePlay",
         "FilePlayMax",
         "FileStop",
         "FilePause",
         "FileRecord",
         "-",
         "RandomizeAction",
         "Options",
         "-",
         "FileExit"});
    add("MenuProject", "&Project",
        {"ProjectNew", "ProjectOpen", "ProjectSave", "ProjectExport", "ProjectClose"});
    QMenu* edit = add("MenuEdit", "&Edit",
                      {"Undo", "DeleteUndo", "-", "EditCut", "EditCopy", "EditPaste", "EditDelete",
                       "EditTrim", "EditExtract", "EditSwap", "EditMix", "EditClearClipboard", "-",
                       "SplitH", "SplitV", "MergeH", "MergeV", "-"});
    // These two items have no command of their own.
    edit->addAction(QStringLiteral("Go to &Begin"))->setObjectName(QStringLiteral("EditGoToBegin"));
    edit->addAction(QStringLiteral("Go to &End"))->setObjectName(QStringLiteral("EditGoToEnd"));
    add("MenuView", "&View",
        {"ViewWave", "ViewVold", "-", "ZoomIn", "NoZoom", "-", "SelectWave", "MusicDialog",
         "EditNameAction"});
    add("MenuMake", "&Make",
        {"MakeSilence", "MakeLine", "MakeBlock", "MakeTriangle", "MakeSinus", "MakeNoise",
         "MakeMFreq", "-", "DrawWaveLin", "DrawWave3G"});
    QMenu* effects = add("MenuEffects", "&Effects",
                         {"Volume", "MaxVolume", "NormalizeVertically", "MoveV", "MoveH", "Reverse",
                          "Rotate", "Block", "RollIn", "RollOut", "Length", "Distort", "-",
                          "Balance", "MixLeftRight", "TempoPitch", "-"});
    sub(effects, "MenuFilter", "&Filter",
        {"FilterLow", "FilterHigh", "FilterRes", "FilterNotch", "FilterBlock"});
    sub(effects, "MenuEcho", "E&cho", {"PerEcho", "RndEcho"});
    QMenu* music = add("MenuMusic", "M&usic",
                       {"MusicGenerate", "MusicParts", "-", "MusicModeAdd", "MusicModeEdit",
                        "MusicModeDelete", "-", "MusicDelete", "MusicPlayNote", "MusicAutoPlay",
                        "-", "MusicMoveNext", "MusicMovePrev", "MusicMoveUp", "MusicMoveDown",
                        "MusicMoveOctUp", "MusicMoveOctDown", "-"});
    sub(music, "MenuNote", "&Note",
        {"MusicNote1", "MusicNote2", "MusicNote4", "MusicNote8", "MusicNote16", "MusicNote32",
         "MusicNote64", "-", "MusicNoteGroupPrev", "MusicNoteGroupNext", "-", "NoteStickUp",
         "NoteStickDown"});
    sub(music, "MenuSilence", "&Silence",
        {"MusicSilence1", "MusicSilence2", "MusicSilence4", "MusicSilence8", "MusicSilence16",
         "MusicSilence32", "MusicSilence64"});
    sub(music, "MenuKey", "&Key", {"MusicKeyG", "MusicKeyC", "MusicKeyF"});
    sub(music, "MenuNoteshift", "N&oteshift",
        {"MusicNSDCross", "MusicNSCross", "MusicNSNormal", "MusicNSMol", "MusicNSDMol"});
    sub(music, "MenuPoint", "&Point", {"MusicPointAdd", "MusicPointDelete"});
    sub(music, "MenuArticulation", "&Articulation",
        {"MusicStaccatissimo", "MusicStaccato", "MusicArtNormal", "MusicPortato", "MusicLegato"});
    sub(music, "MenuTuplet", "&Tuplet",
        {"MusicTwin", "MusicTriplet", "MusicQuadruplet", "MusicQuintuplet"});
    sub(music, "MenuSelect", "S&elect",
        {"MusicSelectUp", "MusicSelectDown", "MusicSelectNext", "MusicSelectPrev"});
    add("MenuFactory", "F&actory",
        {"SntValidate", "SntRunAtWnd", "SntRunCrWnd", "-", "SntModeDrag", "SntModeConn",
         "SntShowHints"});
    QMenu* window = add("MenuWindow", "&Window",
                        {"WindowCascade", "WindowTileHorizontal", "WindowTileVertical",
                         "WindowMinimizeAll", "WindowArrangeAll"});
    add("MenuHelp", "&Help", {"HelpContents", "HelpTopicSearch", "HelpOnHelp", "-", "HelpAbout"});

    for (QMenu* menu : menus)
        connect(menu, &QMenu::aboutToShow, this, &TMainForm::ActionListUpdate);
    // The Window menu lists the open document windows below its own actions.
    connect(window, &QMenu::aboutToShow, this, [this, window] {
        for (QAction* item : window->actions())
            if (item->property("kelvornWindowItem").toBool())
                delete item;
        const auto windows = frame->subWindowList();
        if (!windows.isEmpty()) {
            QAction* separator = window->addSeparator();
            separator->setProperty("kelvornWindowItem", true);
        }
        int n = 1;
        for (QMdiSubWindow* child : windows) {
            // A name or file with "&" in it would lose it to a mnemonic.
            const QString caption = child->windowTitle()
                                        .remove(QStringLiteral("[*]"))
                                        .replace(QLatin1Char('&'), QStringLiteral("&&"));
            QAction* item = window->addAction(QStringLiteral("&%1 %2").arg(n++).arg(caption));
            item->setProperty("kelvornWindowItem", true);
            item->setCheckable(true);
            item->setChecked(child == frame->activeSubWindow());
            connect(item, &QAction::triggered, frame,
                    [this, child] { BringUpWindow(*frame, *child); });
        }
    });
}

void TMainForm::BuildToolBars()
{
    auto add = [&](const char* name, const char* caption, Items items) {
        QToolBar* toolBar = new QToolBar(QString::fromLatin1(caption), this);
        toolBar->setObjectName(QString::fromLatin1(name));
        toolBar->setMovable(true);
        toolBar->setFloatable(true);
        toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
        for (const char* item : items) {
            if (item[0] == '-')
                toolBar->addSeparator();
            else
                toolBar->addAction(actions->At(item));
        }
        toolBars.push_back(toolBar);
        return toolBar;
    };
    // Each kind shows one toolbar per row, so rows 2 to 4 hold the toolbars of all kinds.
    addToolBar(Qt::TopToolBarArea,
               add("ToolBarBasic", "Basic",
                   {"FileNewWave", "FileOpenWave", "FileSave", "-", "Undo", "-", "FilePlay",
                    "FilePlayMax", "FileStop", "FilePause", "FileRecord"}));
    addToolBarBreak();
    addToolBar(add("ToolBarWave1", "View",
                   {"ViewWave", "ViewVold", "-", "ZoomIn", "NoZoom", "SelectWave", "-", "EditCut",
                    "EditCopy", "EditPaste", "EditDelete", "EditTrim"}));
    addToolBar(add("ToolBarMusic1", "",
                   {"MusicModeAdd", "MusicModeEdit", "MusicModeDelete", "-", "MusicPlayNote",
                    "MusicAutoPlay", "-", "MusicGenerate", "MusicDialog", "MusicParts"}));
    addToolBar(
        add("ToolBarFact1", "Factory",
            {"SntValidate", "SntRunCrWnd", "-", "SntModeDrag", "SntModeConn", "SntShowHints"}));
    addToolBarBreak();
    addToolBar(add("ToolBarWave2", "Make Waves",
                   {"MakeSilence", "MakeLine", "MakeBlock", "MakeTriangle", "MakeSinus",
                    "MakeNoise", "MakeMFreq", "-", "DrawWaveLin", "DrawWave3G"}));
    addToolBar(add("ToolBarMusic2", "Music Note",
                   {"MusicNote1", "MusicNote2", "MusicNote4", "MusicNote8", "MusicNote16",
                    "MusicNote32", "MusicNote64"}));
    addToolBarBreak();
    addToolBar(
        add("ToolBarWave3", "Complex Manipulations",
            {"Volume", "MaxVolume", "MoveV", "MoveH", "Reverse", "Length", "TempoPitch", "-",
             "Balance", "MixLeftRight", "PerEcho", "RndEcho", "-", "FilterLow", "FilterHigh"}));
    addToolBar(add("ToolBarMusic3", "Music Silence",
                   {"MusicSilence1", "MusicSilence2", "MusicSilence4", "MusicSilence8",
                    "MusicSilence16", "MusicSilence32", "MusicSilence64"}));
}

void TMainForm::BuildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(true);
    // The panels have fixed widths, made for the texts in this font.
    bar->setFont(DialogFont());
    for (size_t i = 0; i < statusPanels.size(); ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFixedWidth(StatusPanelWidths[i]);
        panel->setFrameStyle(QFrame::Panel | (i == 1 ? QFrame::Raised : QFrame::Sunken));
        bar->addWidget(panel);
        statusPanels[i] = panel;
    }
}

QMenu* TMainForm::Menu(std::string_view name) const
{
    const QString wanted = QString::fromLatin1(name.data(), qsizetype(name.size()));
    for (QMenu* menu : menus)
        if (menu->objectName() == wanted)
            return menu;
    return findChild<QMenu*>(wanted);
}

QToolBar* TMainForm::ToolBar(std::string_view name) const
{
    const QString wanted = QString::fromLatin1(name.data(), qsizetype(name.size()));
    for (QToolBar* toolBar : toolBars)
        if (toolBar->objectName() == wanted)
            return toolBar;
    return nullptr;
}

} // namespace kelvorn
