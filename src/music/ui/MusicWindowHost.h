#pragma once
// What a music window tells the main window. The main window lives in the shell, which this
// layer may not use, so the shell implements this and installs it with
// InstallService<MusicWindowHost> (general/Services.h); without one installed the windows tell
// nobody (tests install a recording host).
//
// Activation and closing are not here: the main window follows the frame's activation signal
// and the document window's Closing signal for every kind of window. A click into a window that
// is active already changes neither, so the window reports it itself.

namespace kelvorn {

class TMDIChildMuz;
class TNoteStave;

class MusicWindowHost
{
public:
    static constexpr const char* ServiceName = "MusicWindowHost";
    virtual ~MusicWindowHost() = default;
    /// window was clicked: the name window and the music tool windows follow it, and typed keys
    /// go to the shortcuts again.
    virtual void MuzChildActivated(TMDIChildMuz& window) = 0;
    /// The rooms of stave changed: the music tool window refreshes when it shows that stave.
    virtual void NoteStaveChanged(TNoteStave& stave) = 0;
};

} // namespace kelvorn
