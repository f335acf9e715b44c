// Every signal operation and filter run once on short and long, constant and varying waves, with
// constant parameters and with envelopes of one, two and many values, over the whole wave and a
// part of it. Run under AddressSanitizer and UndefinedBehaviorSanitizer, this is what finds
// reads past an array's end. Then each long run is stopped after a few polls of the flag.

#include "sound/Filters.h"
#include "sound/SineTable.h"
#include "sound/WaveSignal.h"

#include "SignalTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::testing;

namespace {

constexpr int32_t Rate = 44100;

/// A new wave from src (with its envelope), or src changed in place (then the result is null).
using NewOp =
    std::function<WavePtr(const Wave& src, AbortFlag*, const Wave* env, int32_t* b, int32_t* e)>;
using InPlaceOp = std::function<void(Wave& w, AbortFlag*, const Wave* env)>;

struct Entry
{
    std::string name;
    NewOp make;
    InPlaceOp change;
    /// False where the work is done by a primitive alone (its polls are not counted here).
    bool polls = true;
    /// The shortest range the operation accepts.
    int32_t minRange = 0;
};

const double Amplitudes[16] = {0.5,  0.25, 0.1,  0.1,  0.05, 0.05, 0.02, 0.02,
                               0.01, 0.01, 0.01, 0.01, 0.01, 0.01, 0.01, 0.01};
const double Periods[16] = {100,  50, 33.3, 25,  20,  16.6, 14.2, 12.5,
                            11.1, 10, 9.1,  8.3, 7.7, 7.1,  6.7,  6.25};
const double Phases[16] = {0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 0, 0.5, 0, 0.5, 0, 0.5};
const double Decays[16] = {1, 0.9999, 0.9998, 1, 1, 0.999, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0.99};

/// A form for the partials when the envelope is too short to be one.
const Wave TwoValueForm = MakeWave({-5, 7});

std::vector<Entry> AllOperations()
{
    std::vector<Entry> c;
    auto add = [&](std::string name, NewOp op, bool polls = true, int32_t minRange = 0) {
        c.push_back({std::move(name), std::move(op), nullptr, polls, minRange});
    };
    auto change = [&](std::string name, InPlaceOp op) {
        c.push_back({std::move(name), nullptr, std::move(op), true, 0});
    };
    // Mixing
    change("mixCycleAfterThis", [](Wave& w, AbortFlag* a, const Wave* env) {
        if (w.Values() > 0)
            mixCycleAfterThis(w, a, *env, w.Values() / 3);
    });
    change("addAt", [](Wave& w, AbortFlag* a, const Wave* env) { addAt(w, a, *env, 3); });
    change("addScaledAt",
           [](Wave& w, AbortFlag* a, const Wave* env) { addScaledAt(w, a, *env, -2, 0.7); });
    change("addShifted",
           [](Wave& w, AbortFlag* a, const Wave* env) { addShifted(w, a, *env, 1, 4); });
    change("addShiftedScaled", [](Wave& w, AbortFlag* a, const Wave* env) {
        addShiftedScaled(w, a, *env, 5, 0, -1.5);
    });
    add("mixAlignBegin", [](const Wave& w, AbortFlag* a, const Wave* env, int32_t*, int32_t*) {
        return mixAlignBegin(w, a, *env, -3, -1, false);
    });
    add(
        "mixAlignEndFromEnd",
        [](const Wave& w, AbortFlag* a, const Wave* env, int32_t*, int32_t*) {
            return mixAlignEnd(w, a, *env, w.Values() + 2, 2, true);
        },
        false);
    add("mixStretch", [](const Wave& w, AbortFlag* a, const Wave* env, int32_t* b, int32_t* e) {
        return mixStretch(w, a, *env, *b, *e);
    });
    add("mixWeighted", [](const Wave& w, AbortFlag* a, const Wave*, int32_t* b, int32_t* e) {
        return mixWeighted(w, a, 0.3, w, -1.2, *b, *e);
    });
    add("mixHalf", [](const Wave& w, AbortFlag* a, const Wave*, int32_t*, int32_t*) {
        return mixHalf(w, a, w);
    });
    // Echo
    add(
        "periodEcho",
        [](const Wave& w, AbortFlag* a, const Wave*, int32_t* b, int32_t* e) {
            return periodEcho(w, a, 3.5, 0.6, 3, b, e);
        },
        true, 2);
    add(
        "periodEchoAhead",
        [](const Wave& w, AbortFlag* a, const Wave*, int32_t* b, int32_t* e) {
            return periodEcho(w, a, -2.25, -0.5, 2, b, e);
        },
        true, 2);
    add(
        "periodEchoDelayEnv",
        [](const Wave& w, AbortFlag* a, const Wave* env, int32_t* b, int32_t* e) {
            return periodEchoEnv(w, a, env, 3.5, 0.6, 3, b, e);
        },
        true, 2);
    add(
        "periodEchoFactorEnv",
        [](const Wave& w, AbortFlag* a, const Wave* env, int32_t* b, int32_t* e) {
            return periodEchoEnv(w, a, -1.5, env, 2, b, e);
        },
        true, 2);
    add(
        "periodEchoEnvs",
        [](const Wave& w, AbortFlag* a, const Wave* env, int32_t* b, int32_t* e) {
            return periodEchoEnv(w, a, env, 2.5, env, 2, b, e);
        },
        true, 2);
    // Balance: every combination of the three flags on both sides, on the far side (delayed)
    // and on the near side (padded with zeros).
    for (int flags = 0; flags < 8; ++flags) {
        for (int side = 0; side < 2; ++side) {
            for (bool far : {true, false}) {
                const bool delay = flags & 1;
                const bool volume = flags & 2;
                const bool filter = flags & 4;
                const double angle = (side == 0) == far ? 0.7 : -0.4;
                const std::string n =
                    std::to_string(flags) + "side" + std::to_string(side) + (far ? "far" : "near");
                add(
                    "balance" + n,
                    [=](const Wave& w, AbortFlag* a, const Wave*, int32_t*, int32_t*) {
                        return balance(w, a, angle, side, delay, volume, filter, Rate);
                    },
                    delay ? filter || far : filter && !volume);
                if (far)
                    add(
                        "balanceEnvelope" + n,
                        [=](const Wave& w, AbortFlag* a, const Wave* env, int32_t*, int32_t*) {
                            return balanceEnvelope(w, a, env, side, delay, volume, filter, Rate);
                        },
                        filter || delay);
            }
        }
    }
    // Tempo and pitch
    for (int heads = 1; heads <= 2; ++heads) {
        const bool two = heads == 2;
        const std::string h = two ? "2" : "";
        add("tempoPitch" + h,
            [=](const Wave& w, AbortFlag* a, const Wave*, int32_t* b, int32_t* e) {
                return (two ? tempoPitch2 : tempoPitch)(w, a, 0.8, 0.25, 1.3, 1.5, 7, b, e);
            });
        add("tempoPitchFreqEnv" + h,
            [=](const Wave& w, AbortFlag* a, const Wave* env, int32_t* b, int32_t* e) {
                return (two ? tempoPitch2FreqEnv : tempoPitchFreqEnv)(w, a, 1.2, 0.5, 1.0, 0.8, env,
                                                                      5, b, e, nullptr);
            });
        add("tempoPitchSpeedEnv" + h,
            [=](const Wave& w, AbortFlag* a, const Wave* env, int32_t* b, int32_t* e) {
                return (two ? tempoPitch2SpeedEnv : tempoPitchSpeedEnv)(w, a, 1.1, env, 0.1, 2.0,
                                                                        1.25, 6, b, e, nullptr);
            });
        add("tempoPitchEnvs" + h,
            [=](const Wave& w, AbortFlag* a, const Wave* env, int32_t* b, int32_t* e) {
                return (two ? tempoPitch2Envs : tempoPitchEnvs)(w, a, 0.9, env, 0.9, 1.0, 2.0, env,
                                                                3, b, e, nullptr);
            });
    }
    // Multi-frequency: as long as the source, so the long runs are long too.
    add("makeMFreq", [](const Wave& w, AbortFlag* a, const Wave*, int32_t* b, int32_t* e) {
        return makeMFreq(w, a, w.Values(), 16, Amplitudes, Periods, Phases, Decays, b, e);
    });
    add("makeMFreqForm", [](const Wave& w, AbortFlag* a, const Wave* env, int32_t* b, int32_t* e) {
        const Wave& form = env->Values() >= 2 ? *env : TwoValueForm;
        return makeMFreqForm(w, a, w.Values(), &form, 16, Amplitudes, Periods, Phases, Decays, b,
                             e);
    });
    // Filters
    for (bool high : {false, true}) {
        const std::string n = high ? "high" : "low";
        add(n + "Filter", [=](const Wave& w, AbortFlag* a, const Wave*, int32_t* b, int32_t* e) {
            return (high ? highFilter : lowFilter)(w, a, 12.5, 0.3, 2, 3, *b, *e);
        });
        add(n + "FilterEnv",
            [=](const Wave& w, AbortFlag* a, const Wave* env, int32_t* b, int32_t* e) {
                return (high ? highFilterEnv : lowFilterEnv)(w, a, env, 0.7, 1, 2, Rate, *b, *e,
                                                             nullptr);
            });
    }
    for (bool notch : {false, true}) {
        const FilterTable& t = TheFilterTable;
        const ResFilters& r = notch ? t.notch : t.resonance;
        const std::string n = notch ? "notch" : "res";
        add(n, [=](const Wave& w, AbortFlag* a, const Wave*, int32_t* b, int32_t* e) {
            return r.constant(w, a, 20.0, 0.05, *b, *e);
        });
        add(n + "FreqEnv",
            [=](const Wave& w, AbortFlag* a, const Wave* env, int32_t* b, int32_t* e) {
                return r.freqEnvelope(w, a, env, 0.1, Rate, *b, *e, nullptr);
            });
        add(n + "FactorEnv",
            [=](const Wave& w, AbortFlag* a, const Wave* env, int32_t* b, int32_t* e) {
                return r.factorEnvelope(w, a, 30.0, env, *b, *e, nullptr);
            });
        add(n + "Envs", [=](const Wave& w, AbortFlag* a, const Wave* env, int32_t* b, int32_t* e) {
            return r.bothEnvelopes(w, a, env, env, Rate, *b, *e, nullptr);
        });
    }
    add("blockFilter", [](const Wave& w, AbortFlag* a, const Wave*, int32_t* b, int32_t* e) {
        return blockFilter(w, a, 6.5, b, e);
    });
    add("blockFilterNegative", [](const Wave& w, AbortFlag* a, const Wave*, int32_t* b,
                                  int32_t* e) { return blockFilter(w, a, -3.0, b, e); });
    add("blockFilterEnv", [](const Wave& w, AbortFlag* a, const Wave* env, int32_t* b, int32_t* e) {
        return blockFilterEnv(w, a, 8.0, env, b, e);
    });
    add("blockFilterEnvNegative", [](const Wave& w, AbortFlag* a, const Wave* env, int32_t* b,
                                     int32_t* e) { return blockFilterEnv(w, a, -4.5, env, b, e); });
    return c;
}

void PrintTo(const Entry& entry, std::ostream* os)
{
    *os << entry.name;
}

/// A fixed-seed signal that uses the whole 16-bit range.
Wave Varying(int32_t n)
{
    uint32_t state = 12345;
    return MakeWaveOf(n, [&](int32_t) {
        state = state * 1103515245u + 12345u;
        return static_cast<int32_t>(state >> 16) - 32768;
    });
}

struct Source
{
    std::string name;
    Wave wave;
};

class SignalCatalogue : public ::testing::TestWithParam<Entry>
{
protected:
    static void SetUpTestSuite()
    {
        AbortFlag flag = 0;
        ASSERT_TRUE(CreateSinus(&flag));
    }
    static void TearDownTestSuite() { FreeSinus(); }
};

} // namespace

