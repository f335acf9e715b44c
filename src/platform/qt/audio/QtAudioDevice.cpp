#include "platform/qt/audio/QtAudioDevice.h"

#include "sound/WavFile.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QAudioSource>
#include <QBuffer>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMediaDevices>
#include <QPointer>

#include <algorithm>
#include <cstring>

namespace kelvorn {

namespace {

constexpr int HeaderBytes = 44;
// Short enough that a pause or a stop is heard at once, long enough not to run dry.
constexpr int SinkBufferMs = 250;
constexpr int DrainTickMs = 20;
// A sink that reports no progress for this long has nothing left to play.
constexpr int64_t DrainStallMs = 500;
constexpr int64_t DrainSlackMs = 3000;

/// Collects what the source records behind the header room of take, up to what a WAV file and
/// a wave can hold; the rest of a very long recording is dropped.
class TakeCollector final : public QIODevice
{
public:
    TakeCollector(QByteArray& take, int64_t limit, QObject* parent)
        : QIODevice(parent), take(take), limit(limit)
    {
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 len) override
    {
        const int64_t room = std::max<int64_t>(0, limit - take.size());
        const int64_t kept = std::min<int64_t>(len, room);
        if (kept > 0)
            take.append(data, static_cast<qsizetype>(kept));
        return len;
    }

private:
    QByteArray& take;
    int64_t limit;
};

QAudioDevice FindDevice(const QList<QAudioDevice>& devices, const QByteArray& id)
{
    for (const QAudioDevice& device : devices)
        if (device.id() == id)
            return device;
    return {};
}

} // namespace

QtAudioDevice::QtAudioDevice()
    : QtAudioDevice(QMediaDevices::defaultAudioOutput(), QMediaDevices::defaultAudioInput())
{
    systemDevices = true;
}

QtAudioDevice::QtAudioDevice(const QAudioDevice& output, const QAudioDevice& input)
    : output(output), input(input)
{
    drainTimer.setInterval(DrainTickMs);
    QObject::connect(&drainTimer, &QTimer::timeout, this, [this] { CheckDrain(); });
}

QtAudioDevice::~QtAudioDevice()
{
    SetCompletionHandler({});
    Close();
    // Sinks and sources stopped earlier wait for deleteLater. Their destructors may run queued
    // events, so they go now, while the whole device still exists, not in ~QObject after the
    // device's own parts are gone.
    // One such destructor may also run another's deleteLater, hence the guards.
    QList<QPointer<QObject>> streams;
    for (QObject* child : findChildren<QObject*>(Qt::FindDirectChildrenOnly))
        streams.append(child);
    for (const QPointer<QObject>& stream : streams)
        delete stream.data();
    QCoreApplication::removePostedEvents(this);
}

std::string QtAudioDevice::UnavailableReason() const
{
    // Qt Multimedia has every output and input from the sound server (PulseAudio, or PipeWire
    // in its place), and none at all when the server did not answer.
    if (systemDevices && QMediaDevices::audioOutputs().isEmpty() &&
        QMediaDevices::audioInputs().isEmpty())
        return AudioNoSoundServerText;
    return AudioDeviceBase::UnavailableReason();
}

QAudioDevice QtAudioDevice::FindOutput(const QByteArray& id)
{
    return FindDevice(QMediaDevices::audioOutputs(), id);
}

QAudioDevice QtAudioDevice::FindInput(const QByteArray& id)
{
    return FindDevice(QMediaDevices::audioInputs(), id);
}

bool QtAudioDevice::LoadFile(const std::string& name, std::string& message)
{
    SoundUPtr sound;
    std::string readError;
    if (!ReadWaveFile(name, sound, readError)) {
        message = "Cannot open the sound file \"" + name + "\": " + readError;
        return false;
    }
    channels = sound->GetMonoStereo();
    sampleFreq = sound->GetSampleFreq();
    bytesPSample = sound->GetBytesPSample();
    frames = sound->GetValues();

    pcm = QByteArray();
    if (frames > 0) {
        pcm.resize(static_cast<qsizetype>(frames * channels * 2));
        auto* out = reinterpret_cast<int16_t*>(pcm.data());
        const int16_t* left = sound->GetLeftWave()->Data();
        const int16_t* right = sound->GetRightWave()->Data();
        for (int64_t i = 0; i < frames; ++i) {
            *out++ = left[i];
            if (channels == 2)
                *out++ = right[i];
        }
    }
    playedFrames = 0;
    return true;
}

void QtAudioDevice::UnloadFile()
{
    pcm = QByteArray();
    take = QByteArray();
    takeIsLatest = false;
    frames = 0;
    playedFrames = 0;
}

bool QtAudioDevice::StartPlayback(std::string& message)
{
    QAudioFormat format;
    format.setSampleRate(sampleFreq);
    format.setChannelCount(channels);
    format.setSampleFormat(QAudioFormat::Int16);

    sink = new QAudioSink(output, format, this);
    sink->setBufferSize(format.bytesForDuration(SinkBufferMs * 1000));
    auto* buffer = new QBuffer(sink);
    buffer->setData(pcm);
    buffer->open(QIODevice::ReadOnly);
    feed = buffer;
    takeIsLatest = false;
    draining = false;
    playedFrames = 0;
    QObject::connect(sink, &QAudioSink::stateChanged, this, [this] { SinkStateChanged(); });
    sink->start(buffer);
    if (sink->error() != QAudio::NoError || sink->state() == QAudio::StoppedState) {
        message = "The audio output \"" + output.description().toStdString() +
                  "\" cannot play this sound.";
        StopStream();
        return false;
    }
    return true;
}

bool QtAudioDevice::StartCapture(std::string& message)
{
    QAudioFormat format;
    format.setSampleRate(sampleFreq);
    format.setChannelCount(channels);
    format.setSampleFormat(bytesPSample == 1 ? QAudioFormat::UInt8 : QAudioFormat::Int16);

    const int64_t frameBytes = int64_t(channels) * bytesPSample;
    take = QByteArray(HeaderBytes, '\0');
    takeIsLatest = true;
    source = new QAudioSource(input, format, this);
    const int64_t mostFrames =
        MaxWaveFileFrames(static_cast<int16_t>(channels), static_cast<int16_t>(bytesPSample));
    auto* collector = new TakeCollector(take, HeaderBytes + mostFrames * frameBytes, source);
    collector->open(QIODevice::WriteOnly);
    QObject::connect(source, &QAudioSource::stateChanged, this, [this] { SourceStateChanged(); });
    source->start(collector);
    if (source->error() != QAudio::NoError || source->state() == QAudio::StoppedState) {
        message = "The audio input \"" + input.description().toStdString() +
                  "\" cannot record in this format.";
        StopStream();
        return false;
    }
    return true;
}

void QtAudioDevice::PauseStream()
{
    if (sink) {
        playedFrames = PlayedFrames();
        sink->suspend();
    }
    if (source)
        source->suspend();
    drainTimer.stop();
}

void QtAudioDevice::ResumeStream()
{
    if (sink)
        sink->resume();
    if (source)
        source->resume();
    if (draining)
        StartDrain();
}

void QtAudioDevice::StopStream()
{
    drainTimer.stop();
    draining = false;
    if (sink) {
        playedFrames = PlayedFrames();
        sink->disconnect(this);
        sink->stop();
        // Deleted from the event loop: a sink's destructor may run queued events itself.
        sink->deleteLater();
        sink = nullptr;
        feed = nullptr;
    }
    if (source) {
        source->disconnect(this);
        source->stop();
        source->deleteLater();
        source = nullptr;
    }
}

bool QtAudioDevice::WriteTake(const std::string& name, std::string& message)
{
    const int64_t frameBytes = int64_t(channels) * bytesPSample;
    const int64_t dataBytes = (take.size() - HeaderBytes) / frameBytes * frameBytes;
    MakeWaveHeader(reinterpret_cast<uint8_t*>(take.data()), static_cast<int16_t>(channels),
                   sampleFreq, static_cast<int16_t>(bytesPSample),
                   static_cast<uint32_t>(dataBytes));
    SoundUPtr sound;
    std::string readError;
    if (!ReadWaveBytes(reinterpret_cast<const uint8_t*>(take.constData()),
                       static_cast<size_t>(HeaderBytes + dataBytes), sound, readError)) {
        message = "The recording cannot be read: " + readError;
        return false;
    }
    // The device's caller shows the message: a box here as well would tell the user twice.
    return WriteWaveFileQuietly(name, sound.get(), message);
}

void QtAudioDevice::WaitForEndOfPlay()
{
    QEventLoop loop;
    while (Mode() == AudioMode::Playing)
        loop.processEvents(QEventLoop::WaitForMoreEvents);
}

void QtAudioDevice::PostCompletion(AudioCompletion completion)
{
    QMetaObject::invokeMethod(
        this, [this, completion] { DeliverCompletion(completion); }, Qt::QueuedConnection);
}

int64_t QtAudioDevice::Position() const
{
    if (takeIsLatest) {
        const int64_t frameBytes = std::max(1, channels * bytesPSample);
        return std::max<int64_t>(0, take.size() - HeaderBytes) / frameBytes;
    }
    return Mode() == AudioMode::Playing ? PlayedFrames() : playedFrames;
}

int64_t QtAudioDevice::PlayedFrames() const
{
    if (!sink || sampleFreq <= 0)
        return playedFrames;
    const int64_t played = sink->processedUSecs() * sampleFreq / 1000000;
    playedFrames = std::clamp<int64_t>(played, playedFrames, frames);
    return playedFrames;
}

void QtAudioDevice::SinkStateChanged()
{
    if (!sink)
        return;
    const QAudio::State state = sink->state();
    if (state == QAudio::StoppedState && sink->error() != QAudio::NoError) {
        StreamFailed();
        return;
    }
    if (state == QAudio::IdleState && feed && feed->atEnd() && !draining) {
        draining = true;
        StartDrain();
    }
}

void QtAudioDevice::SourceStateChanged()
{
    if (source && source->state() == QAudio::StoppedState && source->error() != QAudio::NoError)
        StreamFailed();
}

void QtAudioDevice::StartDrain()
{
    lastProcessed = -1;
    drainClock.start();
    stalledSince = 0;
    drainTimer.start();
}

void QtAudioDevice::CheckDrain()
{
    if (!sink) {
        drainTimer.stop();
        return;
    }
    const int64_t total = frames * 1000000 / std::max(1, sampleFreq);
    const int64_t processed = sink->processedUSecs();
    const int64_t now = drainClock.elapsed();
    if (processed != lastProcessed) {
        lastProcessed = processed;
        stalledSince = now;
    }
    const bool done = processed >= total - 2000;
    const bool stalled = now - stalledSince >= DrainStallMs;
    const bool overdue = now >= SinkBufferMs + DrainSlackMs;
    if (done || stalled || overdue) {
        playedFrames = frames;
        EndOfPlay();
    }
}

} // namespace kelvorn
