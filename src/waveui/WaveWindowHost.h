#pragma once
// What a wave window tells the main window. The main window lives in the shell, which this
// layer may not use, so the shell implements this and installs it with
// InstallService<WaveWindowHost> (general/Services.h); without one installed the windows tell
// nobody (tests that need the notices install a recording host).
//
// Activation and closing are not here: the main window already follows the frame's
// activation signal and the document window's Closing signal for every kind of window.

#include <cstdint>
#include <string>

namespace kelvorn {

class TMDIChildWave;
class TUnitWave;

class WaveWindowHost
{
public:
    static constexpr const char* ServiceName = "WaveWindowHost";
    virtual ~WaveWindowHost() = default;
    /// The windows that draw window's wave as their envelope repaint.
    virtual void WaveChanged(TMDIChildWave& window) = 0;
    /// The windows that draw a wave called name as their envelope repaint (a renamed wave is
    /// announced under its old and its new name).
    virtual void WaveNameChanged(const std::string& name) = 0;
    /// Pane 1 or 2 of window changed its zoom (the Select and Zoom window follows it when
    /// window is the active one).
    virtual void WaveZoomChanged(TMDIChildWave& window, int pane) = 0;
    /// The pane's mouse status: status panel 1 gets text and becomes width pixels wide.
    virtual void SetMouseStatus(const std::string& text, int width) = 0;
    /// The open wave document called name, or null; a pane draws it as its envelope.
    virtual TUnitWave* FindUnitWave(const std::string& name) = 0;
    /// The volume writer of window computed the columns [first, end) of one of its grids: the
    /// windows that draw window's wave as their envelope paint just those. Optional: a host
    /// that does not follow the columns leaves those windows to their next repaint.
    virtual void VolumeColumnsDrawn(TMDIChildWave& /*window*/, int32_t /*first*/, int32_t /*end*/)
    {
    }
};

} // namespace kelvorn
