#include "general/values/ValueUnits.h"

#include "general/values/NoBoxes.h"
#include "general/values/ValueFormat.h"
#include "general/values/ValueText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace kelvorn;
using kelvorn::testing::IsAssertionBox;

namespace {

using ValueUnits = kelvorn::testing::NoBoxes<>;

using Maker = std::function<std::unique_ptr<unit>(double value, MeasureUnitKind kind)>;

template <class T> Maker MakerOf()
{
    return [](double value, MeasureUnitKind kind) -> std::unique_ptr<unit> {
        if constexpr (std::is_base_of_v<unitInteger, T> || std::is_same_v<T, unitColor>)
            return std::make_unique<T>(static_cast<int32_t>(value), kind);
        else if constexpr (std::is_base_of_v<unitWaveVal, T>)
            return std::make_unique<T>(static_cast<int16_t>(value), kind);
        else
            return std::make_unique<T>(value, kind);
    };
}

constexpr double waveLength = 2.0;

Maker PositionMaker(bool fromEnd, double length = waveLength)
{
    return [fromEnd, length](double value, MeasureUnitKind kind) -> std::unique_ptr<unit> {
        auto position = std::make_unique<unitWavePosition>(value, kind, fromEnd);
        position->SetLength(length);
        return position;
    };
}

Maker BoundMaker(int32_t bound)
{
    return [bound](double value, MeasureUnitKind kind) -> std::unique_ptr<unit> {
        auto integer = std::make_unique<unitIntegerMoreUser>(static_cast<int32_t>(value), kind);
        integer->SetBound(bound);
        return integer;
    };
}

/// The number an object holds, through the accessor its classes share with their text makers.
struct Peek : unit
{
    static double Of(const unit& object) { return (object.*&Peek::Number)(); }
};
double ValueOf(const unit& object)
{
    return Peek::Of(object);
}

bool FromEndOf(const unit& object)
{
    auto* position = dynamic_cast<const unitWavePosition*>(&object);
    return position && position->fromEnd;
}

const Maker factor = MakerOf<unitFactor>(), factorPos = MakerOf<unitFactorPos>(),
            factorNotNul = MakerOf<unitFactorNotNul>(),
            factorPosMore = MakerOf<unitFactorPosMore>(),
            factorLess1 = MakerOf<unitFactorPosMoreLess1>(),
            factorMax1 = MakerOf<unitFactorPosMax1>(), angle = MakerOf<unitAngleFactor>(),
            angleMin1Pos1 = MakerOf<unitAngleFactorMin1Pos1>(),
            angleLess1 = MakerOf<unitAngleFactorPosLess1>(),
            balance = MakerOf<unitBalAngleFactor>(), integer = MakerOf<unitInteger>(),
            integerPos = MakerOf<unitIntegerPos>(), integerPosMore = MakerOf<unitIntegerPosMore>(),
            length = MakerOf<unitFysDist>(), speed = MakerOf<unitFysSpeed>(),
            time = MakerOf<unitTime>(), timePos = MakerOf<unitTimePos>(),
            timePosMore = MakerOf<unitTimePosMore>(), frequency = MakerOf<unitFreq>(),
            sample = MakerOf<unitWaveVal>(), samplePosMore = MakerOf<unitWaveValPosMore>(),
            place = PositionMaker(false), placeFromEnd = PositionMaker(true),
            colour = MakerOf<unitColor>();

// ---- typing -----------------------------------------------------------------------------------

TEST_F(ValueUnits, SetTextMsgShowsTheFirstBadFieldOnceAndSkipsTheRest)
{
    unitFactorPosMax1 gain(0.25, EHNone);
    unitTime delay(1, EHS);
    unitInteger count(3, EHNone);
    unitFreq pitch;
    unitFysSpeed fast;
    bool ok = true;
    pitch.SetTextMsg(ok, "A5", "Pitch");
    fast.SetTextMsg(ok, "2 mach", "Speed");
    EXPECT_TRUE(ok);
    EXPECT_EQ(std::tuple(pitch.value, pitch.GetUnit(), fast.GetValue(), fast.GetUnit()),
              std::tuple(NoteFrequency(9, 5), EHNote, 686.0, EHMach));
    messages.Expect();
    gain.SetTextMsg(ok, "150 %", "Gain");
    delay.SetTextMsg(ok, "2 s", "Delay"); // valid, but skipped after the first bad field
    count.SetTextMsg(ok, "x", "Count");
    EXPECT_FALSE(ok);
    EXPECT_EQ(OnlyBox().caption + ": " + OnlyBox().text, // the box of ShowFieldInputError
              "Input Error: In Gain: Value must be no more than 1.");
    EXPECT_EQ(std::tuple(gain.GetValue(), delay.GetValue(), count.GetValue()),
              std::tuple(0.25, 1.0, 3));
    // Quietly: the same, without a box.
    unitTimePosMore positive(1, EHS);
    ok = true;
    positive.SetText(ok, "0 s", "Delay");
    positive.SetText(ok, "2 s", "Delay");
    EXPECT_FALSE(ok);
    EXPECT_EQ(positive.GetValue(), 1.0);
    EXPECT_EQ(messages.Shown().size(), 1u);
}

TEST_F(ValueUnits, AFailedFromTextNamesTheLabelAndKeepsTheObject)
{
    // clang-format off
    const std::tuple<Maker, double, MeasureUnitKind, std::string, std::string> cases[] = {
        {factorMax1, 0.5, EHPerc, "150 %", "Value must be no more than 1."},
        {angleLess1, 0.5, EHAngle, "360 '", "Fase is too high. (maximum: less than 360' )"},
        {balance, 0.5, EHAngle, "100 '", "Balance Angle is too high. (maximum: 90' )"},
        {integer, 5, EHNone, "2147483648", "Invalid value: \"2147483648\"."},
        {BoundMaker(10), 12, EHNone, "10", "Value must be more than 10."},
        {length, 3, EHKM, "0 Hz", "You cannot use 0 with 'Hz'."},
        {speed, 3, EHMach, "3 m", "Wrong unit used, use: 'm/s', 'km/h', 'mph', 'mach', 'knots'."},
        {timePos, 3, EHMS, "-1 s", "Value must be positive."},
        {frequency, 440, EHKHZ, "0 m", "You cannot use 0 with 'm'."},
        {sample, 7, EHValue, "2", "Wave Value is too high. (maximum: 1)"},
        {PositionMaker(true, 0.01), 0.005, EHS, "A1",
         "Position must be before the end of the wave"},
        {factor, 1, EHNone, "1e+999", std::string(OutOfRangeMessage)}};
    // clang-format on
    for (const auto& [make, value, kind, text, expected] : cases) {
        std::unique_ptr<unit> object = make(value, kind);
        std::string message;
        EXPECT_FALSE(object->FromText(text, "L", message)) << text;
        EXPECT_EQ(message, "In L: " + expected);
        EXPECT_EQ(ValueOf(*object), value) << text;
        EXPECT_EQ(object->GetUnit(), kind) << text;
        EXPECT_EQ(FromEndOf(*object), text == "A1") << text;
    }
    messages.Expect();
    unitColor never(0x00FF00, EHNone);
    std::string message;
    EXPECT_FALSE(never.FromText("00FF00", "Colour", message));
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "ValueUnits.cpp", "false"));
    EXPECT_EQ(never.color, 0x00FF00);
}

