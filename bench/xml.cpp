// Reading and writing the program's XML dialect against pugixml on the same bytes, in the same
// run. The file is generated: 10 MB, 100,000 elements (25,000 notes of a music piece, each with
// a time, a pitch or a rest, and a comment). Kelvorn's read tokenizes, validates against the
// grammar and builds the element tree; pugixml parses into its DOM without validating.
// Peak heap use is measured with a counting allocator for both readers.
#include "general/xml/XMLGrammar.h"
#include "general/xml/XMLToken.h"
#include "general/xml/XMLWriter.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <map>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kelvorn;

// ----- counting allocator -----------------------------------------------------------------------

namespace {

std::atomic<int64_t> liveBytes{0};
std::atomic<int64_t> peakBytes{0};
// Counting costs a call per allocation; it is on only for the run that measures the peak.
std::atomic<bool> counting{false};

void* CountedMalloc(size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p || !counting.load(std::memory_order_relaxed))
        return p;
    int64_t now = liveBytes += static_cast<int64_t>(malloc_usable_size(p));
    int64_t peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
    }
    return p;
}

// Out of line: free() inlined into the replaced operator delete draws a false g++ 12 warning.
[[gnu::noinline]] void CountedFree(void* p)
{
    if (!p)
        return;
    if (counting.load(std::memory_order_relaxed))
        liveBytes -= static_cast<int64_t>(malloc_usable_size(p));
    std::free(p);
}

// Counts from zero when switched on. Everything a measured read allocates it also frees before
// counting stops, so the peak is that read's own.
void StartCounting()
{
    liveBytes = 0;
    peakBytes = 0;
    counting = true;
}

int64_t StopCounting()
{
    counting = false;
    return peakBytes.load();
}

} // namespace