TEST_P(SignalCatalogue, RunsOnEveryKindOfInput)
{
    const Entry& entry = GetParam();
    std::vector<Source> sources;
    sources.push_back({"shortConstant", Constant(7, 1234)});
    sources.push_back({"shortVarying", Varying(7)});
    sources.push_back({"longConstant", Constant(25000, -20000)});
    sources.push_back({"longVarying", Varying(25000)});
    std::vector<Source> envelopes;
    envelopes.push_back({"oneValue", MakeWave({-9000})});
    envelopes.push_back({"twoValues", MakeWave({-32768, 32767})});
    envelopes.push_back({"many", Varying(30001)});

    RecordingSink sink;
    for (const Source& src : sources) {
        const int32_t n = src.wave.Values();
        for (const Source& env : envelopes) {
            for (const std::pair<int32_t, int32_t>& range :
                 {std::pair<int32_t, int32_t>{0, -1}, {2, n - 2}, {n / 2, n / 2 + 1}}) {
                const int32_t length = (range.second == -1 ? n : range.second) - range.first;
                if (length < entry.minRange)
                    continue;
                SCOPED_TRACE(src.name + " " + env.name + " [" + std::to_string(range.first) + ", " +
                             std::to_string(range.second) + ")");
                AbortFlag abort = 0;
                int32_t begin = range.first;
                int32_t end = range.second;
                if (entry.change) {
                    Wave w = MakeWave(Values(src.wave));
                    entry.change(w, &abort, &env.wave);
                    EXPECT_EQ(w.Values(), n);
                } else {
                    WavePtr out = entry.make(src.wave, &abort, &env.wave, &begin, &end);
                    ASSERT_TRUE(out);
                    // Operations that take the range by value leave an end of -1 as it was.
                    if (end == -1)
                        end = out->Values();
                    EXPECT_LE(0, begin);
                    EXPECT_LE(begin, end);
                    EXPECT_LE(end, out->Values());
                }
                EXPECT_EQ(abort, 0);
            }
        }
    }
    EXPECT_EQ(sink.texts, std::vector<std::string>{});
}

