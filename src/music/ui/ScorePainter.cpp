#include "music/ui/ScorePainter.h"

#include "music/core/Stave.h"
#include "music/ui/Glyphs.h"
#include "music/ui/ScoreRecording.h"
#include "music/ui/StaveDrawing.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <limits>
#include <unordered_map>

namespace kelvorn {

namespace {

std::vector<TNoteStave*> Staves(const TUnitMuz& doc)
{
    std::vector<TNoteStave*> out;
    for (TNoteStave* s = doc.GetFirstStave(); s; s = s->GetNext())
        out.push_back(s);
    return out;
}

TStaveColors ColorsOf(const TNoteStave& stave)
{
    return {stave.ForegroundColor, stave.BackgroundColor};
}

/// Every touchable symbol of the subtree in drawing order: a loop's opening mark, its part, its
/// closing mark; a single part's time signature, then its chain.
void WalkSymbols(TPartMuz* part, const std::function<void(TXTouchMuzSymbol&)>& visit)
{
    if (!part)
        return;
    if (part->GetKind() == partSingle) {
        auto& single = static_cast<TSinglePartMuz&>(*part);
        if (single.GetMuzBar())
            visit(*single.GetMuzBar());
        for (TStaveSymbol* s = single.FirstSymbol(); s; s = s->GetNext())
            visit(*s);
        return;
    }
    if (part->GetKind() == partLoop) {
        auto& loop = static_cast<TLoopPartMuz&>(*part);
        visit(*loop.GetLeftLoopSymbol());
        WalkSymbols(loop.GetLoopPart(), visit);
        visit(*loop.GetRightLoopSymbol());
        return;
    }
    for (int32_t i = 0; i < part->ChildCount(); ++i)
        WalkSymbols(part->Child(i), visit);
}

/// Hatch lines 8 pixels apart over rect: kind 0 vertical, 1 falling ("\"), 2 rising ("/").
void Hatch(Canvas& canvas, const PixelRect& rect, int kind)
{
    if (rect.left >= rect.right || rect.top >= rect.bottom)
        return;
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.SetBrushColor(0xFFFFFF);
    canvas.FillRect(rect);
    canvas.SetPenColor(scoreHatchColor);
    canvas.SetPenWidth(1);
    const int64_t l = rect.left, t = rect.top, r = rect.right - 1, b = rect.bottom - 1;
    auto first = [](int64_t v) { return v - ((v % 8) + 8) % 8 + 8 * (((v % 8) + 8) % 8 != 0); };
    if (kind == 0) {
        for (int64_t x = first(l); x <= r; x += 8) {
            canvas.MoveTo(static_cast<int>(x), rect.top);
            canvas.LineTo(static_cast<int>(x), rect.bottom);
        }
        return;
    }
    // Falling lines x - y = k, rising lines x + y = k.
    const int64_t kFrom = kind == 1 ? l - b : l + t, kTo = kind == 1 ? r - t : r + b;
    for (int64_t k = first(kFrom); k <= kTo; k += 8) {
        int64_t y0, y1;
        if (kind == 1) {
            y0 = std::max(t, l - k);
            y1 = std::min(b, r - k);
        } else {
            y0 = std::max(t, k - r);
            y1 = std::min(b, k - l);
        }
        if (y0 > y1)
            continue;
        const int64_t x0 = kind == 1 ? y0 + k : k - y0;
        const int64_t x1 = kind == 1 ? y1 + k : k - y1;
        canvas.MoveTo(static_cast<int>(x0), static_cast<int>(y0));
        canvas.LineTo(static_cast<int>(x1 + (kind == 1 ? 1 : -1)), static_cast<int>(y1 + 1));
    }
}

constexpr double noTime = -std::numeric_limits<double>::infinity();

/// What must stay as it was for a kept layout to hold although no notice came: the staves with
/// their looks and groups and the part tree with its flags and time signatures (fields that
/// callers may write directly). A handful of values per stave and part.
std::vector<int64_t> Signature(const TUnitMuz& doc)
{
    std::vector<int64_t> out;
    auto ptr = [](const void* p) { return static_cast<int64_t>(reinterpret_cast<intptr_t>(p)); };
    for (TNoteStave* s = doc.GetFirstStave(); s; s = s->GetNext()) {
        out.insert(out.end(),
                   {ptr(s), s->RoomUp.GetValue(), s->RoomDown.GetValue(), s->ForegroundColor,
                    s->BackgroundColor, s->drawFlagKind, s->ExtraLines});
        for (TNoteGroup* g = s->GetFirstNoteGroup(); g; g = g->GetNext())
            out.insert(out.end(), {ptr(g), g->NoteColor, g->NoteShape, g->GetDefaultStem()});
    }
    std::function<void(const TPartMuz*)> part = [&](const TPartMuz* p) {
        out.push_back(ptr(p));
        if (!p)
            return;
        out.insert(out.end(), {p->GetKind(), p->IsEnabled() ? 1 : 0});
        if (p->GetKind() == partLoop)
            out.push_back(static_cast<const TLoopPartMuz*>(p)->Count.GetValue());
        if (p->GetKind() == partSingle) {
            const TMuzBar* bar = static_cast<const TSinglePartMuz*>(p)->GetMuzBar();
            out.insert(out.end(), {ptr(bar), bar ? bar->GetLength() : 0, bar ? bar->GetCount() : 0,
                                   bar ? bar->GetCountFirstBar() : 0});
        }
        for (int32_t i = 0; i < p->ChildCount(); ++i)
            part(p->Child(i));
    };
    part(doc.GetRootPart());
    return out;
}

} // namespace

/// One top-level step of the drawing walk: a single part, or a loop mark with its count.
struct TScoreStep
{
    TSinglePartMuz* part = nullptr;
    TLoopPartSymbol* mark = nullptr;
    int32_t count = 0;
};

/// Where a layout can start again: before a step, or before the chain element chainIndex of a
/// single part that is about to lay a bar line. Everything the walk carries is kept: the staves'
/// layouts with what waits past the line, their x and last time, the next bar line and the
/// recorded calls so far. maxDone is the latest time the part's elements before it stand at: an
/// edit of that part later than it leaves the checkpoint as it was.
struct TScoreCheckpoint
{
    size_t step = 0;
    int64_t chainIndex = -1;
    double maxDone = noTime;
    size_t ops = 0;
    double barPosition = 0;
    struct Stave
    {
        int32_t layoutX = 0;
        double lastPosition = 0;
        std::unique_ptr<TStaveLayout> layout;
    };
    std::vector<Stave> staves;
};

/// The layout kept with the piece: the recorded drawing in score columns, cut into runs at the
/// checkpoints, and where the next paint must lay out again from.
class TKeptScore final : public TMuzKeeper
{
public:
    void PieceChanged(const TMuzChange& change) override
    {
        switch (change.kind) {
        case TMuzChange::Tempo:
            return; // the score does not show it
        case TMuzChange::Staves:
        case TMuzChange::Parts:
            laidOut = false;
            return;
        case TMuzChange::WholePart:
        case TMuzChange::Symbols:
            DropIn(change.part, change.kind == TMuzChange::WholePart ? noTime : change.position);
            return;
        }
    }
    void Forget(const void* item) override
    {
        if (item == selected)
            selected = nullptr;
    }

