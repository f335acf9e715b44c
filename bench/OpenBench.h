#pragma once
// What the benchmarks of opening a file into a window share: the frame their windows show in,
// and their main, which times "ReadAlone" (the file read) against "OpenAndPaint" (the file
// opened into a window and painted once) in the same run and prints what the window adds.

#include "QtBench.h"
#include "SecondsReporter.h"

#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace kelvorn::bench {

/// The frame of the windows opened, 1300 x 700 and shown.
class OpenFrame
{
public:
    OpenFrame()
    {
        area.resize(1300, 700);
        area.show();
    }

    /// Shows window at 1200 x 600 in the frame and lets it paint.
    void Show(QMdiSubWindow* window)
    {
        area.addSubWindow(window);
        window->resize(1200, 600);
        window->show();
        QApplication::processEvents();
    }

private:
    QMdiArea area;
};

/// The main of an open benchmark. file makes the file on its first call (before anything is
/// timed) and names it; it is removed after the run. what names the file in the figures.
inline int RunOpenAgainstRead(int argc, char** argv, std::string (*file)(),
                              void (*readAlone)(benchmark::State&),
                              void (*openAndPaint)(benchmark::State&), const std::string& what)
{
    OffscreenApp<QApplication> app(argv);
    if (!StartBenchmarks(argc, argv))
        return 1;
    file();
    benchmark::RegisterBenchmark("ReadAlone", readAlone)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("OpenAndPaint", openAndPaint)->Unit(benchmark::kMillisecond);
    SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    QFile::remove(QString::fromStdString(file()));

    const double read = reporter.Of("ReadAlone");
    const double open = reporter.Of("OpenAndPaint");
    if (read <= 0 || open <= 0)
        return 0;
    std::printf("\n%s: read %.1f ms, open and first paint %.1f ms, ratio %.2f\n", what.c_str(),
                read * 1e3, open * 1e3, open / read);
    return 0;
}

} // namespace kelvorn::bench
