// The music document: its defaults, staves, selection and what its removals leave behind.

#include "document/records/WaveFileProps.h"
#include "support/MusicKit.h"

#include <gtest/gtest.h>

namespace kelvorn::test {
namespace {

TEST(DocumentTest, NewDocumentDefaults)
{
    MusicDoc m;
    EXPECT_EQ(m.doc.GetKind(), DocumentKind::Music);
    EXPECT_EQ(m.doc.GetSampleFreq(), 22050);
    EXPECT_EQ(m.doc.GetMonoStereo(), 1);
    EXPECT_EQ(m.doc.GetBytesPSample(), 2);
    EXPECT_DOUBLE_EQ(m.doc.tempo.GetValue(), 1.0);
    ASSERT_NE(m.part, nullptr);
    EXPECT_EQ(m.doc.GetRootPart()->GetChild(), m.part);
    const TMuzBar* bar = m.part->GetMuzBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetLength(), 4);
    EXPECT_EQ(bar->GetCount(), 4);
    EXPECT_EQ(bar->GetCountFirstBar(), 0);
    ASSERT_EQ(m.doc.CountStaves(), 1);
    EXPECT_EQ(m.stave->RoomUp.GetValue(), 80);
    EXPECT_EQ(m.stave->RoomDown.GetValue(), 80);
    EXPECT_EQ(m.stave->RoomUp.GetBound(), 30);
    EXPECT_EQ(m.stave->ForegroundColor, 0x000000u);
    EXPECT_EQ(m.stave->BackgroundColor, 0xFFFFFFu);
    EXPECT_EQ(m.stave->drawFlagKind, 1);
    EXPECT_EQ(m.stave->Mute, 0);
    ASSERT_EQ(m.stave->CountNoteGroups(), 1);
    EXPECT_EQ(m.stave->GetSelectedNoteGroup(), m.Group());
    EXPECT_EQ(m.Group()->GetDefaultStem(), drawStickUp);
    const TOnePlayer& player = m.Player();
    EXPECT_EQ(player.GetNext(), nullptr);
    const TSimpleSamplerProps simple = player.OnePlayerProps.GetSimpleSamplerProps();
    EXPECT_EQ(simple.SampleWave.GetCaption(), "sample");
    // 1 kHz in a new stave, while the props record itself defaults to 440 Hz.
    EXPECT_DOUBLE_EQ(simple.BasicFreq.GetValue(), 0.001);
    EXPECT_EQ(simple.BasicFreq.GetUnit(), EHKHZ);
    EXPECT_DOUBLE_EQ(TSimpleSamplerProps{}.BasicFreq.GetValue(), 1.0 / 440);
    EXPECT_DOUBLE_EQ(player.OnePlayerProps.VolumeFactor.GetValue(), 0.5);
    EXPECT_EQ(player.OnePlayerProps.VolumeFactor.GetUnit(), EHPerc);
    EXPECT_EQ(player.OnePlayerProps.FreqUp.GetUnit(), EHKHZ);
    TKey* key = m.part->GetOpeningKey(m.stave);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->GetKeyKind(), keyKindG);
    EXPECT_EQ(key->GetKeyNumber(), 1);
    EXPECT_EQ(m.doc.GetSelectedSymbol(), key);
    EXPECT_EQ(m.doc.GetCurrentStave(), m.stave);
    // Not modified, but untitled counts as modified.
    EXPECT_TRUE(m.doc.IsModified());
    m.doc.SetFileName("/tmp/a.kvm");
    EXPECT_FALSE(m.doc.IsModified());
    m.doc.SetModified();
    EXPECT_TRUE(m.doc.IsModified());
    EXPECT_TRUE(m.messages.Unexpected().empty());
}

