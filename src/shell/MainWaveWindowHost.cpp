#include "shell/MainWaveWindowHost.h"

#include "general/Services.h"
#include "shell/MainForm.h"
#include "waveui/WaveWindow.h"

#include <QLabel>

namespace kelvorn {

TMainWaveWindowHost::TMainWaveWindowHost(TMainForm& form)
    : form(form), previous(InstallService<WaveWindowHost>(this))
{
}

TMainWaveWindowHost::~TMainWaveWindowHost()
{
    InstallService<WaveWindowHost>(previous);
}

void TMainWaveWindowHost::WaveChanged(TMDIChildWave& window)
{
    form.Link().WaveChanged(&window);
}

void TMainWaveWindowHost::WaveNameChanged(const std::string& name)
{
    form.Documents().WaveNameChanged(name);
}

void TMainWaveWindowHost::WaveZoomChanged(TMDIChildWave& window, int pane)
{
    form.Link().WaveZoomChanged(&window, pane);
}

void TMainWaveWindowHost::SetMouseStatus(const std::string& text, int width)
{
    if (QLabel* panel = form.GetStatusPanel(1)) {
        panel->setText(QString::fromLatin1(text.c_str()));
        if (width > 0)
            panel->setFixedWidth(width);
    }
}

TUnitWave* TMainWaveWindowHost::FindUnitWave(const std::string& name)
{
    return form.Documents().FindUnitWave(name);
}

void TMainWaveWindowHost::VolumeColumnsDrawn(TMDIChildWave& window, int32_t first, int32_t end)
{
    form.Link().VolumeColumnsDrawn(&window, first, end);
}

} // namespace kelvorn
