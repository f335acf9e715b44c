#include "document/records/OperationRecords.h"

#include "document/records/LengthFactor.h"

#include <algorithm>
#include <cmath>

namespace kelvorn {

double TRotateProps::GetShiftTime(double length) const
{
    double shift = kind == kindFactor ? factor.GetValue() * length : time.GetValue();
    if (direction == directionRight)
        shift = length - shift;
    return std::clamp(shift, 0.0, std::max(length, 0.0));
}

bool TRotateProps::CheckTime(double rangeTime, std::string& message) const
{
    if (std::fabs(time.GetValue()) <= rangeTime)
        return true;
    message = "In Time: Time may not be longer than the time of the sound.";
    return false;
}

double TBlockProps::GetHorBlockTime(double length) const
{
    if (horKind == horKindTime)
        return horTime.GetValue();
    return horCount.GetValue() > 0 ? length / horCount.GetValue() : 0.0;
}

int32_t TBlockProps::GetVertBlockCount() const
{
    if (vertKind == vertKindCount)
        return vertCount.GetValue();
    // 65572, not 65536: the default height of 3277 has always given 20 levels.
    return height.value > 0 ? 65572 / height.value : 0;
}

double TRollOutProps::GetLengthFactor() const
{
    return LengthFactorOf(lengthKind, lengthFactor.GetValue(), newLength.GetValue(), sameLengthAs,
                          count.GetValue(), speedFactor.GetValue(), currentLength, true);
}

double TLengthProps::GetLengthFactor(double currentLength) const
{
    return LengthFactorOf(lengthKind, lengthFactor.GetValue(), newLength.GetValue(), sameLengthAs,
                          0.0, 1.0, currentLength, false);
}

double ReferencedLength(const unitUnitWave& reference)
{
    SoundPtr sound = reference.GetSound();
    return sound ? static_cast<double>(sound->GetTime()) : 0.0;
}

double LengthFactorOf(uint8_t kind, double factor, double newLength, const unitUnitWave& sameAs,
                      double count, double speedFactor, double currentLength, bool countAllowed)
{
    switch (kind) {
    case lengthKindFactor:
        return factor;
    case lengthKindNew:
        return currentLength > 0.0 ? newLength / currentLength : 0.0;
    case lengthKindSameAs:
        return currentLength > 0.0 ? ReferencedLength(sameAs) / currentLength : 0.0;
    case lengthKindCount:
        if (countAllowed && speedFactor != 0.0)
            return count / std::fabs(speedFactor);
        return 0.0;
    default:
        return 0.0;
    }
}

} // namespace kelvorn
