// Every edit road of the music model tells what is kept with the piece what it touched: the
// kind, the single part and the earliest time; the generation counts every notice. The rows
// run one after the other on one piece, so later rows find the notes where earlier ones left
// them. A keeper
// that records the notices stands in for the score's kept layout.

#include "support/MusicKit.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace kelvorn::test {
namespace {

struct Notices final : TMuzKeeper
{
    std::vector<TMuzChange> seen;
    std::vector<const void*> forgotten;
    void PieceChanged(const TMuzChange& change) override { seen.push_back(change); }
    void Forget(const void* item) override { forgotten.push_back(item); }
};

struct ChangeNotices : ::testing::Test, MusicDoc
{
    Notices* notices = nullptr;
    TMuzNote* a = nullptr;
    TMuzNote* b = nullptr;

    ChangeNotices()
    {
        a = Note(1.0, 4);
        b = Note(2.5, 6);
        auto keeper = std::make_unique<Notices>();
        notices = keeper.get();
        doc.SetKeeper(std::move(keeper));
    }
};

TEST_F(ChangeNotices, EveryEditRoadTellsKindPartAndEarliestTime)
{
    using K = TMuzChange;
    constexpr double none = -1; // a change without a time
    struct Row
    {
        const char* name;
        std::function<void()> edit;
        K::Kind kind;
        double earliest;
    };
    const Row rows[] = {
        {"pitch", [&] { a->SetPitch(8); }, K::Symbols, 1.0},
        {"length", [&] { b->SetNoteLengthKind(8); }, K::Symbols, 2.5},
        {"dots", [&] { b->SetPoints(1); }, K::Symbols, 2.5},
        {"tuplet", [&] { b->SetOol(triool, 1); }, K::Symbols, 2.5},
        {"accidental", [&] { a->SetNoteShiftKind(noteShiftMol); }, K::Symbols, 1.0},
        {"articulation", [&] { a->SetNoteArtKind(noteArtLegato); }, K::Symbols, 1.0},
        {"stem", [&] { a->SetDrawStickKind(drawStickDown); }, K::Symbols, 1.0},
        {"group", [&] { a->SetNoteGroup(Group()); }, K::Symbols, 1.0},
        {"move earlier", [&] { b->SetPosition(0.5); }, K::Symbols, 0.5},
        {"move later", [&] { a->SetPosition(3.0); }, K::Symbols, 1.0},
        {"insert", [&] { Note(1.75, 2); }, K::Symbols, 1.75},
        {"delete", [&] { part->DeleteSymbol(b); }, K::Symbols, 0.5},
        {"unlink", [&] { part->UnlinkSymbol(a).reset(); }, K::Symbols, 3.0},
        {"rests", [&] { doc.FillStaveRests(stave); }, K::Symbols, 0.0},
        {"clef", [&] { part->GetOpeningKey(stave)->SetKeyKind(keyKindF); }, K::Symbols, 0.0},
        {"key signature", [&] { part->GetOpeningKey(stave)->SetKeyNoteShift(3, noteShiftKruis); },
         K::Symbols, 0.0},
        {"octave", [&] { part->GetOpeningKey(stave)->SetOctavesUp(1); }, K::Symbols, 0.0},
        {"time signature", [&] { part->GetMuzBar()->SetCount(3); }, K::WholePart, none},
        {"pick-up beat", [&] { part->GetMuzBar()->NextBeat(); }, K::WholePart, none},
        {"sorted chain", [&] { part->SortChain(); }, K::WholePart, none},
        {"new stave", [&] { doc.AddStave(stave); }, K::Staves, none},
        {"stave deleted", [&] { doc.DeleteStave(doc.GetFirstStave()->GetNext()); }, K::Staves,
         none},
        {"part disabled", [&] { part->SetEnabled(false); }, K::Parts, none},
        {"loop around",
         [&] {
             TStartPartMuz* root = doc.GetRootPart();
             root->SetChild(new TLoopPartMuz(&doc, root->SetChild(nullptr), 2));
         },
         K::Parts, none},
        {"loop's part put back",
         [&] {
             auto* loop = static_cast<TLoopPartMuz*>(doc.GetRootPart()->GetChild());
             loop->SetLoopPart(loop->SetLoopPart(nullptr));
         },
         K::Parts, none},
        {"turns around",
         [&] {
             TStartPartMuz* root = doc.GetRootPart();
             root->SetChild(new TSelectPartMuz(&doc, root->SetChild(nullptr)));
         },
         K::Parts, none},
        {"turns' part put back",
         [&] {
             auto* select = static_cast<TSelectPartMuz*>(doc.GetRootPart()->GetChild());
             select->SetSelectPart(select->SetSelectPart(nullptr));
         },
         K::Parts, none},
        {"part taken out and linked back by hand",
         [&] {
             TPartMuz* top = doc.GetRootPart()->GetChild();
             const TPartMuz::TDetached d = top->Detach();
             *d.link = top;
             top->SetParent(d.parent);
         },
         K::Parts, none},
        {"tempo", [&] { doc.SetTempo(3.0); }, K::Tempo, none},
    };
    for (const Row& row : rows) {
        notices->seen.clear();
        const uint64_t before = doc.GetGeneration();
        row.edit();
        ASSERT_FALSE(notices->seen.empty()) << row.name;
        EXPECT_EQ(doc.GetGeneration(), before + notices->seen.size()) << row.name;
        double earliest = 1e9;
        bool kindSeen = false;
        for (const TMuzChange& c : notices->seen) {
            kindSeen = kindSeen || c.kind == row.kind;
            if (c.kind == K::Symbols || c.kind == K::WholePart) {
                EXPECT_EQ(c.part, part) << row.name;
            }
            if (c.kind == row.kind)
                earliest = std::min(earliest, c.position);
        }
        EXPECT_TRUE(kindSeen) << row.name;
        if (row.earliest != none) {
            EXPECT_EQ(earliest, row.earliest) << row.name;
        }
    }
}

TEST_F(ChangeNotices, RemovalsAreForgottenAndLayoutBookkeepingIsNoEdit)
{
    const void* gone = static_cast<TXTouchMuzSymbol*>(b);
    part->DeleteSymbol(b);
    EXPECT_NE(std::find(notices->forgotten.begin(), notices->forgotten.end(), gone),
              notices->forgotten.end());
    // A layout's own bookkeeping is no edit.
    const uint64_t before = doc.GetGeneration();
    a->SetHeight(3);
    a->AddX(10);
    EXPECT_EQ(doc.GetGeneration(), before);
}

} // namespace
} // namespace kelvorn::test
