// Every parameter record compares field by field with a hand-written list: changing any one
// field (its number, its display unit, a choice byte, a wave reference's caption) makes a record
// unequal, and a copy carries it. The mutators list each record's fields as the dialogs edit them.

#include "document/records/WaveRecords.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace kelvorn {
namespace {

template <class R> using Mutators = std::vector<std::function<void(R&)>>;
template <class R> Mutators<R> Fields();

#define F(...) [](auto& r) { r.__VA_ARGS__; }
// clang-format off
template <> Mutators<TVolumeProps> Fields() { return {F(kind = 1), F(envelope.SetCaption("Env")),
    F(factor.SetValue(0.25)), F(factor.SetUnit(EHDB))}; }
template <> Mutators<TRotateProps> Fields() { return {F(direction = 1), F(kind = 0),
    F(factor.SetValue(-0.5)), F(time.SetValue(2.0)), F(time.SetUnit(EHMS))}; }
template <> Mutators<TBlockProps> Fields() { return {F(horKind = 2), F(vertKind = 1),
    F(horCount.SetValue(21)), F(vertCount.SetValue(19)), F(horTime.SetValue(0.02)),
    F(height.value = 3278), F(height.SetUnit(EHValue))}; }
template <> Mutators<TRollInProps> Fields() { return {F(placement = 1), F(length.SetValue(2.0)),
    F(startAt.position = 0.5), F(endAt.position = 0.5), F(startAt.length = 1.0),
    F(endAt.fromEnd = true), F(endAt.SetUnit(EHS))}; }
template <> Mutators<TRollOutProps> Fields() { return {F(currentLength = 1.5),
    F(speedFactor.SetValue(-2.0)), F(speedEnvelopeFlag = 1), F(speedEnvelope.SetCaption("Speed")),
    F(lengthKind = 3), F(lengthFactor.SetValue(2.0)), F(newLength.SetValue(3.0)),
    F(sameLengthAs.SetCaption("Same")), F(count.SetValue(4.0)), F(startPosition.position = 0.25)}; }
template <> Mutators<TLengthProps> Fields() { return {F(lengthKind = 2),
    F(lengthFactor.SetValue(2.0)), F(newLength.SetValue(1.0)), F(sameLengthAs.SetCaption("W"))}; }
template <> Mutators<TUpProps> Fields() { return {F(add.value = -1), F(add.SetUnit(EHNone))}; }
template <> Mutators<TShiftProps> Fields() { return {F(middle.SetValue(0.01)),
    F(left.SetValue(0.01)), F(right.SetValue(-0.01)), F(envelopeFlag = 1),
    F(envelope.SetCaption("E"))}; }
template <> Mutators<TDistortProps> Fields() { return {F(envelope.SetCaption("D"))}; }
template <> Mutators<TMixProps> Fields() { return {F(placement = 2)}; }
template <> Mutators<TSilenceProps> Fields() { return {F(length.SetValue(0.2)),
    F(length.SetUnit(EHS))}; }
template <> Mutators<TLineProps> Fields() { return {F(kind = 1), F(beginValue.value = 1),
    F(endValue.value = -16383), F(length.SetValue(1.0))}; }
template <> Mutators<TNoiseProps> Fields() { return {F(volume.value = 100),
    F(length.SetValue(1.0))}; }
template <> Mutators<TBlockTriangleProps> Fields() { return {F(height1.value = 1),
    F(height2.value = 1), F(BloTriHorKind = bloTriTime), F(period.SetValue(0.002)),
    F(middleKind = 1), F(middle.SetValue(0.25)), F(middleEnvelope.SetCaption("M")),
    F(time1.SetValue(0.001)), F(time2.SetValue(0.001)), F(lengthKind = 2),
    F(newLength.SetValue(2.0)), F(sameLengthAs.SetCaption("S")), F(count.SetValue(11.0)),
    F(startPosition.SetValue(0.5))}; }
template <> Mutators<TSinusProps> Fields() { return {F(lengthKind = 1), F(amplitude.value = 1),
    F(period.SetValue(0.01)), F(startPhase.SetValue(0.5)), F(length.SetValue(1.0)),
    F(count.SetValue(5.0))}; }
template <> Mutators<TLeftRightProps> Fields() { return {F(leftToLeft.SetValue(0.5)),
    F(leftToRight.SetValue(0.5)), F(rightToLeft.SetValue(0.5)), F(rightToRight.SetValue(0.5))}; }
template <> Mutators<TBalanceProps> Fields() { return {F(directionKind = 1),
    F(direction.SetValue(0.5)), F(directionEnvelope.SetCaption("B")), F(timeDifference = 0),
    F(volumeDifference = 2)}; }
template <> Mutators<TPerEchoProps> Fields() { return {F(time.SetValue(0.02)),
    F(timeEnvelopeFlag = 1), F(timeEnvelope.SetCaption("T")), F(volumeKind = 1),
    F(volumeEnvelope.SetCaption("V")), F(volume.SetValue(0.5)), F(count.SetValue(2))}; }
// clang-format on
template <> Mutators<TRandomEchoProps> Fields()
{
    Mutators<TRandomEchoProps> list{F(activeTab = 3),
                                    F(count.SetValue(21)),
                                    F(cyclable = 1),
                                    F(randomSeed.SetValue(7)),
                                    F(timeDifference.SetValue(2.0)),
                                    F(balanceVolumeDifference = 0),
                                    F(balanceTimeDifference = 0),
                                    F(frequencyFactor.SetValue(3.0)),
                                    F(quality = 1),
                                    F(blockSize.SetValue(0.05))};
    for (TEchoManip TRandomEchoProps::*group :
         {&TRandomEchoProps::time, &TRandomEchoProps::volume, &TRandomEchoProps::length,
          &TRandomEchoProps::balance, &TRandomEchoProps::pitch, &TRandomEchoProps::tempo}) {
        list.push_back([group](auto& r) { (r.*group).kind = 2; });
        list.push_back([group](auto& r) { (r.*group).envelope.SetCaption("R"); });
        list.push_back([group](auto& r) { (r.*group).source = ((r.*group).source + 1) % 6; });
    }
    return list;
}
// clang-format off
template <> Mutators<TTempoPitchProps> Fields() { return {F(currentLength = 2.0),
    F(frequencyFactor.SetValue(2.0)), F(frequencyEnvelopeFlag = 1),
    F(frequencyEnvelope.SetCaption("F")), F(speedFactor.SetValue(0.5)), F(speedEnvelopeFlag = 1),
    F(speedEnvelope.SetCaption("S")), F(lengthKind = 1), F(lengthFactor.SetValue(0.5)),
    F(newLength.SetValue(1.0)), F(sameLengthAs.SetCaption("L")), F(count.SetValue(2.0)),
    F(startPosition.position = 1.0), F(quality = 1), F(blockSize.SetValue(0.1))}; }
template <> Mutators<TResNotchProps> Fields() { return {F(frequencyKind = 1),
    F(frequencyEnvelope.SetCaption("F")), F(frequency.SetValue(0.002)), F(frequency.SetUnit(EHHZ)),
    F(widthKind = 1), F(widthEnvelope.SetCaption("W")), F(width.SetValue(0.5))}; }
template <> Mutators<THighLowProps> Fields() { return {F(frequencyKind = 1),
    F(frequencyEnvelope.SetCaption("F")), F(frequency.SetValue(0.002)), F(factor.SetValue(0.25)),
    F(count.SetValue(2)), F(maximizeVolume = 1)}; }
template <> Mutators<TBlockFilterProps> Fields() { return {F(envelopeFlag = 1),
    F(envelope.SetCaption("E")), F(blockTime.SetValue(0.02))}; }
// clang-format on
template <> Mutators<TMFreqProps> Fields()
{
    Mutators<TMFreqProps> list{F(length.SetValue(1.0)), F(use = 1), F(waveForm.SetCaption("Form")),
                               F(defaultFlags[1] = 1), F(defaultFlags[4] = 0)};
    // The partial list: a second partial, and each field of the first.
    list.push_back([](auto& r) {
        auto first = std::make_unique<TMFreqBrowseRecord>();
        first->InsertAfter(std::make_unique<TMFreqBrowseRecord>());
        r.partials.SetList(std::move(first), 0);
    });
    const std::function<void(TMFreqBrowseRecord&)> partialFields[] = {
        F(startVolume.SetValue(0.75)), F(frequency.SetValue(0.002)), F(startAngle.SetValue(0.75)),
        F(volumeFactor.SetValue(0.75)), F(volumeFactorAtTime.SetValue(2.0))};
    for (const auto& change : partialFields)
        list.push_back([change](auto& r) {
            auto partial = std::make_unique<TMFreqBrowseRecord>();
            change(*partial);
            r.partials.SetList(std::move(partial), 0);
        });
    return list;
}
// clang-format off
template <> Mutators<TSplitHorProps> Fields() { return {F(result = 1)}; }
template <> Mutators<TMergeHorProps> Fields() { return {F(first.SetCaption("A")),
    F(last.SetCaption("B")), F(MonoStereo = 2), F(SampleFreq = 44100), F(BytesPSample = 2),
    F(waveViewProps.BackgroundColor ^= 0x10), F(voldViewProps.UseColorPalette1D ^= 1),
    F(waveWindKind = mergeWindVolume)}; }
template <> Mutators<TMergeVertProps> Fields() { return {F(left.SetCaption("L")),
    F(right.SetCaption("R")), F(SampleFreq = 22050), F(BytesPSample = 1),
    F(makeLengthsEqual = TMergeVertProps::stretchLongest), F(waveViewProps.DrawSingle ^= 1),
    F(voldViewProps.BackgroundColor ^= 0x100), F(waveWindKind = mergeWindVolume)}; }
// clang-format on
#undef F

template <class R> class RecordCopyTest : public ::testing::Test
{
};

using AllRecords =
    ::testing::Types<TVolumeProps, TRotateProps, TBlockProps, TRollInProps, TRollOutProps,
                     TLengthProps, TUpProps, TShiftProps, TDistortProps, TMixProps, TSilenceProps,
                     TLineProps, TNoiseProps, TBlockTriangleProps, TSinusProps, TLeftRightProps,
                     TBalanceProps, TPerEchoProps, TRandomEchoProps, TTempoPitchProps,
                     TResNotchProps, THighLowProps, TBlockFilterProps, TMFreqProps, TSplitHorProps,
                     TMergeHorProps, TMergeVertProps>;
TYPED_TEST_SUITE(RecordCopyTest, AllRecords);

TYPED_TEST(RecordCopyTest, EveryFieldTakesPartInEqualityAndInTheCopy)
{
    EXPECT_TRUE(TypeParam() == TypeParam());
    const auto mutators = Fields<TypeParam>();
    for (size_t i = 0; i < mutators.size(); ++i) {
        SCOPED_TRACE("field change " + std::to_string(i));
        TypeParam source;
        mutators[i](source);
        EXPECT_FALSE(source == TypeParam());
        EXPECT_TRUE(source != TypeParam());
        TypeParam copied(source), assigned;
        assigned = source;
        EXPECT_TRUE(copied == source);
        EXPECT_TRUE(assigned == source);
        copied = TypeParam(); // the copy stands on its own
        EXPECT_FALSE(source == TypeParam());
    }
}

TEST(RecordCopyTest, AssigningThePartialListToItselfKeepsIt)
{
    TMFreqProps record;
    for (const auto& mutate : Fields<TMFreqProps>())
        mutate(record);
    const TMFreqProps before(record);
    TMFreqProps& alias = record;
    record = alias;
    EXPECT_TRUE(record == before);
}

} // namespace
} // namespace kelvorn
