#include "general/values/ValueUnits.h"

#include "general/values/NoBoxes.h"
#include "general/values/ValueFormat.h"
#include "general/values/ValueText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
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
        using Field = decltype([] {
            if constexpr (std::is_base_of_v<unitInteger, T> || std::is_same_v<T, unitColor>)
                return int32_t{};
            else if constexpr (std::is_base_of_v<unitWaveVal, T>)
                return int16_t{};
            else
                return double{};
        }());
        return std::make_unique<T>(static_cast<Field>(value), kind);
    };
}

constexpr double waveLength = 2.0;

Maker PositionMaker(bool fromEnd)
{
    return [fromEnd](double value, MeasureUnitKind kind) -> std::unique_ptr<unit> {
        auto position = std::make_unique<unitWavePosition>(value, kind, fromEnd);
        position->SetLength(waveLength);
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

double ValueOf(const unit& object)
{
    if (auto* factor = dynamic_cast<const unitFactor*>(&object))
        return factor->GetValue();
    if (auto* integer = dynamic_cast<const unitInteger*>(&object))
        return integer->GetValue();
    if (auto* length = dynamic_cast<const unitFysDist*>(&object))
        return length->GetValue();
    if (auto* speed = dynamic_cast<const unitFysSpeed*>(&object))
        return speed->GetValue();
    if (auto* time = dynamic_cast<const unitTime*>(&object))
        return time->GetValue();
    if (auto* frequency = dynamic_cast<const unitFreq*>(&object))
        return frequency->value;
    if (auto* sample = dynamic_cast<const unitWaveVal*>(&object))
        return sample->value;
    if (auto* position = dynamic_cast<const unitWavePosition*>(&object))
        return position->position;
    if (auto* colour = dynamic_cast<const unitColor*>(&object))
        return colour->color;
    return std::nan("");
}

bool FromEndOf(const unit& object)
{
    auto* position = dynamic_cast<const unitWavePosition*>(&object);
    return position && position->fromEnd;
}

// ---- the class table ------------------------------------------------------------------------

struct ClassCase
{
    const char* name;
    std::function<std::unique_ptr<unit>()> make;
    int constraint;
    MeasureUnitKind defaultUnit;
};

TEST_F(ValueUnits, EveryClassHasItsConstraintAndDefaultUnit)
{
    auto def = [](auto tag) { return [] { return std::unique_ptr<unit>(new decltype(tag)()); }; };
    auto with = [](Maker maker, MeasureUnitKind kind) {
        return [maker, kind] { return maker(0, kind); };
    };
    const ClassCase cases[] = {
        {"unitFactor", def(unitFactor()), 0, EHNone},
        {"unitFactorPos", with(MakerOf<unitFactorPos>(), EHNone), 3, EHNone},
        {"unitFactorNotNul", with(MakerOf<unitFactorNotNul>(), EHNone), 1, EHNone},
        {"unitFactorPosMore", with(MakerOf<unitFactorPosMore>(), EHNone), 5, EHNone},
        {"unitFactorPosMoreLess1", def(unitFactorPosMoreLess1()), 7, EHNone},
        {"unitFactorPosMax1", def(unitFactorPosMax1()), 6, EHNone},
        {"unitAngleFactor", def(unitAngleFactor()), 0, EHNone},
        {"unitAngleFactorMin1Pos1", with(MakerOf<unitAngleFactorMin1Pos1>(), EHNone), 10, EHNone},
        {"unitAngleFactorPosLess1", def(unitAngleFactorPosLess1()), 8, EHNone},
        {"unitBalAngleFactor", def(unitBalAngleFactor()), 10, EHNone},
        {"unitInteger", def(unitInteger()), 0, EHNone},
        {"unitIntegerPos", def(unitIntegerPos()), 3, EHNone},
        {"unitIntegerPosMore", with(MakerOf<unitIntegerPosMore>(), EHNone), 5, EHNone},
        {"unitIntegerMoreUser", with(BoundMaker(0), EHNone), 0, EHNone},
        {"unitFysDist", def(unitFysDist()), 0, EHM},
        {"unitFysSpeed", def(unitFysSpeed()), 0, EHMpS},
        {"unitTime", def(unitTime()), 0, EHS},
        {"unitTimePos", def(unitTimePos()), 3, EHS},
        {"unitTimePosMore", with(MakerOf<unitTimePosMore>(), EHS), 5, EHS},
        {"unitFreq", def(unitFreq()), 0, EHHZ},
        {"unitWaveVal", def(unitWaveVal()), 0, EHNone},
        {"unitWaveValPosMore", with(MakerOf<unitWaveValPosMore>(), EHNone), 5, EHNone},
        {"unitWavePosition", with(PositionMaker(false), EHS), 0, EHS},
        {"unitColor", with(MakerOf<unitColor>(), EHNone), 0, EHNone},
    };
    for (const ClassCase& c : cases) {
        std::unique_ptr<unit> object = c.make();
        EXPECT_EQ(object->GetConstraint(), c.constraint) << c.name;
        EXPECT_EQ(object->GetUnit(), c.defaultUnit) << c.name;
        EXPECT_EQ(ValueOf(*object), 0.0) << c.name;
    }
}

// ---- typing -----------------------------------------------------------------------------------

TEST_F(ValueUnits, SetTextMsgShowsTheFirstBadFieldOnceAndSkipsTheRest)
{
    unitFactorPosMax1 gain(0.25, EHNone);
    unitTime delay(1, EHS);
    unitInteger count(3, EHNone);
    bool ok = true;
    messages.Expect();
    gain.SetTextMsg(ok, "150 %", "Gain");
    delay.SetTextMsg(ok, "2 s", "Delay"); // valid, but skipped after the first bad field
    count.SetTextMsg(ok, "x", "Count");
    EXPECT_FALSE(ok);
    ShownMessage box = OnlyBox();
    EXPECT_EQ(box.text, "In Gain: Value must be no more than 1.");
    EXPECT_EQ(box.caption, "Input Error");
    EXPECT_EQ(box.icon, MsgIcon::Information);
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    EXPECT_EQ(gain.GetValue(), 0.25);
    EXPECT_EQ(delay.GetValue(), 1.0);
    EXPECT_EQ(count.GetValue(), 3);
}

TEST_F(ValueUnits, SetTextMsgWithOkAlreadyFalseNeitherParsesNorShows)
{
    unitTime delay(1, EHS);
    bool ok = false;
    delay.SetTextMsg(ok, "2 s", "Delay");
    delay.SetTextMsg(ok, "nonsense", "Delay");
    EXPECT_FALSE(ok);
    EXPECT_EQ(delay.GetValue(), 1.0);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(ValueUnits, SetTextMsgOnGoodTextsKeepsOkAndStores)
{
    unitFreq pitch;
    unitFysSpeed speed;
    bool ok = true;
    pitch.SetTextMsg(ok, "A5", "Pitch");
    speed.SetTextMsg(ok, "2 mach", "Speed");
    EXPECT_TRUE(ok);
    EXPECT_EQ(pitch.value, NoteFrequency(9, 5));
    EXPECT_EQ(pitch.GetUnit(), EHNote);
    EXPECT_EQ(speed.GetValue(), 686);
    EXPECT_EQ(speed.GetUnit(), EHMach);
}

TEST_F(ValueUnits, SetTextFailsQuietly)
{
    unitTimePosMore delay(1, EHS);
    bool ok = true;
    delay.SetText(ok, "0 s", "Delay");
    EXPECT_FALSE(ok);
    EXPECT_EQ(delay.GetValue(), 1.0);
    EXPECT_TRUE(messages.Shown().empty());
}

struct BadTextCase
{
    const char* name;
    Maker make;
    double value;
    MeasureUnitKind kind;
    std::string text;
    std::string message;
};

TEST_F(ValueUnits, AFailedFromTextNamesTheLabelAndKeepsTheObject)
{
    const BadTextCase cases[] = {
        {"factor", MakerOf<unitFactorPosMax1>(), 0.5, EHPerc, "150 %",
         "In L: Value must be no more than 1."},
        {"angle", MakerOf<unitAngleFactorPosLess1>(), 0.5, EHAngle, "360 '",
         "In L: Fase is too high. (maximum: less than 360' )"},
        {"balance", MakerOf<unitBalAngleFactor>(), 0.5, EHAngle, "100 '",
         "In L: Balance Angle is too high. (maximum: 90' )"},
        {"integer", MakerOf<unitInteger>(), 5, EHNone, "2147483648",
         "In L: Invalid value: \"2147483648\"."},
        {"user bound", BoundMaker(10), 12, EHNone, "10", "In L: Value must be more than 10."},
        {"length", MakerOf<unitFysDist>(), 3, EHKM, "0 Hz", "In L: You cannot use 0 with 'Hz'."},
        {"speed", MakerOf<unitFysSpeed>(), 3, EHMach, "3 m",
         "In L: Wrong unit used, use: 'm/s', 'km/h', 'mph', 'mach', 'knots'."},
        {"time", MakerOf<unitTimePos>(), 3, EHMS, "-1 s", "In L: Value must be positive."},
        {"frequency", MakerOf<unitFreq>(), 440, EHKHZ, "0 m", "In L: You cannot use 0 with 'm'."},
        {"wave value", MakerOf<unitWaveVal>(), 7, EHValue, "2",
         "In L: Wave Value is too high. (maximum: 1)"},
        {"position",
         [](double value, MeasureUnitKind kind) -> std::unique_ptr<unit> {
             auto position = std::make_unique<unitWavePosition>(value, kind, true);
             position->SetLength(0.01);
             return position;
         },
         0.005, EHS, "A1", "In L: Position must be before the end of the wave"},
        {"huge", MakerOf<unitFactor>(), 1, EHNone, "1e+999",
         "In L: " + std::string(OutOfRangeMessage)},
    };
    for (const BadTextCase& c : cases) {
        std::unique_ptr<unit> object = c.make(c.value, c.kind);
        std::string message;
        EXPECT_FALSE(object->FromText(c.text, "L", message)) << c.name;
        EXPECT_EQ(message, c.message) << c.name;
        EXPECT_EQ(ValueOf(*object), c.value) << c.name;
        EXPECT_EQ(object->GetUnit(), c.kind) << c.name;
        EXPECT_EQ(FromEndOf(*object), c.name == std::string("position")) << c.name;
    }
}

TEST_F(ValueUnits, APositionParseClearsTheFromEndFlag)
{
    unitWavePosition position(1.5, EHS, true);
    position.SetLength(2);
    std::string message;
    ASSERT_TRUE(position.FromText("0.5 s", "P", message));
    EXPECT_FALSE(position.fromEnd);
    ASSERT_TRUE(position.FromText("-0.5 s", "P", message));
    EXPECT_TRUE(position.fromEnd);
    EXPECT_EQ(position.position, 1.5);
    EXPECT_EQ(position.ToText(), "-0.5 s");
}

// ---- log units, lengths, colours ----------------------------------------------------------------

TEST_F(ValueUnits, ConstraintClassesDropDecibelsWhenTheValueHasNoLogarithm)
{
    unitFactorPos gain(2, EHDB);
    EXPECT_EQ(gain.ToText(), "6.02 dB");
    gain.SetValue(0);
    EXPECT_EQ(gain.GetUnit(), EHNone);
    EXPECT_EQ(gain.ToText(), "0");

    unitAngleFactor angle(2, EHOctave);
    angle.SetValue(-1);
    EXPECT_EQ(angle.GetUnit(), EHNone);
    unitFactorPosMore more(2, EHDB);
    more.SetValue(std::nan(""));
    EXPECT_EQ(more.GetUnit(), EHNone);
    more.SetValue(4);
    EXPECT_EQ(more.GetUnit(), EHNone); // a unit once dropped does not come back
    unitFactorNotNul kept(2, EHOctave);
    kept.SetValue(4);
    EXPECT_EQ(kept.GetUnit(), EHOctave);
    EXPECT_EQ(kept.ToText(), "2 octave");

    // The plain factor keeps its unit, yet never shows the logarithm of 0.
    unitFactor plain(2, EHDB);
    plain.SetValue(0);
    EXPECT_EQ(plain.GetUnit(), EHDB);
    EXPECT_EQ(plain.ToText(), "0");
}

TEST_F(ValueUnits, ToTextDigitsIgnoresTheDisplayUnit)
{
    unitFactor gain(0.123456, EHPerc);
    EXPECT_EQ(gain.ToTextDigits(2, 3, 4), "00.1234");
    EXPECT_EQ(gain.ToTextDigits(1, 0, 2), "0.12");
}

TEST_F(ValueUnits, TimeTypedInMillisecondsIsWrittenAndReadInMilliseconds)
{
    unitTime delay;
    std::string message;
    ASSERT_TRUE(delay.FromText("1500 ms", "Delay", message));
    EXPECT_EQ(delay.GetValue(), 1.5);
    TXMLComplexElement parent("Record");
    delay.AddToXML(parent, "Delay");
    ASSERT_NE(parent.GetLastChild(), nullptr);
    EXPECT_EQ(parent.GetLastChild()->GetElement(), "Delay");
    EXPECT_EQ(parent.GetLastChild()->GetText(), "1500 ms");

    parent.GetLastChild()->SetPosition(12, 5);
    unitTime back(9, EHKHZ);
    int32_t line = 0, column = 0;
    ASSERT_TRUE(back.ReadXML(parent.GetLastChild(), message, line, column));
    EXPECT_EQ(back.GetValue(), 1.5);
    EXPECT_EQ(back.GetUnit(), EHMS);
    EXPECT_EQ(line, 12);
    EXPECT_EQ(column, 5);
}

TEST_F(ValueUnits, ReadXMLNamesTheElementInItsMessage)
{
    TXMLComplexElement parent("Record");
    parent.AddText("Volume", "150 %");
    unitFactorPosMax1 volume;
    std::string message;
    int32_t line = -1, column = -1;
    EXPECT_FALSE(volume.ReadXML(parent.GetLastChild(), message, line, column));
    EXPECT_EQ(message, "In Volume: Value must be no more than 1.");
    EXPECT_EQ(line, 0);
    EXPECT_EQ(column, 0);

    TXMLComplexElement* nested = parent.AddComplex("Gain");
    EXPECT_FALSE(volume.ReadXML(nested, message, line, column));
    EXPECT_EQ(message, "In Gain: Input has no value.");

    messages.Expect();
    EXPECT_FALSE(volume.ReadXML(nullptr, message, line, column));
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "ValueUnits.cpp", "xmlElement != NULL"));
}

TEST_F(ValueUnits, AWavePositionShownRelativelyKeepsItsPlaceWhenTheLengthChanges)
{
    unitWavePosition relative(0, EHS, false);
    relative.SetLength(2);
    std::string message;
    ASSERT_TRUE(relative.FromText("25 %", "P", message));
    EXPECT_EQ(relative.position, 0.5);
    relative.SetLength(4);
    EXPECT_EQ(relative.position, 1.0);
    EXPECT_EQ(relative.ToText(), "25 %");

    unitWavePosition absolute(0.5, EHS, false);
    absolute.SetLength(2);
    absolute.SetLength(4);
    EXPECT_EQ(absolute.position, 0.5);
    EXPECT_EQ(absolute.ToText(), "0.5 s");

    // The first length does not scale: there is nothing to be relative to yet.
    unitWavePosition first(0.5, EHPerc, false);
    first.SetLength(4);
    EXPECT_EQ(first.position, 0.5);

    messages.Expect();
    first.SetLength(0);
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "ValueUnits.cpp", "length > 0"));
}

