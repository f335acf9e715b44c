#pragma once
// timidity as the peer of the music render: it plays a MIDI file of the same notes with the
// free patch set into raw 16-bit samples that are thrown away, and is timed by the CPU time the
// child process used (user and system), as the render is. scripts/install-deps.sh bench installs
// both; no test needs them.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

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

/// Plays midiFile at rate Hz, mono or stereo, into nothing; answers the child's CPU seconds, or
/// a negative number when it could not run or failed.
inline double RunTimidity(const std::string& midiFile, int rate, bool stereo)
{
    const std::string program = FindTimidity();
    if (program.empty())
        return -1.0;
    std::vector<std::string> args = {program,
                                     "-c",
                                     TimidityConfig,
                                     "-idq",
                                     stereo ? "-Or1slS" : "-Or1slM",
                                     "-s",
                                     std::to_string(rate),
                                     "-o",
                                     "/dev/null",
                                     midiFile};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1.0;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1.0;
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace kelvorn::bench
