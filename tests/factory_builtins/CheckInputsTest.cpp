// The input checks of every kind against the golden rule table: all rules met passes, and each
// rule broken in turn fails with its exact sentence; the "Wave" rule comes first.
#include "factory_builtins/BuiltinKit.h"

#include <map>

namespace kelvorn::test {
namespace {

struct Rule
{
    std::string kind;
    std::vector<std::string> names;
};

std::map<int, std::vector<Rule>> GoldenRules()
{
    std::map<int, std::vector<Rule>> rules;
    for (const auto& row : GoldenRows("builtin_rules.txt"))
        rules[std::stoi(row[0])].push_back({row[1], {row.begin() + 2, row.end()}});
    return rules;
}

std::string Q(const std::string& name)
{
    return "\"" + name + "\"";
}

std::string Sentence(const Rule& rule)
{
    const auto& n = rule.names;
    if (rule.kind == "mandatory")
        return "Input " + Q(n[0]) + " is mandatory.";
    if (rule.kind == "operands")
        return "Input \"Operand 2\" is mandatory.";
    std::string how = rule.kind == "one" ? "exacly" : "at most";
    std::string names =
        n.size() == 3 ? Q(n[0]) + ", " + Q(n[1]) + " or " + Q(n[2]) : Q(n[0]) + " or " + Q(n[1]);
    return "You must use " + how + " one of the Inputs " + names + ".";
}

struct Checked : FileFixture
{
    void Set(const std::string& name, bool used)
    {
        TSountoryNodeInput* in = node->FindInputByName(name);
        ASSERT_NE(in, nullptr) << name;
        if (used)
            Use(*in);
        else
            in->ClearConstant();
    }
    // Every rule held: the mandatory inputs used, one of each choice (the first or the last),
    // none of an "at most one", every operand.
    void MeetAll(int kind, const std::vector<Rule>& rules, bool lastChoice)
    {
        for (const auto& in : node->Inputs())
            in->ClearConstant();
        if (kind != BuiltinPosToTimeAtWave && kind != BuiltinTimeToPosAtWave &&
            node->FindInputByName("Wave"))
            Set("Wave", true);
        for (const Rule& rule : rules) {
            if (rule.kind == "mandatory")
                Set(rule.names[0], true);
            else if (rule.kind == "one")
                Set(lastChoice ? rule.names.back() : rule.names[0], true);
            else if (rule.kind == "operands")
                for (const auto& in : node->Inputs())
                    Use(*in);
        }
    }
    // Breaks the rule, by the only way or by using all of a choice.
    void Break(const Rule& rule, bool allOfChoice)
    {
        if (rule.kind == "mandatory")
            Set(rule.names[0], false);
        else if (rule.kind == "operands")
            Set("Operand 2", false);
        else if (rule.kind == "atmost" || allOfChoice)
            for (const std::string& name : rule.names)
                Set(name, true);
        else
            for (const std::string& name : rule.names)
                Set(name, false);
    }
    std::string Check()
    {
        std::string text = "unchanged";
        return node->CheckInputs(text) ? "passes" : text;
    }

