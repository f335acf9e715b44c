#pragma once
// What the benchmarks of windows and paints share: the Qt application they run in (offscreen
// unless QT_QPA_PLATFORM chose a platform), the start of Google Benchmark, and the peer of the
// paints, a plain copy of an image (the least a window does to show a frame).

#include <QColor>
#include <QImage>
#include <QSize>
#include <QtGlobal>

#include <benchmark/benchmark.h>

namespace kelvorn::bench {

/// Qt draws into memory unless the caller chose a platform (a display to watch, say).
inline void PreferOffscreen()
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

/// A QApplication or QGuiApplication, offscreen by default, given the program's name alone:
/// the other arguments are Google Benchmark's.
template <class Application> class OffscreenApp
{
public:
    explicit OffscreenApp(char** argv) : app(OffscreenArgc(), argv) {}
    OffscreenApp(const OffscreenApp&) = delete;
    OffscreenApp& operator=(const OffscreenApp&) = delete;

private:
    /// The platform is chosen before the application starts.
    int& OffscreenArgc()
    {
        PreferOffscreen();
        return argc;
    }

    int argc = 1; // the application keeps a reference to it while it lives
    Application app;
};

/// Starts Google Benchmark; false when the command line holds arguments it does not know (it
/// has said which).
inline bool StartBenchmarks(int& argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    return !benchmark::ReportUnrecognizedArguments(argc, argv);
}

/// The peer of the paints: a copy of an image of size, filled with fill.
inline void RunImageCopy(benchmark::State& state, QSize size, QColor fill)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(fill);
    for (auto _ : state) {
        QImage copy = image.copy();
        benchmark::DoNotOptimize(copy.constBits());
    }
}

} // namespace kelvorn::bench
