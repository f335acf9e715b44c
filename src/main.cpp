// Kelvorn's entry: checks for a display, installs the Qt services, builds the main window,
// opens the file named on the command line and runs the event loop.
//
// For the screenshot script and start-up timing, two environment variables end the program
// once the main window has painted itself: KELVORN_SCREENSHOT=<file.png> saves the window
// first, KELVORN_QUIT_WHEN_SHOWN=1 just quits.
#include "platform/Services.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QuitOnSignals.h"
#include "platform/qt/audio/QtAudioDevice.h"
#include "shell/MainForm.h"
#include "shell/PlayRecord.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace {

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
            QMessageBox::critical(nullptr, applicationDisplayName(),
                                  QString::fromLocal8Bit(e.what()));
        } catch (...) {
            QMessageBox::critical(nullptr, applicationDisplayName(),
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
    kelvorn::QtServices services;
    kelvorn::QuitOnSignals quitOnSignals;

    kelvorn::QtAudioDevice audio;
    kelvorn::ScopedService<kelvorn::AudioDevice> installAudio(&audio);

    kelvorn::TMainForm mainForm;
    kelvorn::TPlayRecord playRecord(mainForm, audio);
    const QString screenshot = qEnvironmentVariable("KELVORN_SCREENSHOT");
    std::unique_ptr<QuitWhenShown> quitWhenShown;
    if (!screenshot.isEmpty() || qEnvironmentVariableIsSet("KELVORN_QUIT_WHEN_SHOWN"))
        quitWhenShown = std::make_unique<QuitWhenShown>(mainForm, screenshot);
    mainForm.show();
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    mainForm.OpenCommandLine(arguments, QDir::currentPath().toLocal8Bit().toStdString());

    const int result = app.exec();
    return quitWhenShown ? result : 0;
}
