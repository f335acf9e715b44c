// The values the document operations derive from the records, and the checks the records make
// for their dialogs.

#include "document/records/WaveRecords.h"
#include "platform/test/ScriptedMessages.h"

#include <gtest/gtest.h>

#include <string>

namespace kelvorn {
namespace {

TEST(RecordDerived, RotateBlockAndLengthValues)
{
    // The rotation: a factor of the length or the time, to the right from the end, clipped.
    // clang-format off
    for (auto [direction, kind, factor, time, length, expected] :
         std::vector<std::tuple<uint8_t, uint8_t, double, double, double, double>>{
             {0, 1, 0.25, 9.0, 2.0, 0.5}, {1, 1, 0.25, 9.0, 2.0, 1.5}, {0, 0, 0.9, 0.5, 2.0, 0.5},
             {1, 0, 0.9, 0.5, 2.0, 1.5}, {0, 0, 0.0, -1.0, 1.0, 0.0}, {1, 0, 0.0, -1.0, 1.0, 1.0},
             {0, 1, -0.5, 0.0, 2.0, 0.0}, {0, 0, 0.0, 3.0, 2.0, 2.0}, {1, 1, 1.0, 0.0, 2.0, 0.0}}) {
        // clang-format on
        TRotateProps rotate;
        rotate.direction = direction;
        rotate.kind = kind;
        rotate.factor.SetValue(factor);
        rotate.time.SetValue(time);
        EXPECT_DOUBLE_EQ(rotate.GetShiftTime(length), expected) << factor << " " << time;
    }
    // A time longer than the range is refused whatever the kind; exactly the range passes.
    TRotateProps rotate;
    for (auto [kind, time, passes] : std::vector<std::tuple<uint8_t, double, bool>>{
             {TRotateProps::kindFactor, 2.0, false},
             {TRotateProps::kindTime, 2.0, false},
             {TRotateProps::kindTime, -1.0, true},
             {TRotateProps::kindTime, -1.0000001, false}}) {
        rotate.kind = kind;
        rotate.time.SetValue(time);
        std::string message;
        EXPECT_EQ(rotate.CheckTime(1.0, message), passes) << time;
        EXPECT_EQ(message,
                  passes ? "" : "In Time: Time may not be longer than the time of the sound.");
    }

    // Block levels divide 65572 by the height.
    TBlockProps block;
    block.vertKind = TBlockProps::vertKindHeight;
    for (auto [height, levels] : std::vector<std::pair<int16_t, int32_t>>{
             {3277, 20}, {6554, 10}, {32767, 2}, {1, 65572}, {0, 0}, {-5, 0}}) {
        block.height.value = height;
        EXPECT_EQ(block.GetVertBlockCount(), levels) << height;
    }
    block.vertKind = TBlockProps::vertKindCount;
    block.vertCount.SetValue(7);
    EXPECT_EQ(block.GetVertBlockCount(), 7);
    block.horKind = TBlockProps::horKindCount;
    EXPECT_DOUBLE_EQ(block.GetHorBlockTime(2.0), 0.1); // 20 blocks
    block.horCount.SetValue(0);
    EXPECT_EQ(block.GetHorBlockTime(2.0), 0.0);
    block.horKind = TBlockProps::horKindTime;
    EXPECT_DOUBLE_EQ(block.GetHorBlockTime(2.0), 0.01);

    // Length factors of Roll Out and Pitch Tempo (rollOut), and of Change Length (change): count
    // 3 at -200 % gives 1.5; Change Length has no count kind; no range to divide by gives 0.
    // clang-format off
    for (auto [kind, speedFactor, currentLength, rollOutFactor, changeFactor] :
         std::vector<std::tuple<uint8_t, double, double, double, double>>{
             {lengthKindFactor, 1.0, 2.0, 1.25, 1.25}, {lengthKindNew, 1.0, 2.0, 2.0, 2.0},
             {lengthKindNew, 1.0, 0.0, 0.0, 0.0}, {lengthKindCount, -2.0, 2.0, 1.5, 0.0},
             {lengthKindCount, 0.5, 2.0, 6.0, 0.0}, {4, 1.0, 2.0, 0.0, 0.0}}) {
        // clang-format on
        TRollOutProps rollOut;
        TTempoPitchProps tempo;
        TLengthProps change;
        rollOut.lengthKind = tempo.lengthKind = change.lengthKind = kind;
        rollOut.speedFactor.SetValue(speedFactor);
        tempo.speedFactor.SetValue(speedFactor);
        rollOut.lengthFactor.SetValue(1.25);
        tempo.lengthFactor.SetValue(1.25);
        change.lengthFactor.SetValue(1.25);
        rollOut.newLength.SetValue(4.0);
        tempo.newLength.SetValue(4.0);
        change.newLength.SetValue(4.0);
        rollOut.currentLength = tempo.currentLength = currentLength;
        EXPECT_DOUBLE_EQ(rollOut.GetLengthFactor(), rollOutFactor) << int(kind);
        EXPECT_DOUBLE_EQ(tempo.GetLengthFactor(), rollOutFactor) << int(kind);
        EXPECT_DOUBLE_EQ(change.GetLengthFactor(currentLength), changeFactor) << int(kind);
    }
}

TEST(RecordDerived, BlockTrianglePeriodMiddleAndLength)
{
    ScriptedMessages messages;
    TBlockTriangleProps props;

    // The frequency kind: 1 kHz, count 10 makes 0.01 s.
    props.lengthKind = TBlockTriangleProps::lengthCount;
    EXPECT_DOUBLE_EQ(props.GetPeriod(), 0.001);
    EXPECT_DOUBLE_EQ(props.GetLength(), 0.01);
    EXPECT_DOUBLE_EQ(props.GetMiddleFraction(), 0.5);
    EXPECT_FALSE(props.HasMiddleEnvelope());

    // The time kind: 5 ms and 5 ms, count 10 makes 0.1 s; the middle is time 1's share.
    props.BloTriHorKind = bloTriTime;
    EXPECT_DOUBLE_EQ(props.GetPeriod(), 0.01);
    EXPECT_DOUBLE_EQ(props.GetLength(), 0.1);
    props.time1.SetValue(0.003);
    props.time2.SetValue(0.001);
    EXPECT_DOUBLE_EQ(props.GetMiddleFraction(), 0.75);

    // The middle envelope counts only with the frequency kind.
    props.middleKind = TBlockTriangleProps::middleKindEnvelope;
    EXPECT_FALSE(props.HasMiddleEnvelope());
    props.BloTriHorKind = bloTriFrequency;
    EXPECT_TRUE(props.HasMiddleEnvelope());
    EXPECT_TRUE(messages.Shown().empty());

    messages.Expect();
    EXPECT_DOUBLE_EQ(props.GetMiddleFraction(), 0.5); // asks anyway: the box, then goes on
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].caption, "Assertion failed");
    EXPECT_NE(messages.Shown()[0].text.find("Condition \"!HasMiddleEnvelope()\"failed!"),
              std::string::npos);

