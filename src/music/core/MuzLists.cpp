#include "music/core/MuzLists.h"

#include "general/Messages.h"
#include "music/core/Stave.h"

namespace kelvorn {

namespace {

// The three lists are linked chains of different classes; each adapter walks its own chain by
// place, which the window's navigators count in (a few dozen elements).

/// The place of element in the chain from first, -1 when it is not there.
template <class T> int32_t IndexIn(T* first, const T* element)
{
    int32_t i = 0;
    for (T* e = first; e; e = e->GetNext(), ++i)
        if (e == element)
            return i;
    return -1;
}

/// The element at index of the chain from first, clamped to the chain; null for an empty one.
template <class T> T* ElementAt(T* first, int32_t index)
{
    T* e = first;
    for (int32_t i = 0; e && e->GetNext() && i < index; ++i)
        e = e->GetNext();
    return e;
}

class TStaveList final : public TMuzList
{
public:
    explicit TStaveList(TUnitMuz& doc) : doc(doc) {}

    int32_t Count() const override { return doc.CountStaves(); }
    int32_t CurrentIndex() const override { return IndexOf(doc.GetCurrentStave()); }
    void SetCurrentIndex(int32_t index) override { doc.SetCurrentStave(At(index)); }

    void Insert(bool after) override
    {
        TNoteStave* current = doc.GetCurrentStave();
        if (IndexOf(current) < 0)
            doc.AddStave(At(Count() - 1));
        else
            doc.AddStave(after ? current : current->GetPrev());
    }

    bool DeleteCurrent() override
    {
        TNoteStave* current = doc.GetCurrentStave();
        if (Count() < 2 || IndexOf(current) < 0)
            return false;
        doc.SetCurrentStave(current->GetNext() ? current->GetNext() : current->GetPrev());
        doc.DeleteStave(current);
        return true;
    }

    bool MoveCurrent(bool forward) override
    {
        TNoteStave* current = doc.GetCurrentStave();
        if (IndexOf(current) < 0)
            return false;
        TNoteStave* neighbour = forward ? current->GetNext() : current->GetPrev();
        if (!neighbour)
            return false;
        TNoteStave* after = forward ? neighbour : neighbour->GetPrev();
        doc.UnlinkStave(current);
        doc.LinkStaveAfter(after, current);
        return true;
    }

private:
    int32_t IndexOf(const TNoteStave* stave) const { return IndexIn(doc.GetFirstStave(), stave); }
    TNoteStave* At(int32_t index) const { return ElementAt(doc.GetFirstStave(), index); }

    TUnitMuz& doc;
};

class TNoteGroupList final : public TMuzList
{
public:
    explicit TNoteGroupList(TNoteStave& stave) : stave(stave) {}

    int32_t Count() const override { return stave.CountNoteGroups(); }
    int32_t CurrentIndex() const override
    {
        return stave.GetFirstNoteGroup() ? IndexOf(stave.GetSelectedNoteGroup()) : -1;
    }
    void SetCurrentIndex(int32_t index) override
    {
        if (TNoteGroup* group = At(index))
            stave.SetSelectedNoteGroup(group);
    }

    void Insert(bool after) override
    {
        TUnitMuz* doc = stave.GetOwner();
        auto player = std::make_unique<TCompoundPlayer>(doc);
        MakeDefaultOnePlayer(*player);
        auto* group = new TNoteGroup(&stave, std::move(player), 0x000000, 0, drawStickUp);
        TNoteGroup* current = CurrentIndex() >= 0 ? stave.GetSelectedNoteGroup() : nullptr;
        TNoteGroup* previous = !current ? At(Count() - 1)
                               : after  ? current
                                        : stave.GetPrevNoteGroup(current);
        stave.InsertNoteGroup(previous, group);
        stave.SetSelectedNoteGroup(group);
        if (doc)
            doc->StavesChanged();
    }

    bool DeleteCurrent() override
    {
        TUnitMuz* doc = stave.GetOwner();
        if (Count() < 2 || CurrentIndex() < 0 || !doc)
            return false;
        TNoteGroup* current = stave.GetSelectedNoteGroup();
        stave.SetSelectedNoteGroup(current->GetNext() ? current->GetNext()
                                                      : stave.GetPrevNoteGroup(current));
        if (!doc->DeleteNoteGroup(current))
            return false;
        // The group's notes are gone: its stave's time runs on in rests.
        doc->FillStaveRests(&stave);
        return true;
    }

