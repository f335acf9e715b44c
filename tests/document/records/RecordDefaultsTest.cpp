// The defaults of every parameter record: each value field's number, display unit and range
// rule, each choice and flag byte, and empty wave references.

#include "document/records/WaveRecords.h"

#include <gtest/gtest.h>

namespace kelvorn {
namespace {

// Range rules as the value classes code them.
constexpr uint8_t kAny = 0;
constexpr uint8_t kNotNul = 1;
constexpr uint8_t kPosMore = 5;
constexpr uint8_t kPosMax1 = 6;
constexpr uint8_t kPosMoreLess1 = 7;
constexpr uint8_t kMin1Pos1 = 10;

void ExpectFactor(const unitFactor& value, double number, MeasureUnitKind unit, uint8_t rule)
{
    EXPECT_DOUBLE_EQ(value.GetValue(), number);
    EXPECT_EQ(value.GetUnit(), unit);
    EXPECT_EQ(value.GetConstraint(), rule);
}

void ExpectTime(const unitTime& value, double seconds, MeasureUnitKind unit, uint8_t rule)
{
    EXPECT_DOUBLE_EQ(value.GetValue(), seconds);
    EXPECT_EQ(value.GetUnit(), unit);
    EXPECT_EQ(value.GetConstraint(), rule);
}

void ExpectInteger(const unitInteger& value, int32_t number, uint8_t rule)
{
    EXPECT_EQ(value.GetValue(), number);
    EXPECT_EQ(value.GetUnit(), EHNone);
    EXPECT_EQ(value.GetConstraint(), rule);
}

void ExpectWaveVal(const unitWaveVal& value, int16_t sample, uint8_t rule)
{
    EXPECT_EQ(value.value, sample);
    EXPECT_EQ(value.GetUnit(), EHPerc);
    EXPECT_EQ(value.GetConstraint(), rule);
}

void ExpectPosition(const unitWavePosition& value)
{
    EXPECT_EQ(value.position, 0.0);
    EXPECT_EQ(value.length, 0.0);
    EXPECT_FALSE(value.fromEnd);
    EXPECT_EQ(value.GetUnit(), EHPerc);
}

void ExpectEmpty(const unitUnitWave& reference)
{
    EXPECT_EQ(reference.GetCaption(), "");
    EXPECT_EQ(reference.GetUnitWave(), nullptr);
}

TEST(RecordDefaults, SimpleChanges)
{
    const TVolumeProps volume;
    EXPECT_EQ(volume.kind, 0);
    ExpectEmpty(volume.envelope);
    ExpectFactor(volume.factor, 0.5, EHPerc, kAny);

    const TRotateProps rotate;
    EXPECT_EQ(rotate.direction, 0);
    EXPECT_EQ(rotate.kind, 1); // the factor option
    EXPECT_EQ(rotate.kind, TRotateProps::kindFactor);
    ExpectFactor(rotate.factor, 0.1, EHNone, kMin1Pos1);
    ExpectTime(rotate.time, 0.1, EHS, kAny);

    const TBlockProps block;
    EXPECT_EQ(block.horKind, 0);
    EXPECT_EQ(block.vertKind, 0);
    ExpectInteger(block.horCount, 20, kPosMore);
    ExpectInteger(block.vertCount, 20, kPosMore);
    ExpectTime(block.horTime, 0.01, EHMS, kPosMore);
    ExpectWaveVal(block.height, 3277, kPosMore);

    const TRollInProps rollIn;
    EXPECT_EQ(rollIn.placement, 0);
    ExpectTime(rollIn.length, 1.0, EHS, kPosMore);
    ExpectPosition(rollIn.startAt);
    ExpectPosition(rollIn.endAt);

    const TRollOutProps rollOut;
    EXPECT_EQ(rollOut.currentLength, 0.0);
    ExpectFactor(rollOut.speedFactor, 1.0, EHPerc, kNotNul);
    EXPECT_EQ(rollOut.speedEnvelopeFlag, 0);
    ExpectEmpty(rollOut.speedEnvelope);
    EXPECT_EQ(rollOut.lengthKind, 0);
    ExpectFactor(rollOut.lengthFactor, 1.0, EHPerc, kPosMore);
    ExpectTime(rollOut.newLength, 2.0, EHS, kPosMore);
    ExpectEmpty(rollOut.sameLengthAs);
    ExpectFactor(rollOut.count, 3.0, EHNone, kPosMore);
    ExpectPosition(rollOut.startPosition);

    const TLengthProps length;
    EXPECT_EQ(length.lengthKind, 0);
    ExpectFactor(length.lengthFactor, 0.5, EHPerc, kAny);
    ExpectTime(length.newLength, 2.0, EHS, kPosMore);
    ExpectEmpty(length.sameLengthAs);

    ExpectWaveVal(TUpProps().add, 16383, kAny);

    const TShiftProps shift;
    ExpectTime(shift.middle, 0.0, EHMS, kAny);
    ExpectTime(shift.left, 0.0, EHMS, kAny);
    ExpectTime(shift.right, 0.0, EHMS, kAny);
    EXPECT_EQ(shift.envelopeFlag, 0);
    ExpectEmpty(shift.envelope);

    ExpectEmpty(TDistortProps().envelope);
    EXPECT_EQ(TMixProps().placement, 0);
}

TEST(RecordDefaults, Generators)
{
    ExpectTime(TSilenceProps().length, 0.1, EHMS, kPosMore);

    const TLineProps line;
    EXPECT_EQ(line.kind, 0);
    ExpectWaveVal(line.beginValue, 16383, kAny);
    ExpectWaveVal(line.endValue, -16384, kAny);
    ExpectTime(line.length, 0.1, EHMS, kPosMore);

    const TNoiseProps noise;
    ExpectWaveVal(noise.volume, 16383, kAny);
    ExpectTime(noise.length, 0.5, EHMS, kPosMore);

    const TBlockTriangleProps blockTriangle;
    ExpectWaveVal(blockTriangle.height1, 16383, kAny);
    ExpectWaveVal(blockTriangle.height2, -16383, kAny);
    EXPECT_EQ(blockTriangle.BloTriHorKind, 0);
    ExpectTime(blockTriangle.period, 0.001, EHKHZ, kPosMore);
    EXPECT_EQ(blockTriangle.middleKind, 0);
    ExpectFactor(blockTriangle.middle, 0.5, EHPerc, kMin1Pos1);
    ExpectEmpty(blockTriangle.middleEnvelope);
    ExpectTime(blockTriangle.time1, 0.005, EHMS, kPosMore);
    ExpectTime(blockTriangle.time2, 0.005, EHMS, kPosMore);
    EXPECT_EQ(blockTriangle.lengthKind, 0);
    ExpectTime(blockTriangle.newLength, 1.0, EHS, kPosMore);
    ExpectEmpty(blockTriangle.sameLengthAs);
    ExpectFactor(blockTriangle.count, 10.0, EHNone, kPosMore);
    ExpectFactor(blockTriangle.startPosition, 0.0, EHNone, kMin1Pos1);

    const TSinusProps sinus;
    EXPECT_EQ(sinus.lengthKind, 0);
    ExpectWaveVal(sinus.amplitude, 16383, kAny);
    ExpectTime(sinus.period, 0.001, EHKHZ, kPosMore);
    ExpectFactor(sinus.startPhase, 0.0, EHAngle, kMin1Pos1);
    ExpectTime(sinus.length, 0.5, EHMS, kPosMore);
    ExpectFactor(sinus.count, 500.0, EHNone, kPosMore);
}

TEST(RecordDefaults, ComplexChangesAndFilters)
{
    const TLeftRightProps leftRight;
    ExpectFactor(leftRight.leftToLeft, 1.0, EHPerc, kAny);
    ExpectFactor(leftRight.leftToRight, 0.0, EHPerc, kAny);
    ExpectFactor(leftRight.rightToLeft, 0.0, EHPerc, kAny);
    ExpectFactor(leftRight.rightToRight, 1.0, EHPerc, kAny);

    const TBalanceProps balance;
    EXPECT_EQ(balance.directionKind, 0);
    ExpectFactor(balance.direction, 0.0, EHAngle, 10);
    ExpectEmpty(balance.directionEnvelope);
    EXPECT_EQ(balance.timeDifference, 1);
    EXPECT_EQ(balance.volumeDifference, 1);

    const TPerEchoProps perEcho;
    ExpectTime(perEcho.time, 0.01, EHMS, kAny);
    EXPECT_EQ(perEcho.timeEnvelopeFlag, 0);
    ExpectEmpty(perEcho.timeEnvelope);
    EXPECT_EQ(perEcho.volumeKind, 0);
    ExpectEmpty(perEcho.volumeEnvelope);
    ExpectFactor(perEcho.volume, 1.0, EHPerc, kAny);
    ExpectInteger(perEcho.count, 1, kPosMore);

    const TRandomEchoProps echo;
    EXPECT_EQ(echo.activeTab, 0);
    ExpectInteger(echo.count, 20, kPosMore);
    EXPECT_EQ(echo.cyclable, 0);
    ExpectInteger(echo.randomSeed, 0, kAny);
    ExpectTime(echo.timeDifference, 1.0, EHMS, kPosMore);
    // A new record throws the first die for the time and the second to sixth for the others.
    const TEchoManip* groups[] = {&echo.time,    &echo.volume, &echo.length,
                                  &echo.balance, &echo.pitch,  &echo.tempo};
    for (int32_t die = 0; die < 6; ++die) {
        EXPECT_EQ(groups[die]->kind, 0);
        ExpectEmpty(groups[die]->envelope);
        EXPECT_EQ(groups[die]->source, die);
    }
    EXPECT_EQ(echo.balanceVolumeDifference, 1);
    EXPECT_EQ(echo.balanceTimeDifference, 1);
    ExpectFactor(echo.frequencyFactor, 2.0, EHNone, kAny);
    EXPECT_EQ(echo.quality, 0);
    ExpectTime(echo.blockSize, 0.04, EHMS, kPosMore);

    const TTempoPitchProps tempo;
    EXPECT_EQ(tempo.currentLength, 0.0);
    ExpectFactor(tempo.frequencyFactor, 1.0, EHPerc, kNotNul);
    EXPECT_EQ(tempo.frequencyEnvelopeFlag, 0);
    ExpectEmpty(tempo.frequencyEnvelope);
    ExpectFactor(tempo.speedFactor, 1.0, EHPerc, kNotNul);
    EXPECT_EQ(tempo.speedEnvelopeFlag, 0);
    ExpectEmpty(tempo.speedEnvelope);
    EXPECT_EQ(tempo.lengthKind, 0);
    ExpectFactor(tempo.lengthFactor, 1.0, EHPerc, kPosMore);
    ExpectTime(tempo.newLength, 2.0, EHS, kPosMore);
    ExpectEmpty(tempo.sameLengthAs);
    ExpectFactor(tempo.count, 3.0, EHNone, kPosMore);
    ExpectPosition(tempo.startPosition);
    EXPECT_EQ(tempo.quality, 0);
    ExpectTime(tempo.blockSize, 0.04, EHMS, kPosMore);

    const TResNotchProps resNotch;
    EXPECT_EQ(resNotch.frequencyKind, 0);
    ExpectEmpty(resNotch.frequencyEnvelope);
    ExpectTime(resNotch.frequency, 0.001, EHKHZ, kPosMore);
    EXPECT_EQ(resNotch.widthKind, 0);
    ExpectEmpty(resNotch.widthEnvelope);
    ExpectFactor(resNotch.width, 0.25, EHNone, kPosMax1);

    const THighLowProps highLow;
    EXPECT_EQ(highLow.frequencyKind, 0);
    ExpectEmpty(highLow.frequencyEnvelope);
    ExpectTime(highLow.frequency, 0.001, EHKHZ, kPosMore);
    ExpectFactor(highLow.factor, 0.5, EHPerc, kPosMoreLess1);
    ExpectInteger(highLow.count, 1, kPosMore);
    EXPECT_EQ(highLow.maximizeVolume, 0);

    const TBlockFilterProps blockFilter;
    EXPECT_EQ(blockFilter.envelopeFlag, 0);
    ExpectEmpty(blockFilter.envelope);
    ExpectTime(blockFilter.blockTime, 0.01, EHMS, kAny);
}

TEST(RecordDefaults, MultiFrequencyAndWindowRecords)
{
    const TMFreqProps mFreq;
    ExpectTime(mFreq.length, 3.0, EHS, kPosMore);
    EXPECT_EQ(mFreq.use, 0);
    ExpectEmpty(mFreq.waveForm);
    EXPECT_EQ(mFreq.defaultFlags, (std::array<uint8_t, 5>{1, 0, 1, 1, 1}));
    EXPECT_EQ(mFreq.partials.GetPartialCount(), 1);
    EXPECT_EQ(mFreq.partials.GetCursor(), 0);
    EXPECT_FALSE(mFreq.partials.GetIsOpen());

    const TMFreqBrowseRecord* partial = mFreq.partials.GetPartial(0);
    ASSERT_NE(partial, nullptr);
    ExpectFactor(partial->startVolume, 0.5, EHPerc, kAny);
    ExpectTime(partial->frequency, 0.001, EHKHZ, kPosMore);
    ExpectFactor(partial->startAngle, 0.0, EHNone, kMin1Pos1);
    ExpectFactor(partial->volumeFactor, 0.1, EHPerc, kPosMore);
    ExpectTime(partial->volumeFactorAtTime, 1.0, EHS, kPosMore);

    EXPECT_EQ(TSplitHorProps().result, 0);

    // The merge records start with empty references and the view records' own defaults.
    const TMergeHorProps mergeHor;
    ExpectEmpty(mergeHor.first);
    ExpectEmpty(mergeHor.last);
    EXPECT_TRUE(mergeHor.waveViewProps == TWaveViewProps());
    EXPECT_TRUE(mergeHor.voldViewProps == TVoldViewProps());
    const TMergeVertProps mergeVert;
    ExpectEmpty(mergeVert.left);
    ExpectEmpty(mergeVert.right);
    EXPECT_TRUE(mergeVert.waveViewProps == TWaveViewProps());
    EXPECT_TRUE(mergeVert.voldViewProps == TVoldViewProps());
}

} // namespace
} // namespace kelvorn
