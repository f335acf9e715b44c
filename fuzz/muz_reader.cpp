// Tokenize, check against the grammar of its version and read a music file from memory, then
// walk and measure the piece and write it. Invariant: no input reaches an assertion; a refused
// file comes with a message; a read piece writes a file that reads back and writes the same
// bytes again.
#include "FuzzSupport.h"

#include "document/wave/UnitWave.h"
#include "general/xml/XMLToken.h"
#include "general/xml/XMLWriter.h"
#include "music/core/MuzFile.h"
#include "music/core/UnitMuz.h"

#include <cstdint>
#include <memory>
#include <string>

using namespace kelvorn;
using kelvorn::fuzz::Require;

namespace {

// Every player finds the same short wave, so measuring reaches the players' own arithmetic.
class AnyWave final : public WaveDocumentFinder
{
public:
    TUnitWave* FindUnitWave(const std::string&) override { return &wave; }

private:
    TUnitWave wave{"sample", "", std::make_shared<MonoSound>(8000, int16_t{2})};
};

bool Read(TUnitMuz& doc, std::string bytes, std::string& message)
{
    std::string version;
    auto tokens = TXMLToken::FromMemory(std::move(bytes), version);
    if (tokens->GetTokenKind() == xmlTokenError) {
        message = tokens->GetError();
        return false;
    }
    return ReadMuzTokens(doc, *tokens, version, message);
}

std::string Write(const TUnitMuz& doc)
{
    std::string text;
    std::string error;
    Require(FormatXMLFile(*doc.CreateXml(), "", text, error));
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kelvorn::fuzz::InstallNoBoxes();
    static AnyWave waves;

    TUnitMuz doc("fuzz", "");
    std::string message;
    if (!Read(doc, std::string(reinterpret_cast<const char*>(data), size), message)) {
        Require(!message.empty());
        return 0;
    }
    Require(doc.GetRootPart()->CheckParents(nullptr));
    Require(doc.GetFirstStave() != nullptr);
    int64_t symbols = 0;
    for (TSinglePartMuz* single = doc.GetRootPart()->FirstSinglePart(); single;
         single = single->GetParent()->NextSinglePart(single))
        symbols += single->CountSymbols();
    Require(symbols > 0);

    // Measuring walks every loop turn and note against the budget, never past it.
    doc.SetWaveFinder(&waves);
    doc.SetRenderEventLimit(20000);
    AbortFlag abort = 0;
    std::string renderMessage;
    TRenderContext context;
    context.abort = &abort;
    context.message = &renderMessage;
    context.tempo = doc.tempo.GetValue();
    context.eventLimit = 20000;
    double preRoll = 0.0, end = 0.0, runningTime = 0.0;
    doc.GetRootPart()->ResetTurns();
    if (!doc.GetRootPart()->Measure(context, preRoll, end, runningTime, 0.0))
        Require(!renderMessage.empty());

    const std::string written = Write(doc);
    TUnitMuz again("again", "");
    Require(Read(again, written, message));
    Require(Write(again) == written);
    return 0;
}
