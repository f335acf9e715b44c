// Value text speed: parse-and-format pairs per second over a generated mixed corpus of a million
// texts (plain numbers, decimal commas, exponents, fractions, units), against strtod + snprintf
// on the same numbers written in C syntax, in the same run. Prints the ratio at the end.
#include "general/values/ValueFormat.h"
#include "general/values/ValueText.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace kelvorn;

namespace {

constexpr size_t corpusSize = 1000000;

struct Corpus
{
    std::vector<std::string> kelvorn; // as a user types them or a file holds them
    std::vector<std::string> c;       // the same numbers for strtod
};

const Corpus& GetCorpus()
{
    static const Corpus corpus = [] {
        Corpus made;
        made.kelvorn.reserve(corpusSize);
        made.c.reserve(corpusSize);
        std::mt19937_64 random(12345);
        const char* units[] = {"", " %", " hz", " khz", " ms", " s", " m", " km", " dB", " $"};
        for (size_t i = 0; i < corpusSize; ++i) {
            int digits = 1 + static_cast<int>(random() % 12);
            int point = static_cast<int>(random() % (digits + 1));
            std::string mantissa;
            for (int d = 0; d < digits; ++d)
                mantissa += static_cast<char>('0' + random() % 10);
            std::string whole = mantissa.substr(0, static_cast<size_t>(point));
            std::string fraction = mantissa.substr(static_cast<size_t>(point));
            bool negative = random() % 4 == 0;
            const char* unit = units[random() % 10];
            std::string sign = negative ? "-" : "";
            switch (random() % 5) {
            case 0: // exponent
            {
                int exponent = static_cast<int>(random() % 41) - 20;
                std::string e = (exponent < 0 ? "e-" : "e+") + std::to_string(std::abs(exponent));
                std::string number = (whole.empty() ? "0" : whole) + "." + fraction + e;
                made.kelvorn.push_back(sign + number + unit);
                made.c.push_back(sign + number);
                break;
            }
            case 1: // a fraction: both sides read it as the quotient's digits
            {
                unsigned numerator = static_cast<unsigned>(random() % 1000 + 1);
                unsigned denominator = static_cast<unsigned>(random() % 64 + 1);
                char quotient[64];
                std::snprintf(quotient, sizeof(quotient), "%.17g",
                              static_cast<double>(numerator) / denominator);
                made.kelvorn.push_back(sign + std::to_string(numerator) + "/" +
                                       std::to_string(denominator) + unit);
                made.c.push_back(sign + quotient);
                break;
            }
            case 2: // decimal comma
                made.kelvorn.push_back(sign + (whole.empty() ? "0" : whole) + "," + fraction +
                                       unit);
                made.c.push_back(sign + (whole.empty() ? "0" : whole) + "." + fraction);
                break;
            default: // plain
                made.kelvorn.push_back(sign + (whole.empty() ? "0" : whole) + "." + fraction +
                                       unit);
                made.c.push_back(sign + (whole.empty() ? "0" : whole) + "." + fraction);
                break;
            }
        }
        return made;
    }();
    return corpus;
}

void BM_KelvornParseAndFormat(benchmark::State& state)
{
    const Corpus& corpus = GetCorpus();
    size_t checksum = 0;
    for (auto _ : state) {
        for (const std::string& text : corpus.kelvorn) {
            double value = 0;
            MeasureUnitKind unit = EHNone;
            std::string message;
            ParseValueAndUnit(text, value, unit, message);
            std::string shown = FormatPrecision(value, 15, true);
            checksum += shown.size() + unit;
        }
    }
    benchmark::DoNotOptimize(checksum);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * corpus.kelvorn.size()));
}

void BM_StrtodSnprintf(benchmark::State& state)
{
    const Corpus& corpus = GetCorpus();
    size_t checksum = 0;
    for (auto _ : state) {
        for (const std::string& text : corpus.c) {
            double value = std::strtod(text.c_str(), nullptr);
            char shown[64];
            checksum += static_cast<size_t>(std::snprintf(shown, sizeof(shown), "%.15g", value));
        }
    }
    benchmark::DoNotOptimize(checksum);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * corpus.c.size()));
}

BENCHMARK(BM_KelvornParseAndFormat)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_StrtodSnprintf)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps each benchmark's rate so that the ratio can be printed after the run.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            auto found = run.counters.find("items_per_second");
            if (found != run.counters.end())
                rates[run.benchmark_name()] = found->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> rates;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    GetCorpus(); // build the corpus before any timing
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double kelvorn = 0, reference = 0;
    for (const auto& [name, rate] : reporter.rates) {
        if (name.find("Kelvorn") != std::string::npos)
            kelvorn = rate;
        else if (name.find("Strtod") != std::string::npos)
            reference = rate;
    }
    if (kelvorn > 0 && reference > 0)
        std::printf("value text: %.3g pairs/s, strtod+snprintf: %.3g pairs/s, ratio %.2f\n",
                    kelvorn, reference, kelvorn / reference);
    benchmark::Shutdown();
    return 0;
}
