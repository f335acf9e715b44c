// The XML tokenizer alone. Invariant: either a failure with a message and no chain, or a chain
// of well-formed tokens ending in one end-of-file token.
#include "FuzzSupport.h"
#include "general/xml/XMLToken.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace kelvorn;
using namespace kelvorn::fuzz;

namespace {

bool IsNameByte(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    InstallNoBoxes();

    std::string version = "unset";
    auto head =
        TXMLToken::FromMemory(std::string(reinterpret_cast<const char*>(data), size), version);
    if (head->GetTokenKind() == xmlTokenError) {
        const std::string& error = head->GetError();
        Require(error.rfind("unexpected ", 0) == 0);
        Require(error.find(" found in line ") != std::string::npos);
        Require(head->GetNext() == nullptr);
        return 0;
    }
    Require(head->GetTokenKind() == xmlTokenFile);

    size_t count = 0;
    int32_t lastLine = 3;
    std::string lastVersion = "unset";
    const TXMLToken* previous = head.get();
    for (const TXMLToken* t = head->GetNext(); t; previous = t, t = t->GetNext()) {
        ++count;
        Require(count <= size + 1);
        Require(t->GetLine() >= lastLine);
        lastLine = t->GetLine();
        switch (t->GetTokenKind()) {
        case xmlTokenBegin:
        case xmlTokenEnd:
        case xmlTokenEmpty:
            Require(!t->GetName().empty());
            for (unsigned char c : t->GetName())
                Require(IsNameByte(c));
            break;
        case xmlTokenAttr: {
            std::string_view text = t->GetText();
            for (unsigned char c : text)
                Require(c != '<' && c != '>' && c != '\t' && c != '\n' && c != '\r');
            if (!text.empty()) {
                Require(static_cast<unsigned char>(text.front()) >= 33);
                Require(static_cast<unsigned char>(text.back()) >= 33);
            }
            if (previous->GetTokenKind() == xmlTokenBegin && previous->GetName() == "Version")
                lastVersion = std::string(text);
            break;
        }
        case xmlTokenEof:
            Require(t->GetNext() == nullptr);
            break;
        default:
            Require(false);
        }
    }
    Require(count >= 1 && previous->GetTokenKind() == xmlTokenEof);
    Require(version == lastVersion);
    return 0;
}
