// Opening, saving and duplicating a generated piece of 2,000 bars on 4 staves (40,000 notes),
// against pugixml's load_file of the same bytes in the same run (its DOM, no validation), and
// against the grammar-checked parse alone (tokenize and check against the music grammar, no
// piece built). Then old "7.0" files of 1,000, 4,000 and 16,000 notes, in order and reversed,
// against the same notes in a "7.1" file: the time per note must not grow with the notes. The
// files live in memory-backed storage (/dev/shm) where there is some, or in KELVORN_BENCH_DIR.
// Times are CPU times.
#include "general/xml/XMLToken.h"
#include "general/xml/XMLWriter.h"
#include "music/core/MuzFile.h"
#include "music/core/Stave.h"
#include "music/core/UnitMuz.h"

#include "SecondsReporter.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kelvorn;
namespace fs = std::filesystem;

namespace {

constexpr int Bars = 2000;
constexpr int Staves = 4;
constexpr int OldSizes[] = {1000, 4000, 16000};

/// An old file of notes quarter notes under a G clef with F sharp, four to a bar, a third of them
/// with their own accidental and the rest taking the one in force; reversed lists them last
/// first.
std::string OldFileText(int notes, bool reversed)
{
    std::vector<std::string> lines;
    static const char* const shifts[] = {"", "<ShiftMol/>", "", "<ShiftCross/>", "", ""};
    for (int i = 0; i < notes; ++i)
        lines.push_back("<Note><Position>" + std::to_string(i / 4) + "." +
                        std::to_string(i % 4 * 25) + "</Position><Length>4</Length><Height>" +
                        std::to_string((i * 5) % 13 - 4) + "</Height>" + shifts[i % 6] +
                        "</Note>\n");
    if (reversed)
        std::reverse(lines.begin(), lines.end());
    std::string text =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE UnitMuz SYSTEM "
        "\"UnitMuz.dtd\">\n\n<UnitMuz>\n<Version>7.0</Version>\n<Tempo>1 s</Tempo>\n"
        "<Bar><Count>4</Count><Length>4</Length></Bar>\n<Stave>\n<RoomUp>80</RoomUp>\n"
        "<RoomDown>80</RoomDown>\n<ForegroundColor>000000</ForegroundColor>\n"
        "<BackgroundColor>FFFFFF</BackgroundColor>\n<Key><Position>0</Position><KeyKind>G"
        "</KeyKind><KeyNoteShift><ShiftCross/><Height>6</Height></KeyNoteShift></Key>\n"
        "<NoteGroup>\n<NoteColor>000000</NoteColor>\n<NoteShapeNormal/>\n<CompoundPlayer>\n"
        "<RepeatWaveForm><SampleWave>sample</SampleWave><VolumeFactor>1</VolumeFactor>"
        "</RepeatWaveForm>\n</CompoundPlayer>\n";
    for (const std::string& line : lines)
        text += line;
    return text + "</NoteGroup>\n</Stave>\n</UnitMuz>\n";
}

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