TEST_P(SignalCatalogue, LooksAtTheFlagEveryBlockAndStopsWhenItIsSet)
{
    const Entry& entry = GetParam();
    const Wave src = Varying(25000);
    const Wave env = Varying(30001);
    RecordingSink sink;
    {
        // A full run looks at the flag at least once per thousand values.
        CountingPolls counting;
        AbortFlag abort = 0;
        int32_t begin = 0;
        int32_t end = -1;
        Wave w = MakeWave(Values(src));
        if (entry.change) {
            entry.change(w, &abort, &env);
        } else {
            EXPECT_TRUE(entry.make(src, &abort, &env, &begin, &end));
        }
        if (entry.polls) {
            EXPECT_GE(counting.Count(), 25);
        }
    }
    for (int64_t after : {0, 3}) {
        AbortFlag abort = 0;
        int32_t begin = 0;
        int32_t end = -1;
        Wave w = MakeWave(Values(src));
        StopAfterPolls stop(after);
        if (entry.change) {
            entry.change(w, &abort, &env);
        } else {
            EXPECT_EQ(entry.make(src, &abort, &env, &begin, &end), nullptr);
            EXPECT_EQ(begin, 0);
            EXPECT_EQ(end, -1);
        }
        EXPECT_EQ(abort, 1);
        // Stopped at once: no more than one further look per loop it was in.
        EXPECT_LE(signal::PollsCounted(), after + 2);
    }
    EXPECT_TRUE(sink.texts.empty());
}