TEST_F(ValueUnits, ColoursAreSixHexDigits)
{
    unitColor colour(0x0000FF, EHNone);
    EXPECT_EQ(colour.ToText(), "0000FF");
    TXMLComplexElement parent("Palette");
    colour.AddToXML(parent, "Colour");
    EXPECT_EQ(parent.GetLastChild()->GetText(), "0000FF");

    struct HexCase
    {
        std::string text;
        bool ok;
        int32_t colour;
    };
    const HexCase cases[] = {
        {"00FF00", true, 0x00FF00}, {"ff8800", true, 0xFF8800}, {"0", true, 0},
        {"FFFFFFFF", true, -1},     {"GG", false, 0},           {"", false, 0},
        {" 12", false, 0},          {"123456789", false, 0},    {"0x12", false, 0},
    };
    for (const HexCase& c : cases) {
        parent.AddText("Colour", c.text);
        unitColor read(0x123456, EHNone);
        std::string message;
        int32_t line = 0, column = 0;
        EXPECT_EQ(read.ReadXML(parent.GetLastChild(), message, line, column), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(read.color, c.colour) << c.text;
        } else {
            EXPECT_EQ(message, "In Colour: Invalid Hexdecimal value: \"" + c.text + "\".");
            EXPECT_EQ(read.color, 0x123456);
        }
    }
}

