// The symbol chain of a single part and the walks of the part tree.

#include "support/MusicKit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <tuple>
#include <vector>

namespace kelvorn::test {
namespace {

/// The chain stands in IsPrevOf order (no symbol before one that must precede it), its links
/// agree both ways and it holds exactly `want`.
void ExpectChain(TSinglePartMuz& part, const std::set<TStaveSymbol*>& want)
{
    std::set<TStaveSymbol*> seen;
    TStaveSymbol* prev = nullptr;
    for (TStaveSymbol* s = part.FirstSymbol(); s; s = s->GetNext()) {
        ASSERT_EQ(s->GetPrev(), prev);
        for (TStaveSymbol* e = part.FirstSymbol(); e != s; e = e->GetNext())
            ASSERT_FALSE(s->IsPrevOf(*e)) << "out of order at " << s->GetPosition();
        seen.insert(s);
        prev = s;
    }
    EXPECT_EQ(part.LastSymbol(), prev);
    EXPECT_EQ(seen, want);
}

TEST(ChainTest, RandomInsertsMovesAndDeletesKeepOrderAndLoseNothing)
{
    MusicDoc m;
    TNoteStave* second = m.doc.AddStave(m.stave);
    std::mt19937 dice(20261207);
    std::set<TStaveSymbol*> want;
    for (TStaveSymbol* s = m.part->FirstSymbol(); s; s = s->GetNext())
        want.insert(s);
    std::vector<TStaveSymbol*> pool(want.begin(), want.end());
    auto position = [&] { return std::uniform_int_distribution<int>(0, 15)(dice) / 8.0; };
    for (int step = 0; step < 600; ++step) {
        const int action = std::uniform_int_distribution<int>(0, 9)(dice);
        TNoteStave* st = dice() % 2 ? m.stave : second;
        if (action < 5 || pool.size() < 4) {
            TStaveSymbol* s;
            if (action == 0)
                s = new TKey(&m.doc, keyKindC, 0, position(), st, 1 + dice() % 3, m.part);
            else if (action == 1)
                s = new TSilence(8, 0, position(), st, triool, dice() % 3, m.part);
            else
                s = new TMuzNote(&m.doc, st->GetFirstNoteGroup(), 8, 0, position(),
                                 static_cast<int32_t>(dice() % 20) - 10, st, noteShiftNormal, sool,
                                 0, noteArtNormal, m.part, drawStickAuto);
            m.part->InsertSymbol(s);
            want.insert(s);
            pool.push_back(s);
        } else if (action < 8) {
            TStaveSymbol* s = pool[dice() % pool.size()];
            s->SetPosition(position());
            m.part->MoveSymbol(s);
        } else {
            const size_t i = dice() % pool.size();
            want.erase(pool[i]);
            m.part->DeleteSymbol(pool[i]);
            pool.erase(pool.begin() + static_cast<long>(i));
        }
        ExpectChain(*m.part, want);
        if (HasFatalFailure())
            return;
    }
    EXPECT_TRUE(m.messages.Unexpected().empty());
}

struct RestCase
{
    const char* name;
    std::vector<double> notes;                 // positions of quarter notes
    std::vector<std::pair<double, int>> rests; // position, length kind
};

TEST(ChainTest, FillRests)
{
    const RestCase cases[] = {
        {"half and quarter before 3/4", {0.75}, {{0.0, 2}, {0.5, 4}}},
        {"1/64 is left", {1.0 / 64}, {}},
        {"split at the bar line", {0.0, 1.25}, {{0.25, 2}, {0.75, 4}, {1.0, 4}}},
        {"a triplet's remainder ends", {1.0 / 12}, {{0.0, 16}}},
        {"no gap", {0.0, 0.25}, {}},
    };
    for (const RestCase& c : cases) {
        SCOPED_TRACE(c.name);
        MusicDoc m;
        for (double p : c.notes)
            m.Note(p, 5);
        m.doc.FillStaveRests(m.stave);
        std::vector<std::pair<double, int>> rests;
        for (TStaveSymbol* s = m.part->FirstSymbol(); s; s = s->GetNext())
            if (s->GetStaveSymbolKind() == staveSymbolSilence)
                rests.emplace_back(s->GetPosition(),
                                   static_cast<TSilence*>(s)->GetNoteLengthKind());
        EXPECT_EQ(rests, c.rests);
    }
}

/// Concat(Loop(Select(s1)), s2) with one stave; s1 holds a note at 0 and a chord of three at
/// 0.25.
struct Tree : MusicDoc
{
    TSinglePartMuz* s1 = part;
    TSelectPartMuz* select = nullptr;
    TLoopPartMuz* loop = nullptr;
    TSinglePartMuz* s2 = nullptr;
    TConcatPartMuz* concat = nullptr;
    TMuzNote* lone = nullptr;
    TMuzNote* middle = nullptr;

