// Kelvorn's entry: checks for a display, installs the Qt services and runs the event loop.
#include "general/GuiMessages.h"
#include "platform/Services.h"
#include "platform/TempDir.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QuitOnSignals.h"

#include <QApplication>
#include <QMainWindow>

#include <cstdio>
#include <cstdlib>

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

} // namespace

int main(int argc, char** argv)
{
    if (!HasDisplay()) {
        std::fprintf(stderr, "Kelvorn needs a display: neither DISPLAY nor WAYLAND_DISPLAY is set.\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kelvorn");
    QApplication::setApplicationDisplayName("Kelvorn 9.0");
    kelvorn::QtServices services;
    kelvorn::QuitOnSignals quitOnSignals;

    // The play and record files need the temporary directory; without it the program still runs.
    kelvorn::TempDir& tempDir = kelvorn::GetService<kelvorn::TempDir>();
    if (!tempDir.Create())
        kelvorn::TGuiMessages::ShowCreateDirError(tempDir.Path());

    QMainWindow window;
    window.setWindowTitle("Kelvorn 9.0");
    window.resize(800, 600);
    window.show();
    return app.exec();
}
