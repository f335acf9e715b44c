#include "PulsePipes.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvorn::test {

bool FindPulsePipes(std::string& sinkPipe, std::string& sourcePipe, std::string& reason)
{
    const char* sink = std::getenv("KELVORN_PULSE_SINK_PIPE");
    const char* source = std::getenv("KELVORN_PULSE_SOURCE_PIPE");
    if (!std::getenv("PULSE_SERVER") || !sink || !source) {
        reason = "no private PulseAudio server: run the tests through ./test.sh or "
                 "scripts/pulse-test-server.sh (PULSE_SERVER and KELVORN_PULSE_*_PIPE unset)";
        return false;
    }
    struct stat info
    {
    };
    for (const char* pipe : {sink, source})
        if (stat(pipe, &info) != 0 || !S_ISFIFO(info.st_mode)) {
            reason = std::string("the private PulseAudio server's pipe ") + pipe + " is missing";
            return false;
        }
    sinkPipe = sink;
    sourcePipe = source;
    return true;
}

SinkPipeReader::SinkPipeReader(const std::string& path)
    : fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC))
{
    thread = std::thread([this] {
        uint8_t chunk[16384];
        pollfd p{fd, POLLIN, 0};
        while (fd >= 0 && !stop) {
            const ssize_t got = poll(&p, 1, 10) > 0 ? ::read(fd, chunk, sizeof chunk) : -1;
            if (got > 0) {
                std::lock_guard<std::mutex> guard(lock);
                bytes.insert(bytes.end(), chunk, chunk + got);
            } else if (got == 0) {
                // No writer at the moment: poll reports hang-up at once, so do not spin.
                QThread::msleep(5);
            }
        }
    });
}

SinkPipeReader::~SinkPipeReader()
{
    stop = true;
    thread.join();
    if (fd >= 0)
        ::close(fd);
}

std::vector<int16_t> SinkPipeReader::Values() const
{
    std::lock_guard<std::mutex> guard(lock);
    std::vector<int16_t> values(bytes.size() / 4 * 2);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return values;
}

SourcePipeWriter::SourcePipeWriter(const std::string& path, std::vector<int16_t> values)
{
    thread = std::thread([this, path, values = std::move(values)] {
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        std::vector<uint8_t> bytes;
        for (int16_t v : values)
            bytes.insert(bytes.end(),
                         {static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>(v >> 8)});
        // The server reads the pipe only while something records from it.
        size_t written = 0;
        pollfd p{fd, POLLOUT, 0};
        while (fd >= 0 && written < bytes.size() && !stop) {
            if (poll(&p, 1, 10) <= 0)
                continue;
            const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
            if (n > 0)
                written += static_cast<size_t>(n);
            else if (errno != EAGAIN && errno != EINTR)
                break;
        }
        failed = written < bytes.size();
        if (fd >= 0)
            ::close(fd);
        done = true;
    });
}

SourcePipeWriter::~SourcePipeWriter()
{
    stop = true;
    thread.join();
}

void DrainPipe(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    uint8_t chunk[16384];
    while (fd >= 0 && ::read(fd, chunk, sizeof chunk) > 0) {
    }
    if (fd >= 0)
        ::close(fd);
}

bool WaitUntil(const std::function<bool()>& ready, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!ready()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

int64_t FindFrames(const std::vector<int16_t>& got, const std::vector<int16_t>& expected,
                   int64_t keyFrames)
{
    if (static_cast<int64_t>(expected.size()) < keyFrames * 2)
        return -1;
    for (int64_t f = 0; (f + keyFrames) * 2 <= static_cast<int64_t>(got.size()); ++f)
        if (std::equal(expected.begin(), expected.begin() + keyFrames * 2, got.begin() + f * 2))
            return f;
    return -1;
}

Arrival TraceArrival(const std::vector<int16_t>& got, const std::vector<int16_t>& expected,
                     int64_t start)
{
    Arrival arrival;
    const int64_t gotFrames = static_cast<int64_t>(got.size() / 2);
    const int64_t expectedFrames = static_cast<int64_t>(expected.size() / 2);
    int64_t f = std::max<int64_t>(start, 0);
    for (; f < gotFrames && arrival.framesMatched < expectedFrames; ++f) {
        const int64_t e = arrival.framesMatched;
        if (got[2 * f] == expected[2 * e] && got[2 * f + 1] == expected[2 * e + 1])
            ++arrival.framesMatched;
        else if (got[2 * f] == 0 && got[2 * f + 1] == 0)
            ++arrival.silentFramesBetween;
        else
            break;
    }
    for (; f < gotFrames && !arrival.strayAfter; ++f)
        arrival.strayAfter = got[2 * f] != 0 || got[2 * f + 1] != 0;
    return arrival;
}

} // namespace kelvorn::test