TEST_F(ValueUnits, AWavePositionKeepsItsPlaceAsTypedWhenTheLengthChanges)
{
    auto state = [](const unitWavePosition& p) {
        return FormatExact(p.position) + (p.fromEnd ? " from the end, " : ", ") + p.ToText();
    };
    unitWavePosition position(1.5, EHS, true);
    position.SetLength(2);
    std::string message;
    ASSERT_TRUE(position.FromText("0.5 s", "P", message));
    EXPECT_EQ(state(position), "0.5, 0.5 s");
    ASSERT_TRUE(position.FromText("-0.5 s", "P", message));
    EXPECT_EQ(state(position), "1.5 from the end, -0.5 s");
    unitWavePosition relative(0, EHS, false);
    relative.SetLength(2);
    ASSERT_TRUE(relative.FromText("25 %", "P", message));
    EXPECT_EQ(state(relative), "0.5, 25 %");
    relative.SetLength(4);
    EXPECT_EQ(state(relative), "1, 25 %");
    unitWavePosition absolute(0.5, EHS, false);
    absolute.SetLength(2);
    absolute.SetLength(4);
    EXPECT_EQ(state(absolute), "0.5, 0.5 s");
    // The first length does not scale: there is nothing to be relative to yet.
    unitWavePosition first(0.5, EHPerc, false);
    first.SetLength(4);
    EXPECT_EQ(first.position, 0.5);
    messages.Expect();
    first.SetLength(0);
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "ValueUnits.cpp", "length > 0"));
}

