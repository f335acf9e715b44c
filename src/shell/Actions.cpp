#include "shell/Actions.h"

#include <QAction>
#include <QKeySequence>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kelvorn {

namespace {

using C = ActionCategory;
constexpr bool Checkable = true;

// clang-format off
const std::vector<ActionSpec> catalogue = {
    // File
    {"FileNewWave", "&New wave...", "Ctrl+N", "New Wave|Create a new empty wave", C::File},
    {"FileNewMuz", "New music...", "Ctrl+Shift+N", "New Music|Create a new music piece", C::File},
    {"FileOpenWave", "&Open wave...", "Ctrl+O", "Open Wave|Open a wave file", C::File},
    {"FileOpenMuz", "&Open music...", "Ctrl+Shift+O", "Open Music|Open a music file", C::File},
    {"FileClose", "&Close", "Ctrl+F4", "Close|Close the active window", C::File},
    {"FileSave", "&Save", "Ctrl+S", "Save|Save the active window", C::File},
    {"FileSaveAs", "Save &As...", "Ctrl+A", "Save As|Save the active window under a new name", C::File},
    {"FileExit", "E&xit", "", "Exit|Exit the Kelvorn", C::File},
    {"FileProperties", "Properties", "", "Properties|Change the file properties of the window", C::File},
    {"FilePlay", "&Play", "P", "Play|Play the Window", C::File, Checkable},
    {"FileStop", "S&top", "S", "Stop|Stop playing or recording", C::File},
    {"FilePause", "Pause", "W", "Pause|Pause playing or recording", C::File},
    {"FileRecord", "&Record", "Alt+R", "Record|Record into the empty wave", C::File, Checkable},
    {"DuplicateWave", "&Duplicate", "", "Duplicate|Duplicate the wave into a new window", C::File},
    {"DuplicateMuz", "&Duplicate", "", "Duplicate|Duplicate the music into a new window", C::File},
    {"FilePlayMax", "Play &Maximal", "Shift+P", "Play Maximal|Play the Window at maximal volume", C::File, Checkable},
    {"FileRevert", "&Revert", "Ctrl+Shift+R", "Revert|Read the file of the window again", C::File},
    {"FileNewFactory", "New &factory...", "Ctrl+Shift+F", "New Factory|Create a new sound factory", C::File},
    {"FileOpenFactory", "Open factory...", "Ctrl+F", "Open Factory|Open a sound factory file", C::File},
    {"DuplicateFact", "&Duplicate", "", "Duplicate|Duplicate the factory into a new window", C::File},
    // Project
    {"ProjectOpen", "&Open Project...", "Shift+Alt+O", "Open Project|Open a project file", C::Project},
    {"ProjectNew", "&New Project...", "Shift+Alt+N", "New Project|Start a new project", C::Project},
    {"ProjectClose", "&Close Project", "Shift+Alt+C", "Close Project|Close the project and its windows", C::Project},
    {"ProjectSave", "&Save Project", "Shift+S", "Save Project|Save the project and its windows", C::Project},
    {"ProjectExport", "&Export Project", "Shift+E", "Export Project|Save the project with copies of every window", C::Project},
    // Edit
    {"EditDelete", "&Delete", "", "Delete|Delete the selected part", C::Edit},
    {"EditTrim", "&Trim", "Ctrl+Shift+Del", "Trim|Keep only the selected part", C::Edit},
    {"EditClearClipboard", "Clear Clipboard", "Shift+Alt+Del", "Clear Clipboard|Empty the sound clipboard", C::Edit},
    {"EditSwap", "Swap", "X", "Swap|Swap the selected part with the clipboard", C::Edit},
    {"EditExtract", "Extract", "Shift+X", "Extract|Copy the selected part into a new window", C::Edit},
    {"EditMix", "&Mix...", "M", "Mix|Mix the clipboard into the wave", C::Edit},
    {"EditCut", "Cut", "Ctrl+X", "Cut|Move the selected part to the clipboard", C::Edit},
    {"EditCopy", "Copy", "Ctrl+C", "Copy|Copy the selected part to the clipboard", C::Edit},
    {"EditPaste", "Paste", "Ctrl+V", "Paste|Insert the clipboard at the cursor", C::Edit},
    // no category
    {"Undo", "&Undo", "Ctrl+Z", "Undo|Undo last wave action", C::None},
    {"DeleteUndo", "De&lete Undo", "", "Delete Undo|Forget the last wave action", C::None},
    {"EditNameAction", "Dialogbox Edit &Name", "N", "Edit Name|Show or hide the name of the window", C::None, Checkable},
    {"RandomizeAction", "&Randomize...", "", "Randomize|Seed the random values of the factories", C::None},
    {"Options", "Options...", "", "Options|Options", C::None},
    // WaveWindow
    {"SplitH", "&Split Horizontally", "Ctrl+I", "Split Horizontally|Split the wave in three at the selection", C::WaveWindow},
    {"SplitV", "S&plit Vertically", "Ctrl+Shift+I", "Split Vertically|Split a stereo wave into two mono waves", C::WaveWindow},
    {"MergeH", "&Merge Horizontally", "Ctrl+M", "Merge Horizontally|Join waves one after the other", C::WaveWindow},
    {"MergeV", "M&erge Vertically", "Ctrl+Shift+M", "Merge Vertically|Join two mono waves into one stereo wave", C::WaveWindow},
    {"ViewWave", "&Wave...", "Alt+W", "View Wave|Show the wave curve", C::WaveWindow, Checkable},
    {"ViewVold", "&Volume...", "Alt+V", "View Volume|Show the volume diagram", C::WaveWindow, Checkable},
    {"ZoomIn", "&Zoom in", "Z", "Zoom in|Zoom in with the mouse", C::WaveWindow, Checkable},
    {"NoZoom", "&No Zoom", "Shift+Z", "No Zoom|Show the whole wave", C::WaveWindow},
    {"SelectWave", "&Dialogbox Select Wave...", "Q", "Select Wave|Show or hide the select and zoom window", C::WaveWindow, Checkable},
    // MakeWave
    {"MakeSilence", "&Silence...", "", "Silence|Make silence", C::MakeWave},
    {"MakeLine", "&Line...", "", "Line|Make a straight line", C::MakeWave},
    {"MakeBlock", "&Block...", "Alt+B", "Block|Make a block wave", C::MakeWave},
    {"MakeTriangle", "&Triangle...", "Alt+T", "Triangle|Make a triangle wave", C::MakeWave},
    {"MakeSinus", "S&inus...", "Shift+Alt+S", "Sinus|Make a sine wave", C::MakeWave},
    {"MakeNoise", "&Noise...", "", "Noise|Make noise", C::MakeWave},
    {"MakeMFreq", "Multi &Frequencies...", "Alt+F", "Multi Frequencies|Make a wave of several frequencies", C::MakeWave},
    {"DrawWaveLin", "Dr&aw Wave Linear", "", "Draw Linear|Draw the wave with straight lines", C::MakeWave, Checkable},
    {"DrawWave3G", "Draw Wave Smooth", "Shift+Alt+D", "Draw Smooth|Draw the wave with smooth curves", C::MakeWave, Checkable},
    // SimpleWave
    {"MaxVolume", "M&aximal Volume", "Shift+V", "Maximal Volume|Make the wave as loud as possible", C::SimpleWave},
    {"Volume", "&Volume...", "V", "Volume|Change the volume", C::SimpleWave},
    {"Reverse", "&Reverse", "R", "Reverse|Play the wave backwards", C::SimpleWave},
    {"MoveV", "Move &Vertically...", "U", "Move Vertically|Move the wave up or down", C::SimpleWave},
    {"Block", "&Block...", "", "Block|Cut the wave into blocks", C::SimpleWave},
    {"RollOut", "Roll ou&t...", "O", "Roll out|Fade the wave out", C::SimpleWave},
    {"Rotate", "R&otate...", "Ctrl+R", "Rotate|Rotate the wave", C::SimpleWave},
    {"RollIn", "Roll &in...", "I", "Roll in|Fade the wave in", C::SimpleWave},
    {"Length", "Change &length...", "", "Change length|Change the length of the wave", C::SimpleWave},
    {"Distort", "&Distort...", "Shift+D", "Distort|Distort the wave", C::SimpleWave},
    {"NormalizeVertically", "&Normalize Vertically", "Shift+N", "Normalize Vertically|Centre the wave around zero", C::SimpleWave},
    {"MoveH", "Move &Horizontally...", "H", "Move Horizontally|Shift the wave in time", C::SimpleWave},
    // ComplexWave
    {"Balance", "Ba&lance...", "", "Balance|Make a stereo wave of a mono wave", C::ComplexWave},
    {"MixLeftRight", "Mi&x Left and Right...", "Shift+M", "Mix Left and Right|Mix the two channels", C::ComplexWave},
    {"PerEcho", "&Period...", "Ctrl+E", "Period Echo|Add a periodic echo", C::ComplexWave},
    {"RndEcho", "&Random...", "Alt+E", "Random Echo|Add a random echo", C::ComplexWave},
    {"TempoPitch", "Tem&po and Pitch...", "T", "Tempo and Pitch|Change tempo and pitch", C::ComplexWave},
    // Filter
    {"FilterBlock", "FilterBlock", "Ctrl+Alt+B", "Block Filter|Filter with a block", C::Filter},
    {"FilterLow", "&Low...", "Ctrl+Alt+L", "Low|Low pass filter", C::Filter},
    {"FilterHigh", "&High...", "Ctrl+Alt+H", "High|High pass filter", C::Filter},
    {"FilterRes", "&Resonant...", "Ctrl+Alt+R", "Resonant|Resonant filter", C::Filter},
    {"FilterNotch", "&Notch...", "Ctrl+Alt+N", "Notch|Notch filter", C::Filter},
    // Music
    {"MusicGenerate", "&Generate", "Alt+M", "Generate|Generate a wave of the music", C::Music},
    {"MusicDelete", "&Delete", "", "Delete|Delete the selected symbol", C::Music},
    {"MusicDialog", "&Dialogbox Edit Music", "", "Edit Music|Show or hide the music window", C::Music, Checkable},
    {"MusicParts", "&Dialogbox Music Parts", "", "Music Parts|Show or hide the music parts window", C::Music, Checkable},
    // MusicNotes
    {"MusicNote1", "Note &1", "", "Note 1|Whole note", C::MusicNotes, Checkable},
    {"MusicNote2", "Note &2", "", "Note 2|Half note", C::MusicNotes, Checkable},
    {"MusicNote4", "Note &4", "", "Note 4|Quarter note", C::MusicNotes, Checkable},
    {"MusicNote8", "Note &8", "", "Note 8|Eighth note", C::MusicNotes, Checkable},
    {"MusicNote16", "Note 1&6", "", "Note 16|Sixteenth note", C::MusicNotes, Checkable},
    {"MusicNote32", "Note &32", "", "Note 32|Thirty-second note", C::MusicNotes, Checkable},
    {"MusicNote64", "Not&e 64", "", "Note 64|Sixty-fourth note", C::MusicNotes, Checkable},
    {"MusicNoteGroupPrev", "Previous Note Group", "", "Previous Note Group|Move the note into the previous group", C::MusicNotes},
    {"MusicNoteGroupNext", "Next Note Group", "", "Next Note Group|Move the note into the next group", C::MusicNotes},
    {"NoteStickUp", "Note Stick &Up", "", "Stick Up|Stem of the note up", C::MusicNotes, Checkable},
    {"NoteStickDown", "Note Stick &Down", "", "Stick Down|Stem of the note down", C::MusicNotes, Checkable},
    // MusicSilence
    {"MusicSilence1", "Silence &1", "", "Silence 1|Whole rest", C::MusicSilence, Checkable},
    {"MusicSilence2", "Silence &2", "", "Silence 2|Half rest", C::MusicSilence, Checkable},
    {"MusicSilence4", "Silence &4", "", "Silence 4|Quarter rest", C::MusicSilence, Checkable},
    {"MusicSilence8", "Silence &8", "", "Silence 8|Eighth rest", C::MusicSilence, Checkable},
    {"MusicSilence16", "Silence 1&6", "", "Silence 16|Sixteenth rest", C::MusicSilence, Checkable},
    {"MusicSilence32", "Silence &32", "", "Silence 32|Thirty-second rest", C::MusicSilence, Checkable},
    {"MusicSilence64", "Silenc&e 64", "", "Silence 64|Sixty-fourth rest", C::MusicSilence, Checkable},
    // MusicArt
    {"MusicStaccatissimo", "Staccatissimo", "", "Staccatissimo|Articulation staccatissimo", C::MusicArt, Checkable},
    {"MusicStaccato", "Staccato", "", "Staccato|Articulation staccato", C::MusicArt, Checkable},
    {"MusicArtNormal", "Normal", "", "Normal|Articulation normal", C::MusicArt, Checkable},
    {"MusicPortato", "Portato", "", "Portato|Articulation portato", C::MusicArt, Checkable},
    {"MusicLegato", "Legato", "", "Legato|Articulation legato", C::MusicArt, Checkable},
    // MusicKey
    {"MusicKeyG", "Key &G", "G", "Key G|G clef", C::MusicKey, Checkable},
    {"MusicKeyC", "Key &C", "C", "Key C|C clef", C::MusicKey, Checkable},
    {"MusicKeyF", "Key &F", "F", "Key F|F clef", C::MusicKey, Checkable},
    // MusicNoteshift
    {"MusicNSDCross", "&Double Cross", "", "Double Cross|Double sharp", C::MusicNoteshift, Checkable},
    {"MusicNSCross", "&Cross", "", "Cross|Sharp", C::MusicNoteshift, Checkable},
    {"MusicNSNormal", "&Normal", "", "Normal|Natural", C::MusicNoteshift, Checkable},
    {"MusicNSMol", "&Mol", "", "Mol|Flat", C::MusicNoteshift, Checkable},
    {"MusicNSDMol", "D&ouble Mol", "", "Double Mol|Double flat", C::MusicNoteshift, Checkable},
    // MusicMode
    {"MusicModeDelete", "&Delete", "", "Delete Mode|Click deletes symbols", C::MusicMode, Checkable},
    {"MusicModeEdit", "&Edit", "Alt+Home", "Edit Mode|Click selects symbols", C::MusicMode, Checkable},
    {"MusicModeAdd", "&Add", "Alt+Ins", "Add Mode|Click adds symbols", C::MusicMode, Checkable},
    // MusicMove
    {"MusicMoveNext", "&Next", "", "Move Next|Swap the symbol with the next one", C::MusicMove},
    {"MusicMovePrev", "&Previous", "", "Move Previous|Swap the symbol with the previous one", C::MusicMove},
    {"MusicMoveUp", "&Up", "", "Move Up|The note one step up", C::MusicMove},
    {"MusicMoveDown", "&Down", "", "Move Down|The note one step down", C::MusicMove},
    {"MusicMoveOctUp", "&Octave Up", "", "Octave Up|The note one octave up", C::MusicMove},
    {"MusicMoveOctDown", "O&ctave Down", "", "Octave Down|The note one octave down", C::MusicMove},
    // MusicPoint
    {"MusicPointAdd", "&Add", ".", "Add Point|One point more", C::MusicPoint},
    {"MusicPointDelete", "&Delete", "Shift+.", "Delete Point|One point less", C::MusicPoint},
    // MusicSelect
    {"MusicSelectDown", "&Down", "", "Select Down|Select the next lower note", C::MusicSelect},
    {"MusicSelectNext", "&Next", "", "Select Next|Select the next symbol", C::MusicSelect},
    {"MusicSelectPrev", "&Previous", "", "Select Previous|Select the previous symbol", C::MusicSelect},
    {"MusicSelectUp", "&Up", "", "Select Up|Select the next higher note", C::MusicSelect},
    // MusicTuplet
    {"MusicTwin", "T&win", "Ctrl+2", "Twin|Split the note into a twin", C::MusicTuplet},
    {"MusicTriplet", "&Triplet", "Ctrl+3", "Triplet|Split the note into a triplet", C::MusicTuplet},
    {"MusicQuadruplet", "&Quadruplet", "Ctrl+4", "Quadruplet|Split the note into a quadruplet", C::MusicTuplet},
    {"MusicQuintuplet", "Q&uintuplet", "Ctrl+5", "Quintuplet|Split the note into a quintuplet", C::MusicTuplet},
    // MusicPlay
    {"MusicPlayNote", "P&lay Note", "", "Play Note|Play the selected note", C::MusicPlay},
    {"MusicAutoPlay", "&Auto Play Note", "", "Auto Play|Play every note that is changed", C::MusicPlay, Checkable},
    // Sountory
    {"SntValidate", "&Validate", "V", "Validate|Validate the factory", C::Sountory},
    {"SntRunAtWnd", "Run &Factory Change Wave", "F", "Run Factory|Run a factory on the wave", C::Sountory},
    {"SntModeDrag", "Mode &Drag", "Alt+D", "Drag|Drag the nodes", C::Sountory, Checkable},
    {"SntModeConn", "Mode &Connect", "Alt+C", "Connect|Connect the nodes", C::Sountory, Checkable},
    {"SntRunCrWnd", "Run &Factory Create Wave", "Alt+M", "Run Factory|Run the factory into a new wave", C::Sountory},
    {"SntShowHints", "Show &Hints", "Alt+H", "Show Hints|Show the hints of the nodes", C::Sountory, Checkable},
    // key
    {"keyL", "keyL", "L", "", C::Key},
    {"keyShiftL", "keyShiftL", "Shift+L", "", C::Key},
    {"keyAltL", "keyAltL", "Alt+L", "", C::Key},
    {"keyShiftAltL", "keyShiftAltL", "Shift+Alt+L", "", C::Key},
    {"keyCtrlP", "keyCtrlP", "Ctrl+P", "", C::Key},
    {"keyCtrlDel", "keyCtrlDel", "Ctrl+Del", "", C::Key},
    {"keyAltDel", "keyAltDel", "Alt+Del", "", C::Key},
    {"keyAltN", "keyAltN", "Alt+N", "", C::Key},
    {"keyAltS", "keyAltS", "Alt+S", "", C::Key},
    {"keyB", "keyB", "B", "", C::Key},
    {"keyShiftB", "keyShiftB", "Shift+B", "", C::Key},
    {"keyH", "keyH", "H", "", C::Key},
    {"keyShiftH", "keyShiftH", "Shift+H", "", C::Key},
    {"keyE", "keyE", "E", "", C::Key},
    {"keyCtrlD", "keyCtrlD", "Ctrl+D", "", C::Key},
    {"keyAltP", "keyAltP", "Alt+P", "", C::Key},
    {"keyShiftAltP", "keyShiftAltP", "Shift+Alt+P", "", C::Key},
    {"keyAltG", "keyAltG", "Alt+G", "", C::Key},
    {"keyShiftAltG", "keyShiftAltG", "Shift+Alt+G", "", C::Key},
    {"keyD", "keyD", "D", "", C::Key},
    {"keyShiftCtrlD", "keyShiftCtrlD", "Ctrl+Shift+D", "", C::Key},
    {"keyAltU", "keyAltU", "Alt+U", "", C::Key},
    {"keyAltD", "keyAltD", "Alt+D", "", C::Key},
    // Window
    {"WindowCascade", "&Cascade", "Shift+F5", "Cascade|Arrange the windows overlapping", C::Window},
    {"WindowTileHorizontal", "Tile &Horizontally", "F4", "Tile Horizontally|Arrange the windows one above the other", C::Window},
    {"WindowTileVertical", "Tile &Vertically", "Shift+F4", "Tile Vertically|Arrange the windows side by side", C::Window},
    {"WindowMinimizeAll", "&Minimize All", "", "Minimize All|Minimize every window", C::Window},
    {"WindowArrangeAll", "&Arrange All", "", "Arrange All|Arrange the minimized windows", C::Window},
    // Help
    {"HelpContents", "&Contents", "F1", "Contents|Show the contents of the help", C::Help},
    {"HelpTopicSearch", "&Topic Search", "Shift+F1", "Topic Search|Search a topic of the help", C::Help},
    {"HelpOnHelp", "&Help on Help", "Ctrl+F1", "Help on Help|How to use the help", C::Help},
    {"HelpAbout", "&About...", "Alt+F1", "About|About the Kelvorn", C::Help},
};
// clang-format on

} // namespace