TEST_F(ValueUnits, AColourIsNeverTyped)
{
    unitColor colour(0x00FF00, EHNone);
    std::string message;
    messages.Expect();
    EXPECT_FALSE(colour.FromText("00FF00", "Colour", message));
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "ValueUnits.cpp", "false"));
    EXPECT_EQ(colour.color, 0x00FF00);
}

TEST_F(ValueUnits, FrequencyFlagAndPrecision)
{
    unitFreq pitch(440, EHFreq);
    EXPECT_EQ(pitch.flag, 0);
    EXPECT_EQ(pitch.ToText(), "440.0000 Hz");
    EXPECT_EQ(pitch.ToTextPrecision(4), "440.0 Hz");
    pitch.SetUnit(EHHZ);
    pitch.value = 1.0 / 3;
    EXPECT_EQ(pitch.ToTextPrecision(3), "0.33 hz"); // below 1 the leading 0 counts
    EXPECT_EQ(pitch.ToTextPrecision(10), "0.333333333 hz");
    unitFreq copy = pitch;
    copy.value = 5;
    EXPECT_EQ(pitch.value, 1.0 / 3) << "values are copied, not shared";
}

// ---- round trips ------------------------------------------------------------------------------

struct RoundTripCase
{
    const char* name;
    Maker make;
    double value;
    MeasureUnitKind kind;
    std::string stored;       // the text a file holds
    MeasureUnitKind kindBack; // the display unit after reading it
};

