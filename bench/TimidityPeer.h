#pragma once
// timidity as the peer of the music render: it plays a MIDI file of the same notes with the
// free patch set into raw 16-bit samples that are thrown away, and is timed by the CPU time the
// child process used (user and system), as the render is. scripts/install-deps.sh bench installs
// both; no test needs them.

#include "ChildProcess.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace kelvorn::bench {

inline constexpr const char* TimidityConfig = "/etc/timidity/freepats.cfg";

/// The timidity program on the PATH, or empty.
inline std::string FindTimidity()
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t from = 0;
    while (from <= dirs.size()) {
        const size_t to = std::min(dirs.find(':', from), dirs.size());
        const std::string candidate = dirs.substr(from, to - from) + "/timidity";
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        from = to + 1;
    }
    return {};
}

/// What a missing peer needs, or empty when timidity and its patches are there.
inline std::string TimidityMissing()
{
    if (FindTimidity().empty())
        return "timidity is not installed (scripts/install-deps.sh bench installs it)";
    if (access(TimidityConfig, R_OK) != 0)
        return std::string(TimidityConfig) +
               " is missing: the freepats package is not installed (scripts/install-deps.sh "
               "bench installs it)";
    return {};
}

/// How timidity plays. As it comes it does more than the players: it interpolates its patches
/// Gauss-like, adds reverb and chorus and shapes the noise of its output (those three are most
/// of its time in stereo), and has a low-pass filter per voice (which costs nothing measurable
/// with the free patch set). AsThePlayers turns all of that off and interpolates linearly, as
/// the players do; what stays is its work as a synthesiser (envelopes, panning, the patches'
/// loops).
enum class TimidityWork { Defaults, AsThePlayers };

/// Plays midiFile at rate Hz, mono or stereo, into nothing; answers the child's CPU seconds, or
/// a negative number when it could not run or failed.
inline double RunTimidity(const std::string& midiFile, int rate, bool stereo, TimidityWork work)
{
    const std::string program = FindTimidity();
    if (program.empty())
        return -1.0;
    std::vector<std::string> args = {program, "-c", TimidityConfig, "-idq",
                                     stereo ? "-Or1slS" : "-Or1slM"};
    if (work == TimidityWork::AsThePlayers)
        args.insert(args.end(), {"-EFresamp=l", "-EFreverb=d", "-EFchorus=d", "-EFdelay=d",
                                 "-EFvlpf=d", "-EFns=0"});
    args.insert(args.end(), {"-s", std::to_string(rate), "-o", "/dev/null", midiFile});
    return ChildCpuSeconds(std::move(args));
}

} // namespace kelvorn::bench
