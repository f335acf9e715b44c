#include "music/ui/StaveLayout.h"

#include "music/ui/Glyphs.h"
#include "music/ui/StaveDrawing.h"

#include <algorithm>
#include <climits>

namespace kelvorn {

namespace {

// Positions are sums of binary fractions: closer than this they are one time.
constexpr double timeSlack = 1e-9;

bool Before(double a, double b)
{
    return a < b - timeSlack;
}

bool SameTime(double a, double b)
{
    return !Before(a, b) && !Before(b, a);
}

int32_t Grow(int32_t width, int32_t value)
{
    return std::max(width, value);
}

int32_t Width(int32_t w)
{
    return w < 0 ? 0 : w;
}

} // namespace

double TStaveLayout::Chord::Start() const
{
    return Position + PosInOol * Length.Value() / static_cast<int32_t>(Ool);
}

double TStaveLayout::Chord::End() const
{
    return Start() + Length.Value() / static_cast<int32_t>(Ool);
}

int32_t TStaveLayout::Chord::Highest() const
{
    int32_t h = INT_MIN;
    for (const NoteItem& n : Notes)
        h = std::max(h, n.Height);
    return h;
}

int32_t TStaveLayout::Chord::Lowest() const
{
    int32_t h = INT_MAX;
    for (const NoteItem& n : Notes)
        h = std::min(h, n.Height);
    return h;
}

TStaveLayout::TStaveLayout(TNoteStave& s) : stave(s)
{
    barShifts.fill(noteShiftNormal);
    keyShifts.fill(noteShiftNormal);
}

std::unique_ptr<TStaveLayout> TStaveLayout::Clone() const
{
    auto copy = std::make_unique<TStaveLayout>(stave);
    copy->clef = clef;
    copy->barShifts = barShifts;
    copy->keyShifts = keyShifts;
    std::vector<std::pair<const Column*, Column*>> moved;
    for (const auto& c : columns) {
        copy->columns.push_back(std::make_unique<Column>(*c));
        moved.emplace_back(c.get(), copy->columns.back().get());
    }
    auto map = [&moved](Column* c) -> Column* {
        for (const auto& [from, to] : moved)
            if (from == c)
                return to;
        return nullptr;
    };
    for (size_t i = 0; i < chords.size(); ++i)
        for (const auto& c : chords[i]) {
            copy->chords[i].push_back(std::make_unique<Chord>(*c));
            copy->chords[i].back()->Col = map(c->Col);
        }
    for (const auto& r : rests) {
        copy->rests.push_back(std::make_unique<Rest>(*r));
        copy->rests.back()->Col = map(r->Col);
    }
    return copy;
}

void TStaveLayout::SetClef(const TKey* key)
{
    clef = key;
    for (int32_t i = 0; i < 7; ++i)
        keyShifts[i] = key ? key->GetKeyNoteShift(i) : noteShiftNormal;
    barShifts = keyShifts;
}

bool TStaveLayout::HasXPositions() const
{
    return !columns.empty();
}

size_t TStaveLayout::CountChords() const
{
    size_t n = 0;
    for (const ChordList& list : chords)
        n += list.size();
    return n;
}

int32_t TStaveLayout::StepOf(const TMuzNote& note) const
{
    return clef ? clef->GetStepOfPitch(note.GetPitch()) : note.GetPitch() - keyKindG;
}

TStaveLayout::Column* TStaveLayout::FindColumn(double position, int32_t posInOol, MultiOol ool)
{
    auto made = std::make_unique<Column>();
    made->Position = position;
    made->PosInOol = posInOol;
    made->Ool = ool;
    if (columns.empty()) {
        columns.push_back(std::move(made));
        return columns.back().get();
    }
    for (auto& c : columns)
        if (SameTime(c->Position, position) && c->PosInOol == posInOol)
            return c.get();
    // After the first column whose successor is missing or starts later: columns of one
    // Position keep the order they were made in.
    size_t i = 0;
    while (i + 1 < columns.size() && !Before(position, columns[i + 1]->Position))
        ++i;
    return columns.insert(columns.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(made))
        ->get();
}

TStaveLayout::Chord* TStaveLayout::FindChord(ChordList& list, double position, int32_t posInOol,
                                             MultiOol ool)
{
    for (auto& c : list)
        if (!c->Kept && SameTime(c->Position, position) && c->PosInOol == posInOol)
            return c.get();
    auto c = std::make_unique<Chord>();
    c->Position = position;
    c->PosInOol = posInOol;
    c->Ool = ool;
    c->Col = FindColumn(position, posInOol, ool);
    list.push_back(std::move(c));
    return list.back().get();
}

void TStaveLayout::AddNote(TMuzNote& note, bool selected)
{
    note.ResetX();
    ChordList& list = chords[std::min<int>(note.GetBerDrawStickKind(), 2)];
    const MultiOol ool = note.GetMultiOol();
    Chord* own = nullptr;
    // Every member of the tuplet gets its column, so that rests between notes keep their place.
    for (int32_t i = 0; i < std::max<int32_t>(ool, 1); ++i) {
        Chord* c = FindChord(list, note.GetPosition(), i, ool);
        if (i == note.GetPosInOol())
            own = c;
    }
    if (!own)
        own = FindChord(list, note.GetPosition(), note.GetPosInOol(), ool);
    if (own->Notes.empty()) {
        own->Length.SetWritten(note.GetPoints(), note.GetNoteLengthKind());
        own->Art = note.GetNoteArtKind();
    }
    NoteItem item;
    item.Note = &note;
    item.Selected = selected;
    item.Height = StepOf(note);
    own->Notes.push_back(item);
}

void TStaveLayout::AddRest(TSilence& rest, bool selected)
{
    rest.ResetX();
    for (auto& r : rests)
        if (SameTime(r->Position, rest.GetPosition()) && r->PosInOol == rest.GetPosInOol()) {
            r->Length.SetWritten(rest.GetPoints(), rest.GetNoteLengthKind());
            r->Silence = &rest;
            r->Selected = selected;
            return;
        }
    auto r = std::make_unique<Rest>();
    r->Position = rest.GetPosition();
    r->PosInOol = rest.GetPosInOol();
    r->Ool = rest.GetMultiOol();
    r->Col = FindColumn(r->Position, r->PosInOol, r->Ool);
    r->Length.SetWritten(rest.GetPoints(), rest.GetNoteLengthKind());
    r->Silence = &rest;
    r->Selected = selected;
    rests.push_back(std::move(r));
}

std::vector<TStaveLayout::Chord*> TStaveLayout::Taking(ChordList& list, double p) const
{
    std::vector<Chord*> out;
    for (auto& c : list)
        if (!c->Kept && Before(c->Position, p))
            out.push_back(c.get());
    return out;
}

void TStaveLayout::CutAt(double p)
{
    for (ChordList& list : chords) {
        const size_t n = list.size();
        for (size_t i = 0; i < n; ++i) {
            Chord& c = *list[i];
            const double end = c.Position + c.Length.Value();
            if (c.Kept || c.Ool != sool || c.Notes.empty() || !Before(c.Position, p) ||
                !Before(p, end))
                continue;
            auto copy = std::make_unique<Chord>(c);
            copy->Position = p;
            copy->Col = FindColumn(p, 0, sool);
            copy->Length.SetBroken(end - p);
            copy->SlurEnd = true;
            c.Length.SetBroken(p - c.Position);
            c.FlagEnd = c.GroupEnd = c.SlurBegin = true;
            list.push_back(std::move(copy));
        }
    }
    const size_t n = rests.size();
    for (size_t i = 0; i < n; ++i) {
        Rest& r = *rests[i];
        const double end = r.Position + r.Length.Value();
        if (r.Ool != sool || !Before(r.Position, p) || !Before(p, end))
            continue;
        auto copy = std::make_unique<Rest>(r);
        copy->Position = p;
        copy->Col = FindColumn(p, 0, sool);
        copy->Length.SetBroken(end - p);
        r.Length.SetBroken(p - r.Position);
        rests.push_back(std::move(copy));
    }
}

void TStaveLayout::WriteValues(double p)
{
    for (ChordList& list : chords)
        for (size_t i = 0; i < list.size(); ++i) {
            Chord& c = *list[i];
            if (c.Kept || !Before(c.Position, p) || !c.Length.LengthIsBroken)
                continue;
            const TWrittenValue w = LargestWrittenValue(c.Length.Value());
            c.Length.SetWritten(w.Points, w.NoteLengthKind);
            c.FlagEnd = c.GroupEnd = true;
            if (w.Remainder <= 0)
                continue;
            auto copy = std::make_unique<Chord>(c);
            copy->Position = c.Position + w.Value;
            copy->Col = FindColumn(copy->Position, 0, sool);
            copy->Length.SetBroken(w.Remainder);
            copy->SlurEnd = true;
            c.SlurBegin = true;
            list.insert(list.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(copy));
        }
    for (size_t i = 0; i < rests.size(); ++i) {
        Rest& r = *rests[i];
        if (!Before(r.Position, p) || !r.Length.LengthIsBroken)
            continue;
        const TWrittenValue w = LargestWrittenValue(r.Length.Value());
        r.Length.SetWritten(w.Points, w.NoteLengthKind);
        if (w.Remainder <= 0)
            continue;
        auto copy = std::make_unique<Rest>(r);
        copy->Position = r.Position + w.Value;
        copy->Col = FindColumn(copy->Position, 0, sool);
        copy->Length.SetBroken(w.Remainder);
        rests.insert(rests.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(copy));
    }
}

void TStaveLayout::BreakBeams(ChordList& list, double p)
{
    const std::vector<Chord*> seq = Taking(list, p);
    for (size_t i = 0; i < seq.size(); ++i) {
        Chord& c = *seq[i];
        Chord* next = i + 1 < seq.size() ? seq[i + 1] : nullptr;
        const bool single = c.Ool == sool;
        if (stave.drawFlagKind == 0)
            c.FlagEnd = true;
        if (c.Ool >= 2 && c.PosInOol == c.Ool - 1)
            c.FlagEnd = c.GroupEnd = true;
        if (c.Notes.empty() && c.Ool >= 2)
            c.FlagEnd = true;
        if (c.Length.FlagLength(c.Ool) < 8) {
            c.FlagEnd = true;
            c.GroupEnd = c.GroupEnd || single;
        }
        if (!next) {
            c.FlagEnd = c.GroupEnd = true;
            continue;
        }
        if (next->Length.FlagLength(c.Ool) < 8) {
            c.FlagEnd = true;
            c.GroupEnd = c.GroupEnd || single;
        }
        if (!c.Notes.empty() && Before(c.End(), next->Start()))
            c.FlagEnd = c.GroupEnd = true;
        if (next->Ool >= 2 && (next->PosInOol == 0 || next->Notes.empty())) {
            c.FlagEnd = true;
            c.GroupEnd = c.GroupEnd || next->PosInOol == 0;
        }
    }
    for (size_t i = 0; i < seq.size(); ++i) {
        seq[i]->FlagBegin = i == 0 || seq[i - 1]->FlagEnd;
        seq[i]->GroupBegin = i == 0 || seq[i - 1]->GroupEnd;
    }
}

void TStaveLayout::SetAccidentals(double p)
{
    for (ChordList& list : chords)
        for (Chord* c : Taking(list, p))
            for (const NoteItem& n : c->Notes) {
                uint8_t& entry = c->Col->Shifts[WrapStep(n.Height)];
                const uint8_t sounding = n.Note->GetNoteShiftKind();
                if (entry == noteShiftNone)
                    entry = sounding;
                else if (entry != sounding)
                    entry = 6; // two accidentals on one step in one column
            }
    // Each column's row holds what is in force after it; a note compares with the row before.
    std::array<uint8_t, 7> previous = barShifts;
    std::vector<std::pair<Column*, std::array<uint8_t, 7>>> before;
    for (auto& col : columns) {
        if (!Before(col->Position, p))
            continue;
        before.emplace_back(col.get(), previous);
        for (int32_t s = 0; s < 7; ++s)
            if (col->Shifts[s] == noteShiftNone)
                col->Shifts[s] = previous[s];
        previous = col->Shifts;
    }
    barShifts = previous;
    for (ChordList& list : chords)
        for (Chord* c : Taking(list, p)) {
            const std::array<uint8_t, 7>* row = &barShifts;
            for (auto& [col, r] : before)
                if (col == c->Col)
                    row = &r;
            for (NoteItem& n : c->Notes) {
                const NoteShiftKind sounding = n.Note->GetNoteShiftKind();
                n.DrawShift = (*row)[WrapStep(n.Height)] != sounding ? sounding : noteShiftNone;
            }
        }
}

void TStaveLayout::SetAutomaticStems(double p)
{
    for (Chord* c : Taking(chords[drawStickUp], p))
        c->Down = false;
    for (Chord* c : Taking(chords[drawStickDown], p))
        c->Down = true;
    const std::vector<Chord*> seq = Taking(chords[drawStickAuto], p);
    for (size_t i = 0; i < seq.size(); ++i) {
        if (!seq[i]->GroupBegin)
            continue;
        size_t j = i;
        while (j + 1 < seq.size() && !seq[j]->GroupEnd)
            ++j;
        int32_t low = INT_MAX, high = INT_MIN;
        for (size_t k = i; k <= j; ++k)
            for (const NoteItem& n : seq[k]->Notes) {
                low = std::min(low, n.Height);
                high = std::max(high, n.Height);
            }
        const bool down = low == INT_MAX || int64_t(low) + high >= 0;
        for (size_t k = i; k <= j; ++k)
            seq[k]->Down = down;
    }
}

void TStaveLayout::SetWidths(double p)
{
    for (ChordList& list : chords)
        for (Chord* c : Taking(list, p)) {
            if (c->Notes.empty())
                continue;
            const int32_t up = c->Down ? 0 : 1;
            if (up) {
                c->BeamY = -5 * c->Highest() - 32;
                c->StemY = -5 * c->Highest() - 35;
            } else {
                c->BeamY = 32 - 5 * c->Lowest();
                c->StemY = 35 - 5 * c->Lowest();
            }
            std::stable_sort(
                c->Notes.begin(), c->Notes.end(),
                [](const NoteItem& a, const NoteItem& b) { return a.Height > b.Height; });
            for (size_t i = 1; i < c->Notes.size(); ++i)
                if (c->Notes[i - 1].Height - c->Notes[i].Height == 1 && !c->Notes[i - 1].Shifted)
                    c->Notes[i].Shifted = true;
            int32_t before = -1, core = -1, after = -1;
            const int32_t dots = c->Length.DrawnDots(c->Ool);
            for (const NoteItem& n : c->Notes) {
                int32_t b = NoteShiftWidth(n.DrawShift), k = 10, a = 4 * dots + 8;
                if (n.Shifted) {
                    b += c->Down ? k : -k;
                    a += c->Down ? -k : k;
                }
                before = Grow(before, b);
                core = Grow(core, k);
                after = Grow(after, a);
            }
            if (c->FlagBegin && c->FlagEnd && c->Length.FlagLength(c->Ool) >= 8 && !c->Down)
                after = Grow(after, 13);
            c->Col->WidthBefore = Grow(c->Col->WidthBefore, before);
            c->Col->WidthCore = Grow(c->Col->WidthCore, core);
            c->Col->WidthAfter = Grow(c->Col->WidthAfter, after);
        }
    for (auto& r : rests)
        if (Before(r->Position, p)) {
            r->Col->WidthBefore = Grow(r->Col->WidthBefore, 0);
            r->Col->WidthCore = Grow(r->Col->WidthCore, SilenceWidth(r->Length.FlagLength(r->Ool),
                                                                     r->Length.DrawnDots(r->Ool)));
            r->Col->WidthAfter = Grow(r->Col->WidthAfter, 0);
        }
}

void TStaveLayout::PlaceStems(double p)
{
    for (ChordList& list : chords)
        for (Chord* c : Taking(list, p)) {
            const int64_t left = c->Col->X + Width(c->Col->WidthBefore);
            const int64_t right = left + Width(c->Col->WidthCore);
            bool atLeft = c->Down;
            if (c->Notes.empty() && c->Ool >= 2)
                atLeft = c->PosInOol == 0;
            c->StemX = ClampPixel(atLeft ? left : right);
        }
}

void TStaveLayout::DrawBeamGroups(Canvas& canvas, double p)
{
    const TStaveColors colors{stave.ForegroundColor, stave.BackgroundColor};
    for (ChordList& list : chords) {
        const std::vector<Chord*> seq = Taking(list, p);
        for (size_t i = 0; i < seq.size(); ++i) {
            Chord& c = *seq[i];
            const bool tuplet = c.Ool > 1 && c.PosInOol == 0;
            if (!tuplet && !(c.Ool == sool && c.GroupBegin && i + 1 < seq.size() && !c.GroupEnd))
                continue;
            size_t j = i;
            while (j + 1 < seq.size() && !seq[j]->GroupEnd)
                ++j;
            std::vector<TBeamTip> tips;
            bool down = c.Down;
            for (size_t k = i; k <= j; ++k)
                if (!seq[k]->Notes.empty()) {
                    if (tips.empty())
                        down = seq[k]->Down;
                    tips.push_back({seq[k]->StemX, seq[k]->BeamY});
                }
            if (tips.empty())
                continue;
            const TBeamLine line = FindBeamLine(tips, down);
            if (tuplet)
                DrawTupletBracket(canvas, seq[i]->StemX, seq[j]->StemX, line, stave.GetMiddleY(),
                                  down, c.Ool, colors);
            for (size_t k = i; k <= j; ++k) {
                seq[k]->Down = down;
                seq[k]->StemY = static_cast<int32_t>(line.YAt(seq[k]->StemX));
                seq[k]->BeamY = seq[k]->StemY + (down ? 1 : -1);
            }
        }
    }
}

void TStaveLayout::DrawChords(Canvas& canvas, ChordList& list, double p)
{
    const TStaveColors colors{stave.ForegroundColor, stave.BackgroundColor};
    const int32_t mid = stave.GetMiddleY();
    const std::vector<Chord*> seq = Taking(list, p);
    auto levels = [](const Chord* c) { return BeamLevels(c->Length.FlagLength(c->Ool)); };
    for (size_t i = 0; i < seq.size(); ++i) {
        Chord& c = *seq[i];
        if (c.Notes.empty())
            continue;
        const int32_t coreLeft = ClampPixel(c.Col->X + Width(c.Col->WidthBefore));
        const int32_t coreRight = coreLeft + Width(c.Col->WidthCore);
        const int32_t high = c.Highest(), low = c.Lowest();
        const int32_t highY = mid - 5 * high, lowY = mid - 5 * low;
        c.CoreMidX = (coreLeft + coreRight) / 2;
        c.HighY = highY;
        c.LowY = lowY;
        SetInk(canvas, colors.Fore);
        for (int32_t k = 0; k < high / 2 - 2; ++k) {
            canvas.MoveTo(coreLeft - 6, mid - 30 - 10 * k);
            canvas.LineTo(coreRight + 6, mid - 30 - 10 * k);
        }
        for (int32_t k = 0; k < -low / 2 - 2; ++k) {
            canvas.MoveTo(coreLeft - 6, mid + 30 + 10 * k);
            canvas.LineTo(coreRight + 6, mid + 30 + 10 * k);
        }
        DrawArticulation(canvas, c.Art, c.CoreMidX, c.Down ? highY : lowY, !c.Down, colors.Fore);
        const int32_t value = c.Length.FlagLength(c.Ool);
        for (NoteItem& n : c.Notes) {
            TNoteGlyph g;
            const int32_t shift = n.Shifted ? (c.Down ? -10 : 10) : 0;
            g.XL = coreLeft + shift;
            g.XR = coreRight + shift;
            g.MiddleY = mid;
            g.Height = n.Height;
            g.Shift = n.DrawShift;
            g.FlagLength = value;
            g.Dots = c.Length.DrawnDots(c.Ool);
            g.Selected = n.Selected;
            TNoteGroup* group = n.Note->GetNoteGroup();
            g.NoteColor = group ? group->NoteColor : colors.Fore;
            g.Rectangle = group && group->NoteShape == 1;
            const auto [l, r] = DrawNoteGlyph(canvas, g, colors);
            n.Note->AddX(l);
            n.Note->AddX(r);
            n.Note->SetHeight(n.Height);
        }
        if (value <= 1)
            continue;
        SetInk(canvas, colors.Fore);
        const int32_t far = c.Down ? highY : lowY;
        const int32_t tip = value <= 4 ? (c.Down ? lowY + 34 : highY - 34) : mid + c.StemY;
        canvas.MoveTo(c.StemX, far);
        canvas.LineTo(c.StemX, tip);
        const int32_t own = levels(&c);
        if (own == 0)
            continue;
        const int32_t toHeads = c.Down ? -1 : 1;
        Chord* next = !c.FlagEnd && i + 1 < seq.size() ? seq[i + 1] : nullptr;
        Chord* prev = i > 0 && !seq[i - 1]->FlagEnd ? seq[i - 1] : nullptr;
        auto beam = [&](int32_t x1, double y1, int32_t x2, double y2, int32_t level) {
            const int32_t off = 7 * level * toHeads;
            const int32_t a = mid + static_cast<int32_t>(y1) + off;
            const int32_t b = mid + static_cast<int32_t>(y2) + off;
            const PixelPoint pts[4] = {
                {x1, a}, {x2, b}, {x2, b + 5 * toHeads}, {x1, a + 5 * toHeads}};
            canvas.Polygon(pts);
        };
        if (c.FlagBegin && c.FlagEnd) {
            for (int32_t k = 0; k < own; ++k)
                DrawFlag(canvas, c.StemX, mid + c.BeamY + 6 * k * toHeads, toHeads, colors.Fore);
            continue;
        }
        if (next) {
            for (int32_t k = 0; k < std::min(own, levels(next)); ++k)
                beam(c.StemX, c.BeamY, next->StemX, next->BeamY, k);
        }
        const Chord* slopeOf = next ? next : prev;
        double slope = 0.0;
        if (slopeOf && slopeOf->StemX != c.StemX)
            slope = double(slopeOf->BeamY - c.BeamY) / (slopeOf->StemX - c.StemX);
        if (c.FlagBegin && next && levels(next) < own)
            for (int32_t k = levels(next); k < own; ++k)
                beam(c.StemX, c.BeamY, c.StemX + 8, c.BeamY + 8 * slope, k);
        else if (prev && levels(prev) < own && (c.FlagEnd || (next && levels(next) < own)))
            for (int32_t k = levels(prev); k < own; ++k)
                beam(c.StemX - 8, c.BeamY - 8 * slope, c.StemX, c.BeamY, k);
    }
}

void TStaveLayout::DrawTies(Canvas& canvas, ChordList& list)
{
    for (size_t i = 1; i < list.size(); ++i) {
        const Chord& prev = *list[i - 1];
        const Chord& c = *list[i];
        if (c.Kept || !c.SlurEnd || !prev.SlurBegin || c.Notes.empty() || prev.Notes.empty())
            continue;
        if (c.Down)
            DrawStaveTie(canvas, stave, prev.CoreMidX, prev.HighY - 7, c.CoreMidX, c.HighY - 7, 13);
        else
            DrawStaveTie(canvas, stave, prev.CoreMidX, prev.LowY + 7, c.CoreMidX, c.LowY + 7, -13);
    }
}

void TStaveLayout::CleanUp(double p)
{
    std::erase_if(rests, [&](const auto& r) { return Before(r->Position, p); });
    for (ChordList& list : chords) {
        const bool rest = std::any_of(list.begin(), list.end(),
                                      [&](const auto& c) { return !Before(c->Position, p); });
        Chord* keep = nullptr;
        if (rest)
            for (auto& c : list)
                if (Before(c->Position, p))
                    keep = c.get();
        std::erase_if(list,
                      [&](const auto& c) { return c.get() != keep && Before(c->Position, p); });
        if (keep) {
            keep->Kept = true;
            keep->Col = nullptr;
        }
    }
    std::erase_if(columns, [&](const auto& c) { return Before(c->Position, p); });
}

int32_t TStaveLayout::Layout(double p, Canvas& canvas, int32_t startX)
{
    CutAt(p);
    WriteValues(p);
    for (ChordList& list : chords)
        BreakBeams(list, p);
    SetAccidentals(p);
    SetAutomaticStems(p);
    SetWidths(p);
    int64_t x = startX;
    for (auto& col : columns) {
        if (!Before(col->Position, p))
            continue;
        col->X = x;
        x += Width(col->WidthBefore) + Width(col->WidthCore) + Width(col->WidthAfter);
    }
    PlaceStems(p);
    DrawBeamGroups(canvas, p);
    for (ChordList& list : chords)
        DrawChords(canvas, list, p);
    const TStaveColors colors{stave.ForegroundColor, stave.BackgroundColor};
    for (auto& r : rests)
        if (Before(r->Position, p))
            DrawSilenceGlyph(canvas, r->Length.FlagLength(r->Ool), r->Length.DrawnDots(r->Ool),
                             ClampPixel(r->Col->X + Width(r->Col->WidthBefore)), stave.GetMiddleY(),
                             r->Selected, colors, r->Silence);
    for (ChordList& list : chords)
        DrawTies(canvas, list);
    CleanUp(p);
    return ClampPixel(x);
}

} // namespace kelvorn
