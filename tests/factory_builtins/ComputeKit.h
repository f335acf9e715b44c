#pragma once
// The computation tests' kit: one builtin node fed from factory inputs (values and sounds) and
// computed on its own, values written short (I(3) is an Integer 3), the check that a node has
// settled (a failure with a message, or values that are all finite) and a watchdog that ends a
// computation which does not.

#include "factory_builtins/BuiltinKit.h"
#include "platform/test/ScriptedMessages.h"

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <utility>

namespace kelvorn::test {

inline TSntValue F(double v)
{
    return {v, ValueType::Factor};
}
inline TSntValue A(double v)
{
    return {v, ValueType::Angle};
}
inline TSntValue I(double v)
{
    return {v, ValueType::Integer};
}
inline TSntValue L(double v)
{
    return {v, ValueType::FysicalLength};
}
inline TSntValue S(double v)
{
    return {v, ValueType::FysicalSpeed};
}
inline TSntValue T(double v)
{
    return {v, ValueType::Time};
}
inline TSntValue Hz(double v)
{
    return {v, ValueType::Frequency};
}
inline TSntValue W(double v)
{
    return {v, ValueType::WaveValue};
}
inline TSntValue P(double v)
{
    return {v, ValueType::PlaceInWindow};
}
inline TSntValue B(double v)
{
    return {v, ValueType::Boolean};
}
inline TSntValue SF(double v)
{
    return {v, ValueType::WaveSampleFrequency};
}

using PinValues = std::vector<std::pair<std::string, TSntValue>>;

inline std::ostream& operator<<(std::ostream& out, const TSntValue& value)
{
    return out << GetValueTypeName(value.valueType) << " " << value.value;
}

/// A builtin node whose inputs are fed by factory inputs, computed without a run.
struct ComputeFixture : FileFixture
{
    TSountoryNodeBuiltin* node = nullptr;
    SntStopFlag stop = 0;
    /// Shows the soft assertions a computation may hit: a test expects none.
    ScriptedMessages boxes;

    /// The kind's node with its pins, and "Operand 3" ... up to operands.
    TSountoryNodeBuiltin* Make(uint8_t kind, int operands = 2)
    {
        node = Builtin(kind, "N");
        for (int n = 2; n < operands; ++n)
            node->AddOperand();
        return node;
    }
    /// Feeds the input from a new factory input holding the value (or sound).
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
    void Give(const std::string& input, TSntValue value) { Feed(input)->SetValue(value); }
    void Give(const std::string& input, SoundPtr sound) { Feed(input)->SetSound(std::move(sound)); }
    void Give(const PinValues& values)
    {
        for (const auto& [name, value] : values)
            Give(name, value);
    }
    bool Compute()
    {
        message.clear();
        return node->Compute(&stop, message);
    }
    TSntValue Output(const std::string& name) const
    {
        const TSountoryNodeOutput* output = node->FindOutputByName(name);
        EXPECT_NE(output, nullptr) << name;
        return output ? output->GetValue() : TSntValue();
    }
    ~ComputeFixture() override { EXPECT_TRUE(boxes.Unexpected().empty()); }
};

/// The node failed with a message, or every value it holds on an output is finite.
inline void ExpectSettled(const TSountoryNode& node, bool ok, const std::string& message,
                          const std::string& context)
{
    EXPECT_TRUE(ok || !message.empty()) << context;
    for (const auto& output : node.Outputs())
        if (!output->IsWave()) {
            EXPECT_TRUE(std::isfinite(output->GetValue().value))
                << context << " at " << output->Name << ": " << output->GetValue().value;
        }
}

/// Ends the test program, naming the case, when a case runs longer than the limit: a computation
/// that loops for ever (an exponent of 1e12 multiplied out) fails at once and says where,
/// instead of at the suite's timeout. Cases take microseconds; the limit only catches a freeze.
class Watchdog
{
public:
    explicit Watchdog(std::chrono::milliseconds limit) : limit(limit), thread([this] { Watch(); })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard lock(mutex);
            stopping = true;
        }
        wake.notify_one();
        thread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void Start(const std::string& context)
    {
        {
            std::lock_guard lock(mutex);
            current = context;
            ++started;
        }
        wake.notify_one();
    }
    void Done()
    {
        std::lock_guard lock(mutex);
        current.clear();
    }

private:
    void Watch()
    {
        std::unique_lock lock(mutex);
        while (!stopping) {
            if (current.empty()) {
                wake.wait(lock);
                continue;
            }
            // The case must end (or another begin) within the limit.
            const uint64_t watched = started;
            if (!wake.wait_for(lock, limit,
                               [&] { return stopping || started != watched || current.empty(); })) {
                std::fprintf(stderr, "Did not end within %lld ms: %s\n",
                             static_cast<long long>(limit.count()), current.c_str());
                std::_Exit(EXIT_FAILURE);
            }
        }
    }

    std::chrono::milliseconds limit;
    std::mutex mutex;
    std::condition_variable wake;
    std::string current;
    uint64_t started = 0;
    bool stopping = false;
    std::thread thread;
};

} // namespace kelvorn::test
