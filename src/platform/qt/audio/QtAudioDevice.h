#pragma once
// The audio device on Qt Multimedia (PulseAudio or PipeWire underneath). A play file is read
// with the program's own WAV reader and fed to a QAudioSink as 16-bit frames at the file's
// channels and sample frequency; a recording is taken by a QAudioSource in exactly the format of
// the record file (channels, sample frequency, 8 or 16 bits) and saved with the program's WAV
// writer. Lives on the GUI thread; completion events arrive there through its event queue.
//
// It sits in a target of its own because it needs the sound layer's WAV files, which the
// service interfaces of the platform layer may not see.

#include "platform/AudioDeviceBase.h"

#include <QAudioDevice>
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <string>

class QAudioSink;
class QAudioSource;
class QIODevice;

namespace kelvorn {

class QtAudioDevice final : public QObject, public AudioDeviceBase
{
public:
    /// On the system's default output and input.
    QtAudioDevice();
    /// On the devices given; a null QAudioDevice means there is none of that kind.
    QtAudioDevice(const QAudioDevice& output, const QAudioDevice& input);
    ~QtAudioDevice() override;
    QtAudioDevice(const QtAudioDevice&) = delete;
    QtAudioDevice& operator=(const QtAudioDevice&) = delete;

    bool HasOutput() const override { return !output.isNull(); }
    bool HasInput() const override { return !input.isNull(); }
    std::string UnavailableReason() const override;
    int64_t Position() const override;

    /// The output or input device whose id is id, or a null one.
    static QAudioDevice FindOutput(const QByteArray& id);
    static QAudioDevice FindInput(const QByteArray& id);

protected:
    bool LoadFile(const std::string& name, std::string& message) override;
    void UnloadFile() override;
    bool StartPlayback(std::string& message) override;
    bool StartCapture(std::string& message) override;
    void PauseStream() override;
    void ResumeStream() override;
    void StopStream() override;
    bool WriteTake(const std::string& name, std::string& message) override;
    void WaitForEndOfPlay() override;
    void PostCompletion(AudioCompletion completion) override;

private:
    void SinkStateChanged();
    void SourceStateChanged();
    void StartDrain();
    void CheckDrain();
    int64_t PlayedFrames() const;

    QAudioDevice output;
    QAudioDevice input;
    // Made on the system's defaults, which all come from the sound server.
    bool systemDevices = false;

    // The open file's format.
    int channels = 0;
    int sampleFreq = 0;
    int bytesPSample = 0;
    // The open file's frames as interleaved 16-bit values.
    QByteArray pcm;
    int64_t frames = 0;

    QAudioSink* sink = nullptr;
    QIODevice* feed = nullptr;
    QAudioSource* source = nullptr;
    // A WAV header's room followed by the recorded bytes.
    QByteArray take;
    // Whether Position() counts the take (the last stream was a recording).
    bool takeIsLatest = false;

    // After the last byte has gone to the sink, what it still holds plays out before the end.
    QTimer drainTimer;
    QElapsedTimer drainClock;
    bool draining = false;
    int64_t lastProcessed = -1;
    int64_t stalledSince = 0;
    mutable int64_t playedFrames = 0;
};

} // namespace kelvorn
