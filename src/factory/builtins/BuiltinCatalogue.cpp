#include "factory/builtins/BuiltinCatalogue.h"

#include <array>

namespace kelvorn {

namespace {

using T = ValueDomType;
using D = ValueDomain;
using R = TBuiltinRuleKind;

// ---- pins: one set per group of kinds that share it, inputs then outputs in list order ----

// 0 Volume
constexpr TBuiltinPin volumeIn[] = {
    {"Wave", 0, T::Wave, D::AllValues},
    {"Factor", 0.25, T::Factor, D::AllValues},
    {"Envelope", 0.5, T::Wave, D::AllValues},
    {"Position Begin", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin volumeOut[] = {
    {"Result", 0.5, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 1 Balance
constexpr TBuiltinPin balanceIn[] = {
    {"Wave", 0, T::Wave, D::Mono},
    {"Angle", 0.2, T::BalanceAngle, D::NegOneInclPosOneIncl},
    {"Envelope", 0.4, T::Wave, D::AllValues},
    {"Time Difference", 0.7, T::Boolean, D::AllValues},
    {"Volume Difference", 0.9, T::Boolean, D::AllValues},
    {"Filter Difference", 1, T::Boolean, D::AllValues},
};
constexpr TBuiltinPin balanceOut[] = {
    {"Result", 0.5, T::Wave, D::AllValues},
};

// 2 MaxVolume, 4 NormalizeVertically, 5 Reverse
constexpr TBuiltinPin maxVolumeIn[] = {
    {"Wave", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin maxVolumeOut[] = {
    {"Result", 0.5, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 3 RollIn
constexpr TBuiltinPin rollInIn[] = {
    {"Wave", 0, T::Wave, D::AllValues},
    {"Length", 0.3, T::Time, D::Positive},
    {"Position Roll Begin", 0.5, T::PlaceWave, D::ZeroInclOneExcl},
    {"Position Roll End", 0.6, T::PlaceWave, D::ZeroInclOneExcl},
    {"Position Begin", 0.85, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin rollInOut[] = {
    {"Result", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 6 MoveVertically
constexpr TBuiltinPin moveVerticallyIn[] = {
    {"Wave", 0, T::Wave, D::AllValues},
    {"Add Value", 0.25, T::WaveValue, D::AllValues},
    {"Position Begin", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin moveVerticallyOut[] = {
    {"Result", 0.5, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 7 MixLeftRight
constexpr TBuiltinPin mixLeftRightIn[] = {
    {"Wave", 0, T::Wave, D::Stereo},
    {"Volume Left to Left", 0.25, T::Factor, D::AllValues},
    {"Volume Right to Left", 0.35, T::Factor, D::AllValues},
    {"Volume Left to Right", 0.55, T::Factor, D::AllValues},
    {"Volume Right to Right", 0.65, T::Factor, D::AllValues},
    {"Position Begin", 0.85, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin mixLeftRightOut[] = {
    {"Result", 0.5, T::Wave, D::Stereo},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 8 Distort
constexpr TBuiltinPin distortIn[] = {
    {"Wave", 0, T::Wave, D::AllValues},
    {"Envelope", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin distortOut[] = {
    {"Result", 0.5, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 9 ChangeLength
constexpr TBuiltinPin changeLengthIn[] = {
    {"Wave", 0.1, T::Wave, D::AllValues},
    {"Length", 0.4, T::Time, D::Positive},
    {"Length Factor", 0.6, T::Factor, D::AllValues},
    {"Position Begin", 0.9, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin changeLengthOut[] = {
    {"Result", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 10 RollOut
constexpr TBuiltinPin rollOutIn[] = {
    {"Wave", 0, T::Wave, D::AllValues},
    {"Speed Factor", 0.2, T::Factor, D::AllValues},
    {"Speed Envelope", 0.3, T::Wave, D::Mono},
    {"Length", 0.5, T::Time, D::Positive},
    {"Length Factor", 0.55, T::Factor, D::Positive},
    {"Count", 0.6, T::Factor, D::Positive},
    {"Start Position", 0.75, T::PlaceWave, D::ZeroInclOneExcl},
    {"Position Begin", 0.9, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin rollOutOut[] = {
    {"Result", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 11 SplitHorizontally
constexpr TBuiltinPin splitHorizontallyIn[] = {
    {"Wave", 0.4, T::Wave, D::AllValues},
    {"Position", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin splitHorizontallyOut[] = {
    {"Result Before", 0.3, T::Wave, D::AllValues},
    {"Result After", 0.7, T::Wave, D::AllValues},
};

// 12 SplitVertically
constexpr TBuiltinPin splitVerticallyIn[] = {
    {"Wave", 0.5, T::Wave, D::Stereo},
};
constexpr TBuiltinPin splitVerticallyOut[] = {
    {"Result Left", 0.3, T::Wave, D::Mono},
    {"Result Right", 0.7, T::Wave, D::Mono},
};

// 13 MoveHorizontallyMono
constexpr TBuiltinPin moveHorizontallyMonoIn[] = {
    {"Wave", 0.1, T::Wave, D::Mono},
    {"Time Move", 0.4, T::Time, D::AllValues},
    {"Envelope", 0.6, T::Wave, D::AllValues},
    {"Position Begin", 0.9, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin moveHorizontallyMonoOut[] = {
    {"Result", 0.3, T::Wave, D::Mono},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 14 MoveHorizontallyStereo
constexpr TBuiltinPin moveHorizontallyStereoIn[] = {
    {"Wave", 0, T::Wave, D::Stereo},
    {"Time Move Left", 0.3, T::Time, D::AllValues},
    {"Time Move Right", 0.4, T::Time, D::AllValues},
    {"Envelope", 0.6, T::Wave, D::AllValues},
    {"Position Begin", 0.9, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin moveHorizontallyStereoOut[] = {
    {"Result", 0.3, T::Wave, D::Stereo},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 15 Block
constexpr TBuiltinPin blockIn[] = {
    {"Wave", 0, T::Wave, D::Stereo},
    {"Count Horizontal", 0.2, T::Integer, D::PositiveNotZero},
    {"Time Horizontal", 0.3, T::Time, D::PositiveNotZero},
    {"Count Vertical", 0.5, T::Integer, D::PositiveNotZero},
    {"Height", 0.6, T::WaveValue, D::AllValues},
    {"Position Begin", 0.9, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin blockOut[] = {
    {"Result", 0.3, T::Wave, D::Stereo},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 16 LowFilter, 17 HighFilter
constexpr TBuiltinPin lowFilterIn[] = {
    {"Wave", 0, T::Wave, D::AllValues},
    {"Frequency", 0.15, T::Time, D::PositiveNotZero},
    {"Envelope", 0.25, T::Wave, D::AllValues},
    {"Volume Factor", 0.4, T::Factor, D::ZeroExclOneExcl},
    {"Filter Count", 0.55, T::Integer, D::PositiveNotZero},
    {"Normalize Volume", 0.7, T::Boolean, D::AllValues},
    {"Position Begin", 0.9, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin lowFilterOut[] = {
    {"Result", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 18 ResonantFilter, 19 NotchFilter
constexpr TBuiltinPin resonantFilterIn[] = {
    {"Wave", 0, T::Wave, D::AllValues},
    {"Frequency", 0.2, T::Time, D::PositiveNotZero},
    {"Frequency Envelope", 0.3, T::Wave, D::AllValues},
    {"Frequency Width", 0.5, T::Factor, D::ZeroInclOneIncl},
    {"Frequency Width Envelope", 0.6, T::Wave, D::AllValues},
    {"Position Begin", 0.9, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin resonantFilterOut[] = {
    {"Result", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 20 BlockFilter
constexpr TBuiltinPin blockFilterIn[] = {
    {"Wave", 0.1, T::Wave, D::AllValues},
    {"Block Time", 0.4, T::Time, D::AllValues},
    {"Envelope", 0.5, T::Wave, D::AllValues},
    {"Position Begin", 0.75, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.85, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin blockFilterOut[] = {
    {"Result", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 21 PeriodEcho
constexpr TBuiltinPin periodEchoIn[] = {
    {"Wave", 0.1, T::Wave, D::AllValues},
    {"Time", 0.3, T::Time, D::AllValues},
    {"Time Envelope", 0.35, T::Wave, D::AllValues},
    {"Volume", 0.45, T::Factor, D::AllValues},
    {"Volume Envelope", 0.5, T::Wave, D::AllValues},
    {"Echo Count", 0.6, T::Integer, D::PositiveNotZero},
    {"Position Begin", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.9, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin periodEchoOut[] = {
    {"Result", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 22 Delete, 23 Trim
constexpr TBuiltinPin deleteIn[] = {
    {"Wave", 0.1, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin deleteOut[] = {
    {"Result", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 24 InsertReplace
constexpr TBuiltinPin insertReplaceIn[] = {
    {"Wave", 0.1, T::Wave, D::AllValues},
    {"Insert Wave", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.75, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.85, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin insertReplaceOut[] = {
    {"Result", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 25 TempoPitch
constexpr TBuiltinPin tempoPitchIn[] = {
    {"Wave", 0, T::Wave, D::AllValues},
    {"Frequency Factor", 0.1, T::Factor, D::NotZero},
    {"Frequency Factor Envelope", 0.15, T::Wave, D::AllValues},
    {"Speed Factor", 0.25, T::Factor, D::NotZero},
    {"Speed Factor Envelope", 0.3, T::Wave, D::AllValues},
    {"Length", 0.4, T::Time, D::Positive},
    {"Length Factor", 0.45, T::Factor, D::Positive},
    {"Count", 0.5, T::Factor, D::Positive},
    {"Start Position", 0.6, T::PlaceWave, D::ZeroInclOneExcl},
    {"High Quality", 0.7, T::Boolean, D::AllValues},
    {"Block Size", 0.8, T::Time, D::PositiveNotZero},
    {"Position Begin", 0.95, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin tempoPitchOut[] = {
    {"Result", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 26 MakeSilence
constexpr TBuiltinPin makeSilenceIn[] = {
    {"Wave", 0.1, T::Wave, D::AllValues},
    {"Length", 0.3, T::Time, D::PositiveNotZero},
    {"Position Begin", 0.75, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.85, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin makeSilenceOut[] = {
    {"Result", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 27 MakeLine
constexpr TBuiltinPin makeLineIn[] = {
    {"Wave", 0, T::Wave, D::AllValues},
    {"Length", 0.2, T::Time, D::PositiveNotZero},
    {"Height Begin", 0.35, T::WaveValue, D::AllValues},
    {"Height End", 0.45, T::WaveValue, D::AllValues},
    {"Linear", 0.6, T::Boolean, D::AllValues},
    {"Exponential", 0.7, T::Boolean, D::AllValues},
    {"Position Begin", 0.9, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin makeLineOut[] = {
    {"Result", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 28 MakeBlock, 29 MakeTriangle
constexpr TBuiltinPin makeBlockIn[] = {
    {"Wave", 0, T::Wave, D::AllValues},
    {"Height 1", 0.1, T::WaveValue, D::AllValues},
    {"Height 2", 0.15, T::WaveValue, D::AllValues},
    {"Frequency", 0.3, T::Time, D::PositiveNotZero},
    {"Middle", 0.4, T::PlaceWave, D::ZeroInclOneExcl},
    {"Middle Envelope", 0.45, T::Wave, D::AllValues},
    {"Length", 0.6, T::Time, D::PositiveNotZero},
    {"Count", 0.65, T::Factor, D::Positive},
    {"Start Position", 0.75, T::PlaceWave, D::ZeroInclOneExcl},
    {"Position Begin", 0.9, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin makeBlockOut[] = {
    {"Result", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 30 MakeSinus
constexpr TBuiltinPin makeSinusIn[] = {
    {"Wave", 0, T::Wave, D::AllValues},
    {"Height 1", 0.15, T::WaveValue, D::AllValues},
    {"Height 2", 0.2, T::WaveValue, D::AllValues},
    {"Frequency", 0.4, T::Time, D::PositiveNotZero},
    {"Length", 0.6, T::Time, D::PositiveNotZero},
    {"Count", 0.65, T::Factor, D::Positive},
    {"Start Position", 0.75, T::PlaceWave, D::ZeroInclOneExcl},
    {"Position Begin", 0.9, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin makeSinusOut[] = {
    {"Result", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 31 MakeNoise
constexpr TBuiltinPin makeNoiseIn[] = {
    {"Wave", 0, T::Wave, D::AllValues},
    {"Volume", 0.1, T::WaveValue, D::AllValues},
    {"Length", 0.6, T::Time, D::PositiveNotZero},
    {"Position Begin", 0.9, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin makeNoiseOut[] = {
    {"Result", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 32 Mix
constexpr TBuiltinPin mixIn[] = {
    {"Wave", 0, T::Wave, D::AllValues},
    {"Mix Wave", 0.2, T::Wave, D::AllValues},
    {"Align Begin", 0.4, T::Boolean, D::AllValues},
    {"Align End", 0.5, T::Boolean, D::AllValues},
    {"Stretch", 0.6, T::Boolean, D::AllValues},
    {"Position Begin", 0.9, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin mixOut[] = {
    {"Result", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 33 Extract
constexpr TBuiltinPin extractIn[] = {
    {"Wave", 0, T::Wave, D::AllValues},
    {"Position Begin", 0.9, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 1, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin extractOut[] = {
    {"Result Rest", 0.3, T::Wave, D::AllValues},
    {"Result Extract", 0.6, T::Wave, D::AllValues},
};

// 34 SetWaveProperties
constexpr TBuiltinPin setWavePropertiesIn[] = {
    {"Wave", 0, T::Wave, D::AllValues},
    {"Position Begin", 0.2, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.3, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Sample Frequency", 0.5, T::WaveSampleFrequency, D::AllValues},
    {"Bytes Per Sample", 0.6, T::WaveBytesPerSample, D::AllValues},
    {"Mono Stereo", 0.7, T::WaveMonoStereo, D::AllValues},
};
constexpr TBuiltinPin setWavePropertiesOut[] = {
    {"Result", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 35 GetWaveProperties
constexpr TBuiltinPin getWavePropertiesIn[] = {
    {"Wave", 0.5, T::Wave, D::AllValues},
};
constexpr TBuiltinPin getWavePropertiesOut[] = {
    {"Sample Frequency", 0.1, T::WaveSampleFrequency, D::AllValues},
    {"Bytes Per Sample", 0.3, T::WaveBytesPerSample, D::AllValues},
    {"Mono Stereo", 0.5, T::WaveMonoStereo, D::AllValues},
    {"Length", 0.7, T::Time, D::Positive},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 36 MakeNewWave
constexpr TBuiltinPin makeNewWaveIn[] = {
    {"Sample Frequency", 0.1, T::WaveSampleFrequency, D::AllValues},
    {"Bytes Per Sample", 0.25, T::WaveBytesPerSample, D::AllValues},
    {"Mono Stereo", 0.4, T::WaveMonoStereo, D::AllValues},
    {"Length", 0.7, T::Time, D::Positive},
};
constexpr TBuiltinPin makeNewWaveOut[] = {
    {"Result", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 37 WaveStatistics
constexpr TBuiltinPin waveStatisticsIn[] = {
    {"Wave", 0.3, T::Wave, D::AllValues},
    {"Position Begin", 0.7, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Position End", 0.9, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin waveStatisticsOut[] = {
    {"Peak High", 0.1, T::WaveValue, D::AllValues},
    {"Peak Low", 0.5, T::WaveValue, D::AllValues},
    {"Peak Absolute", 0.9, T::WaveValue, D::AllValues},
};

// 38 MergeHorizontally
constexpr TBuiltinPin mergeHorizontallyIn[] = {
    {"Wave Before", 0.2, T::Wave, D::AllValues},
    {"Wave After", 0.3, T::Wave, D::AllValues},
    {"Sample Frequency", 0.5, T::WaveSampleFrequency, D::AllValues},
    {"Bytes Per Sample", 0.6, T::WaveBytesPerSample, D::AllValues},
    {"Mono Stereo", 0.7, T::WaveMonoStereo, D::AllValues},
};
constexpr TBuiltinPin mergeHorizontallyOut[] = {
    {"Result", 0.7, T::Wave, D::AllValues},
};

// 39 MergeVertically
constexpr TBuiltinPin mergeVerticallyIn[] = {
    {"Wave Left", 0.1, T::Wave, D::AllValues},
    {"Wave Right", 0.2, T::Wave, D::AllValues},
    {"Sample Frequency", 0.4, T::WaveSampleFrequency, D::AllValues},
    {"Bytes Per Sample", 0.5, T::WaveBytesPerSample, D::AllValues},
    {"Align Begin", 0.7, T::Boolean, D::AllValues},
    {"Align End", 0.8, T::Boolean, D::AllValues},
    {"Stretch Shortest Wave", 0.9, T::Boolean, D::AllValues},
    {"Stretch Longest Wave", 1, T::Boolean, D::AllValues},
};
constexpr TBuiltinPin mergeVerticallyOut[] = {
    {"Result", 0.7, T::Wave, D::AllValues},
};

// 40 Plus, 41 Multiply, 42 Minus
constexpr TBuiltinPin plusIn[] = {
    {"Operand 1", 0.25, T::AllComputable, D::AllValues},
    {"Operand 2", 0.75, T::AllComputable, D::AllValues},
};
constexpr TBuiltinPin plusOut[] = {
    {"Expression", 0.5, T::AllComputable, D::AllValues},
};

// 43 Divide
constexpr TBuiltinPin divideIn[] = {
    {"Operand 1", 0.25, T::AllComputable, D::AllValues},
    {"Operand 2", 0.75, T::AllComputable, D::NotZero},
};
constexpr TBuiltinPin divideOut[] = {
    {"Expression", 0.5, T::AllComputable, D::AllValues},
};

// 44 Not
constexpr TBuiltinPin notIn[] = {
    {"Operand", 0.5, T::Boolean, D::AllValues},
};
constexpr TBuiltinPin notOut[] = {
    {"Expression", 0.5, T::Boolean, D::AllValues},
};

// 45 And, 46 Or, 47 Nand, 48 Nor, 49 Xor, 50 Imp
constexpr TBuiltinPin andIn[] = {
    {"Operand 1", 0.25, T::Boolean, D::AllValues},
    {"Operand 2", 0.75, T::Boolean, D::AllValues},
};
constexpr TBuiltinPin andOut[] = {
    {"Expression", 0.5, T::Boolean, D::AllValues},
};

// 51 Sine, 52 Cosine
constexpr TBuiltinPin sineIn[] = {
    {"Angle", 0.25, T::PlaceWave, D::AllValues},
    {"Factor", 0.75, T::AllComputable, D::AllValues},
};
constexpr TBuiltinPin sineOut[] = {
    {"Expression", 0.5, T::AllComputable, D::AllValues},
};

// 53 Tangent
constexpr TBuiltinPin tangentIn[] = {
    {"Angle", 0.2, T::PlaceWave, D::AllValues},
    {"Factor", 0.5, T::AllComputable, D::AllValues},
    {"Max", 0.7, T::AllComputable, D::AllValues},
    {"Min", 0.8, T::AllComputable, D::AllValues},
};
constexpr TBuiltinPin tangentOut[] = {
    {"Expression", 0.5, T::AllComputable, D::AllValues},
};

// 54 ArcSine, 55 ArcCosine, 56 ArcTangent
constexpr TBuiltinPin arcSineIn[] = {
    {"Expression", 0.25, T::AllComputable, D::AllValues},
    {"Factor Repricoke", 0.75, T::AllComputable, D::AllValues},
};
constexpr TBuiltinPin arcSineOut[] = {
    {"Angle", 0.5, T::PlaceWave, D::AllValues},
};

// 57 Power
constexpr TBuiltinPin powerIn[] = {
    {"Base", 0.25, T::FactorOrInteger, D::AllValues},
    {"Exponent", 0.45, T::FactorOrInteger, D::AllValues},
    {"Factor", 0.8, T::AllComputable, D::AllValues},
};
constexpr TBuiltinPin powerOut[] = {
    {"Expression", 0.5, T::AllComputable, D::AllValues},
};

// 58 Root
constexpr TBuiltinPin rootIn[] = {
    {"Base", 0.25, T::FactorOrInteger, D::Positive},
    {"Root", 0.45, T::FactorOrInteger, D::NotZero},
    {"Factor", 0.8, T::AllComputable, D::AllValues},
};
constexpr TBuiltinPin rootOut[] = {
    {"Expression", 0.5, T::AllComputable, D::Positive},
};

// 59 Log
constexpr TBuiltinPin logIn[] = {
    {"Base", 0.25, T::FactorOrInteger, D::OneMore},
    {"X", 0.45, T::FactorOrInteger, D::PositiveNotZero},
    {"Factor", 0.8, T::AllComputable, D::AllValues},
};
constexpr TBuiltinPin logOut[] = {
    {"Expression", 0.5, T::AllComputable, D::AllValues},
};

// 60 RandomValue
constexpr TBuiltinPin randomValueIn[] = {
    {"Range Begin", 0.25, T::AllComputable, D::AllValues},
    {"Range End", 0.45, T::AllComputable, D::AllValues},
    {"Logaritmic", 0.8, T::Boolean, D::AllValues},
};
constexpr TBuiltinPin randomValueOut[] = {
    {"Expression", 0.5, T::AllComputable, D::AllValues},
};

// 61 GaussianRandomValue
constexpr TBuiltinPin gaussianRandomValueIn[] = {
    {"Mean", 0.25, T::AllComputable, D::AllValues},
    {"Std Dev", 0.5, T::AllComputable, D::Positive},
    {"Max Dev", 0.75, T::AllComputable, D::Positive},
};
constexpr TBuiltinPin gaussianRandomValueOut[] = {
    {"Expression", 0.5, T::AllComputable, D::AllValues},
};

// 62 Unequal, 63 Equal, 64 Greater, 65 GreaterEqual
constexpr TBuiltinPin unequalIn[] = {
    {"Operand 1", 0.25, T::AllValue, D::AllValues},
    {"Operand 2", 0.75, T::AllValue, D::AllValues},
};
constexpr TBuiltinPin unequalOut[] = {
    {"Expression", 0.5, T::Boolean, D::AllValues},
};

// 66 Minimum, 67 Maximum
constexpr TBuiltinPin minimumIn[] = {
    {"Operand 1", 0.25, T::AllValue, D::AllValues},
    {"Operand 2", 0.75, T::AllValue, D::AllValues},
};
constexpr TBuiltinPin minimumOut[] = {
    {"Expression", 0.5, T::AllValue, D::AllValues},
};

// 68 SwitchWave
constexpr TBuiltinPin switchWaveIn[] = {
    {"When True", 0.2, T::Wave, D::AllValues},
    {"When False", 0.4, T::Wave, D::AllValues},
    {"Switch", 0.75, T::Boolean, D::AllValues},
};
constexpr TBuiltinPin switchWaveOut[] = {
    {"Chosen", 0.5, T::Wave, D::AllValues},
};

// 69 SwitchValue
constexpr TBuiltinPin switchValueIn[] = {
    {"When True", 0.2, T::AllValue, D::AllValues},
    {"When False", 0.4, T::AllValue, D::AllValues},
    {"Switch", 0.75, T::Boolean, D::AllValues},
};
constexpr TBuiltinPin switchValueOut[] = {
    {"Chosen", 0.5, T::AllValue, D::AllValues},
};

// 70 MeanValue
constexpr TBuiltinPin meanValueIn[] = {
    {"Operand 1", 0.25, T::AllComputable, D::AllValues},
    {"Operand 2", 0.75, T::AllComputable, D::AllValues},
};
constexpr TBuiltinPin meanValueOut[] = {
    {"Expression", 0.5, T::AllComputable, D::AllValues},
};

// 71 LogMeanValue
constexpr TBuiltinPin logMeanValueIn[] = {
    {"Operand 1", 0.25, T::AllComputable, D::PositiveNotZero},
    {"Operand 2", 0.75, T::AllComputable, D::PositiveNotZero},
};
constexpr TBuiltinPin logMeanValueOut[] = {
    {"Expression", 0.5, T::AllComputable, D::PositiveNotZero},
};

// 72 PosToTimeAtWave
constexpr TBuiltinPin posToTimeAtWaveIn[] = {
    {"Wave", 0.3, T::Wave, D::AllValues},
    {"Sample Freq", 0.5, T::WaveSampleFrequency, D::AllValues},
    {"Wave Position", 0.8, T::PlaceInWindow, D::ZeroInclOneExcl},
};
constexpr TBuiltinPin posToTimeAtWaveOut[] = {
    {"Time", 0.5, T::Time, D::Positive},
};

// 73 TimeToPosAtWave
constexpr TBuiltinPin timeToPosAtWaveIn[] = {
    {"Wave", 0.3, T::Wave, D::AllValues},
    {"Sample Freq", 0.5, T::WaveSampleFrequency, D::AllValues},
    {"Time", 0.8, T::Time, D::Positive},
};
constexpr TBuiltinPin timeToPosAtWaveOut[] = {
    {"Wave Position", 0.5, T::PlaceInWindow, D::ZeroInclOneExcl},
};

// 74 PointInWave
constexpr TBuiltinPin pointInWaveIn[] = {
    {"Wave", 0.2, T::Wave, D::AllValues},
    {"Wave Position", 0.6, T::PlaceInWindow, D::ZeroInclOneExcl},
    {"Time", 0.8, T::Time, D::Positive},
};
constexpr TBuiltinPin pointInWaveOut[] = {
    {"Wave Value Middle", 0.2, T::WaveValue, D::AllValues},
    {"Wave Value Left", 0.6, T::WaveValue, D::AllValues},
    {"Wave Value Right", 0.8, T::WaveValue, D::AllValues},
};

// 75 ModuloInRange
constexpr TBuiltinPin moduloInRangeIn[] = {
    {"Value", 0.3, T::AllComputable, D::AllValues},
    {"Range Begin", 0.6, T::AllComputable, D::AllValues},
    {"Range End", 0.8, T::AllComputable, D::AllValues},
};
constexpr TBuiltinPin moduloInRangeOut[] = {
    {"Whole Steps", 0.2, T::Integer, D::AllValues},
    {"Remainder", 0.5, T::AllComputable, D::AllValues},
    {"Put in Range", 0.8, T::AllComputable, D::AllValues},
};

// 76 ConvertRange
constexpr TBuiltinPin convertRangeIn[] = {
    {"Value", 0.2, T::AllComputable, D::AllValues},
    {"Range Input Begin", 0.4, T::AllComputable, D::AllValues},
    {"Range Input End", 0.5, T::AllComputable, D::AllValues},
    {"Range Output Begin", 0.7, T::AllComputable, D::AllValues},
    {"Range Output End", 0.8, T::AllComputable, D::AllValues},
};
constexpr TBuiltinPin convertRangeOut[] = {
    {"Value", 0.5, T::AllComputable, D::AllValues},
};

// ---- input rules ----

// 0 Volume
constexpr TBuiltinRule volumeRules[] = {
    {R::ExactlyOneOf2, "Factor", "Envelope"},
};

// 1 Balance
constexpr TBuiltinRule balanceRules[] = {
    {R::ExactlyOneOf2, "Angle", "Envelope"},
    {R::Mandatory, "Time Difference"},
    {R::Mandatory, "Volume Difference"},
    {R::Mandatory, "Filter Difference"},
};

// 3 RollIn
constexpr TBuiltinRule rollInRules[] = {
    {R::Mandatory, "Length"},
    {R::ExactlyOneOf2, "Position Roll Begin", "Position Roll End"},
};

// 6 MoveVertically
constexpr TBuiltinRule moveVerticallyRules[] = {
    {R::Mandatory, "Add Value"},
};

// 7 MixLeftRight
constexpr TBuiltinRule mixLeftRightRules[] = {
    {R::Mandatory, "Volume Left to Left"},
    {R::Mandatory, "Volume Right to Left"},
    {R::Mandatory, "Volume Left to Right"},
    {R::Mandatory, "Volume Right to Right"},
};

// 8 Distort
constexpr TBuiltinRule distortRules[] = {
    {R::Mandatory, "Envelope"},
};

// 9 ChangeLength
constexpr TBuiltinRule changeLengthRules[] = {
    {R::ExactlyOneOf2, "Length", "Length Factor"},
};

// 10 RollOut
constexpr TBuiltinRule rollOutRules[] = {
    {R::Mandatory, "Speed Factor"},
    {R::ExactlyOneOf3, "Length", "Length Factor", "Count"},
    {R::Mandatory, "Start Position"},
};

// 11 SplitHorizontally
constexpr TBuiltinRule splitHorizontallyRules[] = {
    {R::Mandatory, "Position"},
};

// 13 MoveHorizontallyMono
constexpr TBuiltinRule moveHorizontallyMonoRules[] = {
    {R::Mandatory, "Time Move"},
};

// 14 MoveHorizontallyStereo
constexpr TBuiltinRule moveHorizontallyStereoRules[] = {
    {R::Mandatory, "Time Move Left"},
    {R::Mandatory, "Time Move Right"},
};

// 15 Block
constexpr TBuiltinRule blockRules[] = {
    {R::AtMostOneOf2, "Count Horizontal", "Time Horizontal"},
    {R::AtMostOneOf2, "Count Vertical", "Height"},
};

// 16 LowFilter, 17 HighFilter
constexpr TBuiltinRule lowFilterRules[] = {
    {R::ExactlyOneOf2, "Frequency", "Envelope"},
    {R::Mandatory, "Volume Factor"},
    {R::Mandatory, "Filter Count"},
    {R::Mandatory, "Normalize Volume"},
};

// 18 ResonantFilter, 19 NotchFilter
constexpr TBuiltinRule resonantFilterRules[] = {
    {R::ExactlyOneOf2, "Frequency", "Frequency Envelope"},
    {R::ExactlyOneOf2, "Frequency Width", "Frequency Width Envelope"},
};

// 20 BlockFilter
constexpr TBuiltinRule blockFilterRules[] = {
    {R::Mandatory, "Block Time"},
};

// 21 PeriodEcho
constexpr TBuiltinRule periodEchoRules[] = {
    {R::Mandatory, "Time"},
    {R::ExactlyOneOf2, "Volume", "Volume Envelope"},
    {R::Mandatory, "Echo Count"},
};

// 24 InsertReplace
constexpr TBuiltinRule insertReplaceRules[] = {
    {R::Mandatory, "Insert Wave"},
};

// 25 TempoPitch
constexpr TBuiltinRule tempoPitchRules[] = {
    {R::Mandatory, "Frequency Factor"},
    {R::Mandatory, "Speed Factor"},
    {R::ExactlyOneOf3, "Length", "Length Factor", "Count"},
    {R::Mandatory, "Start Position"},
    {R::Mandatory, "High Quality"},
    {R::Mandatory, "Block Size"},
};

// 26 MakeSilence
constexpr TBuiltinRule makeSilenceRules[] = {
    {R::Mandatory, "Length"},
};

// 27 MakeLine
constexpr TBuiltinRule makeLineRules[] = {
    {R::Mandatory, "Length"}, {R::Mandatory, "Height Begin"}, {R::Mandatory, "Height End"},
    {R::Mandatory, "Linear"}, {R::Mandatory, "Exponential"},
};

// 28 MakeBlock, 29 MakeTriangle
constexpr TBuiltinRule makeBlockRules[] = {
    {R::Mandatory, "Height 1"},
    {R::Mandatory, "Height 2"},
    {R::Mandatory, "Frequency"},
    {R::ExactlyOneOf2, "Middle", "Middle Envelope"},
    {R::ExactlyOneOf2, "Length", "Count"},
    {R::Mandatory, "Start Position"},
};

// 30 MakeSinus
constexpr TBuiltinRule makeSinusRules[] = {
    {R::Mandatory, "Height 1"},       {R::Mandatory, "Height 2"},
    {R::Mandatory, "Frequency"},      {R::ExactlyOneOf2, "Length", "Count"},
    {R::Mandatory, "Start Position"},
};

// 31 MakeNoise
constexpr TBuiltinRule makeNoiseRules[] = {
    {R::Mandatory, "Volume"},
    {R::Mandatory, "Length"},
};

// 32 Mix
constexpr TBuiltinRule mixRules[] = {
    {R::Mandatory, "Mix Wave"},
    {R::Mandatory, "Align Begin"},
    {R::Mandatory, "Align End"},
    {R::Mandatory, "Stretch"},
};

// 36 MakeNewWave
constexpr TBuiltinRule makeNewWaveRules[] = {
    {R::Mandatory, "Sample Frequency"},
    {R::Mandatory, "Bytes Per Sample"},
    {R::Mandatory, "Mono Stereo"},
    {R::Mandatory, "Length"},
};

// 38 MergeHorizontally
constexpr TBuiltinRule mergeHorizontallyRules[] = {
    {R::Mandatory, "Wave Before"},
    {R::Mandatory, "Wave After"},
};

// 39 MergeVertically
constexpr TBuiltinRule mergeVerticallyRules[] = {
    {R::Mandatory, "Wave Left"},
    {R::Mandatory, "Wave Right"},
    {R::Mandatory, "Align Begin"},
    {R::Mandatory, "Align End"},
    {R::Mandatory, "Stretch Shortest Wave"},
    {R::Mandatory, "Stretch Longest Wave"},
};

// 40 Plus, 41 Multiply, 42 Minus, 43 Divide, 45 And ... 50 Imp, 62 Unequal ... 67 Maximum,
// 70 MeanValue, 71 LogMeanValue
constexpr TBuiltinRule operandRules[] = {
    {R::OperandsMandatory},
};

// 44 Not
constexpr TBuiltinRule notRules[] = {
    {R::Mandatory, "Operand"},
};

// 51 Sine, 52 Cosine, 53 Tangent
constexpr TBuiltinRule sineRules[] = {
    {R::Mandatory, "Angle"},
};

// 54 ArcSine, 55 ArcCosine, 56 ArcTangent
constexpr TBuiltinRule arcSineRules[] = {
    {R::Mandatory, "Expression"},
};

// 57 Power
constexpr TBuiltinRule powerRules[] = {
    {R::Mandatory, "Base"},
    {R::Mandatory, "Exponent"},
};

// 58 Root
constexpr TBuiltinRule rootRules[] = {
    {R::Mandatory, "Base"},
    {R::Mandatory, "Root"},
};

// 59 Log
constexpr TBuiltinRule logRules[] = {
    {R::Mandatory, "Base"},
    {R::Mandatory, "X"},
};

// 60 RandomValue
constexpr TBuiltinRule randomValueRules[] = {
    {R::Mandatory, "Range Begin"},
    {R::Mandatory, "Range End"},
    {R::Mandatory, "Logaritmic"},
};

// 61 GaussianRandomValue
constexpr TBuiltinRule gaussianRandomValueRules[] = {
    {R::Mandatory, "Mean"},
    {R::Mandatory, "Std Dev"},
};

// 68 SwitchWave, 69 SwitchValue
constexpr TBuiltinRule switchWaveRules[] = {
    {R::Mandatory, "When True"},
    {R::Mandatory, "When False"},
    {R::Mandatory, "Switch"},
};

// 72 PosToTimeAtWave
constexpr TBuiltinRule posToTimeAtWaveRules[] = {
    {R::ExactlyOneOf2, "Wave", "Sample Freq"},
    {R::Mandatory, "Wave Position"},
};

// 73 TimeToPosAtWave
constexpr TBuiltinRule timeToPosAtWaveRules[] = {
    {R::ExactlyOneOf2, "Wave", "Sample Freq"},
    {R::Mandatory, "Time"},
};

// 74 PointInWave
constexpr TBuiltinRule pointInWaveRules[] = {
    {R::ExactlyOneOf2, "Wave Position", "Time"},
};

// 75 ModuloInRange
constexpr TBuiltinRule moduloInRangeRules[] = {
    {R::Mandatory, "Value"},
    {R::Mandatory, "Range Begin"},
    {R::Mandatory, "Range End"},
};

// 76 ConvertRange
constexpr TBuiltinRule convertRangeRules[] = {
    {R::Mandatory, "Value"},
    {R::Mandatory, "Range Input Begin"},
    {R::Mandatory, "Range Input End"},
    {R::Mandatory, "Range Output Begin"},
    {R::Mandatory, "Range Output End"},
};

// ---- the kinds ----

constexpr TBuiltinKind kinds[BuiltinKindCount] = {
    {"Volume", "Volume", 2, 0, 46, false, volumeIn, volumeOut, volumeRules},
    {"Balance", "Balance", 2, 2, 47, false, balanceIn, balanceOut, balanceRules},
    {"MaxVolume", "Max. Volume", 2, 1, 52, false, maxVolumeIn, maxVolumeOut, {}},
    {"RollIn", "Roll in", 2, 5, 54, false, rollInIn, rollInOut, rollInRules},
    {"NormalizeVertically",
     "Normalize Vertically",
     2,
     11,
     127,
     false,
     maxVolumeIn,
     maxVolumeOut,
     {}},
    {"Reverse", "Reverse", 2, 6, 53, false, maxVolumeIn, maxVolumeOut, {}},
    {"MoveVertically", "Move Vertically", 2, 10, 57, false, moveVerticallyIn, moveVerticallyOut,
     moveVerticallyRules},
    {"MixLeftRight", "Mix Left and Right", 2, 7, 51, false, mixLeftRightIn, mixLeftRightOut,
     mixLeftRightRules},
    {"Distort", "Distort", 2, 14, 49, false, distortIn, distortOut, distortRules},
    {"ChangeLength", "Change length", 2, 3, 50, false, changeLengthIn, changeLengthOut,
     changeLengthRules},
    {"RollOut", "Roll out", 2, 4, 55, false, rollOutIn, rollOutOut, rollOutRules},
    {"SplitHorizontally", "Split Horizontally", 1, 5, 22, false, splitHorizontallyIn,
     splitHorizontallyOut, splitHorizontallyRules},
    {"SplitVertically",
     "Split Vertically",
     1,
     6,
     23,
     false,
     splitVerticallyIn,
     splitVerticallyOut,
     {}},
    {"MoveHorizontallyMono", "Move Horizontally - Mono", 2, 12, 133, false, moveHorizontallyMonoIn,
     moveHorizontallyMonoOut, moveHorizontallyMonoRules},
    {"MoveHorizontallyStereo", "Move Horizontally - Stereo", 2, 13, 133, false,
     moveHorizontallyStereoIn, moveHorizontallyStereoOut, moveHorizontallyStereoRules},
    {"Block", "Block", 2, 15, 48, false, blockIn, blockOut, blockRules},
    {"LowFilter", "Low Filter", 3, 0, 61, false, lowFilterIn, lowFilterOut, lowFilterRules},
    {"HighFilter", "High Filter", 3, 1, 60, false, lowFilterIn, lowFilterOut, lowFilterRules},
    {"ResonantFilter", "Resonant Filter", 3, 2, 64, false, resonantFilterIn, resonantFilterOut,
     resonantFilterRules},
    {"NotchFilter", "Notch Filter", 3, 3, 62, false, resonantFilterIn, resonantFilterOut,
     resonantFilterRules},
    {"BlockFilter", "Block Filter", 3, 4, 58, false, blockFilterIn, blockFilterOut,
     blockFilterRules},
    {"PeriodEcho", "Period Echo", 2, 8, 63, false, periodEchoIn, periodEchoOut, periodEchoRules},
    {"Delete", "Delete", 1, 0, 41, false, deleteIn, deleteOut, {}},
    {"Trim", "Trim", 1, 1, 38, false, deleteIn, deleteOut, {}},
    {"InsertReplace", "Insert/Replace", 1, 2, 44, false, insertReplaceIn, insertReplaceOut,
     insertReplaceRules},
    {"TempoPitch", "Tempo and Pitch", 2, 9, 59, false, tempoPitchIn, tempoPitchOut,
     tempoPitchRules},
    {"MakeSilence", "Make Silence", 0, 1, 34, false, makeSilenceIn, makeSilenceOut,
     makeSilenceRules},
    {"MakeLine", "Make Line", 0, 2, 32, false, makeLineIn, makeLineOut, makeLineRules},
    {"MakeBlock", "Make Block", 0, 3, 30, false, makeBlockIn, makeBlockOut, makeBlockRules},
    {"MakeTriangle", "Make Triangle", 0, 4, 36, false, makeBlockIn, makeBlockOut, makeBlockRules},
    {"MakeSinus", "Make Sinus", 0, 5, 35, false, makeSinusIn, makeSinusOut, makeSinusRules},
    {"MakeNoise", "Make Noise", 0, 6, 33, false, makeNoiseIn, makeNoiseOut, makeNoiseRules},
    {"Mix", "Mix", 1, 3, 43, false, mixIn, mixOut, mixRules},
    {"Extract", "Extract", 1, 4, 42, false, extractIn, extractOut, {}},
    {"SetWaveProperties",
     "Set Wave Properties",
     6,
     1,
     7,
     false,
     setWavePropertiesIn,
     setWavePropertiesOut,
     {}},
    {"GetWaveProperties",
     "Get Wave Properties",
     6,
     0,
     7,
     false,
     getWavePropertiesIn,
     getWavePropertiesOut,
     {}},
    {"MakeNewWave", "Make New Wave", 0, 0, 1, false, makeNewWaveIn, makeNewWaveOut,
     makeNewWaveRules},
    {"WaveStatistics", "Wave Statistics", 6, 3, 15, false, waveStatisticsIn, waveStatisticsOut, {}},
    {"MergeHorizontally", "Merge Horizontally", 1, 7, 20, false, mergeHorizontallyIn,
     mergeHorizontallyOut, mergeHorizontallyRules},
    {"MergeVertically", "Merge Vertically", 1, 8, 21, false, mergeVerticallyIn, mergeVerticallyOut,
     mergeVerticallyRules},
    {"Plus", "Plus", 4, 0, 145, true, plusIn, plusOut, operandRules},
    {"Multiply", "Multiply", 4, 1, 144, true, plusIn, plusOut, operandRules},
    {"Minus", "Minus", 4, 2, 147, false, plusIn, plusOut, operandRules},
    {"Divide", "Divide", 4, 3, 146, false, divideIn, divideOut, operandRules},
    {"Not", "Not", 5, 0, 152, false, notIn, notOut, notRules},
    {"And", "And", 5, 1, 149, true, andIn, andOut, operandRules},
    {"Or", "Or", 5, 2, 148, true, andIn, andOut, operandRules},
    {"Nand", "Nand", 5, 3, 150, true, andIn, andOut, operandRules},
    {"Nor", "Nor", 5, 4, 151, true, andIn, andOut, operandRules},
    {"Xor", "Xor", 5, 5, 154, true, andIn, andOut, operandRules},
    {"Imp", "Imp", 5, 6, 153, true, andIn, andOut, operandRules},
    {"Sine", "Sine", 4, 19, 159, false, sineIn, sineOut, sineRules},
    {"Cosine", "Cosine", 4, 20, 158, false, sineIn, sineOut, sineRules},
    {"Tangent", "Tangent", 4, 21, 157, false, tangentIn, tangentOut, sineRules},
    {"ArcSine", "Arc Sine", 4, 22, 159, false, arcSineIn, arcSineOut, arcSineRules},
    {"ArcCosine", "Arc Cosine", 4, 23, 158, false, arcSineIn, arcSineOut, arcSineRules},
    {"ArcTangent", "Arc Tangent", 4, 24, 157, false, arcSineIn, arcSineOut, arcSineRules},
    {"Power", "Power", 4, 16, 160, false, powerIn, powerOut, powerRules},
    {"Root", "Root", 4, 17, 161, false, rootIn, rootOut, rootRules},
    {"Log", "Log", 4, 18, 162, false, logIn, logOut, logRules},
    {"RandomValue", "Random Value", 4, 14, 143, false, randomValueIn, randomValueOut,
     randomValueRules},
    {"GaussianRandomValue", "Gaussian Random Value", 4, 15, 163, false, gaussianRandomValueIn,
     gaussianRandomValueOut, gaussianRandomValueRules},
    {"Unequal", "Unequal", 4, 4, 164, true, unequalIn, unequalOut, operandRules},
    {"Equal", "Equal", 4, 5, 165, true, unequalIn, unequalOut, operandRules},
    {"Greater", "Greater", 4, 6, 166, true, unequalIn, unequalOut, operandRules},
    {"GreaterEqual", "Greater or Equal", 4, 7, 167, true, unequalIn, unequalOut, operandRules},
    {"Minimum", "Minimum", 4, 8, 168, true, minimumIn, minimumOut, operandRules},
    {"Maximum", "Maximum", 4, 9, 169, true, minimumIn, minimumOut, operandRules},
    {"SwitchWave", "Switch Wave", 6, 4, 170, false, switchWaveIn, switchWaveOut, switchWaveRules},
    {"SwitchValue", "Switch Value", 6, 5, 170, false, switchValueIn, switchValueOut,
     switchWaveRules},
    {"MeanValue", "Mean Value", 4, 10, 173, true, meanValueIn, meanValueOut, operandRules},
    {"LogMeanValue", "Log Mean Value", 4, 11, 172, true, logMeanValueIn, logMeanValueOut,
     operandRules},
    {"PosToTimeAtWave", "Position to Time at Wave", 6, 6, 175, false, posToTimeAtWaveIn,
     posToTimeAtWaveOut, posToTimeAtWaveRules},
    {"TimeToPosAtWave", "Time to Position at Wave", 6, 7, 175, false, timeToPosAtWaveIn,
     timeToPosAtWaveOut, timeToPosAtWaveRules},
    {"PointInWave", "Point in Wave", 6, 2, 176, false, pointInWaveIn, pointInWaveOut,
     pointInWaveRules},
    {"ModuloInRange", "Modulo in Range", 4, 12, 177, false, moduloInRangeIn, moduloInRangeOut,
     moduloInRangeRules},
    {"ConvertRange", "Convert Range", 4, 13, 178, false, convertRangeIn, convertRangeOut,
     convertRangeRules},
};

constexpr std::array<std::string_view, BuiltinCategoryCount> categoryNames = {
    "Make Sound",  "Edit Sound", "Manipulate Sound", "Filter Sound",
    "Mathematics", "Boolean",    "Miscellaneous"};

// The menu lists, laid out from the kinds' categories and places.
struct TCategoryLists
{
    std::array<std::array<uint8_t, BuiltinCategoryCapacity>, BuiltinCategoryCount> members{};
    std::array<uint8_t, BuiltinCategoryCount> counts{};
    bool complete = true;
};

constexpr TCategoryLists MakeCategoryLists()
{
    TCategoryLists lists;
    std::array<std::array<bool, BuiltinCategoryCapacity>, BuiltinCategoryCount> taken{};
    for (int32_t kind = 0; kind < BuiltinKindCount; ++kind) {
        const TBuiltinKind& k = kinds[kind];
        if (k.category >= BuiltinCategoryCount || k.place >= BuiltinCategoryCapacity ||
            taken[k.category][k.place]) {
            lists.complete = false;
            continue;
        }
        taken[k.category][k.place] = true;
        lists.members[k.category][k.place] = static_cast<uint8_t>(kind);
        if (k.place + 1 > lists.counts[k.category])
            lists.counts[k.category] = static_cast<uint8_t>(k.place + 1);
    }
    // Every place up to the last one of each list holds a kind: no gap in a menu.
    for (int32_t category = 0; category < BuiltinCategoryCount; ++category)
        for (int32_t place = 0; place < lists.counts[category]; ++place)
            lists.complete = lists.complete && taken[category][place];
    return lists;
}

constexpr TCategoryLists categoryLists = MakeCategoryLists();
static_assert(categoryLists.complete, "every kind has its own place in a category list");

} // namespace

const TBuiltinKind* GetBuiltinKind(int32_t kind)
{
    return kind >= 0 && kind < BuiltinKindCount ? &kinds[kind] : nullptr;
}

std::span<const TBuiltinKind> BuiltinKinds()
{
    return kinds;
}

int32_t FindBuiltinActionName(std::string_view identifier)
{
    for (int32_t kind = 0; kind < BuiltinKindCount; ++kind)
        if (identifier == kinds[kind].identifier)
            return kind;
    return -1;
}

int32_t GetBuiltinCategory(int32_t kind)
{
    const TBuiltinKind* k = GetBuiltinKind(kind);
    return k ? k->category : -1;
}

int32_t GetPlaceInBuiltinCategory(int32_t kind)
{
    const TBuiltinKind* k = GetBuiltinKind(kind);
    return k ? k->place : -1;
}

std::string_view GetBuiltinCategoryName(int32_t category)
{
    return category >= 0 && category < BuiltinCategoryCount ? categoryNames[category] : "";
}

std::span<const uint8_t> GetBuiltinCategoryMembers(int32_t category)
{
    if (category < 0 || category >= BuiltinCategoryCount)
        return {};
    return std::span<const uint8_t>(categoryLists.members[category].data(),
                                    categoryLists.counts[category]);
}

} // namespace kelvorn
