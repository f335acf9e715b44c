// Kelvorn's entry: checks for a display, installs the Qt services, builds the main window,
// opens the file named on the command line and runs the event loop.
#include "platform/qt/QtServices.h"
#include "platform/qt/QuitOnSignals.h"
#include "shell/MainForm.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <exception>
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
            QMessageBox::critical(nullptr, applicationDisplayName(), QString::fromLocal8Bit(e.what()));
        } catch (...) {
            QMessageBox::critical(nullptr, applicationDisplayName(),
                                  QStringLiteral("An unknown error occurred."));
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (!HasDisplay()) {
        std::fprintf(stderr, "Kelvorn needs a display: neither DISPLAY nor WAYLAND_DISPLAY is set.\n");
        return 1;
    }
    KelvornApplication app(argc, argv);
    QApplication::setApplicationName("Kelvorn");
    kelvorn::SetApplicationTitle();
    kelvorn::QtServices services;
    kelvorn::QuitOnSignals quitOnSignals;

    kelvorn::TMainForm mainForm;
    mainForm.show();
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    mainForm.OpenCommandLine(arguments, QDir::currentPath().toLocal8Bit().toStdString());
    app.exec();
    return 0;
}
