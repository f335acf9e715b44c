#pragma once
// The main window as the wave windows see it (waveui/WaveWindowHost.h): the envelope repaints,
// the Select and Zoom window's zoom, the mouse status panel and the waves found by name, each
// forwarded to the main window's link. Installed for its lifetime.

#include "waveui/WaveWindowHost.h"

namespace kelvorn {

class TMainForm;

class TMainWaveWindowHost final : public WaveWindowHost
{
public:
    /// form: not owned, must outlive the host.
    explicit TMainWaveWindowHost(TMainForm& form);
    ~TMainWaveWindowHost() override;
    TMainWaveWindowHost(const TMainWaveWindowHost&) = delete;
    TMainWaveWindowHost& operator=(const TMainWaveWindowHost&) = delete;

    void WaveChanged(TMDIChildWave& window) override;
    void WaveNameChanged(const std::string& name) override;
    void WaveZoomChanged(TMDIChildWave& window, int pane) override;
    /// Status panel 1 shows text and is width pixels wide (0: as wide as it was), or as wide
    /// as the text needs when that is more.
    void SetMouseStatus(const std::string& text, int width) override;
    TUnitWave* FindUnitWave(const std::string& name) override;
    void VolumeColumnsDrawn(TMDIChildWave& window, int32_t first, int32_t end) override;

private:
    TMainForm& form;
    WaveWindowHost* previous;
};

} // namespace kelvorn
