#pragma once
// The catalogue of the 77 builtin functions a factory node can run: one descriptor per kind with
// its file identifier, display name, menu category and place, icon, whether it takes further
// operands, its pins and the rules its inputs must keep. Everything that differs between kinds
// (the pins a node gets, its input checks, the builtin dialog's lists, the help context, the
// node's picture) reads this one table.
//
// Kind numbers are fixed: every table is indexed by them and the functions are numbered by them
// elsewhere; factory files store the identifier instead.

#include "general/numeric/ValueTypes.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace kelvorn {

enum SntBuiltinAction : uint8_t {
    BuiltinVolume = 0,
    BuiltinBalance = 1,
    BuiltinMaxVolume = 2,
    BuiltinRollIn = 3,
    BuiltinNormalizeVertically = 4,
    BuiltinReverse = 5,
    BuiltinMoveVertically = 6,
    BuiltinMixLeftRight = 7,
    BuiltinDistort = 8,
    BuiltinChangeLength = 9,
    BuiltinRollOut = 10,
    BuiltinSplitHorizontally = 11,
    BuiltinSplitVertically = 12,
    BuiltinMoveHorizontallyMono = 13,
    BuiltinMoveHorizontallyStereo = 14,
    BuiltinBlock = 15,
    BuiltinLowFilter = 16,
    BuiltinHighFilter = 17,
    BuiltinResonantFilter = 18,
    BuiltinNotchFilter = 19,
    BuiltinBlockFilter = 20,
    BuiltinPeriodEcho = 21,
    BuiltinDelete = 22,
    BuiltinTrim = 23,
    BuiltinInsertReplace = 24,
    BuiltinTempoPitch = 25,
    BuiltinMakeSilence = 26,
    BuiltinMakeLine = 27,
    BuiltinMakeBlock = 28,
    BuiltinMakeTriangle = 29,
    BuiltinMakeSinus = 30,
    BuiltinMakeNoise = 31,
    BuiltinMix = 32,
    BuiltinExtract = 33,
    BuiltinSetWaveProperties = 34,
    BuiltinGetWaveProperties = 35,
    BuiltinMakeNewWave = 36,
    BuiltinWaveStatistics = 37,
    BuiltinMergeHorizontally = 38,
    BuiltinMergeVertically = 39,
    BuiltinPlus = 40,
    BuiltinMultiply = 41,
    BuiltinMinus = 42,
    BuiltinDivide = 43,
    BuiltinNot = 44,
    BuiltinAnd = 45,
    BuiltinOr = 46,
    BuiltinNand = 47,
    BuiltinNor = 48,
    BuiltinXor = 49,
    BuiltinImp = 50,
    BuiltinSine = 51,
    BuiltinCosine = 52,
    BuiltinTangent = 53,
    BuiltinArcSine = 54,
    BuiltinArcCosine = 55,
    BuiltinArcTangent = 56,
    BuiltinPower = 57,
    BuiltinRoot = 58,
    BuiltinLog = 59,
    BuiltinRandomValue = 60,
    BuiltinGaussianRandomValue = 61,
    BuiltinUnequal = 62,
    BuiltinEqual = 63,
    BuiltinGreater = 64,
    BuiltinGreaterEqual = 65,
    BuiltinMinimum = 66,
    BuiltinMaximum = 67,
    BuiltinSwitchWave = 68,
    BuiltinSwitchValue = 69,
    BuiltinMeanValue = 70,
    BuiltinLogMeanValue = 71,
    BuiltinPosToTimeAtWave = 72,
    BuiltinTimeToPosAtWave = 73,
    BuiltinPointInWave = 74,
    BuiltinModuloInRange = 75,
    BuiltinConvertRange = 76,
};

inline constexpr int32_t BuiltinKindCount = 77;
inline constexpr int32_t BuiltinCategoryCount = 7;
/// The most members a category's menu list holds.
inline constexpr int32_t BuiltinCategoryCapacity = 25;

/// A pin a kind's node is made with: its name, its place along its side (0 top, 1 bottom), its
/// type and its domain.
struct TBuiltinPin
{
    const char* name;
    double height;
    ValueDomType type;
    ValueDomain domain;
};

enum class TBuiltinRuleKind : uint8_t {
    /// a is used.
    Mandatory,
    /// Exactly one of a and b is used.
    ExactlyOneOf2,
    /// Not both of a and b are used.
    AtMostOneOf2,
    /// Exactly one of a, b and c is used.
    ExactlyOneOf3,
    /// The operands are "Operand 1" ... "Operand n" (n at least 2), each used.
    OperandsMandatory,
};

/// One rule of a kind's input check; the names it does not need are null.
struct TBuiltinRule
{
    TBuiltinRuleKind kind;
    const char* a = nullptr;
    const char* b = nullptr;
    const char* c = nullptr;
};

struct TBuiltinKind
{
    /// The text factory files store.
    const char* identifier;
    /// The text of the node's title and of the builtin dialog.
    const char* displayName;
    uint8_t category;
    /// The 0-based place in the category's menu list.
    uint8_t place;
    /// The picture in the main window's image list.
    int16_t icon;
    /// Whether the editor may add further operand inputs.
    bool operands;
    std::span<const TBuiltinPin> inputs;
    std::span<const TBuiltinPin> outputs;
    /// Checked in this order after the rule that a "Wave" input is used.
    std::span<const TBuiltinRule> rules;
};

/// The descriptor of kind 0..76; null for any other number.
const TBuiltinKind* GetBuiltinKind(int32_t kind);
std::span<const TBuiltinKind> BuiltinKinds();

/// The kind whose identifier is exactly the text (case-sensitive), or -1.
int32_t FindBuiltinActionName(std::string_view identifier);
/// The kind's category (0..6) and its place in that category's list; -1 for no kind.
int32_t GetBuiltinCategory(int32_t kind);
int32_t GetPlaceInBuiltinCategory(int32_t kind);
/// "Make Sound" ... "Miscellaneous"; empty for another number.
std::string_view GetBuiltinCategoryName(int32_t category);
/// The kinds of a category in menu order; empty for another number.
std::span<const uint8_t> GetBuiltinCategoryMembers(int32_t category);
/// The help page of a builtin function.
inline int32_t GetBuiltinHelpContext(int32_t kind)
{
    return 1024 + kind;
}

} // namespace kelvorn
