// Every parameter record: a copy equals its source and is independent of it, and changing any
// one field (its number, its display unit, a choice byte, a wave reference's caption) makes a
// record unequal. The mutators list each record's fields as the dialogs edit them.

#include "document/records/WaveRecords.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace kelvorn {
namespace {

template <class R> using Mutators = std::vector<std::function<void(R&)>>;

template <class R> struct Fields;

template <> struct Fields<TVolumeProps>
{
    static Mutators<TVolumeProps> Get()
    {
        return {[](auto& r) { r.kind = 1; }, [](auto& r) { r.envelope.SetCaption("Env"); },
                [](auto& r) { r.factor.SetValue(0.25); }, [](auto& r) { r.factor.SetUnit(EHDB); }};
    }
};

template <> struct Fields<TRotateProps>
{
    static Mutators<TRotateProps> Get()
    {
        return {[](auto& r) { r.direction = 1; }, [](auto& r) { r.kind = 0; },
                [](auto& r) { r.factor.SetValue(-0.5); }, [](auto& r) { r.time.SetValue(2.0); },
                [](auto& r) { r.time.SetUnit(EHMS); }};
    }
};

template <> struct Fields<TBlockProps>
{
    static Mutators<TBlockProps> Get()
    {
        return {[](auto& r) { r.horKind = 2; },
                [](auto& r) { r.vertKind = 1; },
                [](auto& r) { r.horCount.SetValue(21); },
                [](auto& r) { r.vertCount.SetValue(19); },
                [](auto& r) { r.horTime.SetValue(0.02); },
                [](auto& r) { r.height.value = 3278; },
                [](auto& r) { r.height.SetUnit(EHValue); }};
    }
};

template <> struct Fields<TRollInProps>
{
    static Mutators<TRollInProps> Get()
    {
        return {[](auto& r) { r.placement = 1; },          [](auto& r) { r.length.SetValue(2.0); },
                [](auto& r) { r.startAt.position = 0.5; }, [](auto& r) { r.endAt.position = 0.5; },
                [](auto& r) { r.startAt.length = 1.0; },   [](auto& r) { r.endAt.fromEnd = true; },
                [](auto& r) { r.endAt.SetUnit(EHS); }};
    }
};

template <> struct Fields<TRollOutProps>
{
    static Mutators<TRollOutProps> Get()
    {
        return {[](auto& r) { r.currentLength = 1.5; },
                [](auto& r) { r.speedFactor.SetValue(-2.0); },
                [](auto& r) { r.speedEnvelopeFlag = 1; },
                [](auto& r) { r.speedEnvelope.SetCaption("Speed"); },
                [](auto& r) { r.lengthKind = 3; },
                [](auto& r) { r.lengthFactor.SetValue(2.0); },
                [](auto& r) { r.newLength.SetValue(3.0); },
                [](auto& r) { r.sameLengthAs.SetCaption("Same"); },
                [](auto& r) { r.count.SetValue(4.0); },
                [](auto& r) { r.startPosition.position = 0.25; }};
    }
};

template <> struct Fields<TLengthProps>
{
    static Mutators<TLengthProps> Get()
    {
        return {[](auto& r) { r.lengthKind = 2; }, [](auto& r) { r.lengthFactor.SetValue(2.0); },
                [](auto& r) { r.newLength.SetValue(1.0); },
                [](auto& r) { r.sameLengthAs.SetCaption("W"); }};
    }
};

template <> struct Fields<TUpProps>
{
    static Mutators<TUpProps> Get()
    {
        return {[](auto& r) { r.add.value = -1; }, [](auto& r) { r.add.SetUnit(EHNone); }};
    }
};

template <> struct Fields<TShiftProps>
{
    static Mutators<TShiftProps> Get()
    {
        return {[](auto& r) { r.middle.SetValue(0.01); }, [](auto& r) { r.left.SetValue(0.01); },
                [](auto& r) { r.right.SetValue(-0.01); }, [](auto& r) { r.envelopeFlag = 1; },
                [](auto& r) { r.envelope.SetCaption("E"); }};
    }
};

template <> struct Fields<TDistortProps>
{
    static Mutators<TDistortProps> Get()
    {
        return {[](auto& r) { r.envelope.SetCaption("D"); }};
    }
};

template <> struct Fields<TMixProps>
{
    static Mutators<TMixProps> Get()
    {
        return {[](auto& r) { r.placement = 2; }};
    }
};

template <> struct Fields<TSilenceProps>
{
    static Mutators<TSilenceProps> Get()
    {
        return {[](auto& r) { r.length.SetValue(0.2); }, [](auto& r) { r.length.SetUnit(EHS); }};
    }
};

template <> struct Fields<TLineProps>
{
    static Mutators<TLineProps> Get()
    {
        return {[](auto& r) { r.kind = 1; }, [](auto& r) { r.beginValue.value = 1; },
                [](auto& r) { r.endValue.value = -16383; },
                [](auto& r) { r.length.SetValue(1.0); }};
    }
};

template <> struct Fields<TNoiseProps>
{
    static Mutators<TNoiseProps> Get()
    {
        return {[](auto& r) { r.volume.value = 100; }, [](auto& r) { r.length.SetValue(1.0); }};
    }
};

template <> struct Fields<TBlockTriangleProps>
{
    static Mutators<TBlockTriangleProps> Get()
    {
        return {[](auto& r) { r.height1.value = 1; },
                [](auto& r) { r.height2.value = 1; },
                [](auto& r) { r.BloTriHorKind = bloTriTime; },
                [](auto& r) { r.period.SetValue(0.002); },
                [](auto& r) { r.middleKind = 1; },
                [](auto& r) { r.middle.SetValue(0.25); },
                [](auto& r) { r.middleEnvelope.SetCaption("M"); },
                [](auto& r) { r.time1.SetValue(0.001); },
                [](auto& r) { r.time2.SetValue(0.001); },
                [](auto& r) { r.lengthKind = 2; },
                [](auto& r) { r.newLength.SetValue(2.0); },
                [](auto& r) { r.sameLengthAs.SetCaption("S"); },
                [](auto& r) { r.count.SetValue(11.0); },
                [](auto& r) { r.startPosition.SetValue(0.5); }};
    }
};

template <> struct Fields<TSinusProps>
{
    static Mutators<TSinusProps> Get()
    {
        return {
            [](auto& r) { r.lengthKind = 1; },        [](auto& r) { r.amplitude.value = 1; },
            [](auto& r) { r.period.SetValue(0.01); }, [](auto& r) { r.startPhase.SetValue(0.5); },
            [](auto& r) { r.length.SetValue(1.0); },  [](auto& r) { r.count.SetValue(5.0); }};
    }
};

template <> struct Fields<TLeftRightProps>
{
    static Mutators<TLeftRightProps> Get()
    {
        return {[](auto& r) { r.leftToLeft.SetValue(0.5); },
                [](auto& r) { r.leftToRight.SetValue(0.5); },
                [](auto& r) { r.rightToLeft.SetValue(0.5); },
                [](auto& r) { r.rightToRight.SetValue(0.5); }};
    }
};

template <> struct Fields<TBalanceProps>
{
    static Mutators<TBalanceProps> Get()
    {
        return {[](auto& r) { r.directionKind = 1; }, [](auto& r) { r.direction.SetValue(0.5); },
                [](auto& r) { r.directionEnvelope.SetCaption("B"); },
                [](auto& r) { r.timeDifference = 0; }, [](auto& r) { r.volumeDifference = 2; }};
    }
};

template <> struct Fields<TPerEchoProps>
{
    static Mutators<TPerEchoProps> Get()
    {
        return {[](auto& r) { r.time.SetValue(0.02); },
                [](auto& r) { r.timeEnvelopeFlag = 1; },
                [](auto& r) { r.timeEnvelope.SetCaption("T"); },
                [](auto& r) { r.volumeKind = 1; },
                [](auto& r) { r.volumeEnvelope.SetCaption("V"); },
                [](auto& r) { r.volume.SetValue(0.5); },
                [](auto& r) { r.count.SetValue(2); }};
    }
};

template <> struct Fields<TRandomEchoProps>
{
    static Mutators<TRandomEchoProps> Get()
    {
        Mutators<TRandomEchoProps> list = {
            [](auto& r) { r.activeTab = 3; },
            [](auto& r) { r.count.SetValue(21); },
            [](auto& r) { r.cyclable = 1; },
            [](auto& r) { r.randomSeed.SetValue(7); },
            [](auto& r) { r.timeDifference.SetValue(2.0); },
            [](auto& r) { r.balanceVolumeDifference = 0; },
            [](auto& r) { r.balanceTimeDifference = 0; },
            [](auto& r) { r.frequencyFactor.SetValue(3.0); },
            [](auto& r) { r.quality = 1; },
            [](auto& r) { r.blockSize.SetValue(0.05); },
        };
        for (TEchoManip TRandomEchoProps::*group :
             {&TRandomEchoProps::time, &TRandomEchoProps::volume, &TRandomEchoProps::length,
              &TRandomEchoProps::balance, &TRandomEchoProps::pitch, &TRandomEchoProps::tempo}) {
            list.push_back([group](auto& r) { (r.*group).kind = 2; });
            list.push_back([group](auto& r) { (r.*group).envelope.SetCaption("R"); });
            list.push_back([group](auto& r) { (r.*group).source = ((r.*group).source + 1) % 6; });
        }
        return list;
    }
};

template <> struct Fields<TTempoPitchProps>
{
    static Mutators<TTempoPitchProps> Get()
    {
        return {[](auto& r) { r.currentLength = 2.0; },
                [](auto& r) { r.frequencyFactor.SetValue(2.0); },
                [](auto& r) { r.frequencyEnvelopeFlag = 1; },
                [](auto& r) { r.frequencyEnvelope.SetCaption("F"); },
                [](auto& r) { r.speedFactor.SetValue(0.5); },
                [](auto& r) { r.speedEnvelopeFlag = 1; },
                [](auto& r) { r.speedEnvelope.SetCaption("S"); },
                [](auto& r) { r.lengthKind = 1; },
                [](auto& r) { r.lengthFactor.SetValue(0.5); },
                [](auto& r) { r.newLength.SetValue(1.0); },
                [](auto& r) { r.sameLengthAs.SetCaption("L"); },
                [](auto& r) { r.count.SetValue(2.0); },
                [](auto& r) { r.startPosition.position = 1.0; },
                [](auto& r) { r.quality = 1; },
                [](auto& r) { r.blockSize.SetValue(0.1); }};
    }
};

template <> struct Fields<TResNotchProps>
{
    static Mutators<TResNotchProps> Get()
    {
        return {[](auto& r) { r.frequencyKind = 1; },
                [](auto& r) { r.frequencyEnvelope.SetCaption("F"); },
                [](auto& r) { r.frequency.SetValue(0.002); },
                [](auto& r) { r.frequency.SetUnit(EHHZ); },
                [](auto& r) { r.widthKind = 1; },
                [](auto& r) { r.widthEnvelope.SetCaption("W"); },
                [](auto& r) { r.width.SetValue(0.5); }};
    }
};

template <> struct Fields<THighLowProps>
{
    static Mutators<THighLowProps> Get()
    {
        return {[](auto& r) { r.frequencyKind = 1; },
                [](auto& r) { r.frequencyEnvelope.SetCaption("F"); },
                [](auto& r) { r.frequency.SetValue(0.002); },
                [](auto& r) { r.factor.SetValue(0.25); },
                [](auto& r) { r.count.SetValue(2); },
                [](auto& r) { r.maximizeVolume = 1; }};
    }
};

template <> struct Fields<TBlockFilterProps>
{
    static Mutators<TBlockFilterProps> Get()
    {
        return {[](auto& r) { r.envelopeFlag = 1; }, [](auto& r) { r.envelope.SetCaption("E"); },
                [](auto& r) { r.blockTime.SetValue(0.02); }};
    }
};

template <> struct Fields<TMFreqProps>
{
    static Mutators<TMFreqProps> Get()
    {
        Mutators<TMFreqProps> list = {
            [](auto& r) { r.length.SetValue(1.0); },        [](auto& r) { r.use = 1; },
            [](auto& r) { r.waveForm.SetCaption("Form"); }, [](auto& r) { r.defaultFlags[1] = 1; },
            [](auto& r) { r.defaultFlags[4] = 0; },
        };
        // The partial list: a second partial, and each field of the first.
        list.push_back([](auto& r) {
            auto first = std::make_unique<TMFreqBrowseRecord>();
            first->InsertAfter(std::make_unique<TMFreqBrowseRecord>());
            r.partials.SetList(std::move(first), 0);
        });
        const std::function<void(TMFreqBrowseRecord&)> partialFields[] = {
            [](auto& p) { p.startVolume.SetValue(0.75); },
            [](auto& p) { p.frequency.SetValue(0.002); },
            [](auto& p) { p.startAngle.SetValue(0.75); },
            [](auto& p) { p.volumeFactor.SetValue(0.75); },
            [](auto& p) { p.volumeFactorAtTime.SetValue(2.0); },
        };
        for (const auto& change : partialFields)
            list.push_back([change](auto& r) {
                auto partial = std::make_unique<TMFreqBrowseRecord>();
                change(*partial);
                r.partials.SetList(std::move(partial), 0);
            });
        return list;
    }
};

template <> struct Fields<TSplitHorProps>
{
    static Mutators<TSplitHorProps> Get()
    {
        return {[](auto& r) { r.result = 1; }};
    }
};

template <> struct Fields<TMergeHorProps>
{
    static Mutators<TMergeHorProps> Get()
    {
        return {[](auto& r) { r.first.SetCaption("A"); },
                [](auto& r) { r.last.SetCaption("B"); },
                [](auto& r) { r.MonoStereo = 2; },
                [](auto& r) { r.SampleFreq = 44100; },
                [](auto& r) { r.BytesPSample = 2; },
                [](auto& r) { r.waveViewProps.BackgroundColor ^= 0x10; },
                [](auto& r) { r.voldViewProps.UseColorPalette1D ^= 1; },
                [](auto& r) { r.waveWindKind = mergeWindVolume; }};
    }
};

template <> struct Fields<TMergeVertProps>
{
    static Mutators<TMergeVertProps> Get()
    {
        return {[](auto& r) { r.left.SetCaption("L"); },
                [](auto& r) { r.right.SetCaption("R"); },
                [](auto& r) { r.SampleFreq = 22050; },
                [](auto& r) { r.BytesPSample = 1; },
                [](auto& r) { r.makeLengthsEqual = TMergeVertProps::stretchLongest; },
                [](auto& r) { r.waveViewProps.DrawSingle ^= 1; },
                [](auto& r) { r.voldViewProps.BackgroundColor ^= 0x100; },
                [](auto& r) { r.waveWindKind = mergeWindVolume; }};
    }
};

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

TYPED_TEST(RecordCopyTest, DefaultsAreEqual)
{
    TypeParam a;
    TypeParam b;
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a != b);
}

