// The seeds of the music reader's fuzz corpus against what the reader made of each when its
// record was stored: the refusal's message, or the whole piece (MuzModelText) and the bytes it
// saves. The reader's faster paths must not change a single one. KELVORN_REMAKE_GOLDENS=1
// rewrites the records after a deliberate change; read the difference before committing it.
//
// Old files also read the same whatever order a group lists its notes in.

#include "support/Files.h"
#include "support/MusicKit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <vector>

namespace kelvorn::test {
namespace {

namespace fs = std::filesystem;

const fs::path corpus = KELVORN_MUZ_CORPUS;
const fs::path records = KELVORN_MUZ_GOLDEN;

/// What a read of text gives: "refused" and the message, or the piece and the bytes it saves.
std::string Outcome(const std::string& text)
{
    MuzLoad read(text);
    if (!read.ok)
        return "refused\n" + read.message + "\n";
    return MuzModelText(*read.doc) + "----\n" + MuzText(*read.doc);
}

std::vector<fs::path> Seeds()
{
    std::vector<fs::path> seeds;
    for (const auto& entry : fs::directory_iterator(corpus))
        if (entry.path().extension() == ".kvm")
            seeds.push_back(entry.path());
    std::sort(seeds.begin(), seeds.end());
    return seeds;
}

TEST(FileCorpusTest, EverySeedReadsAsItsRecordSays)
{
    const bool remake = std::getenv("KELVORN_REMAKE_GOLDENS") != nullptr;
    std::set<std::string> recorded;
    for (const auto& entry : fs::directory_iterator(records))
        recorded.insert(entry.path().stem().string());
    int pieces = 0;
    const std::vector<fs::path> seeds = Seeds();
    ASSERT_GE(seeds.size(), 40u);
    for (const fs::path& seed : seeds) {
        const std::string outcome = Outcome(ReadAll(seed));
        const fs::path record = records / (seed.stem().string() + ".txt");
        pieces += outcome.rfind("refused\n", 0) != 0;
        recorded.erase(seed.stem().string());
        if (remake) {
            WriteAll(record, outcome);
            continue;
        }
        ASSERT_TRUE(fs::exists(record)) << record << " is missing";
        EXPECT_EQ(outcome, ReadAll(record)) << seed.filename();
    }
    // Both versions read into pieces, not only refusals; no record outlives its seed.
    EXPECT_GE(pieces, 6);
    EXPECT_TRUE(recorded.empty()) << *recorded.begin() << " has no seed";
}

// ---- old files in any note order -------------------------------------------------------------

/// text with the note lines of every group put in the order that reorder gives them.
std::string ReorderNotes(const std::string& text,
                         const std::function<void(std::vector<std::string>&)>& reorder)
{
    std::string out;
    std::vector<std::string> notes;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(at, end - at);
        at = end;
        if (line.find("<Note>") != std::string::npos) {
            notes.push_back(line);
            continue;
        }
        if (!notes.empty()) {
            reorder(notes);
            for (const std::string& note : notes)
                out += note;
            notes.clear();
        }
        out += line;
    }
    return out;
}

struct Order
{
    const char* name;
    std::function<void(std::vector<std::string>&)> reorder;
};

TEST(FileCorpusTest, OldNotesInAnyOrderReadAsInTimeOrder)
{
    const std::vector<Order> orders = {
        {"reversed", [](auto& v) { std::reverse(v.begin(), v.end()); }},
        {"rotated by a third",
         [](auto& v) { std::rotate(v.begin(), v.begin() + v.size() / 3, v.end()); }},
        {"odd ones first",
         [](auto& v) {
             std::vector<std::string> odd, even;
             for (size_t i = 0; i < v.size(); ++i)
                 (i % 2 ? odd : even).push_back(v[i]);
             odd.insert(odd.end(), even.begin(), even.end());
             v = odd;
         }},
        {"shuffled",
         [](auto& v) {
             uint32_t state = 40;
             for (size_t i = v.size(); i > 1; --i) {
                 state = state * 1664525u + 1013904223u;
                 std::swap(v[i - 1], v[(state >> 8) % i]);
             }
         }},
    };
    // Two staves of two groups with clef changes, chords and carried accidentals; and the short
    // file whose flat is carried to the next F of the bar.
    for (const char* seed : {"old-two-staves-in-order.kvm", "old-accidentals.kvm"}) {
        const std::string text = ReadAll(corpus / seed);
        const std::string inOrder = Outcome(text);
        ASSERT_EQ(inOrder.rfind("refused", 0), std::string::npos) << inOrder;
        for (const Order& order : orders) {
            const std::string moved = ReorderNotes(text, order.reorder);
            ASSERT_NE(moved, text) << seed << ", " << order.name;
            EXPECT_EQ(Outcome(moved), inOrder) << seed << ", " << order.name;
        }
    }
}

} // namespace
} // namespace kelvorn::test