    /// Lay out again from the latest checkpoint of part's step before time.
    void DropIn(const TSinglePartMuz* part, double time)
    {
        if (!laidOut)
            return;
        const auto it = stepOf.find(part);
        if (it == stepOf.end())
            return; // not drawn: a part being built or a disabled one
        DropInStep(it->second, time);
    }
    void DropInStep(size_t step, double time)
    {
        auto first =
            std::lower_bound(checkpoints.begin(), checkpoints.end(), step,
                             [](const TScoreCheckpoint& c, size_t s) { return c.step < s; });
        if (first == checkpoints.end() || first->step != step) {
            laidOut = false;
            return;
        }
        auto last = first;
        while (last + 1 != checkpoints.end() && (last + 1)->step == step &&
               (last + 1)->maxDone < time)
            ++last;
        resumeFrom = std::min(resumeFrom, static_cast<size_t>(last - checkpoints.begin()));
    }
    /// What a change of the selection to or from symbol redraws.
    void DropAt(const TXTouchMuzSymbol* symbol)
    {
        if (!symbol || !laidOut)
            return;
        switch (symbol->GetMuzSymbolKind()) {
        case muzSymbolStave: {
            const auto* s = static_cast<const TStaveSymbol*>(symbol);
            DropIn(s->GetOwner(), s->GetPosition());
            return;
        }
        case muzSymbolBar:
            DropIn(static_cast<const TMuzBar*>(symbol)->GetSinglePartMuz(), noTime);
            return;
        case muzSymbolLoop:
            for (size_t i = 0; i < steps.size(); ++i)
                if (steps[i].mark == symbol)
                    DropInStep(i, noTime);
            return;
        }
    }
    /// The runs' column ranges, for finding those that reach into a window.
    void MeasureRuns()
    {
        const size_t n = checkpoints.size();
        reach.assign(n, INT64_MIN);
        start.assign(n, INT64_MAX);
        for (size_t i = 0; i < n; ++i) {
            int64_t l = 0, r = 0;
            if (recording.Extent(RunBegin(i), RunEnd(i), l, r)) {
                start[i] = l;
                reach[i] = r;
            }
            if (i > 0)
                reach[i] = std::max(reach[i], reach[i - 1]);
        }
        for (size_t i = n; i-- > 1;)
            start[i - 1] = std::min(start[i - 1], start[i]);
    }
    size_t RunBegin(size_t i) const { return checkpoints[i].ops; }
    size_t RunEnd(size_t i) const
    {
        return i + 1 < checkpoints.size() ? checkpoints[i + 1].ops : recording.Count();
    }
    void Replay(Canvas& canvas, int64_t left, int64_t right, int64_t dx, int64_t dy) const
    {
        // reach only grows and start only shrinks from the front: the runs in the window are
        // one stretch found by halving.
        size_t i =
            static_cast<size_t>(std::lower_bound(reach.begin(), reach.end(), left) - reach.begin());
        for (; i < checkpoints.size() && start[i] < right; ++i)
            recording.Replay(canvas, RunBegin(i), RunEnd(i), left, right, dx, dy);
    }

