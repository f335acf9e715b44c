// The catalogue against golden tables taken from the function list: kinds, categories and the
// pins each kind's node is made with.
#include "factory_builtins/BuiltinKit.h"

#include <algorithm>
#include <set>

namespace kelvorn::test {
namespace {

TEST(BuiltinCatalogue, KindsAndCategoriesMatchTheGoldenTable)
{
    std::vector<std::vector<std::string>> rows = GoldenRows("builtin_kinds.txt");
    int32_t kinds = 0;
    for (const auto& row : rows) {
        if (row[0] == "category") {
            int32_t category = std::stoi(row[1]);
            EXPECT_EQ(GetBuiltinCategoryName(category), row[2]);
            std::string members;
            for (uint8_t kind : GetBuiltinCategoryMembers(category))
                members += (members.empty() ? "" : " ") + std::to_string(kind);
            EXPECT_EQ(members, row[3]) << row[2];
            continue;
        }
        int32_t kind = std::stoi(row[0]);
        ASSERT_EQ(kind, kinds++);
        const TBuiltinKind* k = GetBuiltinKind(kind);
        ASSERT_NE(k, nullptr);
        EXPECT_EQ(k->identifier, row[1]);
        EXPECT_EQ(k->displayName, row[2]);
        EXPECT_EQ(GetBuiltinCategory(kind), std::stoi(row[3])) << kind;
        EXPECT_EQ(GetPlaceInBuiltinCategory(kind), std::stoi(row[4])) << kind;
        EXPECT_EQ(k->icon, std::stoi(row[5])) << kind;
        EXPECT_EQ(k->operands, row[6] == "yes") << kind;
    }
    EXPECT_EQ(kinds, BuiltinKindCount);
    EXPECT_EQ(GetBuiltinKind(BuiltinKindCount), nullptr);
    EXPECT_EQ(GetBuiltinKind(-1), nullptr);
    EXPECT_EQ(GetBuiltinCategory(77), -1);
    EXPECT_EQ(GetPlaceInBuiltinCategory(-1), -1);
    EXPECT_TRUE(GetBuiltinCategoryMembers(7).empty());
    EXPECT_EQ(GetBuiltinCategoryName(-1), "");
}

TEST(BuiltinCatalogue, EachKindStandsOnceAtItsPlace)
{
    std::vector<int> seen(BuiltinKindCount, 0);
    for (int32_t category = 0; category < BuiltinCategoryCount; ++category) {
        std::span<const uint8_t> members = GetBuiltinCategoryMembers(category);
        EXPECT_LE(members.size(), size_t(BuiltinCategoryCapacity));
        for (size_t place = 0; place < members.size(); ++place) {
            ++seen[members[place]];
            EXPECT_EQ(GetBuiltinCategory(members[place]), category);
            EXPECT_EQ(GetPlaceInBuiltinCategory(members[place]), int32_t(place));
        }
    }
    EXPECT_EQ(seen, std::vector<int>(BuiltinKindCount, 1));
    EXPECT_EQ(GetBuiltinCategoryMembers(4).size(), size_t(BuiltinCategoryCapacity));
}

TEST(BuiltinCatalogue, IdentifiersFindTheirKindExactly)
{
    for (int32_t kind = 0; kind < BuiltinKindCount; ++kind) {
        const TBuiltinKind& k = *GetBuiltinKind(kind);
        EXPECT_EQ(FindBuiltinActionName(k.identifier), kind);
        std::string lower = k.identifier;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        EXPECT_EQ(FindBuiltinActionName(lower), -1) << lower;
        if (std::string(k.displayName) != k.identifier) {
            EXPECT_EQ(FindBuiltinActionName(k.displayName), -1) << k.displayName;
        }
    }
    EXPECT_EQ(FindBuiltinActionName("Max. Volume"), -1);
    EXPECT_EQ(FindBuiltinActionName("Plus "), -1);
    EXPECT_EQ(FindBuiltinActionName(""), -1);
    EXPECT_EQ(GetBuiltinHelpContext(BuiltinConvertRange), 1100);
}

TEST(BuiltinCatalogue, CreatePortsMakesTheGoldenPins)
{
    RecordingHost host;
    TUnitSountory factory("F", "", host);
    std::vector<std::string> made;
    for (int kind = 0; kind < BuiltinKindCount; ++kind) {
        auto* node = factory.CreateNode<TSountoryNodeBuiltin>("N", uint8_t(kind),
                                                              TSountoryRectangle{0, 0, 9, 9}, true);
        auto dump = [&](const auto& pins, const char* side) {
            for (const auto& pin : pins) {
                made.push_back(std::to_string(kind) + "|" + side + "|" + pin->Name + "|" +
                               FormatFactoryNumber(pin->GetHeightValue()) + "|" +
                               std::string(GetValueDomTypeKey(pin->GetValueDomType())) + "|" +
                               std::string(GetValueDomainKey(pin->GetValueDomain())));
                EXPECT_TRUE(pin->Fixed);
                EXPECT_EQ(pin->Height.GetUnit(), EHPerc);
            }
        };
        dump(node->Inputs(), "in");
        dump(node->Outputs(), "out");
    }
    std::vector<std::string> golden;
    for (const auto& row : GoldenRows("builtin_pins.txt"))
        golden.push_back(row[0] + "|" + row[1] + "|" + row[2] + "|" + row[3] + "|" + row[4] + "|" +
                         row[5]);
    EXPECT_EQ(made, golden);
    // A kind outside the catalogue has no pins.
    auto* stray = factory.CreateNode<TSountoryNodeBuiltin>("X", uint8_t(77),
                                                           TSountoryRectangle{0, 0, 9, 9}, true);
    EXPECT_EQ(stray->CountInputs() + stray->CountOutputs(), 0);
    EXPECT_EQ(stray->GetDisplayName(), "");
}

// Kinds that share a case share one pin set: 57 sets, 375 pins among them, 470 over all kinds.
TEST(BuiltinCatalogue, PinSetsAreSharedAsTheFunctionsShareThem)
{
    std::set<const TBuiltinPin*> sets;
    int32_t setInputs = 0, setOutputs = 0, inputs = 0, outputs = 0;
    for (const TBuiltinKind& k : BuiltinKinds()) {
        if (sets.insert(k.inputs.data()).second) {
            setInputs += int32_t(k.inputs.size());
            setOutputs += int32_t(k.outputs.size());
        }
        inputs += int32_t(k.inputs.size());
        outputs += int32_t(k.outputs.size());
    }
    EXPECT_EQ(sets.size(), 57u);
    EXPECT_EQ(setInputs, 253);
    EXPECT_EQ(setOutputs, 122);
    EXPECT_EQ(inputs, 316);
    EXPECT_EQ(outputs, 154);
}

TEST(BuiltinCatalogue, EveryNameOfARuleIsAnInputOfItsKind)
{
    for (const TBuiltinKind& k : BuiltinKinds())
        for (const TBuiltinRule& rule : k.rules)
            for (const char* name : {rule.a, rule.b, rule.c}) {
                if (!name)
                    continue;
                EXPECT_TRUE(std::any_of(
                    k.inputs.begin(), k.inputs.end(),
                    [&](const TBuiltinPin& pin) { return std::string(pin.name) == name; }))
                    << k.identifier << ": " << name;
            }
}

} // namespace
} // namespace kelvorn::test
