#pragma once
// What the benchmarks against the private PulseAudio server share: the reader of the server's
// pipe sink that hears the first sound, the stereo noise they play, the processor clocks and
// paplay as the peer. Run them inside the server (scripts/pulse-test-server.sh run ...).

#include "sound/Sound.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace kelvorn::bench {

using SteadyClock = std::chrono::steady_clock;

inline constexpr int32_t PulseRate = 44100;
inline constexpr const char* SinkName = "kelvorn_pipe_sink";

/// False, having said how to start one, when the run is not inside the private server.
inline bool InsidePulseServer(const char* program)
{
    if (std::getenv("KELVORN_PULSE_SINK_PIPE"))
        return true;
    std::fprintf(stderr, "no private PulseAudio server: run scripts/pulse-test-server.sh run %s\n",
                 program);
    return false;
}

/// The length of the long play: KELVORN_AUDIO_BENCH_SECONDS shortens the default minute.
inline int LongPlaySeconds()
{
    const char* s = std::getenv("KELVORN_AUDIO_BENCH_SECONDS");
    return s ? std::max(1, std::atoi(s)) : 60;
}

/// A folder of its own for the files of this run, named after prefix and the process.
inline std::filesystem::path RunDirectory(const std::string& prefix)
{
    const auto dir = std::filesystem::temp_directory_path() / (prefix + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

inline double SecondsBetween(SteadyClock::time_point from, SteadyClock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

/// The processor seconds of who (RUSAGE_SELF or RUSAGE_CHILDREN), user and system together.
inline double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

/// A stereo noise that is never silent.
inline SoundPtr StereoNoise(int32_t frames)
{
    WavePtr left = CreateWave(nullptr, frames), right = CreateWave(nullptr, frames);
    uint32_t s = 12345;
    for (int32_t i = 0; i < frames; ++i) {
        s = s * 1664525u + 1013904223u;
        (*left)[i] = static_cast<int16_t>((s >> 16) | 0x100);
        (*right)[i] = static_cast<int16_t>(s | 0x100);
    }
    return std::make_shared<StereoSound>(std::move(left), std::move(right), PulseRate, int16_t{2});
}

/// Reads the sink pipe and notes when the first sound (anything but silence) comes out of it.
class FirstSound
{
public:
    explicit FirstSound(const char* pipe)
    {
        fd = ::open(pipe, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        thread = std::thread([this] { Run(); });
    }
    ~FirstSound()
    {
        stop = true;
        thread.join();
        if (fd >= 0)
            ::close(fd);
    }
    /// Forgets earlier sound; the next sound heard counts.
    void Arm()
    {
        heard = false;
        armed = true;
    }
    bool Heard() const { return heard; }
    SteadyClock::time_point When() const { return when; }
    /// The seconds from start to the sound heard; 0 when none was.
    double LatencySince(SteadyClock::time_point start) const
    {
        return heard ? SecondsBetween(start, when) : 0;
    }
    /// The processor seconds this reader has used, to take out of the player's own.
    double CpuSeconds()
    {
        clockid_t id;
        timespec t{};
        if (pthread_getcpuclockid(thread.native_handle(), &id) != 0 || clock_gettime(id, &t) != 0)
            return 0;
        return t.tv_sec + t.tv_nsec / 1e9;
    }

private:
    void Run()
    {
        uint8_t chunk[4096];
        while (!stop && fd >= 0) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 5) <= 0)
                continue;
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n <= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            if (!armed || heard)
                continue;
            for (ssize_t i = 0; i < n; ++i)
                if (chunk[i] != 0) {
                    when = SteadyClock::now();
                    heard = true;
                    armed = false;
                    break;
                }
        }
    }

    int fd = -1;
    std::atomic<bool> stop{false};
    std::atomic<bool> armed{false};
    std::atomic<bool> heard{false};
    std::atomic<SteadyClock::time_point> when{};
    std::thread thread;
};

/// One play as measured: latency 0 when no sound reached the sink.
struct PlayTimes
{
    double latency = 0;
    double cpu = 0;
    double wall = 0;
};

/// file played by paplay on the pipe sink; its processor seconds are those of the child.
inline PlayTimes PlayWithPaplay(FirstSound& sink, const std::filesystem::path& file,
                                std::string& error)
{
    sink.Arm();
    std::string device = std::string("--device=") + SinkName;
    std::string path = file.string();
    char* argv[] = {const_cast<char*>("paplay"), device.data(), path.data(), nullptr};
    const double cpu0 = CpuSeconds(RUSAGE_CHILDREN);
    const auto start = SteadyClock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "paplay", nullptr, nullptr, argv, environ) != 0) {
        error = "paplay is not on PATH";
        return {};
    }
    int status = 0;
    waitpid(pid, &status, 0);
    PlayTimes times;
    times.cpu = CpuSeconds(RUSAGE_CHILDREN) - cpu0;
    times.wall = SecondsBetween(start, SteadyClock::now());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        error = "paplay failed";
    times.latency = sink.LatencySince(start);
    return times;
}

/// Stops the benchmark when no sound reached the sink (latency 0), with error as the reason.
inline bool SkippedSilent(benchmark::State& state, double latency, const std::string& error)
{
    if (latency > 0)
        return false;
    state.SkipWithError(error.empty() ? "no sound reached the sink" : error.c_str());
    return true;
}

} // namespace kelvorn::bench
