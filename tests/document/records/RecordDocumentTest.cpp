// What the records read through a wave reference from the document it names: its sound, and
// the seconds of that sound for the same-length-as kinds.

#include "sound/Wave.h"
#include "document/wave/UnitWave.h"
#include "document/records/WaveRecords.h"

#include <gtest/gtest.h>

#include <memory>

namespace kelvorn {
namespace {

// A document whose mono sound lasts values / sampleFreq seconds.
std::unique_ptr<TUnitWave> DocumentOf(int32_t values, int32_t sampleFreq)
{
    AbortFlag abort = 0;
    WavePtr wave = CreateWave(&abort, values);
    auto sound = std::make_shared<MonoSound>(std::move(wave), sampleFreq, 2);
    return std::make_unique<TUnitWave>("Wave", "", sound);
}

TEST(RecordDocument, GetSoundIsTheSoundOfThePickedDocument)
{
    std::unique_ptr<TUnitWave> document = DocumentOf(100, 1000);
    unitUnitWave reference;
    const WaveChoice choice{"Wave", document.get()};
    bool ok = true;
    reference.ReadWaveChoice(ok, &choice, "Envelope");
    ASSERT_TRUE(ok);
    EXPECT_EQ(reference.GetSound(), document->GetSound());
    EXPECT_DOUBLE_EQ(ReferencedLength(reference), 0.1);
}

TEST(RecordDocument, SameLengthAsDividesTheWavesSecondsByTheCurrentLength)
{
    std::unique_ptr<TUnitWave> document = DocumentOf(44100 * 3, 44100); // 3 s
    TLengthProps length;
    length.lengthKind = lengthKindSameAs;
    length.sameLengthAs.Set("Wave", document.get());
    EXPECT_DOUBLE_EQ(length.GetLengthFactor(2.0), 1.5);

    TRollOutProps rollOut;
    rollOut.lengthKind = lengthKindSameAs;
    rollOut.sameLengthAs = length.sameLengthAs;
    rollOut.currentLength = 6.0;
    EXPECT_DOUBLE_EQ(rollOut.GetLengthFactor(), 0.5);

    TTempoPitchProps tempo;
    tempo.lengthKind = lengthKindSameAs;
    tempo.sameLengthAs = length.sameLengthAs;
    tempo.currentLength = 1.5;
    EXPECT_DOUBLE_EQ(tempo.GetLengthFactor(), 2.0);

    TBlockTriangleProps blockTriangle;
    blockTriangle.lengthKind = TBlockTriangleProps::lengthSameAs;
    blockTriangle.sameLengthAs = length.sameLengthAs;
    EXPECT_DOUBLE_EQ(blockTriangle.GetLength(), 3.0);
}

} // namespace
} // namespace kelvorn
