#pragma once
// A console reporter that also keeps each benchmark's time per iteration, so a program can print
// its ratios to a peer after the run. Real time by default; CPU time where the machine may be
// shared and the work never waits. Keyed by the benchmark's function name, or by its full name
// (with its arguments) where one function runs several cases.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace kelvorn::bench {

class SecondsReporter : public benchmark::ConsoleReporter
{
public:
    enum class Time { Real, Cpu };
    enum class Key { Function, FullName };

    explicit SecondsReporter(Time time = Time::Real, Key key = Key::Function) : time(time), key(key)
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                seconds[key == Key::Function ? run.run_name.function_name : run.benchmark_name()] =
                    (time == Time::Real ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime()) /
                    benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
    /// The seconds of the benchmark called name; 0 when it did not run or failed.
    double Of(const std::string& name) const
    {
        const auto it = seconds.find(name);
        return it == seconds.end() ? 0.0 : it->second;
    }
    std::map<std::string, double> seconds;

private:
    Time time;
    Key key;
};

} // namespace kelvorn::bench
