// Loading and saving a generated factory of 1,000 nodes and 3,000 connections, against pugixml
// in the same run: its parse of the same file (read from the same storage) for the load, and
// its save of that parsed document for the save. A load checks the version and the grammar,
// builds the nodes, pins and constants and joins the connections by name; a save builds the
// tree, reads it back into a scratch factory and writes the file safely. Loads of 1,000, 4,000
// and 16,000 nodes show how the time grows. Files live in memory-backed storage (/dev/shm)
// where there is some, or in KELVORN_BENCH_DIR. Times are CPU times.
#include "factory/builtins/BuiltinNode.h"
#include "factory/core/FactoryFile.h"
#include "factory/core/UnitSountory.h"
#include "general/Services.h"
#include "general/xml/XMLToken.h"

#include "BenchDir.h"
#include "NullFactoryHost.h"
#include "SecondsReporter.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

using namespace kelvorn;
namespace {

bench::NullFactoryHost host;

// Plus nodes of three operands on a grid, each operand fed by an earlier node's "Expression"
// (or, for the first nodes, by a factory input): three connections a node.
std::unique_ptr<TUnitSountory> MakeFactory(int nodes)
{
    auto factory = std::make_unique<TUnitSountory>("bench", "", host);
    factory->InitFromTemplate(2, nullptr);
    factory->SetWidth(200 * 120);
    factory->SetHeight((nodes / 200 + 1) * 100);
    TSountoryInput* input = factory->CreateInput("In", unitFactorPosMax1(0.5, EHPerc), false,
                                                 ValueDomType::Factor, ValueDomain::AllValues);
    std::vector<TSountoryNodeBuiltin*> made;
    for (int i = 0; i < nodes; ++i) {
        int32_t x = (i % 200) * 120;
        int32_t y = (i / 200) * 100;
        auto* node = factory->CreateNode<TSountoryNodeBuiltin>(
            "Node " + std::to_string(i), uint8_t(BuiltinPlus),
            TSountoryRectangle{x, y, x + 100, y + 80}, true);
        node->AddOperand();
        for (int k = 0; k < 3; ++k) {
            int from = i - 1 - k * 7;
            TSountoryNodeInput* in = node->Inputs()[size_t(k)].get();
            if (from >= 0)
                in->SetSource(made[size_t(from)]->FindOutputByName("Expression"));
            else
                in->SetSource(input);
        }
        made.push_back(node);
    }
    return factory;
}

struct Fixture
{
    kelvorn::bench::BenchDir dir{"factory"};
    std::map<int, std::string> files;
    std::map<int, int64_t> bytes;
    std::string saveFile = dir / "saved.kvf";
    std::string pugiSaveFile = dir / "pugi.kvf";
    std::unique_ptr<TUnitSountory> thousand;

    Fixture()
    {
        InstallService<TBuiltinNodeMaker>(&GetBuiltinNodeMaker());
        for (int nodes : {1000, 4000, 16000}) {
            std::unique_ptr<TUnitSountory> factory = MakeFactory(nodes);
            std::string file = dir / ("factory-" + std::to_string(nodes) + ".kvf");
            if (!factory->SaveAs(file))
                std::abort();
            files[nodes] = file;
            bytes[nodes] = static_cast<int64_t>(std::filesystem::file_size(file));
            if (nodes == 1000)
                thousand = std::move(factory);
        }
    }
};

Fixture& TheFixture()
{
    static Fixture fixture;
    return fixture;
}

void BM_LoadFactory(benchmark::State& state)
{
    Fixture& f = TheFixture();
    int nodes = static_cast<int>(state.range(0));
    for (auto _ : state) {
        TUnitSountory doc("bench", f.files[nodes], host);
        std::string message;
        if (!doc.LoadFromFile(f.files[nodes], message))
            state.SkipWithError(message.c_str());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes[nodes]);
}

// What the XML layer alone costs of a load: the tokens and the grammar's tree, no factory.
void BM_ParseOnly(benchmark::State& state)
{
    Fixture& f = TheFixture();
    int nodes = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::string version;
        TXMLToken tokens(f.files[nodes], version);
        TXMLArenaScope arena;
        TXMLComplexElement root("Root");
        const TXMLToken* cursor = &tokens;
        std::string error;
        bool fatal = false;
        if (!FactoryGrammar()->Parse(root, cursor, error, fatal))
            state.SkipWithError(error.c_str());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes[nodes]);
}

void BM_SaveFactory(benchmark::State& state)
{
    Fixture& f = TheFixture();
    for (auto _ : state)
        if (!f.thousand->SaveAs(f.saveFile))
            state.SkipWithError("save failed");
    state.SetBytesProcessed(state.iterations() * f.bytes[1000]);
}

void BM_PugixmlParse(benchmark::State& state)
{
    Fixture& f = TheFixture();
    for (auto _ : state) {
        pugi::xml_document doc;
        if (!doc.load_file(f.files[1000].c_str()))
            state.SkipWithError("pugixml refused the file");
        benchmark::DoNotOptimize(doc.first_child());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes[1000]);
}

void BM_PugixmlSave(benchmark::State& state)
{
    Fixture& f = TheFixture();
    pugi::xml_document doc;
    if (!doc.load_file(f.files[1000].c_str()))
        std::abort();
    for (auto _ : state)
        if (!doc.save_file(f.pugiSaveFile.c_str(), "  ", pugi::format_default,
                           pugi::encoding_latin1))
            state.SkipWithError("pugixml save failed");
    state.SetBytesProcessed(state.iterations() * f.bytes[1000]);
}

BENCHMARK(BM_LoadFactory)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseOnly)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFactory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PugixmlParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PugixmlSave)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Fixture& f = TheFixture();
    // CPU time: the machine may be shared, and the files live in memory.
    kelvorn::bench::SecondsReporter reporter(kelvorn::bench::SecondsReporter::Time::Cpu,
                                             kelvorn::bench::SecondsReporter::Key::FullName);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& s = reporter.seconds;
    std::printf("factory of 1000 nodes, 3000 connections: %.2f MB\n", f.bytes[1000] / 1e6);
    const char* load = "BM_LoadFactory/1000";
    if (s.count(load) && s.count("BM_PugixmlParse"))
        std::printf("load %.2f ms, pugixml parse %.2f ms, ratio %.2f\n", s[load] * 1e3,
                    s["BM_PugixmlParse"] * 1e3, s[load] / s["BM_PugixmlParse"]);
    if (s.count("BM_SaveFactory") && s.count("BM_PugixmlSave"))
        std::printf("save %.2f ms, pugixml save %.2f ms, ratio %.2f\n", s["BM_SaveFactory"] * 1e3,
                    s["BM_PugixmlSave"] * 1e3, s["BM_SaveFactory"] / s["BM_PugixmlSave"]);
    for (const char* what : {"BM_LoadFactory", "BM_ParseOnly"}) {
        int previous = 0;
        for (int nodes : {1000, 4000, 16000}) {
            std::string name = std::string(what) + "/" + std::to_string(nodes);
            if (!s.count(name))
                continue;
            std::printf("%s of %d nodes: %.2f ms (%.2f us a node)",
                        what == std::string("BM_LoadFactory") ? "load" : "parse only", nodes,
                        s[name] * 1e3, s[name] * 1e6 / nodes);
            std::string before = std::string(what) + "/" + std::to_string(previous);
            if (previous && s.count(before))
                std::printf(", %.2f times that of %d nodes (4 is linear)", s[name] / s[before],
                            previous);
            std::printf("\n");
            previous = nodes;
        }
    }
    benchmark::Shutdown();
    return 0;
}
