// Kelvorn's entry: checks for a display, installs the Qt services, builds the main window,
// opens the file named on the command line and runs the event loop.
//
// For the screenshot script and start-up timing, two environment variables end the program
// once the main window has painted itself: KELVORN_SCREENSHOT=<file.png> saves the window
// first, KELVORN_QUIT_WHEN_SHOWN=1 just quits. KELVORN_DEMO_WAVE=<file.wav> writes a generated
// sound to that file and opens it in place of the command line, maximised, split and zoomed, so
// that the picture shows a wave window at work.
#include "document/wave/UnitWave.h"
#include "factory/builtins/BuiltinNode.h"
#include "general/Services.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QuitOnSignals.h"
#include "platform/qt/audio/QtAudioDevice.h"
#include "shell/EditCommands.h"
#include "shell/FactoryCommands.h"
#include "shell/FileCommands.h"
#include "shell/MainForm.h"
#include "shell/MusicCommands.h"
#include "shell/PlayRecord.h"
#include "shell/ProjectCommands.h"
#include "shell/SplitMergeCommands.h"
#include "shell/ViewCommands.h"
#include "shell/WaveCommands.h"
#include "sound/Sound.h"
#include "sound/WavFile.h"
#include "sound/Wave.h"
#include "waveui/ViewWave.h"
#include "waveui/ViewWaveGroup.h"
#include "waveui/WaveWindow.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iterator>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

// run.sh makes the same test before it builds: keep the two alike.
bool HasDisplay()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform)
        return true; // the caller chose a platform (offscreen, vnc, ...)
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

// Shows an exception that escaped the event loop, as the application's one exception box.
class KelvornApplication final : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            QMessageBox::critical(nullptr, QString::fromStdString(kelvorn::ApplicationTitle()),
                                  QString::fromLocal8Bit(e.what()));
        } catch (...) {
            QMessageBox::critical(nullptr, QString::fromStdString(kelvorn::ApplicationTitle()),
                                  QStringLiteral("An unknown error occurred."));
        }
        return false;
    }
};

// Waits for the main window's first paint, then saves it (when a file is given) and quits.
class QuitWhenShown final : public QObject
{
public:
    QuitWhenShown(QWidget& window, QString screenshot)
        : window(window), screenshot(std::move(screenshot))
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &window && event->type() == QEvent::Paint && !done) {
            done = true;
            // After this paint: the grab paints the window again.
            QTimer::singleShot(0, this, [this] {
                // What the first paint laid out (a score's scroll bars) takes its place first.
                QCoreApplication::processEvents();
                int result = 0;
                if (!screenshot.isEmpty() && !window.grab().save(screenshot)) {
                    std::fprintf(stderr, "Cannot save %s\n", qPrintable(screenshot));
                    result = 1;
                }
                QCoreApplication::exit(result);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget& window;
    QString screenshot;
    bool done = false;
};

// Two seconds of a plucked chord, the right channel a little later and softer than the left.
bool WriteDemoWave(const std::string& path)
{
    constexpr int32_t freq = 44100;
    constexpr int32_t values = 2 * freq;
    const double notes[] = {220.0, 277.18, 329.63, 440.0};
    auto make = [&](double delay, double gain) {
        kelvorn::WavePtr wave = kelvorn::CreateWave(nullptr, values);
        for (int32_t i = 0; i < values; ++i) {
            const double t = std::max(0.0, double(i) / freq - delay);
            const double envelope = gain * std::min(1.0, t * 200.0) * std::exp(-2.2 * t);
            double sum = 0.0;
            for (size_t n = 0; n < std::size(notes); ++n)
                sum += std::sin(2.0 * std::numbers::pi * notes[n] * t) / double(n + 1);
            (*wave)[i] = static_cast<int16_t>(14000.0 * envelope * sum);
        }
        return wave;
    };
    kelvorn::StereoSound sound(make(0.0, 1.0), make(0.03, 0.7), freq, int16_t{2});
    std::string message;
    return kelvorn::WriteWaveFile(nullptr, path, &sound, 0, -1, message);
}

// The demo wave's window filling the frame, with a part selected and the first pane showing a
// few cycles around the part's start.
void ArrangeDemoWindow(kelvorn::TMainForm& mainForm)
{
    auto* window = dynamic_cast<kelvorn::TMDIChildWave*>(mainForm.Documents().GetActiveChildWave());
    if (!window)
        return;
    window->showMaximized();
    kelvorn::TUnitWave& unit = window->GetUnitWave();
    unit.SetPart(unit.GetValues() / 4, unit.GetValues() / 2);
    kelvorn::TViewWaveGroup& group = window->GetViewWaveGroup();
    group.SetSplitPosition(0.35);
    group.GetView(1)->ZoomTo(unit.GetValues() / 4 - 1200, unit.GetValues() / 4 + 1200, true);
    window->RepaintViews();
}

} // namespace

int main(int argc, char** argv)
{
    if (!HasDisplay()) {
        std::fprintf(stderr,
                     "Kelvorn needs a display: neither DISPLAY nor WAYLAND_DISPLAY is set.\n");
        return 1;
    }
    KelvornApplication app(argc, argv);
    QApplication::setApplicationName("Kelvorn");
    kelvorn::SetApplicationTitle();
    // Before the services: a signal while they go (the temporary directory with them) waits
    // for the normal end instead of cutting it short.
    kelvorn::QuitOnSignals quitOnSignals;
    kelvorn::QtServices services;

    kelvorn::QtAudioDevice audio;
    kelvorn::ScopedService<kelvorn::AudioDevice> installAudio(&audio);
    // Factory files name their builtin nodes; the builtin functions make them.
    kelvorn::ScopedService<kelvorn::TBuiltinNodeMaker> installBuiltins(
        &kelvorn::GetBuiltinNodeMaker());

    kelvorn::TMainForm mainForm;
    kelvorn::TFileCommands fileCommands(mainForm);
    fileCommands.Install();
    kelvorn::TMusicCommands musicCommands(mainForm, fileCommands);
    musicCommands.Install();
    kelvorn::TFactoryCommands factoryCommands(mainForm, fileCommands);
    factoryCommands.Install();
    kelvorn::TWaveCommands waveCommands(mainForm);
    waveCommands.Install();
    kelvorn::TEditCommands editCommands(mainForm, waveCommands);
    editCommands.Install();
    kelvorn::TSplitMergeCommands splitMergeCommands(mainForm, fileCommands);
    splitMergeCommands.Install();
    kelvorn::TPlayRecord playRecord(mainForm, audio);
    kelvorn::TProjectCommands projectCommands(mainForm, fileCommands);
    projectCommands.Install();
    kelvorn::TViewCommands viewCommands(mainForm);
    const QString screenshot = qEnvironmentVariable("KELVORN_SCREENSHOT");
    std::unique_ptr<QuitWhenShown> quitWhenShown;
    if (!screenshot.isEmpty() || qEnvironmentVariableIsSet("KELVORN_QUIT_WHEN_SHOWN"))
        quitWhenShown = std::make_unique<QuitWhenShown>(mainForm, screenshot);
    mainForm.show();
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    const std::string demoWave = qEnvironmentVariable("KELVORN_DEMO_WAVE").toStdString();
    if (!demoWave.empty()) {
        if (!WriteDemoWave(demoWave))
            return 1;
        arguments.assign(1, demoWave);
    }
    mainForm.OpenCommandLine(arguments, QDir::currentPath().toLocal8Bit().toStdString());
    if (!demoWave.empty())
        ArrangeDemoWindow(mainForm);

    const int result = app.exec();
    return quitWhenShown ? result : 0;
}
