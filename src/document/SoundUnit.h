#pragma once
// A document that holds a sound (the wave document and the music document): it answers the
// format of its sound and converts itself to new wave file properties.

#include "document/FileUnit.h"

#include <cstdint>

namespace kelvorn {

class TWaveFileProps;

class TSoundUnit : public TFileUnit
{
public:
    explicit TSoundUnit(DocumentKind kind) : TFileUnit(kind) {}

    /// Samples per second of the document's sound.
    virtual int32_t GetSampleFreq() const = 0;
    /// 1 mono, 2 stereo.
    virtual int16_t GetMonoStereo() const = 0;
    /// 1 or 2 bytes per stored sample (the file format only: memory always holds 16 bits).
    virtual int16_t GetBytesPSample() const = 0;
    /// Converts the document from the properties oldProps to newProps. False when the
    /// conversion failed (out of memory or invalid properties); the document is then unchanged.
    virtual bool SetWaveFileProps(const TWaveFileProps& oldProps,
                                  const TWaveFileProps& newProps) = 0;
};

} // namespace kelvorn