    Tree()
    {
        TStartPartMuz* root = doc.GetRootPart();
        root->SetChild(nullptr);
        select = new TSelectPartMuz(&doc, s1);
        loop = new TLoopPartMuz(&doc, select, 3);
        s2 = new TSinglePartMuz(&doc);
        new TMuzBar(s2, 4, 4, 0);
        s2->CreateKeys();
        concat = new TConcatPartMuz(&doc, loop, s2);
        root->SetChild(concat);
        lone = Note(0.0, 5);
        Note(0.25, 9);
        middle = Note(0.25, 7);
        Note(0.25, 5);
    }

    TXTouchMuzSymbol* Step(TXTouchMuzSymbol* from, bool next)
    {
        switch (from->GetMuzSymbolKind()) {
        case muzSymbolLoop: {
            auto* mark = static_cast<TLoopPartSymbol*>(from);
            return next ? mark->GetLoopPart()->NextOfLoopSymbol(stave, mark)
                        : mark->GetLoopPart()->PrevOfLoopSymbol(stave, mark);
        }
        case muzSymbolBar: {
            TSinglePartMuz* p = static_cast<TMuzBar*>(from)->GetSinglePartMuz();
            return next ? p->NextCursorSymbol(stave, from) : p->PrevCursorSymbol(stave, from);
        }
        default: {
            TSinglePartMuz* p = static_cast<TStaveSymbol*>(from)->GetOwner();
            return next ? p->NextCursorSymbol(stave, from) : p->PrevCursorSymbol(stave, from);
        }
        }
    }
};

TEST(ChainTest, PlayOrderAndCursorWalksAcrossLoopMarks)
{
    Tree t;
    TStartPartMuz* root = t.doc.GetRootPart();
    EXPECT_TRUE(root->CheckParents(nullptr));
    EXPECT_EQ(root->FirstSinglePart(), t.s1);
    EXPECT_EQ(t.s1->GetParent()->NextSinglePart(t.s1), t.s2);
    EXPECT_EQ(t.s2->GetParent()->NextSinglePart(t.s2), nullptr);
    EXPECT_EQ(t.s2->GetParent()->PrevSinglePart(t.s2), t.s1);
    EXPECT_EQ(root->NextPlayPart(nullptr), t.loop);
    EXPECT_EQ(t.s1->EnclosingLoop(), t.loop);
    EXPECT_EQ(t.s1->EnclosingLoopOrSelect(), t.select);

    const std::vector<TXTouchMuzSymbol*> order = {t.loop->GetLeftLoopSymbol(),
                                                  t.s1->GetOpeningKey(t.stave),
                                                  t.s1->GetMuzBar(),
                                                  t.lone,
                                                  t.middle,
                                                  t.loop->GetRightLoopSymbol(),
                                                  t.s2->GetOpeningKey(t.stave),
                                                  t.s2->GetMuzBar()};
    for (size_t i = 0; i + 1 < order.size(); ++i) {
        EXPECT_EQ(t.Step(order[i], true), order[i + 1]) << "next of " << i;
        EXPECT_EQ(t.Step(order[i + 1], false), order[i]) << "previous of " << i + 1;
    }
    EXPECT_EQ(t.Step(order.back(), true), nullptr);
    EXPECT_EQ(t.Step(order.front(), false), nullptr);
    EXPECT_TRUE(t.messages.Unexpected().empty());
}

TEST(ChainTest, DetachAndCollapse)
{
    Tree t;
    const TPartMuz::TDetached d = t.s2->Detach();
    EXPECT_EQ(d.parent, t.concat);
    EXPECT_EQ(t.s2->GetParent(), nullptr);
    EXPECT_EQ(t.concat->GetSecondPart(), nullptr);
    ASSERT_EQ(d.link, t.concat->ChildLink(nullptr));
    delete t.s2;
    EXPECT_EQ(TConcatPartMuz::Collapse(t.concat), t.loop);
    EXPECT_EQ(t.doc.GetRootPart()->GetChild(), t.loop);
    EXPECT_TRUE(t.doc.GetRootPart()->CheckParents(nullptr));
    EXPECT_TRUE(t.messages.Unexpected().empty());
}

TEST(ChainTest, SelectItemsAndLabels)
{
    Tree t;
    EXPECT_EQ(t.select->GetLastCount(), 0);
    EXPECT_EQ(t.loop->GetShowLabel(), "repeat 3");
    t.select->AddCountSelectPartItem(1, 0);
    t.select->AddCountSelectPartItem(3, 2);
    EXPECT_EQ(t.select->GetLastCount(), 3);
    EXPECT_EQ(t.select->GetSelectPartItems()->GetNext()->GetShowLabel(), "turn 1");
    int32_t pitch = 0;
    EXPECT_TRUE(t.select->FindTurn(3, pitch));
    EXPECT_EQ(pitch, 2);
    EXPECT_FALSE(t.select->FindTurn(2, pitch));
    EXPECT_TRUE(t.select->DeleteTurnItem(1));
    EXPECT_EQ(t.select->CountTurnItems(1), 0);
    // The loop's length: turns 1 and 3 play the part (0.5 long), turn 2 takes no time.
    t.select->AddCountSelectPartItem(1, 0);
    EXPECT_DOUBLE_EQ(t.loop->GetLength(0), 1.0);
}

// ---- sorting a whole chain at once ----------------------------------------------------------

/// What the symbols of one list are made of, so that two documents can hold the same list.
struct SymbolSpec
{
    int kind; // 0 key, 1 rest, 2 note
    double position;
    int stave;
    int32_t value; // the key's number, the rest's place in its tuplet, the note's pitch
};

/// Where each of the chain's symbols stands in made.
std::vector<int> ChainIndexes(TSinglePartMuz& part, const std::vector<TStaveSymbol*>& made)
{
    std::vector<int> order;
    for (TStaveSymbol* s = part.FirstSymbol(); s; s = s->GetNext())
        order.push_back(static_cast<int>(std::find(made.begin(), made.end(), s) - made.begin()));
    return order;
}

/// A document with the symbols of specs, in that order, inserted one by one or appended.
struct SortedChain
{
    MusicDoc m;
    std::vector<TStaveSymbol*> made;

