// The seeds of the music reader's fuzz corpus against what the reader made of each when its
// record was stored: the refusal's message, or the whole piece (MuzModelText) and the bytes it
// saves. The reader's faster paths must not change a single one. KELVORN_REMAKE_GOLDENS=1
// rewrites the records after a deliberate change; read the difference before committing it.

#include "support/Files.h"
#include "support/MusicKit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
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

} // namespace
} // namespace kelvorn::test
