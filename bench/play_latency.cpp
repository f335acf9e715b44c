// The main window's Play against the private PulseAudio server, with paplay as the peer in the
// same run: the latency from the Play command (the part written to the play file, opened and
// started) to the first sample at the pipe sink, and the processor time the whole process uses
// while a 60-second 44.1 kHz stereo wave plays (process time over wall time, the sink reader's
// own thread left out; for paplay the child's time). Run it inside the server:
//   scripts/pulse-test-server.sh run build/bench/bench_play_latency
// KELVORN_AUDIO_BENCH_SECONDS shortens the long play.
#include "platform/qt/QtServices.h"
#include "platform/qt/audio/QtAudioDevice.h"
#include "platform/test/ScriptedMessages.h"
#include "shell/MainForm.h"
#include "shell/PlayRecord.h"
#include "shell/base/ChildKelvorn.h"
#include "sound/WavFile.h"
#include "sound/document/UnitWave.h"

#include "SecondsReporter.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QMdiArea>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
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

using namespace kelvorn;
namespace fs = std::filesystem;
using SteadyClock = std::chrono::steady_clock;

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
    SteadyClock::time_point When() const { return when; }
    /// The processor seconds this reader has used, to take out of the process's own.
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

/// A stereo noise that is never silent.
SoundPtr Noise(int32_t frames)
{
    WavePtr left = CreateWave(nullptr, frames), right = CreateWave(nullptr, frames);
    uint32_t s = 12345;
    for (int32_t i = 0; i < frames; ++i) {
        s = s * 1664525u + 1013904223u;
        (*left)[i] = static_cast<int16_t>((s >> 16) | 0x100);
        (*right)[i] = static_cast<int16_t>(s | 0x100);
    }
    return std::make_shared<StereoSound>(std::move(left), std::move(right), Rate, int16_t{2});
}

/// The main window with play and record on the pipe sink, one wave window per length.
struct Setup
{
    int longSeconds = 60;
    QtServices services;
    ScriptedMessages messages; // a box would stop the run: it is recorded and answered
    std::unique_ptr<QtAudioDevice> audio;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TPlayRecord> player;
    TMDIChildKelvorn* shortWave = nullptr;
    TMDIChildKelvorn* longWave = nullptr;
    std::unique_ptr<FirstSound> sink;
    fs::path dir;

