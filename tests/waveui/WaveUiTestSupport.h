#pragma once
// Wave windows in a frame of known size for the pane and window tests: a recording host for the
// main-window notices, sounds of known values, panes of exact widths, and mouse events with
// the buttons spelled out.

#include "general/Services.h"
#include "platform/test/ScriptedMessages.h"
#include "sound/Sound.h"
#include "sound/Wave.h"
#include "document/wave/UnitWave.h"
#include "waveui/ViewWave.h"
#include "waveui/ViewWaveGroup.h"
#include "waveui/WaveWindow.h"
#include "waveui/WaveWindowHost.h"

#include <QApplication>
#include <QMdiArea>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSplitter>
#include <QThread>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kelvorn::test {

/// A sound of `values` values per channel, each value v (the right channel -v).
inline SoundPtr Flat(int16_t channels, int32_t values, int16_t v = 0, int32_t freq = 44100)
{
    WavePtr left = CreateWave(nullptr, values);
    for (int32_t i = 0; i < values; ++i)
        (*left)[i] = v;
    if (channels == 1)
        return std::make_shared<MonoSound>(std::move(left), freq, int16_t{2});
    WavePtr right = CreateWave(nullptr, values);
    for (int32_t i = 0; i < values; ++i)
        (*right)[i] = static_cast<int16_t>(-v);
    return std::make_shared<StereoSound>(std::move(left), std::move(right), freq, int16_t{2});
}

class RecordingHost final : public WaveWindowHost
{
public:
    RecordingHost() : previous(InstallService<WaveWindowHost>(this)) {}
    ~RecordingHost() override { InstallService<WaveWindowHost>(previous); }

    void WaveChanged(TMDIChildWave& window) override { changed.push_back(&window); }
    void WaveNameChanged(const std::string& name) override { names.push_back(name); }
    void WaveZoomChanged(TMDIChildWave& window, int pane) override { zooms.push_back(pane); }
    void SetMouseStatus(const std::string& text, int width) override
    {
        status.push_back(text);
        statusWidth = width;
    }
    TUnitWave* FindUnitWave(const std::string& name) override
    {
        auto found = waves.find(name);
        return found == waves.end() ? nullptr : found->second;
    }
    /// Recorded, and passed on to the windows of envelopeUsers that draw window's wave, as the
    /// main window does.
    void VolumeColumnsDrawn(TMDIChildWave& window, int32_t first, int32_t end) override
    {
        columns.push_back({&window, first, end});
        columnsOnGuiThread = columnsOnGuiThread && QThread::currentThread() == qApp->thread();
        for (TMDIChildWave* user : envelopeUsers)
            if (user->DrawsEnvelopeOf(window.GetUnitWave().GetName()))
                user->EnvelopeColumnsDrawn(first, end);
    }

    struct Columns
    {
        TMDIChildWave* window;
        int32_t first, end;
    };

    std::vector<TMDIChildWave*> changed;
    std::vector<std::string> names;
    std::vector<int> zooms;
    std::vector<std::string> status;
    int statusWidth = 0;
    std::map<std::string, TUnitWave*> waves;
    std::vector<Columns> columns;
    bool columnsOnGuiThread = true;
    std::vector<TMDIChildWave*> envelopeUsers;

private:
    WaveWindowHost* previous;
};

/// Sends one mouse event with the buttons held after it spelled out.
inline void Mouse(QWidget& widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
                  QPoint at, Qt::KeyboardModifiers modifiers = {})
{
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, held, modifiers);
    QApplication::sendEvent(&widget, &event);
}
inline void Click(QWidget& widget, QPoint at, Qt::KeyboardModifiers modifiers = {})
{
    Mouse(widget, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, at, modifiers);
    Mouse(widget, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, at, modifiers);
}

class WaveWindowTest : public ::testing::Test
{
protected:
    WaveWindowTest() { area.resize(1400, 800); }
    ~WaveWindowTest() override
    {
        for (QMdiSubWindow* window : area.subWindowList())
            delete window;
    }
    void TearDown() override
    {
        for (const ShownMessage& box : messages.Unexpected())
            ADD_FAILURE() << "unexpected box: " << box.caption << ": " << box.text;
    }

    /// A window on sound named name, shown, its panes first and second pixels wide and height
    /// pixels high.
    TMDIChildWave* Open(SoundPtr sound, int first = 1, int second = 1000, int height = 200,
                        const std::string& name = "Wave 1")
    {
        auto unit = std::make_unique<TUnitWave>(name, std::string(), std::move(sound));
        auto* window =
            new TMDIChildWave(nullptr, std::move(unit), TWaveViewProps(), TVoldViewProps());
        area.addSubWindow(window);
        area.show();
        window->show();
        Arrange(*window, first, second, height);
        window->GetUnitWave().ClearModified();
        return window;
    }

    /// Sizes the window so that its panes get exactly these widths and this height.
    static void Arrange(TMDIChildWave& window, int first, int second, int height)
    {
        QSplitter& splitter = window.Splitter();
        const int frameWidth = window.width() - splitter.width();
        const int frameHeight = window.height() - splitter.height();
        window.resize(first + splitter.handleWidth() + second + frameWidth, height + frameHeight);
        splitter.setSizes({first, second});
        QApplication::processEvents();
    }

    static TViewWave& Pane(TMDIChildWave& window, int n)
    {
        return *window.GetViewWaveGroup().GetView(n);
    }

    /// The colour at (x, y) of the pane's backing image as 0x00BBGGRR.
    static uint32_t PixelAt(TViewWave& pane, int x, int y)
    {
        const QRgb rgb = pane.BackingImage().pixel(x, y);
        return uint32_t(qRed(rgb)) | uint32_t(qGreen(rgb)) << 8 | uint32_t(qBlue(rgb)) << 16;
    }

    ScriptedMessages messages;
    RecordingHost host;
    QMdiArea area;
};

} // namespace kelvorn::test