    bool MoveCurrent(bool forward) override
    {
        if (CurrentIndex() < 0)
            return false;
        TNoteGroup* current = stave.GetSelectedNoteGroup();
        TNoteGroup* previous = stave.GetPrevNoteGroup(current);
        TNoteGroup* neighbour = forward ? current->GetNext() : previous;
        if (!neighbour)
            return false;
        TNoteGroup* after = forward ? neighbour : stave.GetPrevNoteGroup(previous);
        stave.DeleteNoteGroup(current);
        stave.InsertNoteGroup(after, current);
        if (TUnitMuz* doc = stave.GetOwner())
            doc->StavesChanged();
        return true;
    }

private:
    int32_t IndexOf(const TNoteGroup* group) const
    {
        return IndexIn(stave.GetFirstNoteGroup(), group);
    }
    TNoteGroup* At(int32_t index) const { return ElementAt(stave.GetFirstNoteGroup(), index); }

    TNoteStave& stave;
};

class TOnePlayerList final : public TMuzList
{
public:
    explicit TOnePlayerList(TCompoundPlayer& player) : compound(player) {}

    int32_t Count() const override
    {
        int32_t n = 0;
        for (TOnePlayer* p = compound.GetFirstOnePlayer(); p; p = p->GetNext())
            ++n;
        return n;
    }
    int32_t CurrentIndex() const override { return IndexOf(compound.GetCurrentOnePlayer()); }
    void SetCurrentIndex(int32_t index) override { compound.SetCurrentOnePlayer(At(index)); }

    void Insert(bool after) override
    {
        TOnePlayer* current = compound.GetCurrentOnePlayer();
        TOnePlayer* previous = !current ? At(Count() - 1)
                               : after  ? current
                                        : compound.GetPrevOnePlayer(current);
        compound.SetCurrentOnePlayer(MakeDefaultOnePlayer(compound, previous));
    }

    bool DeleteCurrent() override
    {
        TOnePlayer* current = compound.GetCurrentOnePlayer();
        if (Count() < 2 || !current)
            return false;
        TOnePlayer* next =
            current->GetNext() ? current->GetNext() : compound.GetPrevOnePlayer(current);
        if (!compound.DeleteOnePlayer(current))
            return false;
        delete current;
        compound.SetCurrentOnePlayer(next);
        return true;
    }

    bool MoveCurrent(bool forward) override
    {
        TOnePlayer* current = compound.GetCurrentOnePlayer();
        if (!current)
            return false;
        TOnePlayer* previous = compound.GetPrevOnePlayer(current);
        TOnePlayer* neighbour = forward ? current->GetNext() : previous;
        if (!neighbour)
            return false;
        TOnePlayer* after = forward ? neighbour : compound.GetPrevOnePlayer(previous);
        compound.DeleteOnePlayer(current);
        compound.InsertOnePlayer(after, current);
        compound.SetCurrentOnePlayer(current);
        return true;
    }

private:
    int32_t IndexOf(const TOnePlayer* player) const
    {
        return IndexIn(compound.GetFirstOnePlayer(), player);
    }
    TOnePlayer* At(int32_t index) const { return ElementAt(compound.GetFirstOnePlayer(), index); }

    TCompoundPlayer& compound;
};

} // namespace

std::unique_ptr<TMuzList> StaveList(TUnitMuz& doc)
{
    return std::make_unique<TStaveList>(doc);
}

std::unique_ptr<TMuzList> NoteGroupList(TNoteStave& stave)
{
    return std::make_unique<TNoteGroupList>(stave);
}

std::unique_ptr<TMuzList> OnePlayerList(TCompoundPlayer& player)
{
    return std::make_unique<TOnePlayerList>(player);
}

TOnePlayer* MakeDefaultOnePlayer(TCompoundPlayer& owner, TOnePlayer* after)
{
    TOnePlayerProps props(unitFactor(0.5, EHPerc), unitFreq(0.0, EHKHZ));
    TSimpleSamplerProps simple;
    // New players sample at 1 kHz, the props record's own default is 440 Hz: kept as it was.
    simple.BasicFreq = unitTimePosMore(0.001, EHKHZ);
    props.SetSimpleSamplerProps(simple);
    auto* player = new TOnePlayer(&owner, props);
    owner.InsertOnePlayer(after, player);
    return player;
}

std::string StoredNameProblem(const std::string& text, bool latin1)
{
    if (!latin1)
        return "A name can only hold characters of Latin-1.";
    for (unsigned char c : text) {
        if (c == '<' || c == '>')
            return "A name cannot hold \"<\" or \">\".";
        if (c < ' ')
            return "A name cannot hold control characters.";
    }
    return {};
}

std::string TrimmedName(const std::string& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return text.substr(begin, end - begin);
}

std::unique_ptr<Sound> RenderedSound(TMusicRender render)
{
    if (!render.ok || !render.sound) {
        Messages().Show("Cannot create music: " + render.message, "Error", MsgIcon::Information,
                        MsgButtons::Ok);
        return nullptr;
    }
    return std::move(render.sound);
}

} // namespace kelvorn