const std::vector<ActionSpec>& ActionCatalogue()
{
    return catalogue;
}

QString ShortHint(const char* hint)
{
    const QString text = QString::fromLatin1(hint);
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    return bar < 0 ? text : text.left(bar);
}

QString LongHint(const char* hint)
{
    const QString text = QString::fromLatin1(hint);
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    return bar < 0 ? text : text.mid(bar + 1);
}

TActionList::TActionList(QWidget* window) : QObject(window)
{
    actions.reserve(catalogue.size());
    for (const ActionSpec& spec : catalogue) {
        auto* action = new QAction(QString::fromLatin1(spec.caption), this);
        action->setObjectName(QString::fromLatin1(spec.name));
        if (*spec.shortcut)
            action->setShortcut(
                QKeySequence(QString::fromLatin1(spec.shortcut), QKeySequence::PortableText));
        // Tool windows (Edit Name, Select and Zoom, ...) leave the keys to the main window.
        action->setShortcutContext(Qt::ApplicationShortcut);
        action->setCheckable(spec.checkable);
        if (*spec.hint) {
            action->setToolTip(ShortHint(spec.hint));
            action->setStatusTip(LongHint(spec.hint));
        }
        action->setProperty("kelvornCategory", static_cast<int>(spec.category));
        window->addAction(action);
        actions.push_back(action);
        byName.emplace(spec.name, action);
    }
}