    props.middleKind = TBlockTriangleProps::middleKindConstant;
    props.BloTriHorKind = 7;
    messages.Expect();
    props.GetMiddleFraction();
    ASSERT_EQ(messages.Shown().size(), 2u);
    EXPECT_NE(messages.Shown()[1].text.find("\"BloTriHorKind == bloTriTime\""), std::string::npos);
    EXPECT_TRUE(messages.Unexpected().empty());

    props.BloTriHorKind = bloTriFrequency;
    props.lengthKind = TBlockTriangleProps::lengthNew;
    EXPECT_DOUBLE_EQ(props.GetLength(), 1.0);
    props.lengthKind = 3;
    EXPECT_EQ(props.GetLength(), 0.0);
}

TEST(RecordDerived, ExponentialLineSinusLeftRightAndFileFormats)
{
    // The defaults (50 % and -50 %) cross; the product does not overflow 16 bits.
    // clang-format off
    for (auto [kind, begin, end, passes] : std::vector<std::tuple<uint8_t, int16_t, int16_t, bool>>{
             {1, 16383, -16384, false}, {1, 16383, 1, true}, {1, -1, -32768, true},
             {1, 0, 100, false}, {1, 100, 0, false}, {1, 32767, 32767, true},
             {1, -32768, -32768, true}, {0, 16383, -16384, true}, {0, 0, 0, true}}) {
        // clang-format on
        TLineProps line;
        line.kind = kind;
        line.beginValue.value = begin;
        line.endValue.value = end;
        std::string message;
        EXPECT_EQ(line.CheckExponential(message), passes) << begin << " " << end;
        EXPECT_EQ(message, passes ? "" : "Exponential Line may not contain value 0.");
    }
    TSinusProps sinus;
    EXPECT_DOUBLE_EQ(sinus.GetLength(), 0.5);
    sinus.lengthKind = TSinusProps::lengthCount;
    EXPECT_DOUBLE_EQ(sinus.GetLength(), 0.5); // 500 periods of 1 ms
    sinus.period.SetValue(0.002);
    sinus.count.SetValue(3.0);
    EXPECT_DOUBLE_EQ(sinus.GetLength(), 0.006);

    // Left-right examples set the shares and keep their units.
    TLeftRightProps props;
    props.leftToRight.SetUnit(EHNone);
    ASSERT_TRUE(props.SetExample(4));
    EXPECT_STREQ(kLeftRightExamples[4].text, "Surround");
    EXPECT_EQ(props.leftToLeft.GetValue(), 0.5);
    EXPECT_EQ(props.leftToRight.GetValue(), -0.5);
    EXPECT_EQ(props.rightToLeft.GetValue(), -0.5);
    EXPECT_EQ(props.rightToRight.GetValue(), 0.5);
    EXPECT_EQ(props.leftToLeft.GetUnit(), EHPerc);
    EXPECT_EQ(props.leftToRight.GetUnit(), EHNone);

    const TLeftRightProps before = props;
    EXPECT_FALSE(props.SetExample(-1));
    EXPECT_FALSE(props.SetExample(8));
    EXPECT_TRUE(props == before);

    // clang-format off
    const char* const texts[] = {"Normal", "Swapped", "Extra Stereo", "Super Stereo", "Surround",
                                 "Mono", "Mono at Left, Surround at Right",
                                 "Mono at Right, Surround at Left"};
    // clang-format on
    for (int item = 0; item < 8; ++item)
        EXPECT_STREQ(kLeftRightExamples[static_cast<size_t>(item)].text, texts[item]);
    ASSERT_TRUE(props.SetExample(6));
    EXPECT_EQ(props.leftToLeft.GetValue(), 0.4);
    EXPECT_EQ(props.leftToRight.GetValue(), -0.8);
    EXPECT_EQ(props.rightToLeft.GetValue(), 0.4);
    EXPECT_EQ(props.rightToRight.GetValue(), 0.8);
    ASSERT_TRUE(props.SetExample(0));
    EXPECT_TRUE(props.leftToLeft.GetValue() == 1.0 && props.rightToRight.GetValue() == 1.0);

    // Valid file formats and the frequency list.
    EXPECT_TRUE(TWaveFileProps(1, 5512, 1).IsValid());
    EXPECT_TRUE(TWaveFileProps(2, 48000, 2).IsValid());
    for (TWaveFileProps bad :
         {TWaveFileProps(0, 44100, 2), TWaveFileProps(3, 44100, 2), TWaveFileProps(1, 44100, 0),
          TWaveFileProps(1, 44100, 3), TWaveFileProps(1, 0, 2), TWaveFileProps(1, -44100, 2)})
        EXPECT_FALSE(bad.IsValid()) << bad.MonoStereo << " " << bad.SampleFreq;
    const std::pair<int32_t, int> shown[] = {{5512, 0},   {11025, 1}, {22050, 2},
                                             {44100, 3},  {88200, 4}, {176128, 5},
                                             {176400, 0}, {48000, 0}, {0, 0}};
    for (const auto& [freq, item] : shown)
        EXPECT_EQ(WaveFileFrequencyItem(freq), item) << freq;
    EXPECT_EQ(WaveFileFrequencyOfItem(5, 44100), 176128);
    // Confirming a 48000 Hz record without touching the list stores the item shown: 5512.
    EXPECT_EQ(WaveFileFrequencyOfItem(WaveFileFrequencyItem(48000), 48000), 5512);
    EXPECT_EQ(WaveFileFrequencyOfItem(-1, 48000), 48000);
    EXPECT_EQ(WaveFileFrequencyOfItem(6, 48000), 48000);
}

} // namespace
} // namespace kelvorn