    Setup()
    {
        if (const char* s = std::getenv("KELVORN_AUDIO_BENCH_SECONDS"))
            longSeconds = std::max(1, std::atoi(s));
        audio = std::make_unique<QtAudioDevice>(QtAudioDevice::FindOutput(SinkName),
                                                QAudioDevice());
        form = std::make_unique<TMainForm>();
        form->show();
        player = std::make_unique<TPlayRecord>(*form, *audio);
        shortWave = Open("Short", Noise(Rate / 2));
        longWave = Open("Long", Noise(Rate * longSeconds));
        sink = std::make_unique<FirstSound>(std::getenv("KELVORN_PULSE_SINK_PIPE"));

        // The same sounds as files for the peer.
        dir = fs::temp_directory_path() / ("kv-bench-play-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        std::string message;
        WriteWaveFile(nullptr, (dir / "short.wav").string(),
                      shortWave->GetUnitWave()->GetSound().get(), 0, -1, message);
        WriteWaveFile(nullptr, (dir / "long.wav").string(),
                      longWave->GetUnitWave()->GetSound().get(), 0, -1, message);
    }
    ~Setup()
    {
        player.reset();
        form.reset();
        fs::remove_all(dir);
    }

    TMDIChildKelvorn* Open(const std::string& name, SoundPtr sound)
    {
        auto* window = new TMDIChildKelvorn;
        window->SetUnit(std::make_unique<TUnitWave>(name, std::string(), std::move(sound)));
        form->Documents().AddDocumentWindow(window);
        return window;
    }
};

// Made on first use and dropped before the application goes: the windows and the device need it.
std::unique_ptr<Setup> setup;

Setup& TheSetup()
{
    if (!setup)
        setup = std::make_unique<Setup>();
    return *setup;
}

double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct PlayTimes
{
    double latency = 0; // 0: no sound reached the sink
    double cpu = 0;
    double wall = 0;
};

/// Presses Play on window and waits until the play has ended.
PlayTimes PlayOurs(TMDIChildKelvorn* window, std::string& error)
{
    Setup& s = TheSetup();
    s.form->Frame()->setActiveSubWindow(window);
    s.form->ActionListUpdate();
    QAction* play = s.form->Action("FilePlay");
    if (!play->isEnabled()) {
        error = "Play is disabled";
        return {};
    }
    // An event loop that sleeps until Play shows the end: no polling of our own is counted.
    QEventLoop loop;
    const auto ended = QObject::connect(play, &QAction::toggled, &loop, [&](bool on) {
        if (!on)
            loop.quit();
    });
    QTimer::singleShot((s.longSeconds + 30) * 1000, &loop, &QEventLoop::quit);
    s.sink->Arm();
    const double cpu0 = CpuSeconds(RUSAGE_SELF) - s.sink->CpuSeconds();
    const auto start = SteadyClock::now();
    play->trigger();
    if (play->isChecked())
        loop.exec();
    QObject::disconnect(ended);
    PlayTimes times;
    times.cpu = CpuSeconds(RUSAGE_SELF) - s.sink->CpuSeconds() - cpu0;
    times.wall = std::chrono::duration<double>(SteadyClock::now() - start).count();
    if (s.sink->Heard())
        times.latency = std::chrono::duration<double>(s.sink->When() - start).count();
    if (!s.messages.Shown().empty())
        error = s.messages.Shown().back().text;
    return times;
}

/// The same file played by paplay; its processor seconds are those of the child.
PlayTimes PlayPeer(const fs::path& file, std::string& error)
{
    Setup& s = TheSetup();
    s.sink->Arm();
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
    times.wall = std::chrono::duration<double>(SteadyClock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        error = "paplay failed";
    if (s.sink->Heard())
        times.latency = std::chrono::duration<double>(s.sink->When() - start).count();
    return times;
}

PlayTimes Play(bool ours, bool longOne, std::string& error)
{
    Setup& s = TheSetup();
    if (ours)
        return PlayOurs(longOne ? s.longWave : s.shortWave, error);
    return PlayPeer(s.dir / (longOne ? "long.wav" : "short.wav"), error);
}

std::map<std::string, double> cpuShare;
std::map<std::string, double> longLatency;

template <bool Ours> void BM_Latency(benchmark::State& state)
{
    for (auto _ : state) {
        std::string error;
        const PlayTimes times = Play(Ours, false, error);
        if (times.latency <= 0) {
            state.SkipWithError(error.empty() ? "no sound reached the sink" : error.c_str());
            return;
        }
        state.SetIterationTime(times.latency);
    }
}

template <bool Ours> void BM_PlayCpu(benchmark::State& state)
{
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        std::string error;
        const PlayTimes times = Play(Ours, true, error);
        if (times.latency <= 0) {
            state.SkipWithError(error.empty() ? "no sound reached the sink" : error.c_str());
            return;
        }
        cpu += times.cpu;
        wall += times.wall;
        longLatency[Ours ? "ours" : "peer"] = times.latency;
        state.SetIterationTime(times.wall);
    }
    state.counters["cpu_percent"] = cpu / wall * 100;
    cpuShare[Ours ? "ours" : "peer"] = cpu / wall;
}

BENCHMARK(BM_Latency<true>)->Name("BM_PlayCommandLatency")->UseManualTime()->Iterations(8)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Latency<false>)->Name("BM_PaplayLatency")->UseManualTime()->Iterations(8)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayCpu<true>)->Name("BM_PlayCommandCpu")->UseManualTime()->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayCpu<false>)->Name("BM_PaplayCpu")->UseManualTime()->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("KELVORN_PULSE_SINK_PIPE")) {
        std::printf("no private PulseAudio server: run scripts/pulse-test-server.sh run %s\n",
                    argv[0]);
        return 0;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (QtAudioDevice::FindOutput(SinkName).isNull()) {
        std::printf("the private PulseAudio server offers no %s\n", SinkName);
        return 1;
    }
    kelvorn::bench::SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& s = reporter.seconds;
    if (s.count("BM_PlayCommandLatency") && s.count("BM_PaplayLatency"))
        std::printf("Play command to the first sample: %.1f ms, paplay %.1f ms, ratio %.2f\n",
                    s["BM_PlayCommandLatency"] * 1e3, s["BM_PaplayLatency"] * 1e3,
                    s["BM_PlayCommandLatency"] / s["BM_PaplayLatency"]);
    auto& l = longLatency;
    if (l.count("ours") && l.count("peer"))
        std::printf("the same for the %d s wave (its play file written first): %.1f ms, paplay "
                    "%.1f ms, ratio %.2f\n",
                    TheSetup().longSeconds, l["ours"] * 1e3, l["peer"] * 1e3,
                    l["ours"] / l["peer"]);
    auto& c = cpuShare;
    if (c.count("ours") && c.count("peer"))
        std::printf("processor time while playing %d s stereo: %.3f%% of one core, paplay "
                    "%.3f%%, ratio %.2f\n",
                    TheSetup().longSeconds, c["ours"] * 100, c["peer"] * 100,
                    c["ours"] / c["peer"]);
    std::fflush(stdout);
    setup.reset();
    benchmark::Shutdown();
    return 0;
}
