// The layout kept with a piece paints, after every kind of edit, exactly what a layout made from
// nothing paints: the same pixels at several scroll positions, the same recorded calls and the
// same touch ranges for the finders. The piece is wider than the window, so the kept paint
// draws only some of its bars.

#include "ScoreKit.h"
#include "window_base/QtCanvas.h"

#include <QImage>

#include <functional>
#include <gtest/gtest.h>

namespace kelvorn {
namespace {

constexpr int W = 500, H = 300;

struct KeptLayout : ::testing::Test, test::ScoreFixture
{
    TNoteStave* second = nullptr;
    std::vector<TMuzNote*> notes;

    KeptLayout()
    {
        second = m.doc.AddStave(m.stave);
        for (int bar = 0; bar < 24; ++bar) {
            const double t = bar;
            notes.push_back(Add(t, 4 + bar % 3, 8, 0, bar % 2 ? noteShiftKruis : noteShiftNormal));
            notes.push_back(Add(t + 0.125, 6, 8));
            notes.push_back(Add(t + 0.25, 5, 4, 1));
            notes.push_back(Add(t + 0.625, 8, 16));
            notes.push_back(Add(t + 0.6875, 7, 16));
            notes.push_back(Add(t + 0.75, 3, 2)); // tied over the bar line
            m.Note(t, -2 + bar % 4, 2, nullptr, second);
            m.Note(t + 0.5, 1, 4, nullptr, second)->SetPoints(1);
        }
    }

    /// What a paint at xScroll shows: the pixels, the calls and the touch ranges.
    struct Shot
    {
        QImage image;
        std::vector<std::string> calls;
        std::vector<std::tuple<int, int, int>> touch;
        std::pair<int64_t, int64_t> extents;
    };
    Shot Take(TScorePainter& p, int xScroll)
    {
        QtCanvas image(W, H, 0x123456);
        p.Paint(image, W, H, xScroll, 7);
        RecordingCanvas calls;
        p.Paint(calls, W, H, xScroll, 7);
        Shot shot{image.Image().copy(), calls.Calls(), {}, {p.XExtent(), p.YExtent()}};
        for (TStaveSymbol* s = m.part->FirstSymbol(); s; s = s->GetNext())
            shot.touch.emplace_back(s->XValid, s->XLeft, s->XRight);
        return shot;
    }
    /// The same paint from a layout made from nothing.
    Shot Fresh(int xScroll)
    {
        std::unique_ptr<TMuzKeeper> kept = m.doc.TakeKeeper();
        TScorePainter fresh(m.doc);
        Shot shot = Take(fresh, xScroll);
        m.doc.SetKeeper(std::move(kept));
        return shot;
    }
};

TEST_F(KeptLayout, EveryEditPaintsWhatAFreshLayoutPaints)
{
    TKey* key = nullptr;
    const std::pair<const char*, std::function<void()>> edits[] = {
        {"pitch", [&] { notes[60]->SetPitch(9); }},
        {"length", [&] { notes[30]->SetNoteLengthKind(16); }},
        {"dots", [&] { notes[14]->SetPoints(2); }},
        {"accidental", [&] { notes[90]->SetNoteShiftKind(noteShiftMol); }},
        {"articulation", [&] { notes[40]->SetNoteArtKind(noteArtStaccato); }},
        {"stem", [&] { notes[41]->SetDrawStickKind(drawStickDown); }},
        {"insert", [&] { Add(15.375, 10, 8, 0, noteShiftKruis); }},
        {"delete", [&] { m.part->DeleteSymbol(notes[31]); }},
        {"move back",
         [&] {
             notes[120]->SetPosition(3.5);
             m.part->MoveSymbol(notes[120]);
         }},
        {"append", [&] { Add(24, 2, 1); }},
        {"clef",
         [&] {
             key = new TKey(&m.doc, keyKindF, 0, 12.0, m.stave, 1, m.part);
             key->SetKeyNoteShift(3, noteShiftKruis);
             m.part->InsertSymbol(key);
         }},
        {"signature", [&] { key->SetKeyNoteShift(6, noteShiftMol); }},
        {"time signature", [&] { m.part->GetMuzBar()->SetCount(3); }},
        {"selection", [&] { m.doc.SetSelectedSymbol(notes[100]); }},
        {"selection moves", [&] { m.doc.SetSelectedSymbol(notes[8]); }},
        {"selected note deleted", [&] { m.part->DeleteSymbol(notes[8]); }},
        {"tempo", [&] { m.doc.SetTempo(0.5); }},
        {"stave room, no notice", [&] { second->RoomUp.SetValue(45); }},
        {"stave colour, no notice", [&] { second->ForegroundColor = 0x2040C0; }},
        {"group colour, no notice", [&] { m.Group()->NoteColor = 0x00A000; }},
        {"loop around the piece",
         [&] {
             TStartPartMuz* root = m.doc.GetRootPart();
             root->SetChild(new TLoopPartMuz(&m.doc, root->SetChild(nullptr), 3));
         }},
        {"loop count, no notice",
         [&] { static_cast<TLoopPartMuz*>(m.doc.GetRootPart()->GetChild())->Count.SetValue(12); }},
        {"new stave", [&] { m.doc.AddStave(second); }},
        {"stave deleted", [&] { m.doc.DeleteStave(second); }},
    };
    TScorePainter kept(m.doc);
    for (int x : {0, 900})
        Take(kept, x); // laid out and kept
    for (const auto& [name, edit] : edits) {
        edit();
        for (int x : {0, 700, 1400, 2300}) {
            const Shot a = Take(kept, x);
            const Shot b = Fresh(x);
            EXPECT_TRUE(a.image == b.image) << name << " at " << x;
            EXPECT_EQ(a.calls, b.calls) << name << " at " << x;
            EXPECT_EQ(a.touch, b.touch) << name << " at " << x;
            EXPECT_EQ(a.extents, b.extents) << name << " at " << x;
        }
    }
}

TEST_F(KeptLayout, WindowDrawsOnlyItsBarsAndFindersTakeClientPoints)
{
    TScorePainter painter(m.doc);
    RecordingCanvas all, window;
    painter.Paint(all, 20000, H, 0, 0);
    const int64_t extent = painter.XExtent();
    painter.Paint(window, W, H, 1000, 0);
    EXPECT_LT(window.Calls().size(), all.Calls().size() / 3);
    // The end of the score moves with the scroll, the scrollable width does not.
    EXPECT_EQ(painter.XExtent() + 1000 - W, extent - 20000);
    TMuzNote* n = notes[6 * 12];
    const int centre = (n->XLeft + n->XRight) / 2 - 1000; // touch ranges are score columns
    EXPECT_EQ(painter.FindNoteAtX(centre, m.stave), n);
    EXPECT_EQ(painter.FindSymbolAt(centre, m.stave->GetMiddleY() - 5 * n->GetHeight()), n);
}

} // namespace
} // namespace kelvorn
