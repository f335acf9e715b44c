// Opening, saving and duplicating a generated piece of 2,000 bars on 4 staves (40,000 notes),
// against the grammar-checked parse of the same bytes alone in the same run: tokenize and
// check against the music grammar, no piece built. The file lives in memory-backed storage
// (/dev/shm) where there is some, or in KELVORN_BENCH_DIR. Times are CPU times.
#include "general/xml/XMLToken.h"
#include "music/core/MuzFile.h"
#include "music/core/Stave.h"
#include "music/core/UnitMuz.h"

#include "SecondsReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

using namespace kelvorn;
namespace fs = std::filesystem;

namespace {

constexpr int Bars = 2000;
constexpr int Staves = 4;

struct Fixture
{
    fs::path dir;
    std::string file;
    std::string saveFile;
    int64_t bytes = 0;
    int64_t notes = 0;
    std::unique_ptr<TUnitMuz> doc;

    Fixture()
    {
        const char* chosen = std::getenv("KELVORN_BENCH_DIR");
        fs::path base = chosen                   ? fs::path(chosen)
                        : fs::exists("/dev/shm") ? fs::path("/dev/shm")
                                                 : fs::temp_directory_path();
        dir = base / ("kv-bench-music-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        file = (dir / "piece.kvm").string();
        saveFile = (dir / "saved.kvm").string();

        doc = std::make_unique<TUnitMuz>("piece", "");
        doc->NewMusic();
        for (int s = 1; s < Staves; ++s)
            doc->AddStave(doc->GetCurrentStave());
        TSinglePartMuz* part = doc->GetRootPart()->FirstSinglePart();
        // Four quarters a bar and a chord on the third; bar by bar, so every note is appended.
        static const double at[] = {0.0, 0.25, 0.5, 0.5, 0.75};
        for (int bar = 0; bar < Bars; ++bar)
            for (TNoteStave* stave = doc->GetFirstStave(); stave; stave = stave->GetNext())
                for (int i = 0; i < 5; ++i, ++notes)
                    part->InsertSymbol(new TMuzNote(doc.get(), stave->GetFirstNoteGroup(), 4, 0,
                                                    bar + at[i], (bar * 3 + i * 2) % 21 - 10, stave,
                                                    noteShiftNormal, sool, 0, noteArtNormal, part,
                                                    drawStickAuto));
        if (!doc->SaveAs(file))
            std::abort();
        bytes = static_cast<int64_t>(fs::file_size(file));
    }
    ~Fixture()
    {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
};

Fixture& TheFixture()
{
    static Fixture fixture;
    return fixture;
}

void BM_OpenMusic(benchmark::State& state)
{
    Fixture& f = TheFixture();
    for (auto _ : state) {
        TUnitMuz doc("piece", f.file);
        std::string message;
        if (!doc.OpenFile(message))
            state.SkipWithError(message.c_str());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void BM_SaveMusic(benchmark::State& state)
{
    Fixture& f = TheFixture();
    for (auto _ : state)
        if (!f.doc->SaveAs(f.saveFile))
            state.SkipWithError("save failed");
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void BM_DuplicateMusic(benchmark::State& state)
{
    Fixture& f = TheFixture();
    for (auto _ : state) {
        TUnitMuz copy("copy", "");
        std::string message;
        if (!copy.Duplicate(*f.doc, message))
            state.SkipWithError(message.c_str());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void BM_ParseOnly(benchmark::State& state)
{
    Fixture& f = TheFixture();
    for (auto _ : state) {
        std::string version;
        TXMLToken tokens(f.file, version);
        TXMLArenaScope arena;
        TXMLComplexElement root("Root");
        const TXMLToken* cursor = &tokens;
        std::string error;
        bool fatal = false;
        if (!MuzGrammars().dtd71->Parse(root, cursor, error, fatal))
            state.SkipWithError(error.c_str());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

BENCHMARK(BM_OpenMusic)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SaveMusic)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_DuplicateMusic)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TheFixture();
    // CPU time: the machine may be shared, and the file lives in memory.
    kelvorn::bench::SecondsReporter reporter(kelvorn::bench::SecondsReporter::Time::Cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& s = reporter.seconds;
    const double mb = TheFixture().bytes / 1e6;
    std::printf("piece of %d bars, %d staves, %lld notes: %.2f MB\n", Bars, Staves,
                static_cast<long long>(TheFixture().notes), mb);
    if (s.count("BM_ParseOnly")) {
        const double parse = s["BM_ParseOnly"];
        std::printf("parse only %.1f ms (%.1f MB/s)\n", parse * 1e3, mb / parse);
        for (const char* name : {"BM_OpenMusic", "BM_SaveMusic"})
            if (s.count(name))
                std::printf("%s %.1f ms (%.1f MB/s), ratio to parse only: %.2f\n", name,
                            s[name] * 1e3, mb / s[name], s[name] / parse);
    }
    if (s.count("BM_DuplicateMusic"))
        std::printf("duplicate %.1f ms\n", s["BM_DuplicateMusic"] * 1e3);
    benchmark::Shutdown();
    return 0;
}
