#pragma once
// The main window's side of the "Music" and "Music Parts" tool windows: it makes them for the
// tool-window slots, lets them follow the active music window, points them elsewhere before a
// piece they show goes (its window closes, a revert replaces it), and gives Ctrl+D and
// Ctrl+Shift+D to the "Music" window's toggle while a music window is active.

#include <QMetaObject>

#include <memory>

namespace kelvorn {

class TMainForm;
class TMDIChildKelvorn;
class TMusicToolHostOfForm;

class TMusicToolCommands final
{
public:
    /// form: not owned, must outlive the commands. Installs the makers, the keys and the
    /// retargeting.
    explicit TMusicToolCommands(TMainForm& form);
    /// Takes the makers and keys back and deletes the windows made.
    ~TMusicToolCommands();
    TMusicToolCommands(const TMusicToolCommands&) = delete;
    TMusicToolCommands& operator=(const TMusicToolCommands&) = delete;

    /// Both tool windows, where they exist, show window's piece (null or a window of another
    /// kind: none).
    void Retarget(TMDIChildKelvorn* window);

private:
    TMainForm& form;
    std::unique_ptr<TMusicToolHostOfForm> host;
    QMetaObject::Connection closing;
};

} // namespace kelvorn
