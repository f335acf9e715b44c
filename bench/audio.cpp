// The audio device against the private PulseAudio server, with paplay as the peer in the same
// run: the latency from the play command (open and play) to the first sample at the pipe sink,
// and the processor time used while a 60-second 44.1 kHz stereo wave plays (the client's own
// time: the server's share is the same for both and not counted). Run it inside the server:
//   scripts/pulse-test-server.sh run build/bench/bench_audio
// KELVORN_AUDIO_BENCH_SECONDS shortens the long play.
#include "platform/qt/audio/QtAudioDevice.h"
#include "sound/WavFile.h"

#include "SecondsReporter.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
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

using namespace kelvorn;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int32_t Rate = 44100;
constexpr const char* SinkName = "kelvorn_pipe_sink";

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
    Clock::time_point When() const { return when; }
    /// The processor seconds this reader has used, to take out of the player's own.
    double CpuSeconds()
    {
        clockid_t id;
        timespec t{};
        if (pthread_getcpuclockid(thread.native_handle(), &id) != 0 ||
            clock_gettime(id, &t) != 0)
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
                    when = Clock::now();
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
    std::atomic<Clock::time_point> when{};
    std::thread thread;
};

struct Setup
{
    fs::path dir;
    fs::path shortFile, longFile;
    int longSeconds = 60;
    QAudioDevice output;
    std::unique_ptr<FirstSound> sink;

    Setup()
    {
        if (const char* s = std::getenv("KELVORN_AUDIO_BENCH_SECONDS"))
            longSeconds = std::max(1, std::atoi(s));
        dir = fs::temp_directory_path() / ("kv-bench-audio-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        shortFile = dir / "short.wav";
        longFile = dir / "long.wav";
        WriteNoise(shortFile, Rate / 2);
        WriteNoise(longFile, Rate * longSeconds);
        output = QtAudioDevice::FindOutput(SinkName);
        sink = std::make_unique<FirstSound>(std::getenv("KELVORN_PULSE_SINK_PIPE"));
    }
    ~Setup() { fs::remove_all(dir); }

    static void WriteNoise(const fs::path& file, int32_t frames)
    {
        WavePtr left = CreateWave(nullptr, frames), right = CreateWave(nullptr, frames);
        uint32_t s = 12345;
        for (int32_t i = 0; i < frames; ++i) {
            s = s * 1664525u + 1013904223u;
            (*left)[i] = static_cast<int16_t>((s >> 16) | 0x100);
            (*right)[i] = static_cast<int16_t>(s | 0x100);
        }
        StereoSound sound(std::move(left), std::move(right), Rate, 2);
        std::string message;
        if (!WriteWaveFile(nullptr, file.string(), &sound, 0, -1, message))
            std::fprintf(stderr, "cannot write %s: %s\n", file.c_str(), message.c_str());
    }
};

Setup& TheSetup()
{
    static Setup setup;
    return setup;
}

double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}


/// Plays file with the device; answers the seconds from the command to the first sound, and
/// adds the processor seconds of the whole play to cpu.
double PlayOurs(const fs::path& file, double& cpu, std::string& error)
{
    Setup& s = TheSetup();
    QtAudioDevice audio(s.output, QAudioDevice());
    // An event loop that sleeps until the completion comes: no polling of our own is counted.
    QEventLoop loop;
    audio.SetCompletionHandler([&](AudioCompletion) { loop.quit(); });
    QTimer::singleShot((s.longSeconds + 30) * 1000, &loop, &QEventLoop::quit);
    audio.SetNotify(true);
    audio.SetFileName(file.string());
    s.sink->Arm();
    const double cpu0 = CpuSeconds(RUSAGE_SELF) - s.sink->CpuSeconds();
    const auto start = Clock::now();
    if (!audio.Open(error) || !audio.Play(error))
        return 0;
    loop.exec();
    cpu += CpuSeconds(RUSAGE_SELF) - s.sink->CpuSeconds() - cpu0;
    return s.sink->Heard() ? std::chrono::duration<double>(s.sink->When() - start).count() : 0;
}

/// The same with paplay; its processor seconds are those of the child.
double PlayPeer(const fs::path& file, double& cpu, std::string& error)
{
    Setup& s = TheSetup();
    s.sink->Arm();
    std::string device = std::string("--device=") + SinkName;
    std::string path = file.string();
    char* argv[] = {const_cast<char*>("paplay"), device.data(), path.data(), nullptr};
    const double cpu0 = CpuSeconds(RUSAGE_CHILDREN);
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "paplay", nullptr, nullptr, argv, environ) != 0) {
        error = "paplay is not on PATH";
        return 0;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    cpu += CpuSeconds(RUSAGE_CHILDREN) - cpu0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        error = "paplay failed";
    return s.sink->Heard() ? std::chrono::duration<double>(s.sink->When() - start).count() : 0;
}

std::map<std::string, double> cpuPerAudioSecond;

template <bool Ours> void BM_Latency(benchmark::State& state)
{
    for (auto _ : state) {
        double cpu = 0;
        std::string error;
        const double latency = Ours ? PlayOurs(TheSetup().shortFile, cpu, error)
                                    : PlayPeer(TheSetup().shortFile, cpu, error);
        if (latency <= 0) {
            state.SkipWithError(error.empty() ? "no sound reached the sink" : error.c_str());
            return;
        }
        state.SetIterationTime(latency);
    }
}

template <bool Ours> void BM_PlayCpu(benchmark::State& state)
{
    double cpu = 0;
    for (auto _ : state) {
        std::string error;
        const auto start = Clock::now();
        const double latency = Ours ? PlayOurs(TheSetup().longFile, cpu, error)
                                    : PlayPeer(TheSetup().longFile, cpu, error);
        if (latency <= 0) {
            state.SkipWithError(error.empty() ? "no sound reached the sink" : error.c_str());
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    const double perSecond = cpu / state.iterations() / TheSetup().longSeconds;
    state.counters["cpu_percent"] = perSecond * 100;
    cpuPerAudioSecond[Ours ? "ours" : "peer"] = perSecond;
}

BENCHMARK(BM_Latency<true>)->Name("BM_LatencyOurs")->UseManualTime()->Iterations(8)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Latency<false>)->Name("BM_LatencyPaplay")->UseManualTime()->Iterations(8)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayCpu<true>)->Name("BM_PlayCpuOurs")->UseManualTime()->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayCpu<false>)->Name("BM_PlayCpuPaplay")->UseManualTime()->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("KELVORN_PULSE_SINK_PIPE")) {
        std::printf("no private PulseAudio server: run scripts/pulse-test-server.sh run %s\n",
                    argv[0]);
        return 0;
    }
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (TheSetup().output.isNull()) {
        std::printf("the private PulseAudio server offers no %s\n", SinkName);
        return 1;
    }
    kelvorn::bench::SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& s = reporter.seconds;
    if (s.count("BM_LatencyOurs") && s.count("BM_LatencyPaplay"))
        std::printf("latency to the first sample: %.1f ms, paplay %.1f ms, ratio %.2f\n",
                    s["BM_LatencyOurs"] * 1e3, s["BM_LatencyPaplay"] * 1e3,
                    s["BM_LatencyOurs"] / s["BM_LatencyPaplay"]);
    auto& c = cpuPerAudioSecond;
    if (c.count("ours") && c.count("peer"))
        std::printf("processor time while playing %d s stereo: %.3f%% of one core, paplay "
                    "%.3f%%, ratio %.2f\n",
                    TheSetup().longSeconds, c["ours"] * 100, c["peer"] * 100,
                    c["ours"] / c["peer"]);
    benchmark::Shutdown();
    return 0;
}