TEST(DocumentTest, AddStaveOverThreeSingleParts)
{
    MusicDoc m;
    TStartPartMuz* root = m.doc.GetRootPart();
    TPartMuz* s1 = root->SetChild(nullptr);
    auto* s2 = new TSinglePartMuz(&m.doc);
    new TMuzBar(s2, 4, 4, 0);
    s2->CreateKeys();
    auto* s3 = new TSinglePartMuz(&m.doc);
    new TMuzBar(s3, 3, 4, 0);
    s3->CreateKeys();
    root->SetChild(new TConcatPartMuz(&m.doc, s1, new TConcatPartMuz(&m.doc, s2, s3)));
    TNoteStave* added = m.doc.AddStave(m.stave);
    EXPECT_EQ(m.stave->GetNext(), added);
    EXPECT_EQ(added->GetPrev(), m.stave);
    for (TSinglePartMuz* p = root->FirstSinglePart(); p; p = p->GetParent()->NextSinglePart(p)) {
        TKey* key = p->GetOpeningKey(added);
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->GetKeyKind(), keyKindG);
        EXPECT_EQ(key->GetPosition(), 0.0);
        EXPECT_EQ(p->CountKeysAtZero(added), 1);
    }
    ASSERT_EQ(added->CountNoteGroups(), 1);
    EXPECT_EQ(added->GetSelectedNoteGroup(), added->GetFirstNoteGroup());
    EXPECT_EQ(m.Player(added).OnePlayerProps.GetSimpleSamplerProps().SampleWave.GetCaption(),
              "sample");
    EXPECT_EQ(m.doc.GetCurrentStave(), added);
    EXPECT_TRUE(root->CheckParents(nullptr));
}

TEST(DocumentTest, SelectionAndStaveIteration)
{
    MusicDoc m;
    TMuzNote* note = m.Note(0.0, 5);
    m.doc.SetSelectedSymbol(note);
    m.doc.SetSelectedSymbol(m.part->GetMuzBar());
    EXPECT_EQ(m.doc.GetSelectedInStave(), m.stave);
    EXPECT_EQ(m.doc.GetSelMuzSymbolKind(), muzSymbolBar);
    // Moving a stave (unlink, link after the other) keeps the selection on it.
    TNoteStave* second = m.doc.AddStave(m.stave);
    m.doc.SetSelectedSymbol(note);
    m.doc.UnlinkStave(m.stave);
    m.doc.LinkStaveAfter(second, m.stave);
    EXPECT_EQ(m.doc.GetFirstStave(), second);
    EXPECT_EQ(second->GetNext(), m.stave);
    EXPECT_EQ(m.stave->GetPrev(), second);
    EXPECT_EQ(m.doc.GetSelectedSymbol(), note);
    m.doc.SetSelectedSymbol(nullptr);
    EXPECT_EQ(m.doc.GetSelectedInStave(), m.stave);
    EXPECT_EQ(m.doc.GetSelMuzSymbolKind(), 3);

    EXPECT_TRUE(m.doc.FirstStave());
    EXPECT_TRUE(m.doc.NextStave());
    EXPECT_FALSE(m.doc.NextStave());
    EXPECT_EQ(m.doc.CurStave(), nullptr);
    EXPECT_FALSE(m.doc.NextStave());

    m.doc.SetWaveFileProps(TWaveFileProps(3, 11025, 1), TWaveFileProps(2, 8000, 1));
    EXPECT_EQ(m.doc.GetSampleFreq(), 8000);
    EXPECT_EQ(m.doc.GetMonoStereo(), 2);
    EXPECT_EQ(m.doc.GetBytesPSample(), 1);
}