    TSountoryNodeBuiltin* node = nullptr;
};

TEST_F(Checked, EveryRuleOfEveryKindInTurn)
{
    std::map<int, std::vector<Rule>> golden = GoldenRules();
    for (int kind = 0; kind < BuiltinKindCount; ++kind) {
        SCOPED_TRACE(GetBuiltinKind(kind)->identifier);
        node = Builtin(uint8_t(kind), "N");
        const std::vector<Rule>& rules = golden[kind];
        for (bool last : {false, true}) {
            MeetAll(kind, rules, last);
            EXPECT_EQ(Check(), "passes");
        }
        for (size_t i = 0; i < rules.size(); ++i)
            for (bool all : {false, true}) {
                if (all && rules[i].kind != "one")
                    continue;
                MeetAll(kind, rules, false);
                Break(rules[i], all);
                EXPECT_EQ(Check(), Sentence(rules[i])) << i;
                // A later broken rule does not hide an earlier one.
                if (i + 1 < rules.size() && rules.back().kind != "operands") {
                    Break(rules.back(), false);
                    EXPECT_EQ(Check(), Sentence(rules[i])) << i;
                }
            }
        bool waveRule = kind != BuiltinPosToTimeAtWave && kind != BuiltinTimeToPosAtWave &&
                        node->FindInputByName("Wave");
        if (waveRule) {
            MeetAll(kind, rules, false);
            if (!rules.empty())
                Break(rules[0], false);
            Set("Wave", false);
            EXPECT_EQ(Check(), "Input \"Wave\" is mandatory.");
        }
        std::string untouched = "kept";
        EXPECT_TRUE(node->CheckDefinition(untouched));
        EXPECT_EQ(untouched, "kept");
        factory.RemoveNode(node);
    }
}

// A node read from a file has the file's pins: an input its rules name may be missing, and the
// operands may be numbered anyhow. The computations gather operands by number, so they must be
// "Operand 1" ... "Operand n" without a gap, at least two.
TEST_F(Checked, InputsMissingOrMisnumbered)
{
    struct Case
    {
        int kind;
        std::vector<std::string> inputs;
        std::string result;
    };
    const Case cases[] = {
        {BuiltinPlus, {"Operand 1", "Operand 2"}, "passes"},
        {BuiltinPlus, {"Operand 2", "Operand 1", "Operand 3"}, "passes"},
        {BuiltinPlus, {"Operand 1", "Operand 7"}, "Input \"Operand 2\" does not exists."},
        {BuiltinPlus, {"Operand 1"}, "Input \"Operand 2\" does not exists."},
        {BuiltinMinimum, {}, "Input \"Operand 1\" does not exists."},
        {BuiltinPlus,
         {"Operand 1", "Operand 2", "Operand 2"},
         "Input \"Operand 3\" does not exists."},
        {BuiltinAnd,
         {"Operand 1", "Operand 2", "Operandx"},
         "Input \"Operand 3\" does not exists."},
        {BuiltinOr, {"Operand 01", "Operand 2"}, "Input \"Operand 1\" does not exists."},
        {BuiltinMeanValue, {"Operand 1", "Operand 2", "Operand 4", "Operand 3"}, "passes"},
        {BuiltinVolume, {"Wave", "Factor"}, "Input \"Envelope\" does not exists."},
        {BuiltinVolume,
         {"Factor", "Envelope"},
         "You must use exacly one of the Inputs \"Factor\" or \"Envelope\"."},
        {BuiltinRollOut,
         {"Wave", "Speed Factor", "Length", "Count"},
         "Input \"Length Factor\" does not exists."},
        {BuiltinNot, {"Operand 1"}, "Input \"Operand\" does not exists."},
        {BuiltinAnd, {"Operand 2", "Operand x"}, "Input \"Operand 1\" does not exists."},
        {BuiltinMultiply,
         {"Operand 1", "Operand 2", "Operand 3", "Operand 4", "Operand 5", "Operand 6", "Operand 7",
          "Operand 8", "Operand 9", "Operand 10"},
         "passes"},
        {BuiltinBlock, {"Wave", "Count Horizontal"}, "Input \"Time Horizontal\" does not exists."},
        {BuiltinKindCount, {"Position"}, "passes"},
        {BuiltinKindCount, {"Wave"}, "passes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.inputs));
        node = factory.CreateNode<TSountoryNodeBuiltin>("F", uint8_t(c.kind),
                                                        TSountoryRectangle{0, 0, 50, 50}, false);
        for (const std::string& name : c.inputs)
            Use(*NodeIn(node, name, ValueDomType::AllComputable));
        EXPECT_EQ(Check(), c.result);
    }
    // A kind outside the catalogue keeps the rule of the "Wave" input only.
    node = factory.CreateNode<TSountoryNodeBuiltin>("H", uint8_t(BuiltinKindCount),
                                                    TSountoryRectangle{0, 0, 50, 50}, false);
    NodeIn(node, "Wave", ValueDomType::Wave);
    EXPECT_EQ(Check(), "Input \"Wave\" is mandatory.");
    // With the operands in order, the first one not used is named.
    node = factory.CreateNode<TSountoryNodeBuiltin>("G", uint8_t(BuiltinPlus),
                                                    TSountoryRectangle{0, 0, 50, 50}, true);
    node->AddOperand();
    Set("Operand 1", true);
    Set("Operand 2", true);
    EXPECT_EQ(Check(), "Input \"Operand 3\" is mandatory.");
}

} // namespace
} // namespace kelvorn::test