    bool laidOut = false;
    size_t resumeFrom = SIZE_MAX;
    std::vector<TScoreStep> steps;
    std::unordered_map<const TSinglePartMuz*, size_t> stepOf;
    std::vector<TScoreCheckpoint> checkpoints;
    std::vector<int64_t> reach, start;
    TScoreRecording recording;
    TXTouchMuzSymbol* selected = nullptr;
    std::vector<int64_t> signature;
    /// Each stave's x and last time where the walk ended, and the score's right end.
    std::vector<std::pair<int32_t, double>> staveEnds;
    int32_t endX = 0;
};

namespace {

/// The steps of the drawing walk in order, as the tree is drawn: loop marks around their part,
/// disabled parts left out.
void Flatten(TPartMuz* part, std::vector<TScoreStep>& steps)
{
    if (!part)
        return;
    if (part->GetKind() == partSingle) {
        steps.push_back({static_cast<TSinglePartMuz*>(part), nullptr, 0});
        return;
    }
    if (part->GetKind() == partLoop) {
        auto& loop = static_cast<TLoopPartMuz&>(*part);
        const int32_t count = loop.Count.GetValue();
        steps.push_back({nullptr, loop.GetLeftLoopSymbol(), count});
        if (loop.GetLoopPart() && loop.GetLoopPart()->IsEnabled())
            Flatten(loop.GetLoopPart(), steps);
        steps.push_back({nullptr, loop.GetRightLoopSymbol(), count});
        return;
    }
    for (int32_t i = 0; i < part->ChildCount(); ++i)
        if (TPartMuz* child = part->Child(i); child && child->IsEnabled())
            Flatten(child, steps);
}

TKeptScore& KeptOf(TUnitMuz& doc)
{
    if (auto* kept = dynamic_cast<TKeptScore*>(doc.GetKeeper()))
        return *kept;
    auto made = std::make_unique<TKeptScore>();
    TKeptScore& kept = *made;
    doc.SetKeeper(std::move(made));
    return kept;
}

} // namespace

TStaveLayout* TScorePainter::LayoutOf(const TNoteStave* stave)
{
    for (auto& l : layouts)
        if (&l->Stave() == stave)
            return l.get();
    return nullptr;
}

void TScorePainter::Paint(Canvas& canvas, int32_t clientWidth, int32_t clientHeight,
                          int32_t xScroll, int32_t yScroll)
{
    const std::vector<TNoteStave*> staves = Staves(document);
    std::vector<TStaveRooms> rooms;
    for (TNoteStave* s : staves)
        rooms.push_back({s->RoomUp.GetValue(), s->RoomDown.GetValue()});

    TKeptScore& keep = KeptOf(document);
    if (std::vector<int64_t> now = Signature(document); now != keep.signature) {
        keep.signature = std::move(now);
        keep.laidOut = false;
    }
    if (TXTouchMuzSymbol* now = document.GetSelectedSymbol(); now != keep.selected) {
        keep.DropAt(keep.selected);
        keep.DropAt(now);
        keep.selected = now;
    }
    if (!keep.laidOut)
        LayOut(keep, SIZE_MAX);
    else if (keep.resumeFrom != SIZE_MAX)
        LayOut(keep, keep.resumeFrom);

    xOrigin = -int64_t(xScroll);
    yOrigin = -int64_t(yScroll);
    const TStaveRows rows = StackStaves(yOrigin, rooms);
    for (size_t i = 0; i < staves.size(); ++i) {
        staves[i]->StartLayout(ClampPixel(rows.Middles[i]),
                               ClampPixel(keep.staveEnds[i].first + xOrigin));
        staves[i]->SetLastPosition(keep.staveEnds[i].second);
    }
    yExtent = rows.End;

    const PixelRect client{0, 0, clientWidth, clientHeight};
    if (staves.empty()) {
        Hatch(canvas, client, 0);
    } else {
        for (TNoteStave* s : staves)
            DrawStaveBackground(canvas, *s, client);
        const int64_t top = rows.Middles.front() - staves.front()->RoomUp.GetValue();
        const int64_t bottom = rows.Middles.back() + staves.back()->RoomDown.GetValue();
        Hatch(canvas, {0, 0, clientWidth, ClampPixel(std::min<int64_t>(top, clientHeight))}, 1);
        Hatch(canvas, {0, ClampPixel(std::max<int64_t>(bottom, 0)), clientWidth, clientHeight}, 2);
    }

    keep.Replay(canvas, xScroll, int64_t{xScroll} + clientWidth, xOrigin, yOrigin);
    const int32_t x = ClampPixel(std::max<int64_t>(0, keep.endX) + xOrigin);
    for (TNoteStave* s : staves)
        DrawStaveEndBar(canvas, *s, x);
    xExtent = int64_t(x) + clientWidth - 80;
    for (TNoteStave* s : staves)
        DrawStaveLines(canvas, *s, client);
}

void TScorePainter::LayOut(TKeptScore& keep, size_t fromCheckpoint)
{
    // The layout is drawn in score columns and rows: the origin at 0, the staves where they
    // stand without scrolling.
    kept = &keep;
    const int64_t paintX = xOrigin, paintY = yOrigin;
    xOrigin = yOrigin = 0;
    const std::vector<TNoteStave*> staves = Staves(document);
    std::vector<TStaveRooms> rooms;
    for (TNoteStave* s : staves)
        rooms.push_back({s->RoomUp.GetValue(), s->RoomDown.GetValue()});
    const TStaveRows rows = StackStaves(0, rooms);
    layouts.clear();
    selected = keep.selected;

    size_t step = 0;
    int64_t chainIndex = -1;
    double maxDone = noTime;
    if (fromCheckpoint == SIZE_MAX || fromCheckpoint >= keep.checkpoints.size()) {
        keep.steps.clear();
        keep.stepOf.clear();
        Flatten(document.GetRootPart(), keep.steps);
        for (size_t i = 0; i < keep.steps.size(); ++i)
            if (keep.steps[i].part)
                keep.stepOf[keep.steps[i].part] = i;
        keep.checkpoints.clear();
        keep.recording.Clear();
        // Symbols not drawn in this layout are not there to be hit.
        WalkSymbols(document.GetRootPart(), [](TXTouchMuzSymbol& s) { s.ResetX(); });
        for (size_t i = 0; i < staves.size(); ++i) {
            staves[i]->StartLayout(ClampPixel(rows.Middles[i]), ClampPixel(xOrigin + 5));
            layouts.push_back(std::make_unique<TStaveLayout>(*staves[i]));
        }
    } else {
        TScoreCheckpoint from = std::move(keep.checkpoints[fromCheckpoint]);
        keep.checkpoints.resize(fromCheckpoint);
        keep.recording.Truncate(from.ops);
        for (size_t i = 0; i < staves.size(); ++i) {
            staves[i]->StartLayout(ClampPixel(rows.Middles[i]), from.staves[i].layoutX);
            staves[i]->SetLastPosition(from.staves[i].lastPosition);
            layouts.push_back(std::move(from.staves[i].layout));
        }
        barPosition = from.barPosition;
        step = from.step;
        chainIndex = from.chainIndex;
        maxDone = from.maxDone;
    }

    for (; step < keep.steps.size(); ++step, chainIndex = -1, maxDone = noTime) {
        const TScoreStep& s = keep.steps[step];
        if (chainIndex < 0)
            AddCheckpoint(step, -1, noTime);
        if (s.mark)
            DrawLoopMark(s.mark, s.count, keep.recording);
        else
            DrawSinglePart(*s.part, keep.recording, step, chainIndex, maxDone);
    }

    keep.endX = GetMaxStaveX();
    keep.staveEnds.clear();
    for (TNoteStave* s : staves)
        keep.staveEnds.emplace_back(s->GetLayoutX(), s->GetLastPosition());
    keep.MeasureRuns();
    keep.laidOut = true;
    keep.resumeFrom = SIZE_MAX;
    // The layouts live in the checkpoints now: a stave deleted afterwards leaves nothing here.
    layouts.clear();
    selected = nullptr;
    kept = nullptr;
    xOrigin = paintX;
    yOrigin = paintY;
}

void TScorePainter::AddCheckpoint(size_t step, int64_t chainIndex, double maxDone)
{
    TScoreCheckpoint c;
    c.step = step;
    c.chainIndex = chainIndex;
    c.maxDone = maxDone;
    c.ops = kept->recording.Count();
    c.barPosition = barPosition;
    for (auto& l : layouts)
        c.staves.push_back({l->Stave().GetLayoutX(), l->Stave().GetLastPosition(), l->Clone()});
    kept->checkpoints.push_back(std::move(c));
}

int32_t TScorePainter::GetMaxStaveX()
{
    int32_t x = ClampPixel(xOrigin);
    for (auto& l : layouts)
        x = std::max(x, l->Stave().GetLayoutX());
    return x;
}

void TScorePainter::SetStaveX(int32_t x)
{
    for (auto& l : layouts) {
        TNoteStave& s = l->Stave();
        if (x >= s.GetLayoutX()) {
            s.ExtendLayoutX(x);
        } else {
            const double last = s.GetLastPosition();
            s.StartLayout(s.GetMiddleY(), x);
            s.SetLastPosition(last);
        }
    }
}

bool TScorePainter::DrawBarColumn(Canvas& canvas, const TMuzBar& bar, double& position)
{
    for (auto& l : layouts)
        l->Stave().ExtendLayoutX(l->Layout(position, canvas, l->Stave().GetLayoutX()));
    const int32_t x = GetMaxStaveX();
    for (auto& l : layouts)
        DrawStaveBarLine(canvas, l->Stave(), x + 3);
    SetStaveX(x + 8);
    position = bar.GetNextBarLine(position);
    for (auto& l : layouts) {
        l->Stave().ExtendLayoutX(l->Layout(position, canvas, l->Stave().GetLayoutX()));
        l->RestartBarAccidentals();
    }
    return false;
}

void TScorePainter::LayBarLinesUpTo(Canvas& canvas, const TMuzBar& bar, double position)
{
    while (barPosition <= position + 1e-9) {
        const double was = barPosition;
        DrawBarColumn(canvas, bar, barPosition);
        if (!(barPosition > was))
            break; // a bar without length never moves on
    }
}

void TScorePainter::DrawLoopMark(TLoopPartSymbol* mark, int32_t count, Canvas& canvas)
{
    const int32_t x = GetMaxStaveX();
    int32_t next = x + LoopMarkWidth(count) + 5;
    for (auto& l : layouts)
        next = DrawLoopGlyph(canvas, *mark, count, x, l->Stave().GetMiddleY(), mark == selected,
                             ColorsOf(l->Stave()));
    SetStaveX(next);
}

void TScorePainter::DrawSinglePart(TSinglePartMuz& part, Canvas& canvas, size_t step,
                                   int64_t resumeIndex, double maxDone)
{
    TMuzBar* bar = part.GetMuzBar();
    TStaveSymbol* s = part.FirstSymbol();
    int64_t index = 0;
    if (resumeIndex >= 0) {
        // The opening clefs and the time signature were drawn before the checkpoint.
        for (; s && index < resumeIndex; s = s->GetNext())
            ++index;
    }
    for (;
         resumeIndex < 0 && s && s->GetStaveSymbolKind() == staveSymbolKey && s->GetPosition() <= 0;
         s = s->GetNext(), ++index) {
        maxDone = std::max(maxDone, s->GetPosition());
        TStaveLayout* l = LayoutOf(s->GetNoteStave());
        if (!l)
            continue;
        TNoteStave& stave = l->Stave();
        l->SetClef(s->AsKey());
        stave.ExtendLayoutX(DrawKeyGlyph(canvas, *s->AsKey(), stave.GetLayoutX(),
                                         stave.GetMiddleY(), s == selected, ColorsOf(stave)));
    }
    if (bar && resumeIndex < 0) {
        const int32_t x = GetMaxStaveX();
        int32_t next = x;
        for (auto& l : layouts)
            next = DrawBarGlyph(canvas, *bar, x, l->Stave().GetMiddleY(), bar == selected,
                                ColorsOf(l->Stave()));
        SetStaveX(next);
        barPosition = bar->GetNextBarLine(0.0);
    }
    for (; s; s = s->GetNext(), ++index) {
        const double done = maxDone;
        maxDone = std::max(maxDone, s->GetPosition());
        TStaveLayout* l = LayoutOf(s->GetNoteStave());
        if (!l)
            continue;
        TNoteStave& stave = l->Stave();
        if (bar && s->GetPosition() != stave.GetLastPosition()) {
            if (barPosition <= s->GetPosition() + 1e-9)
                AddCheckpoint(step, index, done);
            LayBarLinesUpTo(canvas, *bar, s->GetPosition());
        }
        switch (s->GetStaveSymbolKind()) {
        case staveSymbolKey:
            stave.ExtendLayoutX(l->Layout(s->GetPosition(), canvas, stave.GetLayoutX()));
            stave.ExtendLayoutX(DrawKeyGlyph(canvas, *s->AsKey(), stave.GetLayoutX(),
                                             stave.GetMiddleY(), s == selected, ColorsOf(stave)));
            l->SetClef(s->AsKey());
            break;
        case staveSymbolNote:
            l->AddNote(*s->AsNote(), s == selected);
            break;
        case staveSymbolSilence:
            l->AddRest(static_cast<TSilence&>(*s), s == selected);
            break;
        }
        stave.SetLastPosition(s->GetPosition());
    }
    AddCheckpoint(step, index, maxDone);
    auto pending = [&] {
        return std::any_of(layouts.begin(), layouts.end(),
                           [](const auto& l) { return l->HasXPositions(); });
    };
    // Bars of no length cannot move the layout on: stop rather than loop.
    for (int guard = 0; bar && pending() && guard < 1000; ++guard) {
        const double was = barPosition;
        DrawBarColumn(canvas, *bar, barPosition);
        if (!(barPosition > was))
            break;
    }
}

TNoteStave* TScorePainter::HitStaveBorder(int32_t, int32_t y) const
{
    for (TNoteStave* s = document.GetFirstStave(); s; s = s->GetNext()) {
        const int64_t b = int64_t(s->GetMiddleY()) + s->RoomDown.GetValue();
        if (b - 3 <= y && y <= b + 2)
            return s;
    }
    return nullptr;
}

TNoteStave* TScorePainter::FindStaveAtY(int32_t y) const
{
    for (TNoteStave* s = document.GetFirstStave(); s; s = s->GetNext()) {
        const int64_t m = s->GetMiddleY();
        if (m - s->RoomUp.GetValue() <= y && y <= m + s->RoomDown.GetValue())
            return s;
    }
    return nullptr;
}

int32_t TScorePainter::StepFromY(int32_t y, const TNoteStave& stave)
{
    return kelvorn::StepFromY(y, stave.GetMiddleY());
}

TMuzNote* TScorePainter::FindNoteAtX(int32_t clientX, const TNoteStave* stave) const
{
    const int64_t x = clientX - xOrigin;
    TMuzNote* found = nullptr;
    WalkSymbols(document.GetRootPart(), [&](TXTouchMuzSymbol& s) {
        if (found || s.GetMuzSymbolKind() != muzSymbolStave || !s.XValid)
            return;
        auto& symbol = static_cast<TStaveSymbol&>(s);
        if (symbol.GetNoteStave() == stave && symbol.AsNote() && s.XLeft <= x && x <= s.XRight)
            found = symbol.AsNote();
    });
    return found;
}

TSilence* TScorePainter::FindSilenceAtX(int32_t clientX, const TNoteStave* stave) const
{
    const int64_t x = clientX - xOrigin;
    TSilence* found = nullptr;
    WalkSymbols(document.GetRootPart(), [&](TXTouchMuzSymbol& s) {
        if (found || s.GetMuzSymbolKind() != muzSymbolStave || !s.XValid)
            return;
        auto& symbol = static_cast<TStaveSymbol&>(s);
        if (symbol.GetNoteStave() == stave && symbol.GetStaveSymbolKind() == staveSymbolSilence &&
            s.XLeft <= x && x <= s.XRight)
            found = static_cast<TSilence*>(&symbol);
    });
    return found;
}

void TScorePainter::FindNeighbours(int32_t clientX, const TNoteStave* stave,
                                   TXTouchMuzSymbol*& before, TXTouchMuzSymbol*& after) const
{
    const int64_t x = clientX - xOrigin;
    before = after = nullptr;
    WalkSymbols(document.GetRootPart(), [&](TXTouchMuzSymbol& s) {
        if (after || !s.XValid)
            return;
        if (s.GetMuzSymbolKind() == muzSymbolStave &&
            static_cast<TStaveSymbol&>(s).GetNoteStave() != stave)
            return;
        if ((int64_t(s.XLeft) + s.XRight) / 2 > x)
            after = &s;
        else
            before = &s;
    });
}

TXTouchMuzSymbol* TScorePainter::FindSymbolAt(int32_t x, int32_t y) const
{
    double best = 15000;
    TXTouchMuzSymbol* found = nullptr;
    HitTestPart(document.GetRootPart(), ClampPixel(x - xOrigin), y, best, found);
    return found;
}

void HitTestPart(TPartMuz* part, int32_t x, int32_t y, double& best, TXTouchMuzSymbol*& found)
{
    if (!part)
        return;
    auto offer = [&](TXTouchMuzSymbol* s) {
        if (!s || !s->XValid)
            return;
        const double dx = s->XDistance(x);
        double d = (12 * dx) * (12 * dx);
        if (s->GetMuzSymbolKind() == muzSymbolStave) {
            const double dy = static_cast<TStaveSymbol*>(s)->GetYDistance(y);
            d = dy * dy + (2.5 * dx) * (2.5 * dx);
        }
        if (d < best) {
            best = d;
            found = s;
        }
    };
    if (part->GetKind() == partSingle) {
        auto& single = static_cast<TSinglePartMuz&>(*part);
        offer(single.GetMuzBar());
        for (TStaveSymbol* s = single.FirstSymbol(); s; s = s->GetNext())
            offer(s);
        return;
    }
    if (part->GetKind() == partLoop) {
        auto& loop = static_cast<TLoopPartMuz&>(*part);
        offer(loop.GetLeftLoopSymbol());
        offer(loop.GetRightLoopSymbol());
        HitTestPart(loop.GetLoopPart(), x, y, best, found);
        return;
    }
    for (int32_t i = 0; i < part->ChildCount(); ++i)
        HitTestPart(part->Child(i), x, y, best, found);
}

} // namespace kelvorn
