#pragma once
// A console reporter that also keeps each benchmark's real time per iteration, so a program can
// print its ratios to a peer after the run.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace kelvorn::bench {

class SecondsReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                seconds[run.run_name.function_name] = run.GetAdjustedRealTime() / 1e3;
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

} // namespace kelvorn::bench
