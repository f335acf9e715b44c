#include "document/records/GeneratorRecords.h"

#include "document/records/OperationRecords.h"
#include "general/Assert.h"

#include <cstdint>

namespace kelvorn {

bool TLineProps::CheckExponential(std::string& message) const
{
    if (kind != kindExponential ||
        static_cast<int32_t>(beginValue.value) * static_cast<int32_t>(endValue.value) > 0)
        return true;
    message = "Exponential Line may not contain value 0.";
    return false;
}

bool TBlockTriangleProps::HasMiddleEnvelope() const
{
    return BloTriHorKind == bloTriFrequency && middleKind == middleKindEnvelope;
}

double TBlockTriangleProps::GetPeriod() const
{
    if (BloTriHorKind == bloTriTime)
        return time1.GetValue() + time2.GetValue();
    return period.GetValue();
}

double TBlockTriangleProps::GetMiddleFraction() const
{
    KV_SOFT_ASSERT(!HasMiddleEnvelope());
    if (BloTriHorKind == bloTriFrequency)
        return middle.GetValue();
    KV_SOFT_ASSERT(BloTriHorKind == bloTriTime);
    const double sum = time1.GetValue() + time2.GetValue();
    return sum > 0.0 ? time1.GetValue() / sum : 0.0;
}

double TBlockTriangleProps::GetLength() const
{
    switch (lengthKind) {
    case lengthNew:
        return newLength.GetValue();
    case lengthSameAs:
        return ReferencedLength(sameLengthAs);
    case lengthCount:
        return count.GetValue() * GetPeriod();
    default:
        return 0.0;
    }
}

double TSinusProps::GetLength() const
{
    if (lengthKind == lengthTime)
        return length.GetValue();
    return count.GetValue() * period.GetValue();
}

} // namespace kelvorn