// ---- display ----------------------------------------------------------------------------------

TEST_F(ValueUnits, ConstraintClassesDropDecibelsWhenTheValueHasNoLogarithm)
{
    // clang-format off
    const std::pair<Maker, int> rules[] = {
        {factor, 0}, {factorPos, 3}, {factorNotNul, 1}, {factorPosMore, 5}, {factorLess1, 7},
        {factorMax1, 6}, {angle, 0}, {angleMin1Pos1, 10}, {angleLess1, 8}, {balance, 10},
        {integer, 0}, {integerPos, 3}, {integerPosMore, 5}, {BoundMaker(-1), 0}, {length, 0},
        {speed, 0}, {time, 0}, {timePos, 3}, {timePosMore, 5}, {frequency, 0}, {sample, 0},
        {samplePosMore, 5}, {place, 0}};
    // clang-format on
    for (const auto& [make, code] : rules)
        EXPECT_EQ(make(0, EHNone)->GetConstraint(), code) << code;
    auto shown = [](const unit& u) {
        return u.ToText() + " in " + std::string(GetMeasureName(u.GetUnit()));
    };
    unitFactorPos gain(2, EHDB);
    EXPECT_EQ(shown(gain), "6.02 dB in EHDB");
    gain.SetValue(0);
    EXPECT_EQ(shown(gain), "0 in EHNone");
    unitAngleFactor turn(2, EHOctave);
    turn.SetValue(-1);
    EXPECT_EQ(turn.GetUnit(), EHNone);
    unitFactorPosMore more(2, EHDB);
    more.SetValue(std::nan(""));
    EXPECT_EQ(more.GetUnit(), EHNone);
    more.SetValue(4);
    EXPECT_EQ(more.GetUnit(), EHNone); // a unit once dropped does not come back
    unitFactorNotNul kept(2, EHOctave);
    kept.SetValue(4);
    EXPECT_EQ(shown(kept), "2 octave in EHOctave");
    // The plain factor keeps its unit, yet never shows the logarithm of 0.
    unitFactor plain(2, EHDB);
    plain.SetValue(0);
    EXPECT_EQ(shown(plain), "0 in EHDB");
    unitFactor digits(0.123456, EHPerc);
    EXPECT_EQ(digits.ToTextDigits(2, 3, 4) + " " + digits.ToTextDigits(1, 0, 2), "00.1234 0.12");
    unitFreq pitch(440, EHFreq);
    EXPECT_EQ(pitch.flag, 0);
    EXPECT_EQ(pitch.ToTextPrecision(4), "440.0 Hz");
    pitch.SetUnit(EHHZ);
    pitch.value = 1.0 / 3;
    // below 1 the leading 0 counts
    EXPECT_EQ(pitch.ToTextPrecision(3) + ", " + pitch.ToTextPrecision(10),
              "0.33 hz, 0.333333333 hz");
}

// ---- files ------------------------------------------------------------------------------------

