#include "shell/MainWaveWindowHost.h"

#include "general/Services.h"
#include "shell/MainForm.h"
#include "waveui/WaveWindow.h"

#include <QLabel>

#include <algorithm>

namespace kelvorn {

namespace {

// The width a panel needs to show its text whole: the text, the indent a framed label keeps in
// front of it (half an "x"), and frame and margin on both sides. Not sizeHint, which never
// falls below the panel's fixed width.
int TextWidth(const QLabel& panel)
{
    const QFontMetrics metrics = panel.fontMetrics();
    int indent = panel.indent();
    if (indent < 0)
        indent = panel.frameWidth() > 0
                     ? metrics.horizontalAdvance(QLatin1Char('x')) / 2 - panel.margin()
                     : 0;
    return metrics.horizontalAdvance(panel.text()) + std::max(indent, 0) +
           2 * (panel.frameWidth() + panel.margin());
}

} // namespace

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
        // The pane's width fits its usual texts; a wider one (a wave of days, a rate of
        // megahertz) widens the panel rather than lose its end.
        const int wanted = width > 0 ? width : panel->minimumWidth();
        panel->setFixedWidth(std::max(wanted, TextWidth(*panel)));
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
