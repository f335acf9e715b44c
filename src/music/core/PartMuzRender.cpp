// Lengths, measuring and rendering of the part tree. Measuring walks the tree exactly as
// rendering does, so the canvas it sizes holds every note that rendering mixes in.

#include "music/core/PartMuz.h"

#include "general/Assert.h"
#include "music/core/Stave.h"
#include "sound/SoundOps.h"

#include <algorithm>

namespace kelvorn {

bool TRenderContext::Spend()
{
    if (++events <= eventLimit)
        return true;
    if (message)
        *message += "The music is too long: it plays more than " + std::to_string(eventLimit) +
                    " notes and turns.";
    return false;
}

bool TRenderContext::Sounds(const TMuzNote& note) const
{
    if (staveFilter || groupFilter)
        return (!staveFilter || note.GetNoteStave() == staveFilter) &&
               (!groupFilter || note.GetNoteGroup() == groupFilter);
    return !note.IsMuted();
}

bool TRenderContext::AddNote(const TMuzNote& note, Sound& target, double runningTime,
                             double transpose)
{
    if (!notes.Add(note, transpose, tempo, abort, *message))
        return false;
    placed.push_back({&note, &target, runningTime});
    return !notes.Full() || MixNotes();
}

bool TRenderContext::MixNotes()
{
    std::vector<TNoteSound> sounds;
    const bool made = notes.Finish(abort, *message, sounds);
    for (size_t i = 0; i < sounds.size(); ++i) {
        const TNoteSound& sound = sounds[i];
        if (!sound.sound)
            continue;
        const Placed& at = placed[i];
        // Tuplet members share one Position: each sounds at its own time in the tuplet.
        const double time = at.runningTime - sound.startOffset + at.note->GetSymbolTime() * tempo;
        if (!MixAfterTime(*at.target, abort, *sound.sound, time, sound.mixFactor)) {
            *message += "There is not enough memmory for this operation.";
            placed.clear();
            return false;
        }
    }
    placed.clear();
    return made;
}

// ---- Every part: its children in order -------------------------------------------------------

bool TPartMuz::Render(TRenderContext& context, Sound& target, double& runningTime, double transpose)
{
    for (int32_t i = 0; i < ChildCount(); ++i) {
        TPartMuz* c = Child(i);
        if (c && c->IsEnabled() && !c->Render(context, target, runningTime, transpose))
            return false;
    }
    return true;
}

bool TPartMuz::Measure(TRenderContext& context, double& preRoll, double& end, double& runningTime,
                       double transpose)
{
    for (int32_t i = 0; i < ChildCount(); ++i) {
        TPartMuz* c = Child(i);
        if (c && c->IsEnabled() && !c->Measure(context, preRoll, end, runningTime, transpose))
            return false;
    }
    return true;
}

double TConcatPartMuz::GetLength(int32_t turn) const
{
    return (FirstPart ? FirstPart->GetLength(turn) : 0.0) +
           (SecondPart ? SecondPart->GetLength(turn) : 0.0);
}

double TStartPartMuz::GetLength(int32_t turn) const
{
    return PartMuz ? PartMuz->GetLength(turn) : 0.0;
}

// ---- Single part -----------------------------------------------------------------------------

double TSinglePartMuz::GetLength(int32_t) const
{
    double length = 0.0;
    for (TStaveSymbol* s = first; s; s = s->Next)
        if (const TMuzNote* note = s->AsNote())
            length = std::max(length, note->GetPosition() + note->GetLengthValue());
    return length;
}

bool TSinglePartMuz::Render(TRenderContext& context, Sound& target, double& runningTime,
                            double transpose)
{
    for (TStaveSymbol* s = first; s; s = s->Next) {
        const TMuzNote* note = s->AsNote();
        if (!note || !context.Sounds(*note))
            continue;
        if (!context.AddNote(*note, target, runningTime, transpose))
            return false;
    }
    runningTime += GetLength(0) * context.tempo;
    return true;
}

bool TSinglePartMuz::Measure(TRenderContext& context, double& preRoll, double& end,
                             double& runningTime, double transpose)
{
    for (TStaveSymbol* s = first; s; s = s->Next) {
        const TMuzNote* note = s->AsNote();
        if (!note || !context.Sounds(*note))
            continue;
        if (!context.Spend())
            return false;
        double startOffset = 0.0, endOffset = 0.0;
        if (!note->GetSymbolOffsets(transpose, context.tempo, *context.message, startOffset,
                                    endOffset))
            return false;
        const double at = runningTime + note->GetSymbolTime() * context.tempo;
        preRoll = std::max(preRoll, startOffset - at);
        end = std::max(end, endOffset + at);
    }
    runningTime += GetLength(0) * context.tempo;
    return true;
}

// ---- Loop ------------------------------------------------------------------------------------

namespace {

/// Whether a select part below part takes its turn from the loop that holds part.
bool HasSelectOfThisLoop(const TPartMuz* part)
{
    if (!part)
        return false;
    if (part->GetKind() == partSelect)
        return true;
    if (part->GetKind() == partLoop)
        return false;
    for (int32_t i = 0; i < part->ChildCount(); ++i)
        if (HasSelectOfThisLoop(part->Child(i)))
            return true;
    return false;
}

} // namespace

double TLoopPartMuz::GetLength(int32_t) const
{
    if (!LoopPart)
        return 0.0;
    const int32_t count = Count.GetValue();
    // Without a select part of this loop every turn lasts as long.
    if (!HasSelectOfThisLoop(LoopPart))
        return count * LoopPart->GetLength(1);
    double length = 0.0;
    for (int32_t turn = 1; turn <= count; ++turn)
        length += LoopPart->GetLength(turn);
    return length;
}

bool TLoopPartMuz::Render(TRenderContext& context, Sound& target, double& runningTime,
                          double transpose)
{
    for (int32_t turn = 1; turn <= Count.GetValue(); ++turn) {
        CurrentTurn = turn;
        if (LoopPart && LoopPart->IsEnabled() &&
            !LoopPart->Render(context, target, runningTime, transpose))
            return false;
    }
    return true;
}

bool TLoopPartMuz::Measure(TRenderContext& context, double& preRoll, double& end,
                           double& runningTime, double transpose)
{
    for (int32_t turn = 1; turn <= Count.GetValue(); ++turn) {
        CurrentTurn = turn;
        if (!context.Spend())
            return false;
        if (LoopPart && LoopPart->IsEnabled() &&
            !LoopPart->Measure(context, preRoll, end, runningTime, transpose))
            return false;
    }
    return true;
}

// ---- Select ----------------------------------------------------------------------------------

double TSelectPartMuz::GetLength(int32_t turn) const
{
    int32_t pitch = 0;
    const int32_t t = turn > 0 ? turn : GetCurrentTurn();
    if (!SelectPart || !FindTurn(t, pitch))
        return 0.0;
    return SelectPart->GetLength(turn);
}

bool TSelectPartMuz::Render(TRenderContext& context, Sound& target, double& runningTime,
                            double transpose)
{
    int32_t pitch = 0;
    if (!SelectPart || !SelectPart->IsEnabled() || !FindTurn(GetCurrentTurn(), pitch))
        return true;
    return SelectPart->Render(context, target, runningTime, transpose + pitch);
}

bool TSelectPartMuz::Measure(TRenderContext& context, double& preRoll, double& end,
                             double& runningTime, double transpose)
{
    int32_t pitch = 0;
    if (!SelectPart || !SelectPart->IsEnabled() || !FindTurn(GetCurrentTurn(), pitch))
        return true;
    return SelectPart->Measure(context, preRoll, end, runningTime, transpose + pitch);
}

} // namespace kelvorn