TYPED_TEST(RecordCopyTest, EveryFieldTakesPartInEquality)
{
    const auto mutators = Fields<TypeParam>::Get();
    for (size_t i = 0; i < mutators.size(); ++i) {
        SCOPED_TRACE("field change " + std::to_string(i));
        TypeParam changed;
        mutators[i](changed);
        EXPECT_FALSE(changed == TypeParam());
        EXPECT_TRUE(changed != TypeParam());
    }
}

TYPED_TEST(RecordCopyTest, CopyAndAssignmentCarryEveryField)
{
    const auto mutators = Fields<TypeParam>::Get();
    for (size_t i = 0; i < mutators.size(); ++i) {
        SCOPED_TRACE("field change " + std::to_string(i));
        TypeParam source;
        mutators[i](source);

        TypeParam copied(source);
        EXPECT_TRUE(copied == source);

        TypeParam assigned;
        assigned = source;
        EXPECT_TRUE(assigned == source);

        // The copy stands on its own: undoing the change in it leaves the source changed.
        copied = TypeParam();
        EXPECT_TRUE(copied == TypeParam());
        EXPECT_FALSE(source == TypeParam());
    }
}

TYPED_TEST(RecordCopyTest, SelfAssignmentKeepsTheRecord)
{
    const auto mutators = Fields<TypeParam>::Get();
    TypeParam record;
    for (const auto& mutate : mutators)
        mutate(record);
    const TypeParam before(record);
    TypeParam& alias = record;
    record = alias;
    EXPECT_TRUE(record == before);
}

} // namespace
} // namespace kelvorn
