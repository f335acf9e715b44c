#pragma once
// The main window's commands of sound factories: new (from a template), open, save, save as,
// revert, duplicate and the properties; validate; run a factory on the active wave window's
// selection or into a new wave window; and the editor's mouse mode and hints. The factory kind
// (TFactoryKind) answers the generic file, project and close commands with these. The factory
// reads, writes, validates and runs itself; the commands choose the factory, names, order,
// dialogs and boxes.

#include <cstdint>
#include <memory>
#include <string>

namespace kelvorn {

class TFileCommands;
class TMainFactoryHost;
class TMainForm;
class TMDIChildFact;
class TSountoryNode;
class TUnitSountory;

class TFactoryCommands final
{
public:
    static constexpr const char* FactoryFilter =
        "Factory Files (*.kvf)|*.kvf|XML Files (*.xml)|*.xml|All files (*.*)|*.*";
    static constexpr const char* FactoryExtension = "kvf";
    static constexpr const char* OpenFactoryTitle = "Open Factory";
    static constexpr const char* SaveFactoryTitle = "Save Factory";

    /// form and files: not owned, must outlive the commands.
    TFactoryCommands(TMainForm& form, TFileCommands& files);
    /// Closes the factory windows (their documents ask the host that goes with these) and takes
    /// the commands back out; the factory kind keeps only its rule of the action update.
    ~TFactoryCommands();
    TFactoryCommands(const TFactoryCommands&) = delete;
    TFactoryCommands& operator=(const TFactoryCommands&) = delete;

    /// Registers the factory kind with these commands and installs its commands.
    void Install();
    /// The host every factory is made with.
    TMainFactoryHost& Host() { return *host; }

    // ---- Commands ------------------------------------------------------------------------

    /// The create dialog; OK makes a factory from the chosen template.
    void FileNewFactoryExecute();
    /// "Open Factory" for several files; each is opened in the order chosen.
    void FileOpenFactoryExecute();
    /// "Copy n of <name>": a copy of the active factory, its editor settings included, untitled.
    void DuplicateFactExecute();
    /// Validates the active factory; a failure shows its reason under "Validation failed".
    void SntValidateExecute();
    /// A change-wave-window factory, chosen in the run dialog, validated and run on the active
    /// wave's selection after the undo snapshot; its result replaces the wave, which counts as
    /// changed.
    void SntRunAtWndExecute();
    /// The active factory validated and run; its "Result" opens in a new wave window "Wave n of
    /// <name>" whose selection the outputs "Position Begin" and "Position End" give.
    void SntRunCrWndExecute();
    /// Mode Drag or Mode Connect of the active factory window; marks the factory modified.
    void SetEditMode(uint8_t mode);
    /// Show Hints of the active factory window; marks the factory modified.
    void SntShowHintsExecute();

    // ---- What the factory kind, the project, the close question and the windows call --------

    /// A new untitled factory from a template (0 to 5) in its window, named "Factory n"; one
    /// made for a node (template 3) is named after the node, then "<node> 2", "<node> 3", ...
    /// while a document of that name is open.
    TUnitSountory* NewFactory(int32_t templateNumber, const TSountoryNode* node);
    /// Reads a factory into a new window named "Factory n". copy (may be empty) is a project's
    /// saved copy, read in place of path when it exists (or when there is no path); the factory
    /// then takes path as its file and, with one, counts as changed. Null, after the "Cannot
    /// read file" box, when the file could not be read: no window is left.
    TUnitSountory* OpenFactoryFile(const std::string& path, const std::string& copy = {});
    /// Save, or Save As when the factory has no file; whether it was saved.
    bool SaveUnitSountory(TUnitSountory& unit);
    /// The "Save Factory" dialog, then the factory under the chosen name. Only a save that
    /// worked takes the new name and clears the change flag, so the close question still
    /// protects the work.
    bool SaveAsUnitSountory(TUnitSountory& unit);
    /// Reads the window's file into a fresh factory that takes the old one's place; a file that
    /// fails leaves the old one with its "Cannot read file: " box.
    void RevertFact(TMDIChildFact& window);
    /// The factory's properties dialog; OK marks it modified.
    void EditFactProperties(TMDIChildFact& window);

    /// A factory window for unit in the main window's frame, linked with it both ways, shown
    /// and active.
    TMDIChildFact* NewChildFact(std::unique_ptr<TUnitSountory> unit);

private:
    TMDIChildFact* ActiveWindow() const;

    TMainForm& form;
    TFileCommands& files;
    std::unique_ptr<TMainFactoryHost> host;
};

} // namespace kelvorn
