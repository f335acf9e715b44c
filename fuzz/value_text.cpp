// Value text, hostile input: a text read into a value object, written as its stored text and read
// again must give a finite value equal to the first, which writes the same text again; and so
// with the value set to each display unit in turn. Byte 0 picks the value class, byte 1 the wave
// length of a position or the bound of an integer; the rest is the text. Any box (a soft
// assertion) fails.
#include "general/Messages.h"
#include "general/Services.h"
#include "general/values/ValueFormat.h"
#include "general/values/ValueText.h"
#include "general/values/ValueUnits.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace kelvorn;

namespace {

class FailOnBox final : public MessageSink
{
public:
    MsgAnswer Show(const std::string& text, const std::string& caption, MsgIcon,
                   MsgButtons) override
    {
        std::fprintf(stderr, "unexpected box [%s] %s\n", caption.c_str(), text.c_str());
        std::abort();
    }
};

[[noreturn]] void Fail(const char* what, const std::string& a, const std::string& b)
{
    std::fprintf(stderr, "%s: \"%s\" / \"%s\"\n", what, a.c_str(), b.c_str());
    std::abort();
}

constexpr int classCount = 24;

std::unique_ptr<unit> Make(int index, uint8_t parameter)
{
    double length = (parameter % 4 == 0) ? 0.001 : (parameter % 4 == 1 ? 2.0 : 3600.0);
    switch (index) {
    case 0:
        return std::make_unique<unitFactor>();
    case 1:
        return std::make_unique<unitFactorPos>(0.0, EHNone);
    case 2:
        return std::make_unique<unitFactorNotNul>(1.0, EHNone);
    case 3:
        return std::make_unique<unitFactorPosMore>(1.0, EHNone);
    case 4:
        return std::make_unique<unitFactorPosMoreLess1>();
    case 5:
        return std::make_unique<unitFactorPosMax1>();
    case 6:
        return std::make_unique<unitAngleFactor>();
    case 7:
        return std::make_unique<unitAngleFactorMin1Pos1>(0.0, EHNone);
    case 8:
        return std::make_unique<unitAngleFactorPosLess1>();
    case 9:
        return std::make_unique<unitBalAngleFactor>();
    case 10:
        return std::make_unique<unitInteger>();
    case 11:
        return std::make_unique<unitIntegerPos>();
    case 12:
        return std::make_unique<unitIntegerPosMore>(1, EHNone);
    case 13: {
        auto integer = std::make_unique<unitIntegerMoreUser>(0, EHNone);
        integer->SetBound(static_cast<int8_t>(parameter));
        return integer;
    }
    case 14:
        return std::make_unique<unitFysDist>();
    case 15:
        return std::make_unique<unitFysSpeed>();
    case 16:
        return std::make_unique<unitTime>();
    case 17:
        return std::make_unique<unitTimePos>();
    case 18:
        return std::make_unique<unitTimePosMore>(1.0, EHS);
    case 19:
        return std::make_unique<unitFreq>();
    case 20:
        return std::make_unique<unitWaveVal>();
    case 21:
        return std::make_unique<unitWaveValPosMore>(1, EHNone);
    default: {
        auto position = std::make_unique<unitWavePosition>(0.0, EHS, false);
        position->SetLength(length);
        return position;
    }
    }
}

// The value; for a position its place in the wave.
double Read(const unit& object)
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
    return dynamic_cast<const unitWavePosition&>(object).position;
}

// Text -> value -> text -> value -> text from a read value: the value read back is the same and
// writes the same text.
void CheckStored(const unit& first, int index, uint8_t parameter, const std::string& typed)
{
    std::string message;
    std::string stored = first.StoredText();
    if (stored.empty())
        Fail("empty stored text", typed, "");
    std::unique_ptr<unit> second = Make(index, parameter);
    if (!second->FromText(stored, "F", message))
        Fail("stored text refused", stored, message);
    if (Read(*second) != Read(first))
        Fail("value changed through its text", typed, stored);
    std::string again = second->StoredText();
    if (again != stored)
        Fail("stored text changed at the second writing", stored, again);
}

void CheckNumber(const std::string& text)
{
    double value = 0;
    MeasureUnitKind kind = EHNone;
    std::string message;
    if (!ParseValueAndUnit(text, value, kind, message))
        return;
    if (!std::isfinite(value))
        Fail("non-finite number", text, "");
    std::string shown = FormatPrecision(value, 99, true);
    std::string_view cursor = shown;
    double back = 0;
    if (!ParseNumber(cursor, back, message) || !cursor.empty())
        Fail("own digits do not read", text, shown);
    if (std::fabs(back - value) > 1e-14 * std::fabs(value) + 1e-323)
        Fail("own digits read as another number", text, shown);
    if (FormatPrecision(back, 99, true) != shown)
        Fail("own digits show differently", shown, FormatPrecision(back, 99, true));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FailOnBox sink;
    InstallService<MessageSink>(&sink);
    if (size < 2)
        return 0;
    int index = data[0] % classCount;
    uint8_t parameter = data[1];
    std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);

    CheckNumber(text);

    std::unique_ptr<unit> first = Make(index, parameter);
    std::string message;
    if (!first->FromText(text, "F", message))
        return 0;
    if (!std::isfinite(Read(*first)))
        Fail("non-finite value", text, "");
    CheckStored(*first, index, parameter, text);

    // Every display unit, the odd ones included, shows something and stores what reads back.
    for (int kind = 0; kind <= MeasureUnitCount; ++kind) {
        first->SetUnit(static_cast<MeasureUnitKind>(kind));
        if (first->ToText().empty())
            Fail("empty text in another unit", text, "");
        CheckStored(*first, index, parameter, text);
    }
    return 0;
}
