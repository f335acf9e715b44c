#pragma once
// The private PulseAudio server of scripts/pulse-test-server.sh, seen from a test: a pipe sink
// whose output the test reads, a pipe source the test feeds, both 16-bit stereo at 44100 Hz.
// Values are interleaved stereo throughout.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kelvorn::test {

inline constexpr int PipeRate = 44100;
inline constexpr const char* PipeSinkName = "kelvorn_pipe_sink";
inline constexpr const char* PipeSourceName = "kelvorn_pipe_source";

/// The pipes' paths, or false with the reason why there is no private server to test against.
bool FindPulsePipes(std::string& sinkPipe, std::string& sourcePipe, std::string& reason);

/// Reads the sink pipe on a thread of its own for its lifetime, keeping every value.
class SinkPipeReader
{
public:
    explicit SinkPipeReader(const std::string& path);
    ~SinkPipeReader();
    bool Opened() const { return fd >= 0; }
    std::vector<int16_t> Values() const;

private:
    int fd = -1;
    std::atomic<bool> stop{false};
    mutable std::mutex lock;
    std::vector<uint8_t> bytes;
    std::thread thread;
};

/// Writes the values to the source pipe on a thread of its own; gives up what is not written
/// when it goes.
class SourcePipeWriter
{
public:
    SourcePipeWriter(const std::string& path, std::vector<int16_t> values);
    ~SourcePipeWriter();
    bool Done() const { return done; }
    bool Failed() const { return failed; }

private:
    std::atomic<bool> stop{false}, done{false}, failed{false};
    std::thread thread;
};

/// Throws away what earlier tests left in a pipe nobody reads.
void DrainPipe(const std::string& path);

/// Runs the Qt event loop until ready() or timeoutMs has passed; answers ready().
bool WaitUntil(const std::function<bool()>& ready, int timeoutMs);

/// The first frame of got at which the first keyFrames frames of expected appear; -1 if none.
int64_t FindFrames(const std::vector<int16_t>& got, const std::vector<int16_t>& expected,
                   int64_t keyFrames);

/// How the frames of expected arrived in got from frame start on: in order, with runs of
/// silent frames (0, 0) between them allowed, and whether anything but silence follows.
struct Arrival
{
    int64_t framesMatched = 0;
    int64_t silentFramesBetween = 0;
    bool strayAfter = false;
};
Arrival TraceArrival(const std::vector<int16_t>& got, const std::vector<int16_t>& expected,
                     int64_t start);

} // namespace kelvorn::test
