#include "document/records/ComplexRecords.h"

#include "document/records/LengthFactor.h"

#include <cstddef>

namespace kelvorn {

const std::array<LeftRightExample, 8> kLeftRightExamples{{
    {"Normal", 1.0, 0.0, 0.0, 1.0},
    {"Swapped", 0.0, 1.0, 1.0, 0.0},
    {"Extra Stereo", 0.75, -0.25, -0.25, 0.75},
    {"Super Stereo", 0.5, -0.25, -0.25, 0.5},
    {"Surround", 0.5, -0.5, -0.5, 0.5},
    {"Mono", 0.5, 0.5, 0.5, 0.5},
    {"Mono at Left, Surround at Right", 0.4, -0.8, 0.4, 0.8},
    {"Mono at Right, Surround at Left", 0.8, 0.4, -0.8, 0.4},
}};

bool TLeftRightProps::SetExample(int item)
{
    if (item < 0 || item >= static_cast<int>(kLeftRightExamples.size()))
        return false;
    const LeftRightExample& example = kLeftRightExamples[static_cast<size_t>(item)];
    leftToLeft.SetValue(example.leftToLeft);
    leftToRight.SetValue(example.leftToRight);
    rightToLeft.SetValue(example.rightToLeft);
    rightToRight.SetValue(example.rightToRight);
    return true;
}

double TTempoPitchProps::GetLengthFactor() const
{
    return LengthFactorOf(lengthKind, lengthFactor.GetValue(), newLength.GetValue(), sameLengthAs,
                          count.GetValue(), speedFactor.GetValue(), currentLength, true);
}

} // namespace kelvorn