void* operator new(size_t size)
{
    if (void* p = CountedMalloc(size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size)
{
    if (void* p = CountedMalloc(size))
        return p;
    throw std::bad_alloc();
}
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return CountedMalloc(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return CountedMalloc(size);
}
void operator delete(void* p) noexcept
{
    CountedFree(p);
}
void operator delete[](void* p) noexcept
{
    CountedFree(p);
}
void operator delete(void* p, size_t) noexcept
{
    CountedFree(p);
}
void operator delete[](void* p, size_t) noexcept
{
    CountedFree(p);
}

namespace {

// ----- the file and its grammar
// ---------------------------------------------------------------------

constexpr int noteCount = 25000;

const std::string& MusicFile()
{
    static const std::string file = [] {
        std::string s = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                        "<!DOCTYPE Music SYSTEM \"Music.dtd\">\n\n<Music>\n"
                        "  <Version>7.1</Version>\n";
        static const char words[][12] = {"allegro", "piano", "forte", "legato,", "staccato",
                                         "da capo", "fine.", "rit.",  "a tempo", "(tutti)"};
        uint32_t state = 12345;
        for (int i = 0; i < noteCount; ++i) {
            s += "  <Note>\n    <Time>" + std::to_string(i * 480) + "</Time>\n";
            if (i % 8 == 7)
                s += "    <Rest>1</Rest>\n";
            else
                s += "    <Pitch>" + std::to_string(40 + i % 40) + "</Pitch>\n";
            s += "    <Comment>";
            // About 300 bytes of words, with the commas and stops a comment has.
            size_t start = s.size();
            while (s.size() - start < 290) {
                state = state * 1103515245u + 12345u;
                s += words[(state >> 16) % 10];
                s += ' ';
            }
            s += "end</Comment>\n  </Note>\n";
        }
        s += "</Music>\n";
        return s;
    }();
    return file;
}

const TDTDItem& MusicGrammar()
{
    static TDTDGrammar g;
    static const TDTDItem* root = [] {
        auto* note = g.Make<TDTDCompound>(
            "Note",
            g.Make<TDTDConcat>(
                g.Make<TDTDContentText>("Time"),
                g.Make<TDTDConcat>(g.Make<TDTDChoice>(g.Make<TDTDContentText>("Pitch"),
                                                      g.Make<TDTDContentText>("Rest")),
                                   g.Make<TDTDOptional>(g.Make<TDTDContentText>("Comment")))));
        return g.Make<TDTDCompound>("Music", g.Make<TDTDConcat>(g.Make<TDTDContentText>("Version"),
                                                                g.Make<TDTDRepeatMin0>(note)));
    }();
    return *root;
}

// Tokenize, validate and build the tree; the tree is returned so the caller decides when it goes.
std::unique_ptr<TXMLComplexElement> KelvornRead(const std::string& bytes)
{
    std::string version;
    auto head = TXMLToken::FromMemory(bytes, version);
    auto root = std::make_unique<TXMLComplexElement>("Root");
    const TXMLToken* cursor = head.get();
    std::string error;
    bool fatal = false;
    if (head->GetTokenKind() != xmlTokenFile ||
        !MusicGrammar().Parse(*root, cursor, error, fatal)) {
        std::fprintf(stderr, "the benchmark file does not parse: %s\n", error.c_str());
        std::abort();
    }
    return root;
}

size_t CountElements(const pugi::xml_node& node)
{
    size_t n = 0;
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element)
            n += 1 + CountElements(c);
    return n;
}

// ----- reading
// ------------------------------------------------------------------------------------

void BM_KelvornRead(benchmark::State& state)
{
    const std::string& bytes = MusicFile();
    for (auto _ : state) {
        auto root = KelvornRead(bytes);
        benchmark::DoNotOptimize(root.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));

    StartCounting();
    KelvornRead(bytes).reset();
    state.counters["peak_x_file"] = double(StopCounting()) / double(bytes.size());

    auto root = KelvornRead(bytes);
    size_t elements = 0;
    std::vector<const TXMLItem*> work{root->GetFirstChild()};
    while (!work.empty()) {
        const TXMLItem* item = work.back();
        work.pop_back();
        ++elements;
        if (!item->IsText())
            for (const TXMLItem* c = item->GetFirstChild(); c; c = c->GetNext())
                work.push_back(c);
    }
    state.counters["elements"] = double(elements);
    state.counters["file_MB"] = double(bytes.size()) / 1e6;
}
// The machine is shared: each figure is the best of five repetitions, the peer's too.
double Fastest(const std::vector<double>& v)
{
    return *std::min_element(v.begin(), v.end());
}
#define KV_BENCH(name)                                                                             \
    BENCHMARK(name)                                                                                \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->Repetitions(5)                                                                           \
        ->ComputeStatistics("min", Fastest)                                                        \
        ->ReportAggregatesOnly(true)

KV_BENCH(BM_KelvornRead);

void BM_KelvornTokenizeOnly(benchmark::State& state)
{
    const std::string& bytes = MusicFile();
    for (auto _ : state) {
        std::string version;
        auto head = TXMLToken::FromMemory(bytes, version);
        benchmark::DoNotOptimize(head.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
KV_BENCH(BM_KelvornTokenizeOnly);

void BM_PugixmlRead(benchmark::State& state)
{
    const std::string& bytes = MusicFile();
    for (auto _ : state) {
        pugi::xml_document doc;
        pugi::xml_parse_result result = doc.load_buffer(bytes.data(), bytes.size());
        if (!result)
            std::abort();
        benchmark::DoNotOptimize(doc.first_child());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));

    StartCounting();
    {
        pugi::xml_document doc;
        doc.load_buffer(bytes.data(), bytes.size());
        state.counters["elements"] = double(CountElements(doc));
    }
    state.counters["peak_x_file"] = double(StopCounting()) / double(bytes.size());
}
KV_BENCH(BM_PugixmlRead);

// ----- writing
// ------------------------------------------------------------------------------------

void BM_KelvornWriteToMemory(benchmark::State& state)
{
    auto root = KelvornRead(MusicFile());
    size_t size = 0;
    for (auto _ : state) {
        std::string out;
        std::string error;
        if (!FormatXMLFile(*root->GetFirstChild(), "", out, error))
            std::abort();
        size = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}
KV_BENCH(BM_KelvornWriteToMemory);

void BM_PugixmlWriteToMemory(benchmark::State& state)
{
    pugi::xml_document doc;
    doc.load_buffer(MusicFile().data(), MusicFile().size());
    struct StringWriter : pugi::xml_writer
    {
        std::string out;
        void write(const void* data, size_t size) override
        {
            out.append(static_cast<const char*>(data), size);
        }
    };
    size_t size = 0;
    for (auto _ : state) {
        StringWriter writer;
        doc.save(writer, "  ", pugi::format_default, pugi::encoding_latin1);
        size = writer.out.size();
        benchmark::DoNotOptimize(writer.out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}
KV_BENCH(BM_PugixmlWriteToMemory);

// Includes the safe save: temporary file, checked writes, flush to the device, rename.
void BM_KelvornWriteFile(benchmark::State& state)
{
    auto root = KelvornRead(MusicFile());
    std::string path = "/tmp/kelvorn-bench-xml-" + std::to_string(::getpid()) + ".kvm";
    for (auto _ : state) {
        std::string error;
        if (!WriteXMLFile(*root->GetFirstChild(), path, error))
            std::abort();
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(MusicFile().size()));
}
KV_BENCH(BM_KelvornWriteFile);

// ----- the ratios
// ----------------------------------------------------------------------------------

class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "min" &&
                !run.error_occurred)
                seconds[run.run_name.function_name] =
                    run.real_accumulated_time / double(run.iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatio(const char* what, const std::string& ours, const std::string& peer)
    {
        if (!seconds.count(ours) || !seconds.count(peer))
            return;
        std::printf("%s: Kelvorn runs at %.2f of pugixml's speed (%.1f MB/s against %.1f MB/s)\n",
                    what, seconds[peer] / seconds[ours],
                    double(MusicFile().size()) / seconds[ours] / 1e6,
                    double(MusicFile().size()) / seconds[peer] / 1e6);
    }

    std::map<std::string, double> seconds;
};

} // namespace

int main(int argc, char** argv)
{
    pugi::set_memory_management_functions(CountedMalloc, CountedFree);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("read (tokenize + validate + tree)", "BM_KelvornRead", "BM_PugixmlRead");
    reporter.PrintRatio("write to memory", "BM_KelvornWriteToMemory", "BM_PugixmlWriteToMemory");
    benchmark::Shutdown();
    return 0;
}