TEST_F(ValueUnits, ReadXMLTakesThePositionAndNamesTheElement)
{
    TXMLComplexElement parent("Record");
    unitTime(1.5, EHMS).AddToXML(parent, "Delay");
    parent.GetLastChild()->SetPosition(12, 5);
    unitTime back(9, EHKHZ);
    std::string message;
    int32_t line = 0, column = 0;
    ASSERT_TRUE(back.ReadXML(parent.GetLastChild(), message, line, column));
    EXPECT_EQ(back.GetValue(), 1.5);
    EXPECT_EQ(back.GetUnit(), EHMS);
    EXPECT_EQ(std::pair(line, column), std::pair(12, 5));

    parent.AddText("Volume", "150 %");
    unitFactorPosMax1 volume;
    EXPECT_FALSE(volume.ReadXML(parent.GetLastChild(), message, line, column));
    EXPECT_EQ(message, "In Volume: Value must be no more than 1.");
    EXPECT_EQ(std::pair(line, column), std::pair(0, 0));
    EXPECT_FALSE(volume.ReadXML(parent.AddComplex("Gain"), message, line, column));
    EXPECT_EQ(message, "In Gain: Input has no value.");

    // Colours are six hex digits, read without the unit reader.
    const std::tuple<std::string, bool, int32_t> hex[] = {
        {"00FF00", true, 0x00FF00}, {"ff8800", true, 0xFF8800}, {"0", true, 0},
        {"FFFFFFFF", true, -1},     {"GG", false, 0},           {"", false, 0},
        {" 12", false, 0},          {"123456789", false, 0},    {"0x12", false, 0}};
    for (const auto& [text, good, expected] : hex) {
        parent.AddText("Colour", text);
        unitColor read(0x123456, EHNone);
        bool ok = read.ReadXML(parent.GetLastChild(), message, line, column);
        EXPECT_EQ(ok, good) << text;
        EXPECT_EQ(read.color, ok ? expected : 0x123456) << text;
        if (!ok) {
            EXPECT_EQ(message, "In Colour: Invalid Hexdecimal value: \"" + text + "\".");
        }
    }
    messages.Expect();
    EXPECT_FALSE(volume.ReadXML(nullptr, message, line, column));
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "ValueUnits.cpp", "xmlElement != NULL"));
}

struct RoundTripCase
{
    Maker make;
    double value;
    MeasureUnitKind kind;
    std::string stored;       // the text a file holds
    MeasureUnitKind kindBack; // the display unit after reading it
};

void PrintTo(const RoundTripCase& c, std::ostream* out)
{
    *out << c.value << " in " << GetMeasureName(c.kind) << " as \"" << c.stored << '"';
}

class RoundTrip : public kelvorn::testing::NoBoxes<::testing::TestWithParam<RoundTripCase>>
{
};

TEST_P(RoundTrip, ThroughXMLAndThroughTyping)
{
    const RoundTripCase& c = GetParam();
    std::unique_ptr<unit> original = c.make(c.value, c.kind);
    TXMLComplexElement parent("Record");
    original->AddToXML(parent, "Field");
    const TXMLItem* element = parent.GetLastChild();
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->GetElement(), "Field");
    EXPECT_EQ(element->GetText(), c.stored);

    std::unique_ptr<unit> back = c.make(77, EHError);
    std::string message;
    int32_t line = 0, column = 0;
    ASSERT_TRUE(back->ReadXML(element, message, line, column)) << message;
    EXPECT_EQ(ValueOf(*back), ValueOf(*original));
    EXPECT_EQ(back->GetUnit(), c.kindBack);
    EXPECT_EQ(FromEndOf(*back), FromEndOf(*original));

    // Where the display text is what the file holds, typing it gives the same again.
    if (original->ToText() == c.stored && dynamic_cast<unitColor*>(original.get()) == nullptr) {
        std::unique_ptr<unit> typed = c.make(77, EHError);
        ASSERT_TRUE(typed->FromText(original->ToText(), "Field", message)) << message;
        EXPECT_EQ(ValueOf(*typed), ValueOf(*back));
        EXPECT_EQ(typed->GetUnit(), back->GetUnit());
    }
}