        // The old files, and the same notes as a new file, saved from the piece read in order.
        for (int notes : OldSizes) {
            for (bool reversed : {false, true}) {
                std::ofstream(OldFile(notes, reversed), std::ios::binary)
                    << OldFileText(notes, reversed);
            }
            TUnitMuz old("old", OldFile(notes, false));
            std::string message;
            if (!old.OpenFile(message) || !old.SaveAs(NewFile(notes))) {
                std::fprintf(stderr, "the old file of %d notes: %s\n", notes, message.c_str());
                std::abort();
            }
        }
    }
    std::string OldFile(int notes, bool reversed) const
    {
        return (dir / ("old-" + std::to_string(notes) + (reversed ? "-reversed" : "") + ".kvm"))
            .string();
    }
    std::string NewFile(int notes) const
    {
        return (dir / ("new-" + std::to_string(notes) + ".kvm")).string();
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

void BM_TokenizeOnly(benchmark::State& state)
{
    Fixture& f = TheFixture();
    for (auto _ : state) {
        std::string version;
        TXMLToken tokens(f.file, version);
        if (tokens.GetTokenKind() != xmlTokenFile)
            state.SkipWithError(tokens.GetError().c_str());
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

void BM_PugixmlLoadFile(benchmark::State& state)
{
    Fixture& f = TheFixture();
    for (auto _ : state) {
        pugi::xml_document doc;
        if (!doc.load_file(f.file.c_str()))
            state.SkipWithError("pugixml cannot read the piece");
        benchmark::DoNotOptimize(doc.first_child());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

/// Opens a file of state.range(0) notes: 0 old in order, 1 old reversed, 2 new.
void BM_OpenNotes(benchmark::State& state)
{
    Fixture& f = TheFixture();
    const int notes = static_cast<int>(state.range(0));
    const std::string file =
        state.range(1) == 2 ? f.NewFile(notes) : f.OldFile(notes, state.range(1) == 1);
    for (auto _ : state) {
        TUnitMuz doc("piece", file);
        std::string message;
        if (!doc.OpenFile(message))
            state.SkipWithError(message.c_str());
    }
    state.SetItemsProcessed(state.iterations() * notes);
}

BENCHMARK(BM_PugixmlLoadFile)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_OpenMusic)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SaveMusic)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_DuplicateMusic)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_TokenizeOnly)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_OpenNotes)
    ->ArgNames({"notes", "file"})
    ->ArgsProduct({{1000, 4000, 16000}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TheFixture();
    // CPU time: the machine may be shared, and the file lives in memory.
    using kelvorn::bench::SecondsReporter;
    SecondsReporter reporter(SecondsReporter::Time::Cpu, SecondsReporter::Key::FullName);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::map<std::string, double> s;
    // Keyed by the function's name where it runs one case.
    for (const auto& [name, seconds] : reporter.seconds)
        s[name.substr(0, name.find("/min_time"))] = seconds;
    const double mb = TheFixture().bytes / 1e6;
    std::printf("piece of %d bars, %d staves, %lld notes: %.2f MB\n", Bars, Staves,
                static_cast<long long>(TheFixture().notes), mb);
    if (s.count("BM_PugixmlLoadFile")) {
        const double peer = s["BM_PugixmlLoadFile"];
        std::printf("pugixml load_file %.1f ms (%.1f MB/s)\n", peer * 1e3, mb / peer);
        for (const char* name : {"BM_OpenMusic", "BM_ParseOnly", "BM_TokenizeOnly"})
            if (s.count(name))
                std::printf("%s %.1f ms (%.1f MB/s): %.2f of pugixml's speed\n", name,
                            s[name] * 1e3, mb / s[name], peer / s[name]);
    }
    if (s.count("BM_ParseOnly") && s.count("BM_SaveMusic"))
        std::printf("BM_SaveMusic %.1f ms (%.1f MB/s), ratio to parse only: %.2f\n",
                    s["BM_SaveMusic"] * 1e3, mb / s["BM_SaveMusic"],
                    s["BM_SaveMusic"] / s["BM_ParseOnly"]);
    if (s.count("BM_DuplicateMusic"))
        std::printf("duplicate %.1f ms\n", s["BM_DuplicateMusic"] * 1e3);
    // Microseconds per note of each file kind and size; the growth from the smallest to the
    // largest size, and the old file against the new one of the same notes.
    const auto perNote = [&s](int notes, int kind) {
        const std::string name =
            "BM_OpenNotes/notes:" + std::to_string(notes) + "/file:" + std::to_string(kind);
        return s.count(name) ? s[name] / notes * 1e6 : std::nan("");
    };
    static const char* const kinds[] = {"7.0 in order", "7.0 reversed", "7.1 (peer)"};
    std::printf("\nopen, microseconds per note:\n%-14s", "notes");
    for (int notes : OldSizes)
        std::printf("%10d", notes);
    std::printf("%12s\n", "last/first");
    for (int kind = 0; kind < 3; ++kind) {
        std::printf("%-14s", kinds[kind]);
        for (int notes : OldSizes)
            std::printf("%10.2f", perNote(notes, kind));
        std::printf("%12.2f\n", perNote(OldSizes[2], kind) / perNote(OldSizes[0], kind));
    }
    for (int kind = 0; kind < 2; ++kind) {
        std::printf("%-14s", (std::string(kinds[kind]).substr(4) + "/7.1").c_str());
        for (int notes : OldSizes)
            std::printf("%10.2f", perNote(notes, kind) / perNote(notes, 2));
        std::printf("\n");
    }
    benchmark::Shutdown();
    return 0;
}