void PrintTo(const RoundTripCase& c, std::ostream* out)
{
    *out << c.name << " " << c.value << " in " << GetMeasureName(c.kind);
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

const RoundTripCase roundTrips[] = {
    // factors
    {"unitFactor", MakerOf<unitFactor>(), 0.25, EHNone, "0.25", EHNone},
    {"unitFactor", MakerOf<unitFactor>(), 0.25, EHPerc, "25 %", EHPerc},
    {"unitFactor", MakerOf<unitFactor>(), std::pow(10.0, 0.05 * 6), EHDB, "6 dB", EHDB},
    // no number of dB reads back as this one: exact in the base unit
    {"unitFactor", MakerOf<unitFactor>(), std::pow(10.0, 0.3), EHDB, "1.9952623149688795", EHNone},
    {"unitFactor", MakerOf<unitFactor>(), 2, EHOctave, "1 octave", EHOctave},
    {"unitFactor", MakerOf<unitFactor>(), 0.25, EHAngle, "0.25", EHNone}, // shown, not typed
    {"unitFactor", MakerOf<unitFactor>(), 0.25, EHS, "0.25", EHNone},
    {"unitFactor", MakerOf<unitFactor>(), 1e16, EHNone, "10000000000000000", EHNone},
    {"unitFactor", MakerOf<unitFactor>(), -1.0 / 3, EHNone, "-0.3333333333333333", EHNone},
    {"unitFactorPos", MakerOf<unitFactorPos>(), 1.5, EHNone, "1.5", EHNone},
    {"unitFactorNotNul", MakerOf<unitFactorNotNul>(), -2, EHPerc, "-200 %", EHPerc},
    {"unitFactorPosMore", MakerOf<unitFactorPosMore>(), 3, EHDB, "9.542425094393248 dB", EHDB},
    {"unitFactorPosMoreLess1", MakerOf<unitFactorPosMoreLess1>(), 0.5, EHPerc, "50 %", EHPerc},
    // cut onto the limit: written exactly instead
    {"unitFactorPosMoreLess1", MakerOf<unitFactorPosMoreLess1>(), 0.99999999999999989, EHNone,
     "0.9999999999999999", EHNone},
    {"unitFactorPosMax1", MakerOf<unitFactorPosMax1>(), 1, EHNone, "1", EHNone},
    {"unitAngleFactor", MakerOf<unitAngleFactor>(), 0.75, EHAngle, "270 '", EHAngle},
    {"unitAngleFactor", MakerOf<unitAngleFactor>(), 0.25, EHPerc, "25 %", EHPerc},
    {"unitAngleFactorMin1Pos1", MakerOf<unitAngleFactorMin1Pos1>(), 0.5, EHNone, "0.5", EHNone},
    {"unitAngleFactorPosLess1", MakerOf<unitAngleFactorPosLess1>(), 0.5, EHAngle, "180 '", EHAngle},
    {"unitBalAngleFactor", MakerOf<unitBalAngleFactor>(), 0.5, EHAngle, "45 '", EHAngle},
    {"unitBalAngleFactor", MakerOf<unitBalAngleFactor>(), -1, EHPerc, "-100 %", EHPerc},
    {"unitBalAngleFactor", MakerOf<unitBalAngleFactor>(), 0.5, EHDB, "0.5", EHNone},
    // integers
    {"unitInteger", MakerOf<unitInteger>(), 42, EHNone, "42", EHNone},
    {"unitInteger", MakerOf<unitInteger>(), -2147483648.0, EHPerc, "-2147483648", EHNone},
    {"unitIntegerPos", MakerOf<unitIntegerPos>(), 0, EHNone, "0", EHNone},
    {"unitIntegerPosMore", MakerOf<unitIntegerPosMore>(), 2147483647, EHNone, "2147483647", EHNone},
    {"unitIntegerMoreUser", BoundMaker(3), 12, EHNone, "12", EHNone},
    // lengths
    {"unitFysDist", MakerOf<unitFysDist>(), 1.5, EHM, "1.5 m", EHM},
    {"unitFysDist", MakerOf<unitFysDist>(), 0.05, EHDM, "0.5 dm", EHDM},
    {"unitFysDist", MakerOf<unitFysDist>(), 0.05, EHCM, "5 cm", EHCM},
    {"unitFysDist", MakerOf<unitFysDist>(), 0.05, EHMM, "50 mm", EHMM},
    {"unitFysDist", MakerOf<unitFysDist>(), 2000, EHKM, "2 km", EHKM},
    {"unitFysDist", MakerOf<unitFysDist>(), 1609, EHMile, "1 mile", EHMile},
    {"unitFysDist", MakerOf<unitFysDist>(), 1852, EHNautMile, "1 nmile", EHNautMile},
    {"unitFysDist", MakerOf<unitFysDist>(), 3 * 0.3048, EHFeet, "3 feet", EHFeet},
    {"unitFysDist", MakerOf<unitFysDist>(), 0.9144, EHFeet, "0.9144 m", EHM},
    {"unitFysDist", MakerOf<unitFysDist>(), 0.3048, EHInch, "12.000000000000002 inch", EHInch},
    {"unitFysDist", MakerOf<unitFysDist>(), 343, EHS, "1 s", EHS},
    {"unitFysDist", MakerOf<unitFysDist>(), 0.343, EHMS, "1 ms", EHMS},
    {"unitFysDist", MakerOf<unitFysDist>(), 1, EHHZ, "343 hz", EHHZ},
    {"unitFysDist", MakerOf<unitFysDist>(), 1, EHKHZ, "0.343 khz", EHKHZ},
    {"unitFysDist", MakerOf<unitFysDist>(), 0, EHHZ, "0 m", EHM},
    {"unitFysDist", MakerOf<unitFysDist>(), 3, EHMpS, "3 m", EHM},
    // speeds
    {"unitFysSpeed", MakerOf<unitFysSpeed>(), 3, EHMpS, "3 m/s", EHMpS},
    {"unitFysSpeed", MakerOf<unitFysSpeed>(), 0.27778, EHKMpH, "1 km/h", EHKMpH},
    {"unitFysSpeed", MakerOf<unitFysSpeed>(), 0.44694, EHMpH, "1 mph", EHMpH},
    {"unitFysSpeed", MakerOf<unitFysSpeed>(), 343, EHMach, "1 mach", EHMach},
    {"unitFysSpeed", MakerOf<unitFysSpeed>(), 1852.0 / 3600, EHKnots, "1 knots", EHKnots},
    {"unitFysSpeed", MakerOf<unitFysSpeed>(), 3, EHM, "3 m/s", EHMpS},
    // times
    {"unitTime", MakerOf<unitTime>(), 1.5, EHMS, "1500 ms", EHMS},
    {"unitTime", MakerOf<unitTime>(), 0.5, EHS, "0.5 s", EHS},
    {"unitTime", MakerOf<unitTime>(), 0.5, EHHZ, "2 hz", EHHZ},
    {"unitTime", MakerOf<unitTime>(), 0.0005, EHKHZ, "2 khz", EHKHZ},
    {"unitTime", MakerOf<unitTime>(), 75.5, EHTime, "75.5 s", EHS},      // a clock text
    {"unitTime", MakerOf<unitTime>(), 1e-7, EHTime, "0.0000001 s", EHS}, // not "0.00000 s"
    {"unitTime", MakerOf<unitTime>(), 1, EHM, "343 m", EHM},
    {"unitTime", MakerOf<unitTime>(), 1 / c5, EHNote, "C5", EHNote},
    {"unitTime", MakerOf<unitTime>(), 0.125, EHNote, "0.125 s", EHS}, // no note's period
    {"unitTime", MakerOf<unitTime>(), 0, EHHZ, "0 s", EHS},
    {"unitTime", MakerOf<unitTime>(), 2, EHPerc, "2 s", EHS},
    {"unitTime", MakerOf<unitTime>(), 1.23456789, EHS, "1.23456789 s", EHS}, // shows 1.234567
    // cut to its digits it would lose one unit of the last at every save
    {"unitTime", MakerOf<unitTime>(), 0.001 / 9.99999999999999e81, EHKHZ,
     "9.99999999999999e+81 khz", EHKHZ},
    {"unitTimePos", MakerOf<unitTimePos>(), 0, EHS, "0 s", EHS},
    {"unitTimePosMore", MakerOf<unitTimePosMore>(), 0.001, EHMS, "1 ms", EHMS},
    // frequencies
    {"unitFreq", MakerOf<unitFreq>(), 440, EHHZ, "440 hz", EHHZ},
    {"unitFreq", MakerOf<unitFreq>(), 44100, EHKHZ, "44.1 khz", EHKHZ},
    {"unitFreq", MakerOf<unitFreq>(), 2, EHS, "0.5 s", EHS},
    {"unitFreq", MakerOf<unitFreq>(), 100, EHMS, "10 ms", EHMS},
    {"unitFreq", MakerOf<unitFreq>(), 50, EHFreq, "50 hz", EHHZ}, // shown "50.00000 Hz"
    {"unitFreq", MakerOf<unitFreq>(), 1e-7, EHFreq, "0.0000001 hz", EHHZ},
    {"unitFreq", MakerOf<unitFreq>(), 343, EHM, "1 m", EHM},
    {"unitFreq", MakerOf<unitFreq>(), a5, EHNote, "A5", EHNote},
    {"unitFreq", MakerOf<unitFreq>(), 0, EHS, "0 hz", EHHZ},
    {"unitFreq", MakerOf<unitFreq>(), 0, EHM, "0 hz", EHHZ},
    {"unitFreq", MakerOf<unitFreq>(), 440, EHDB, "440 hz", EHHZ},
    // wave values
    {"unitWaveVal", MakerOf<unitWaveVal>(), 16383, EHNone, "0.5", EHNone},
    {"unitWaveVal", MakerOf<unitWaveVal>(), 16383, EHPerc, "50 %", EHPerc},
    {"unitWaveVal", MakerOf<unitWaveVal>(), -1234, EHValue, "-1234 $", EHValue},
    {"unitWaveVal", MakerOf<unitWaveVal>(), -32768, EHValue, "-32768 $", EHValue},
    {"unitWaveVal", MakerOf<unitWaveVal>(), 32767, EHNone, "1", EHNone},
    {"unitWaveVal", MakerOf<unitWaveVal>(), 1, EHNone, "3.051850947599719e-05", EHNone}, // shows 0
    {"unitWaveVal", MakerOf<unitWaveVal>(), 123, EHS, "123 $", EHValue},
    {"unitWaveValPosMore", MakerOf<unitWaveValPosMore>(), 1, EHNone, "3.051850947599719e-05",
     EHNone},
    // wave positions in a wave of two seconds
    {"unitWavePosition", PositionMaker(false), 0.5, EHS, "0.5 s", EHS},
    {"unitWavePosition", PositionMaker(false), 0.5, EHMS, "500 ms", EHMS},
    {"unitWavePosition", PositionMaker(false), 0.5, EHHZ, "2 hz", EHHZ},
    {"unitWavePosition", PositionMaker(false), 0.5, EHKHZ, "0.002 khz", EHKHZ},
    {"unitWavePosition", PositionMaker(false), 1, EHNone, "0.5", EHNone},
    {"unitWavePosition", PositionMaker(false), 0.5, EHPerc, "25 %", EHPerc},
    {"unitWavePosition", PositionMaker(false), 0.5, EHAngle, "90 '", EHAngle},
    {"unitWavePosition", PositionMaker(false), 1, EHM, "343 m", EHM},
    {"unitWavePosition", PositionMaker(false), 1 / a5, EHNote, "A5", EHNote},
    {"unitWavePosition", PositionMaker(false), 0, EHHZ, "0 s", EHS},
    {"unitWavePosition", PositionMaker(false), 0.5, EHTime, "0.5 s", EHS},
    {"unitWavePosition", PositionMaker(true), 1.5, EHS, "-0.5 s", EHS},
    {"unitWavePosition", PositionMaker(true), 1.5, EHMS, "-500 ms", EHMS},
    {"unitWavePosition", PositionMaker(false), 1.9999999999999998, EHPerc, "99.99999999999999 %",
     EHPerc},
    // colours
    // a colour is read, never typed, and reading leaves its display unit alone
    {"unitColor", MakerOf<unitColor>(), 0x00FF00, EHNone, "00FF00", EHError},
    {"unitColor", MakerOf<unitColor>(), -1, EHNone, "FFFFFFFF", EHError},
};

INSTANTIATE_TEST_SUITE_P(EveryClassAndUnit, RoundTrip, ::testing::ValuesIn(roundTrips));

// Every class in every display unit, with values its range admits: the stored text is never
// empty, its reader gives the very value again, and that value writes the same text.
TEST_F(ValueUnits, AWriterNeverWritesWhatItsReaderRefuses)
{
    struct Family
    {
        const char* name;
        Maker make;
        std::vector<double> values;
        std::string baseSuffix; // the base unit's text, to ask whether the range admits a value
    };
    const std::vector<double> reals = {0, 1e-7,      0.25, 0.5,  0.999, 1,      1.5,
                                       3, 1234.5678, 1e16, -0.5, -3,    1e-300, -1e300};
    const std::vector<double> samples = {0, 1, -1, 16383, 32767, -32768};
    const std::vector<double> integers = {0, 1, -5, 2147483647, -2147483648.0};
    const std::vector<double> places = {0, 1e-7, 0.5, 1.999, 1.9999999999999998};
    const Family families[] = {
        {"unitFactor", MakerOf<unitFactor>(), reals, ""},
        {"unitFactorPos", MakerOf<unitFactorPos>(), reals, ""},
        {"unitFactorNotNul", MakerOf<unitFactorNotNul>(), reals, ""},
        {"unitFactorPosMore", MakerOf<unitFactorPosMore>(), reals, ""},
        {"unitFactorPosMoreLess1", MakerOf<unitFactorPosMoreLess1>(), reals, ""},
        {"unitFactorPosMax1", MakerOf<unitFactorPosMax1>(), reals, ""},
        {"unitAngleFactor", MakerOf<unitAngleFactor>(), reals, ""},
        {"unitAngleFactorMin1Pos1", MakerOf<unitAngleFactorMin1Pos1>(), reals, ""},
        {"unitAngleFactorPosLess1", MakerOf<unitAngleFactorPosLess1>(), reals, ""},
        {"unitBalAngleFactor", MakerOf<unitBalAngleFactor>(), reals, ""},
        {"unitInteger", MakerOf<unitInteger>(), integers, ""},
        {"unitIntegerPos", MakerOf<unitIntegerPos>(), integers, ""},
        {"unitIntegerPosMore", MakerOf<unitIntegerPosMore>(), integers, ""},
        {"unitIntegerMoreUser", BoundMaker(-1), integers, ""},
        {"unitFysDist", MakerOf<unitFysDist>(), reals, " m"},
        {"unitFysSpeed", MakerOf<unitFysSpeed>(), reals, " m/s"},
        {"unitTime", MakerOf<unitTime>(), reals, " s"},
        {"unitTimePos", MakerOf<unitTimePos>(), reals, " s"},
        {"unitTimePosMore", MakerOf<unitTimePosMore>(), reals, " s"},
        {"unitFreq", MakerOf<unitFreq>(), reals, " hz"},
        {"unitWaveVal", MakerOf<unitWaveVal>(), samples, " $"},
        {"unitWaveValPosMore", MakerOf<unitWaveValPosMore>(), samples, " $"},
        {"unitWavePosition", PositionMaker(false), places, " s"},
        {"unitWavePosition from end", PositionMaker(true), places, " s"},
    };
    int checked = 0;
    for (const Family& family : families) {
        for (double value : family.values) {
            // Only values the class's range admits are the writer's promise: a value set by its
            // owner outside the range (a negative angle, a 0 where more than 0 is asked) is the
            // owner's fault.
            std::unique_ptr<unit> plain = family.make(value, EHNone);
            double fromStart = ValueOf(*plain) - (FromEndOf(*plain) ? waveLength : 0);
            std::unique_ptr<unit> admitted = family.make(77, EHError);
            std::string message;
            if (!admitted->FromText(FormatExact(fromStart) + family.baseSuffix, "", message) ||
                ValueOf(*admitted) != ValueOf(*plain))
                continue;
            for (int kind = 0; kind <= MeasureUnitCount; ++kind) {
                std::unique_ptr<unit> object =
                    family.make(value, static_cast<MeasureUnitKind>(kind));
                std::string text = object->StoredText();
                ASSERT_FALSE(text.empty()) << family.name << " " << value << " " << kind;
                std::unique_ptr<unit> back = family.make(77, EHError);
                TXMLComplexElement parent("R");
                object->AddToXML(parent, "F");
                int32_t line = 0, column = 0;
                ASSERT_TRUE(back->ReadXML(parent.GetLastChild(), message, line, column))
                    << family.name << " " << value << " in " << kind << ": \"" << text << "\" "
                    << message;
                double expected = ValueOf(*object);
                double got = ValueOf(*back);
                if (FromEndOf(*object) != FromEndOf(*back)) {
                    // A relative display unit keeps the place, not the counting from the end.
                    EXPECT_TRUE(kind == EHNone || kind == EHPerc || kind == EHAngle) << kind;
                }
                EXPECT_EQ(got, expected)
                    << family.name << " " << value << " in " << kind << ": \"" << text << "\"";
                EXPECT_EQ(back->StoredText(), text)
                    << family.name << " " << value << " in " << kind;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 2000);
}

} // namespace
