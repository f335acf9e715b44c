#include "PulsePipes.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvorn::test {

bool FindPulsePipes(std::string& sinkPipe, std::string& sourcePipe, std::string& reason)
{
    const char* server = std::getenv("PULSE_SERVER");
    const char* sink = std::getenv("KELVORN_PULSE_SINK_PIPE");
    const char* source = std::getenv("KELVORN_PULSE_SOURCE_PIPE");
    if (!server || !sink || !source) {
        reason = "no private PulseAudio server: run the tests through ./test.sh or "
                 "scripts/pulse-test-server.sh (PULSE_SERVER and KELVORN_PULSE_*_PIPE unset)";
        return false;
    }
    struct stat info
    {
    };
    for (const char* pipe : {sink, source}) {
        if (stat(pipe, &info) != 0 || !S_ISFIFO(info.st_mode)) {
            reason = std::string("the private PulseAudio server's pipe ") + pipe + " is missing";
            return false;
        }
    }
    sinkPipe = sink;
    sourcePipe = source;
    return true;
}

SinkPipeReader::SinkPipeReader(const std::string& path)
{
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0)
        thread = std::thread([this] { Run(); });
}

SinkPipeReader::~SinkPipeReader()
{
    stop = true;
    if (thread.joinable())
        thread.join();
    if (fd >= 0)
        ::close(fd);
}

void SinkPipeReader::Run()
{
    uint8_t chunk[16384];
    while (!stop) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 10) <= 0)
            continue;
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got > 0) {
            std::lock_guard<std::mutex> guard(lock);
            bytes.insert(bytes.end(), chunk, chunk + got);
        } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
            // No writer at the moment: poll reports hang-up at once, so do not spin.
            QThread::msleep(5);
        }
    }
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
        if (fd < 0) {
            failed = true;
            done = true;
            return;
        }
        std::vector<uint8_t> bytes(values.size() * 2);
        for (size_t i = 0; i < values.size(); ++i) {
            bytes[2 * i] = static_cast<uint8_t>(values[i] & 0xFF);
            bytes[2 * i + 1] = static_cast<uint8_t>((values[i] >> 8) & 0xFF);
        }
        // The server reads the pipe only while something records from it.
        size_t written = 0;
        while (written < bytes.size() && !stop) {
            pollfd p{fd, POLLOUT, 0};
            if (poll(&p, 1, 10) <= 0)
                continue;
            const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
            if (n > 0)
                written += static_cast<size_t>(n);
            else if (errno != EAGAIN && errno != EINTR)
                break;
        }
        failed = written < bytes.size();
        ::close(fd);
        done = true;
    });
}

SourcePipeWriter::~SourcePipeWriter()
{
    stop = true;
    if (thread.joinable())
        thread.join();
}

void DrainPipe(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    uint8_t chunk[16384];
    while (::read(fd, chunk, sizeof chunk) > 0) {
    }
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
    const int64_t gotFrames = static_cast<int64_t>(got.size() / 2);
    const int64_t keyValues = keyFrames * 2;
    if (static_cast<int64_t>(expected.size()) < keyValues)
        return -1;
    for (int64_t f = 0; f + keyFrames <= gotFrames; ++f) {
        bool same = true;
        for (int64_t k = 0; k < keyValues && same; ++k)
            same = got[2 * f + k] == expected[k];
        if (same)
            return f;
    }
    return -1;
}

Arrival TraceArrival(const std::vector<int16_t>& got, const std::vector<int16_t>& expected,
                     int64_t start)
{
    Arrival arrival;
    const int64_t gotFrames = static_cast<int64_t>(got.size() / 2);
    const int64_t expectedFrames = static_cast<int64_t>(expected.size() / 2);
    int64_t f = start;
    while (f < gotFrames && arrival.framesMatched < expectedFrames) {
        const int64_t e = arrival.framesMatched;
        if (got[2 * f] == expected[2 * e] && got[2 * f + 1] == expected[2 * e + 1])
            ++arrival.framesMatched;
        else if (got[2 * f] == 0 && got[2 * f + 1] == 0)
            ++arrival.silentFramesBetween;
        else
            break;
        ++f;
    }
    for (; f < gotFrames && !arrival.strayAfter; ++f)
        arrival.strayAfter = got[2 * f] != 0 || got[2 * f + 1] != 0;
    return arrival;
}

} // namespace kelvorn::test