TEST_P(SignalCatalogue, AllocationFailureGivesNoResultAndSetsTheFlag)
{
    const Entry& entry = GetParam();
    if (!entry.make)
        return;
    const Wave src = Varying(3000);
    const Wave env = Varying(301);
    // The first allocation fails, and then, for operations that allocate more than once, a
    // later one.
    for (int64_t successes : {0, 1, 2}) {
        RecordingSink sink;
        AbortFlag abort = 0;
        int32_t begin = 0;
        int32_t end = -1;
        WavePtr out;
        {
            FailAllocations fail(successes);
            out = entry.make(src, &abort, &env, &begin, &end);
        }
        if (out) {
            // Fewer allocations than that: a whole result, nothing failed.
            EXPECT_GT(successes, 0);
            EXPECT_EQ(abort, 0);
            continue;
        }
        EXPECT_EQ(abort, 1) << successes;
        EXPECT_EQ(begin, 0);
        EXPECT_EQ(end, -1);
        EXPECT_EQ(sink.texts, (std::vector<std::string>{
                                  "System Error: There is not enough memmory for this operation."}))
            << successes;
    }
}

INSTANTIATE_TEST_SUITE_P(Every, SignalCatalogue, ::testing::ValuesIn(AllOperations()),
                         [](const auto& info) { return info.param.name; });