const double c5 = 523.26;
const double a5 = NoteFrequency(9, 5);

// Shown texts that read back exactly are stored as shown; where no shown text does (a number
// of dB, digits cut), exact digits in the display unit, else in the base unit.
// clang-format off
const RoundTripCase roundTrips[] = {
    {factor, 0.25, EHNone, "0.25", EHNone}, {factor, 0.25, EHPerc, "25 %", EHPerc},
    {factor, std::pow(10.0, 0.05 * 6), EHDB, "6 dB", EHDB},
    {factor, std::pow(10.0, 0.3), EHDB, "1.9952623149688795", EHNone},
    {factor, 2, EHOctave, "1 octave", EHOctave}, {factor, 0.25, EHS, "0.25", EHNone},
    {factor, 0.25, EHAngle, "0.25", EHNone}  /* shown, not typed */,
    {factor, 1e16, EHNone, "10000000000000000", EHNone},
    {factor, -1.0 / 3, EHNone, "-0.3333333333333333", EHNone},
    {factorPos, 1.5, EHNone, "1.5", EHNone}, {factorNotNul, -2, EHPerc, "-200 %", EHPerc},
    {factorPosMore, 3, EHDB, "9.542425094393248 dB", EHDB},
    {factorLess1, 0.5, EHPerc, "50 %", EHPerc},
    {factorLess1, 0.99999999999999989, EHNone, "0.9999999999999999", EHNone}  /* not cut onto 1 */,
    {factorMax1, 1, EHNone, "1", EHNone}, {angle, 0.75, EHAngle, "270 '", EHAngle},
    {angle, 0.25, EHPerc, "25 %", EHPerc}, {angleMin1Pos1, 0.5, EHNone, "0.5", EHNone},
    {angleLess1, 0.5, EHAngle, "180 '", EHAngle}, {balance, 0.5, EHAngle, "45 '", EHAngle},
    {balance, -1, EHPerc, "-100 %", EHPerc}, {balance, 0.5, EHDB, "0.5", EHNone},
    {integer, 42, EHNone, "42", EHNone}, {integer, -2147483648.0, EHPerc, "-2147483648", EHNone},
    {integerPos, 0, EHNone, "0", EHNone}, {BoundMaker(3), 12, EHNone, "12", EHNone},
    {integerPosMore, 2147483647, EHNone, "2147483647", EHNone}, {length, 1.5, EHM, "1.5 m", EHM},
    {length, 0.05, EHDM, "0.5 dm", EHDM}, {length, 0.05, EHCM, "5 cm", EHCM},
    {length, 0.05, EHMM, "50 mm", EHMM}, {length, 2000, EHKM, "2 km", EHKM},
    {length, 1609, EHMile, "1 mile", EHMile}, {length, 1852, EHNautMile, "1 nmile", EHNautMile},
    {length, 0.9144, EHFeet, "0.9144 m", EHM}, {length, 3 * 0.3048, EHFeet, "3 feet", EHFeet},
    {length, 0.3048, EHInch, "12.000000000000002 inch", EHInch}, {length, 343, EHS, "1 s", EHS},
    {length, 0.343, EHMS, "1 ms", EHMS}, {length, 1, EHHZ, "343 hz", EHHZ},
    {length, 1, EHKHZ, "0.343 khz", EHKHZ}, {length, 0, EHHZ, "0 m", EHM},
    {length, 3, EHMpS, "3 m", EHM}, {speed, 3, EHMpS, "3 m/s", EHMpS},
    {speed, 0.27778, EHKMpH, "1 km/h", EHKMpH}, {speed, 0.44694, EHMpH, "1 mph", EHMpH},
    {speed, 343, EHMach, "1 mach", EHMach}, {speed, 1852.0 / 3600, EHKnots, "1 knots", EHKnots},
    {speed, 3, EHM, "3 m/s", EHMpS}, {time, 1.5, EHMS, "1500 ms", EHMS},
    {time, 0.5, EHS, "0.5 s", EHS}, {time, 0.5, EHHZ, "2 hz", EHHZ},
    {time, 0.0005, EHKHZ, "2 khz", EHKHZ}, {time, 75.5, EHTime, "75.5 s", EHS}  /* a clock text */,
    {time, 1e-7, EHTime, "0.0000001 s", EHS}  /* not "0.00000 s" */, {time, 1, EHM, "343 m", EHM},
    {time, 1 / c5, EHNote, "C5", EHNote}, {time, 0.125, EHNote, "0.125 s", EHS}  /* no note */,
    {time, 0, EHHZ, "0 s", EHS}, {time, 2, EHPerc, "2 s", EHS},
    {time, 1.23456789, EHS, "1.23456789 s", EHS}  /* shown 1.234567 */,
    // cut to its digits it would lose one unit of the last at every save
    {time, 0.001 / 9.99999999999999e81, EHKHZ, "9.99999999999999e+81 khz", EHKHZ},
    {timePos, 0, EHS, "0 s", EHS}, {timePosMore, 0.001, EHMS, "1 ms", EHMS},
    {frequency, 440, EHHZ, "440 hz", EHHZ}, {frequency, 44100, EHKHZ, "44.1 khz", EHKHZ},
    {frequency, 2, EHS, "0.5 s", EHS}, {frequency, 100, EHMS, "10 ms", EHMS},
    {frequency, 50, EHFreq, "50 hz", EHHZ}  /* shown "50.00000 Hz" */,
    {frequency, 1e-7, EHFreq, "0.0000001 hz", EHHZ}, {frequency, 343, EHM, "1 m", EHM},
    {frequency, a5, EHNote, "A5", EHNote}, {frequency, 0, EHS, "0 hz", EHHZ},
    {frequency, 0, EHM, "0 hz", EHHZ}, {frequency, 440, EHDB, "440 hz", EHHZ},
    {sample, 16383, EHNone, "0.5", EHNone}, {sample, 16383, EHPerc, "50 %", EHPerc},
    {sample, -1234, EHValue, "-1234 $", EHValue}, {sample, -32768, EHValue, "-32768 $", EHValue},
    {sample, 32767, EHNone, "1", EHNone},
    {sample, 1, EHNone, "3.051850947599719e-05", EHNone}  /* shown 0 */,
    {sample, 123, EHS, "123 $", EHValue},
    {samplePosMore, 1, EHNone, "3.051850947599719e-05", EHNone}, {place, 0.5, EHS, "0.5 s", EHS},
    {place, 0.5, EHMS, "500 ms", EHMS}, {place, 0.5, EHHZ, "2 hz", EHHZ},
    {place, 0.5, EHKHZ, "0.002 khz", EHKHZ}, {place, 1, EHNone, "0.5", EHNone},
    {place, 0.5, EHPerc, "25 %", EHPerc}, {place, 0.5, EHAngle, "90 '", EHAngle},
    {place, 1, EHM, "343 m", EHM}, {place, 1 / a5, EHNote, "A5", EHNote},
    {place, 0, EHHZ, "0 s", EHS}, {place, 0.5, EHTime, "0.5 s", EHS},
    {placeFromEnd, 1.5, EHS, "-0.5 s", EHS}, {placeFromEnd, 1.5, EHMS, "-500 ms", EHMS},
    {place, 1.9999999999999998, EHPerc, "99.99999999999999 %", EHPerc},
    // a colour is read, never typed, and reading leaves its display unit alone
    {colour, 0x00FF00, EHNone, "00FF00", EHError}, {colour, -1, EHNone, "FFFFFFFF", EHError}};
// clang-format on

INSTANTIATE_TEST_SUITE_P(EveryClassAndUnit, RoundTrip, ::testing::ValuesIn(roundTrips));

} // namespace