    SortedChain(const std::vector<SymbolSpec>& specs, bool insert)
    {
        TNoteStave* staves[] = {m.stave, m.doc.AddStave(m.stave)};
        // Only the symbols of the list: the opening clefs go.
        while (TStaveSymbol* s = m.part->FirstSymbol())
            m.part->DeleteSymbol(s);
        for (const SymbolSpec& spec : specs) {
            TNoteStave* st = staves[spec.stave];
            TStaveSymbol* s;
            if (spec.kind == 0)
                s = new TKey(&m.doc, keyKindG, 0, spec.position, st, spec.value, m.part);
            else if (spec.kind == 1)
                s = new TSilence(8, 0, spec.position, st, triool, spec.value, m.part);
            else
                s = new TMuzNote(&m.doc, st->GetFirstNoteGroup(), 8, 0, spec.position, spec.value,
                                 st, noteShiftNormal, sool, 0, noteArtNormal, m.part,
                                 drawStickAuto);
            made.push_back(s);
            if (insert)
                m.part->InsertSymbol(s);
            else
                m.part->AppendSymbol(s);
        }
    }
};

TEST(ChainTest, SortingAnAppendedChainOrdersItAsInsertingDid)
{
    std::mt19937 dice(40);
    // Few times, numbers and pitches, so that many symbols are equal in the order.
    std::vector<SymbolSpec> random;
    for (int i = 0; i < 300; ++i)
        random.push_back({static_cast<int>(dice() % 3), static_cast<int>(dice() % 6) / 4.0,
                          static_cast<int>(dice() % 2), static_cast<int32_t>(dice() % 3)});
    auto byTime = random;
    std::stable_sort(byTime.begin(), byTime.end(), [](const SymbolSpec& a, const SymbolSpec& b) {
        return a.position < b.position;
    });
    auto backwards = byTime;
    std::reverse(backwards.begin(), backwards.end());
    // As a reader appends them: runs in time order, one after another.
    std::vector<SymbolSpec> runs;
    for (size_t start = 0; start < random.size(); start += 37) {
        std::vector<SymbolSpec> run(
            random.begin() + static_cast<long>(start),
            random.begin() + static_cast<long>(std::min<size_t>(start + 37, random.size())));
        std::stable_sort(run.begin(), run.end(), [](const SymbolSpec& a, const SymbolSpec& b) {
            return a.position < b.position;
        });
        runs.insert(runs.end(), run.begin(), run.end());
    }
    const std::pair<const char*, std::vector<SymbolSpec>> lists[] = {
        {"random", random}, {"in time order", byTime}, {"backwards", backwards},
        {"in runs", runs},  {"one", {random.front()}}, {"none", {}}};
    for (const auto& list : lists) {
        const char* name = list.first;
        const std::vector<SymbolSpec>& specs = list.second;
        // Inserted one by one, then sorted (what reading an old file did) ...
        SortedChain inserted(specs, true);
        inserted.m.part->SortChain();
        // ... is appended and sorted with the newest of equals first.
        SortedChain appended(specs, false);
        appended.m.part->SortChain(true);
        EXPECT_EQ(ChainIndexes(*appended.m.part, appended.made),
                  ChainIndexes(*inserted.m.part, inserted.made))
            << name;
        ExpectChain(*appended.m.part, {appended.made.begin(), appended.made.end()});

        // Without it, equals keep the order they were appended in: a stable sort by the
        // chain's keys (time, clefs first, number or place, notes before rests, higher first).
        SortedChain kept(specs, false);
        kept.m.part->SortChain();
        std::vector<int> expected(specs.size());
        for (size_t i = 0; i < specs.size(); ++i)
            expected[i] = static_cast<int>(i);
        auto key = [&specs](int i) {
            const SymbolSpec& s = specs[static_cast<size_t>(i)];
            return std::make_tuple(s.position, s.kind == 0 ? 1 : 6,
                                   s.kind == 0   ? 2 * s.value
                                   : s.kind == 1 ? s.value
                                                 : 0,
                                   s.kind == 2 ? 0 : 1, s.kind == 2 ? -s.value : 0);
        };
        std::stable_sort(expected.begin(), expected.end(),
                         [&key](int a, int b) { return key(a) < key(b); });
        EXPECT_EQ(ChainIndexes(*kept.m.part, kept.made), expected) << name;
        EXPECT_TRUE(inserted.m.messages.Unexpected().empty());
    }
}

TEST(ChainTest, TheClefInForceIsTheLastOfItsStaveNotLater)
{
    MusicDoc m;
    TNoteStave* lower = m.doc.AddStave(m.stave);
    auto clef = [&](TNoteStave* st, double at, KeyKind kind, int32_t number) {
        auto* key = new TKey(&m.doc, kind, 0, at, st, number, m.part);
        m.part->InsertSymbol(key);
        return key;
    };
    TKey* upper0 = m.part->GetOpeningKey(m.stave);
    TKey* lower0 = m.part->GetOpeningKey(lower);
    clef(m.stave, 1.0, keyKindF, 1); // the first of the two at 1
    TKey* upperC = clef(m.stave, 1.0, keyKindC, 2);
    TKey* lowerC = clef(lower, 2.0, keyKindC, 1);
    m.Note(0.5, 3);
    const std::tuple<TNoteStave*, double, TKey*> rows[] = {
        {m.stave, 0.0, upper0}, {m.stave, 0.75, upper0}, {m.stave, 1.0, upperC},
        {m.stave, 1.5, upperC}, {lower, 1.0, lower0},    {lower, 1.999, lower0},
        {lower, 2.0, lowerC},   {lower, 40.0, lowerC},   {m.stave, -0.25, nullptr}};
    for (const auto& [stave, at, expected] : rows)
        EXPECT_EQ(m.part->FindKeyAt(stave, at), expected) << at;
}

} // namespace
} // namespace kelvorn::test