// Every removal clears what pointed into it; the sanitizer build reads each reference after.
TEST(DocumentTest, RemovalsLeaveNothingDangling)
{
    MusicDoc m;
    TNoteStave* second = m.doc.AddStave(m.stave);
    TMuzNote* note = m.Note(0.0, 5, 4, nullptr, second);
    m.doc.SetSelectedSymbol(note);
    m.doc.SetSelectedSymbol(m.part->GetMuzBar()); // second stays the last stave
    m.doc.SetSelectedSymbol(note);
    ASSERT_TRUE(m.doc.FirstStave() && m.doc.NextStave());
    m.doc.DeleteStave(second);
    EXPECT_EQ(m.doc.GetSelectedSymbol(), nullptr);
    EXPECT_EQ(m.doc.GetSelectedInStave(), nullptr);
    EXPECT_EQ(m.doc.CurStave(), nullptr);
    EXPECT_EQ(m.doc.GetCurrentStave(), m.stave);
    EXPECT_EQ(m.part->GetOpeningKey(second), nullptr);

    // A group with its selected note.
    auto* group = new TNoteGroup(m.stave, std::make_unique<TCompoundPlayer>(&m.doc), 0, 0, 2);
    m.stave->InsertNoteGroup(m.Group(), group);
    m.stave->SetSelectedNoteGroup(group);
    auto* grouped = new TMuzNote(&m.doc, group, 4, 0, 0.5, 3, m.stave, noteShiftNormal, sool, 0,
                                 noteArtNormal, m.part, drawStickAuto);
    m.part->InsertSymbol(grouped);
    m.doc.SetSelectedSymbol(grouped);
    ASSERT_TRUE(m.doc.DeleteNoteGroup(group));
    EXPECT_EQ(m.doc.GetSelectedSymbol(), nullptr);
    EXPECT_EQ(m.stave->GetSelectedNoteGroup(), m.Group());

    // A loop with its selected mark and a selected turn item inside it.
    TStartPartMuz* root = m.doc.GetRootPart();
    TPartMuz* s1 = root->SetChild(nullptr);
    auto* select = new TSelectPartMuz(&m.doc, new TSinglePartMuz(&m.doc));
    new TMuzBar(select->GetSelectPart()->FirstSinglePart(), 4, 4, 0);
    auto* loop = new TLoopPartMuz(&m.doc, select, 2);
    root->SetChild(new TConcatPartMuz(&m.doc, s1, loop));
    m.doc.SetSelectedTreeItem(select->AddCountSelectPartItem(1, 0));
    m.doc.SetSelectedSymbol(loop->GetRightLoopSymbol());
    ASSERT_TRUE(m.doc.DeletePart(loop));
    EXPECT_EQ(m.doc.GetSelectedSymbol(), nullptr);
    EXPECT_EQ(m.doc.GetSelectedTreeItem(), nullptr);
    EXPECT_EQ(root->GetChild(), s1);

    // A symbol taken off its chain.
    TMuzNote* last = m.Note(0.25, 5);
    m.doc.SetSelectedSymbol(last);
    std::unique_ptr<TStaveSymbol> taken = m.part->UnlinkSymbol(last);
    EXPECT_EQ(m.doc.GetSelectedSymbol(), nullptr);
    EXPECT_TRUE(m.messages.Unexpected().empty());
}

// A part goes only from beside another, whose concatenation then gives way to it: a repeat, a
// turns part and the root never stand empty.
TEST(DocumentTest, DeletingAPartLeavesAWholeTree)
{
    struct Row
    {
        const char* name;
        int part; // 0 root, Concat 1 (Loop 2 (Select 3 (s1 4)), s2 5); -1 none
        bool deleted;
        int rootChild;
        int singleParts;
    };
    const Row rows[] = {
        {"first part of a concatenation", 2, true, 5, 1},
        {"second part of a concatenation", 5, true, 2, 1},
        {"a repeat's only part", 3, false, 1, 2},
        {"a turns part's only part", 4, false, 1, 2},
        {"the root's part", 1, false, 1, 2},
        {"the root", 0, false, 1, 2},
        {"none", -1, false, 1, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MusicDoc m;
        TStartPartMuz* root = m.doc.GetRootPart();
        root->SetChild(nullptr);
        auto* select = new TSelectPartMuz(&m.doc, m.part);
        auto* loop = new TLoopPartMuz(&m.doc, select, 2);
        auto* s2 = new TSinglePartMuz(&m.doc);
        new TMuzBar(s2, 4, 4, 0);
        s2->CreateKeys();
        auto* concat = new TConcatPartMuz(&m.doc, loop, s2);
        root->SetChild(concat);
        TPartMuz* const parts[] = {root, concat, loop, select, m.part, s2};
        EXPECT_EQ(m.doc.DeletePart(row.part < 0 ? nullptr : parts[row.part]), row.deleted);
        EXPECT_EQ(root->GetChild(), parts[row.rootChild]);
        EXPECT_TRUE(root->CheckParents(nullptr));
        int singleParts = 0;
        for (TSinglePartMuz* p = root->FirstSinglePart(); p; p = p->GetParent()->NextSinglePart(p))
            ++singleParts;
        EXPECT_EQ(singleParts, row.singleParts);
        EXPECT_TRUE(m.messages.Unexpected().empty());
    }
}

} // namespace
} // namespace kelvorn::test