TEST(SignalHostileNumbers, NoUndefinedBehaviourAndNoBoxesBeyondTheNamedOnes)
{
    // Numbers a broken caller might pass: every operation must stay defined (the sanitizers
    // watch), fail through its named road or give a wave.
    RecordingSink sink;
    const double nan = std::nan("");
    const double inf = INFINITY;
    const Wave w = Varying(3000);
    const Wave env = MakeWave({-32768, 0, 32767});
    for (double x : {nan, inf, -inf, 1.0e300, -1.0e300, 0.0}) {
        AbortFlag abort = 0;
        int32_t b = 0;
        int32_t e = -1;
        auto again = [&] {
            abort = 0;
            b = 0;
            e = -1;
        };
        periodEcho(w, &abort, x, 0.5, 3, &b, &e);
        again();
        periodEcho(w, &abort, 2.0, x, 3, &b, &e);
        again();
        periodEchoEnv(w, &abort, &env, x, &env, 2, &b, &e);
        again();
        tempoPitch(w, &abort, x, 0.5, 1.0, 1.0, 10, &b, &e);
        again();
        tempoPitch2(w, &abort, 1.0, x, 1.0, x, 10, &b, &e);
        again();
        tempoPitch2Envs(w, &abort, 1.0, &env, x, 1.0, x, &env, 10, &b, &e);
        again();
        tempoPitch(w, &abort, 1.0, 0.0, x, 1.0, 10, &b, &e);
        again();
        const double p[1] = {x};
        const double one[1] = {1.0};
        makeMFreqForm(w, &abort, 100, &env, 1, one, p, p, one, &b, &e);
        again();
        makeMFreqForm(w, &abort, 100, &env, 1, p, one, one, p, &b, &e);
        again();
        lowFilter(w, &abort, x, 0.5, 1, 1, 0, -1);
        highFilter(w, &abort, 10.0, x, 1, 1, 0, -1);
        resFilter(w, &abort, x, 0.5, 0, -1);
        notchFilter(w, &abort, 20.0, x, 0, -1);
        resFilter(w, &abort, &env, &env, static_cast<int32_t>(x == x && std::fabs(x) < 1e9 ? x : 0),
                  0, -1);
        again();
        blockFilter(w, &abort, x, &b, &e);
        again();
        blockFilterEnv(w, &abort, x, &env, &b, &e);
        again();
        balance(w, &abort, x, 0, true, true, true, Rate);
        balance(w, &abort, x, 1, true, false, false, Rate);
        balanceEnvelope(w, &abort, &env, 1, true, true, true, Rate);
        mixWeighted(w, &abort, x, w, x, 0, -1);
        mixStretch(w, &abort, env, 0, -1);
        Wave changed = MakeWave(Values(w));
        addScaledAt(changed, &abort, w, 7, x);
        addShiftedScaled(changed, &abort, w, 7, 3, x);
    }
    for (const std::string& text : sink.texts)
        EXPECT_TRUE(text.rfind("System Error: There is not enough memmory", 0) == 0 ||
                    text.rfind("Assertion failed: ", 0) == 0)
            << text;
}