QAction* TActionList::Find(std::string_view name) const
{
    auto it = byName.find(name);
    return it == byName.end() ? nullptr : it->second;
}

QAction* TActionList::At(std::string_view name) const
{
    QAction* action = Find(name);
    if (!action) {
        std::fprintf(stderr, "No action named %.*s\n", int(name.size()), name.data());
        std::abort();
    }
    return action;
}

std::vector<QAction*> TActionList::InCategory(ActionCategory category) const
{
    std::vector<QAction*> found;
    for (QAction* action : actions)
        if (CategoryOf(action) == category)
            found.push_back(action);
    return found;
}

ActionCategory TActionList::CategoryOf(const QAction* action) const
{
    return static_cast<ActionCategory>(action->property("kelvornCategory").toInt());
}

void TActionList::SetEnabled(std::initializer_list<const char*> names, bool enabled) const
{
    for (const char* name : names)
        At(name)->setEnabled(enabled);
}

bool IsMusicQueryCategory(ActionCategory category)
{
    switch (category) {
    case ActionCategory::MusicNotes:
    case ActionCategory::MusicSilence:
    case ActionCategory::MusicArt:
    case ActionCategory::MusicKey:
    case ActionCategory::MusicNoteshift:
    case ActionCategory::MusicMode:
    case ActionCategory::MusicMove:
    case ActionCategory::MusicPoint:
    case ActionCategory::MusicSelect:
    case ActionCategory::MusicTuplet:
    case ActionCategory::MusicPlay:
        return true;
    default:
        return false;
    }
}

} // namespace kelvorn
