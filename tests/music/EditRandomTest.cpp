// Thousands of random enabled commands and clicks on a piece of two staves in two parts, one of
// them repeated, from fixed seeds: after every step the piece is sound (chains in order,
// tuplets whole, the selection on a symbol of the piece) and no internal error was reported;
// now and then it is saved and read back, and reads back what it saved.

#include "music/core/MuzCommands.h"
#include "support/MusicKit.h"

#include <gtest/gtest.h>

#include <random>

namespace kelvorn::test {
namespace {

/// A piece of two staves in two single parts, the second repeated.
struct Piece : MusicDoc
{
    TNoteStave* lower = nullptr;
    TSinglePartMuz* second = nullptr;

    Piece()
    {
        lower = doc.AddStave(stave);
        second = new TSinglePartMuz(&doc);
        new TMuzBar(second, 4, 3, 1);
        second->CreateKeys();
        TPartMuz* first = doc.GetRootPart()->SetChild(nullptr);
        doc.GetRootPart()->SetChild(
            new TConcatPartMuz(&doc, first, new TLoopPartMuz(&doc, second, 2)));
        SetChain(doc, part, stave, "G0 n6@0:4 n8@0:4 r@0.25:8 n3@0.375:8. C0.5 n0@0.5:2");
        SetChain(doc, part, lower, "F0 n-6@0:2 n-8@0.5:2");
        SetChain(doc, second, stave, "G0 n6@0:4t3.0 r@0:4t3.1 n5@0:4t3.2 n7@0.25:16");
    }

    /// Every symbol a click can hit, bars and loop marks included.
    std::vector<TXTouchMuzSymbol*> Symbols()
    {
        std::vector<TXTouchMuzSymbol*> all;
        for (TSinglePartMuz* p = doc.GetRootPart()->FirstSinglePart(); p;
             p = p->GetParent()->NextSinglePart(p)) {
            all.push_back(p->GetMuzBar());
            for (TStaveSymbol* s = p->FirstSymbol(); s; s = s->GetNext())
                all.push_back(s);
        }
        auto* loop = static_cast<TLoopPartMuz*>(second->GetParent());
        all.push_back(loop->GetLeftLoopSymbol());
        all.push_back(loop->GetRightLoopSymbol());
        return all;
    }
};

class EditRandomTest : public ::testing::TestWithParam<uint32_t>
{
};

TEST_P(EditRandomTest, RandomCommandsAndClicksKeepThePieceSound)
{
    Piece p;
    std::mt19937 dice(GetParam());
    auto below = [&dice](size_t n) { return size_t(dice() % n); };
    using U = TUnitMuz;
    // The keys of the main window and of the music window that reach the piece beside its
    // actions.
    void (U::*const keys[])() = {&U::ToNoteExecute,    &U::ToSilenceExecute, &U::LongerExecute,
                                 &U::ShorterExecute,   &U::ArtLongerExecute, &U::ArtShorterExecute,
                                 &U::ClefUpExecute,    &U::ClefDownExecute,  &U::SelectStaveUp,
                                 &U::SelectStaveDown,  &U::SelectFirstStave, &U::SelectLastStave,
                                 &U::SelectStaveStart, &U::SelectStaveEnd};
    int commands = 0, clicks = 0, inserts = 0, deletes = 0;
    for (int step = 0; step < 1500; ++step) {
        const std::vector<TXTouchMuzSymbol*> symbols = p.Symbols();
        const size_t roll = below(100);
        std::string what;
        if (roll < 40) {
            std::vector<const TMuzCommand*> enabled;
            for (const TMuzCommand& command : MuzCommands())
                if (command.can(p.doc))
                    enabled.push_back(&command);
            const TMuzCommand* command = enabled[below(enabled.size())];
            what = command->name;
            command->run(p.doc);
            ++commands;
        } else if (roll < 50) {
            const size_t key = below(std::size(keys));
            what = "key " + std::to_string(key);
            (p.doc.*keys[key])();
        } else if (roll < 85) {
            // A click as the window makes it: a stave, its neighbours around a place, what lies
            // under the mouse, the step under it.
            TXTouchMuzSymbol* hit = symbols[below(symbols.size())];
            TNoteStave* stave = below(2) ? p.stave : p.lower;
            std::vector<TXTouchMuzSymbol*> row;
            for (TXTouchMuzSymbol* s : symbols)
                if (s->GetMuzSymbolKind() != muzSymbolStave ||
                    static_cast<TStaveSymbol*>(s)->GetNoteStave() == stave)
                    row.push_back(s);
            const size_t at = below(row.size() + 1);
            TXTouchMuzSymbol* left = at > 0 ? row[at - 1] : nullptr;
            TXTouchMuzSymbol* right = at < row.size() ? row[at] : nullptr;
            auto* under = hit->GetMuzSymbolKind() == muzSymbolStave
                              ? static_cast<TStaveSymbol*>(hit)
                              : nullptr;
            const int32_t clickStep = int32_t(below(31)) - 15;
            what = "click in mode " + std::to_string(p.doc.mode);
            bool edited = false;
            switch (p.doc.mode) {
            case unitMuzNew:
                if (p.doc.GetInsertModeKind() == insertModeNoteShift)
                    edited = p.doc.ApplyNoteShift(hit, clickStep);
                else
                    edited = p.doc.InsertAt(
                        stave, under && under->GetNoteStave() == stave ? under->AsNote() : nullptr,
                        under && under->GetStaveSymbolKind() == staveSymbolSilence &&
                                under->GetNoteStave() == stave
                            ? static_cast<TSilence*>(under)
                            : nullptr,
                        left, right, clickStep);
                break;
            case unitMuzSel:
                p.doc.SelectSymbol(hit == p.doc.GetSelectedSymbol() ? nullptr : hit);
                break;
            case unitMuzDel:
                edited = under && p.doc.DeleteStaveSymbol(under);
                break;
            }
            (p.doc.mode == unitMuzDel ? deletes : inserts) += edited;
            ++clicks;
        } else {
            // Steering: a mode, and the selection anywhere (insert mode takes it into the tool).
            p.doc.SetSelectedSymbol(symbols[below(symbols.size())]);
            const size_t mode = below(10);
            if (mode < 5)
                p.doc.ModeAddExecute();
            else if (mode < 9)
                p.doc.ModeEditExecute();
            else
                p.doc.ModeDeleteExecute();
            what = "steer " + std::to_string(mode);
        }
        SCOPED_TRACE(testing::Message() << "step " << step << ": " << what);
        ASSERT_EQ(PieceFaults(p.doc), std::vector<std::string>{})
            << ChainText(p.part, p.stave) << " | " << ChainText(p.second, p.stave);
        ASSERT_TRUE(p.messages.Unexpected().empty()) << p.messages.Unexpected().front().text;
        if (step % 100 == 99) {
            const std::string saved = MuzText(p.doc);
            MuzLoad back(saved);
            ASSERT_TRUE(back.ok) << back.message;
            EXPECT_EQ(MuzText(*back.doc), saved);
        }
    }
    // The run did what it claims: commands and clicks of every kind, and clicks that edited.
    EXPECT_GT(commands, 400);
    EXPECT_GT(clicks, 400);
    EXPECT_GT(inserts, 100);
    EXPECT_GT(deletes, 10);
}

INSTANTIATE_TEST_SUITE_P(Seeds, EditRandomTest, ::testing::Values(1u, 7u, 42u, 2024u));

} // namespace
} // namespace kelvorn::test
