#pragma once
// The computation tests' kit: one builtin node fed from factory inputs and computed on its own,
// values read from text ("Time 0.5"), the check that a node has settled (a failure with a
// message, or values that are all finite), and an alarm that ends a computation that does not.

#include "factory_builtins/BuiltinKit.h"
#include "platform/test/ScriptedMessages.h"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace kelvorn::test {

/// A value type's display name and a number: "Time 0.5", "Fysical Length -3".
inline TSntValue ParseValue(const std::string& text)
{
    const size_t blank = text.rfind(' ');
    const auto names = ValueTypeNames();
    const auto found = std::find(names.begin(), names.end(), text.substr(0, blank));
    EXPECT_NE(found, names.end()) << text;
    return {std::stod(text.substr(blank + 1)), static_cast<ValueType>(found - names.begin())};
}

/// A builtin node whose inputs are fed by factory inputs, computed without a run.
struct ComputeFixture : FileFixture
{
    TSountoryNodeBuiltin* node = nullptr;
    SntStopFlag stop = 0;
    /// Shows the soft assertions a computation may hit: a test expects none.
    ScriptedMessages boxes;

    /// The kind's node with its pins, and "Operand 3" ... up to operands.
    void Make(uint8_t kind, size_t operands = 2)
    {
        node = Builtin(kind, "N");
        for (size_t n = 2; n < operands; ++n)
            node->AddOperand();
    }
    /// A new factory input feeding the node's input, to hold a value or a sound.
    TSountoryInput* Feed(const std::string& input)
    {
        TSountoryInput* source =
            In("In " + std::to_string(factory.Inputs().size()), ValueDomType::AllValue);
        TSountoryNodeInput* target = node->FindInputByName(input);
        EXPECT_NE(target, nullptr) << input;
        if (target)
            target->SetSource(source);
        return source;
    }
    bool Compute()
    {
        message.clear();
        return node->Compute(&stop, message);
    }
    ~ComputeFixture() override { EXPECT_TRUE(boxes.Unexpected().empty()); }
};

/// The node failed with a message, or every value it holds on an output is finite.
inline void ExpectSettled(const TSountoryNode& node, bool ok, const std::string& message,
                          const std::string& context)
{
    EXPECT_TRUE(ok || !message.empty()) << context;
    for (const auto& output : node.Outputs()) {
        if (!output->IsWave()) {
            EXPECT_TRUE(std::isfinite(output->GetValue().value)) << context << " " << output->Name;
        }
    }
}

/// Ends the test program, naming the case, when a case runs for more than a second: a
/// computation that loops for ever (an exponent of 1e12 multiplied out) fails at once and says
/// where, not at the suite's timeout. Cases take microseconds; only a freeze reaches the alarm.
class Watchdog
{
public:
    Watchdog() { std::signal(SIGALRM, Fire); }
    ~Watchdog() { alarm(0); }
    void Start(const std::string& context)
    {
        std::strncpy(current, context.c_str(), sizeof current - 1);
        alarm(1);
    }
    void Done() { alarm(0); }

private:
    static void Fire(int)
    {
        const char head[] = "Did not end within a second: ";
        [[maybe_unused]] auto written = write(STDERR_FILENO, head, sizeof head - 1);
        written = write(STDERR_FILENO, current, strlen(current));
        _exit(EXIT_FAILURE);
    }
    static inline char current[256] = {};
};

} // namespace kelvorn::test
