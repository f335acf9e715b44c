#include "music/ui/ScorePainter.h"

#include "music/ui/Glyphs.h"
#include "music/ui/StaveDrawing.h"

#include <algorithm>
#include <climits>
#include <functional>

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
    xOrigin = -int64_t(xScroll);
    yOrigin = -int64_t(yScroll);
    const std::vector<TNoteStave*> staves = Staves(document);
    std::vector<TStaveRooms> rooms;
    for (TNoteStave* s : staves)
        rooms.push_back({s->RoomUp.GetValue(), s->RoomDown.GetValue()});
    const TStaveRows rows = StackStaves(yOrigin, rooms);
    layouts.clear();
    for (size_t i = 0; i < staves.size(); ++i) {
        staves[i]->StartLayout(ClampPixel(rows.Middles[i]), ClampPixel(xOrigin + 5));
        layouts.push_back(std::make_unique<TStaveLayout>(*staves[i]));
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

    // Symbols not drawn in this paint are not there to be hit.
    WalkSymbols(document.GetRootPart(), [](TXTouchMuzSymbol& s) { s.ResetX(); });
    selected = document.GetSelectedSymbol();
    DrawPart(document.GetRootPart(), canvas);
    const int32_t x = GetMaxStaveX();
    for (TNoteStave* s : staves)
        DrawStaveEndBar(canvas, *s, x);
    xExtent = int64_t(x) + clientWidth - 80;
    for (TNoteStave* s : staves)
        DrawStaveLines(canvas, *s, client);
    // The layouts live for one paint: a stave deleted afterwards leaves nothing behind.
    layouts.clear();
    selected = nullptr;
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

void TScorePainter::DrawPart(TPartMuz* part, Canvas& canvas)
{
    if (!part)
        return;
    if (part->GetKind() == partSingle) {
        DrawSinglePart(static_cast<TSinglePartMuz&>(*part), canvas);
        return;
    }
    if (part->GetKind() == partLoop) {
        auto& loop = static_cast<TLoopPartMuz&>(*part);
        const int32_t count = loop.Count.GetValue();
        DrawLoopMark(loop.GetLeftLoopSymbol(), count, canvas);
        if (loop.GetLoopPart() && loop.GetLoopPart()->IsEnabled())
            DrawPart(loop.GetLoopPart(), canvas);
        DrawLoopMark(loop.GetRightLoopSymbol(), count, canvas);
        return;
    }
    for (int32_t i = 0; i < part->ChildCount(); ++i)
        if (TPartMuz* child = part->Child(i); child && child->IsEnabled())
            DrawPart(child, canvas);
}

void TScorePainter::DrawSinglePart(TSinglePartMuz& part, Canvas& canvas)
{
    TMuzBar* bar = part.GetMuzBar();
    TStaveSymbol* s = part.FirstSymbol();
    for (; s && s->GetStaveSymbolKind() == staveSymbolKey && s->GetPosition() <= 0;
         s = s->GetNext()) {
        TStaveLayout* l = LayoutOf(s->GetNoteStave());
        if (!l)
            continue;
        TNoteStave& stave = l->Stave();
        l->SetClef(s->AsKey());
        stave.ExtendLayoutX(DrawKeyGlyph(canvas, *s->AsKey(), stave.GetLayoutX(),
                                         stave.GetMiddleY(), s == selected, ColorsOf(stave)));
    }
    if (bar) {
        const int32_t x = GetMaxStaveX();
        int32_t next = x;
        for (auto& l : layouts)
            next = DrawBarGlyph(canvas, *bar, x, l->Stave().GetMiddleY(), bar == selected,
                                ColorsOf(l->Stave()));
        SetStaveX(next);
        barPosition = bar->GetNextBarLine(0.0);
    }
    for (; s; s = s->GetNext()) {
        TStaveLayout* l = LayoutOf(s->GetNoteStave());
        if (!l)
            continue;
        TNoteStave& stave = l->Stave();
        if (bar && s->GetPosition() != stave.GetLastPosition())
            LayBarLinesUpTo(canvas, *bar, s->GetPosition());
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

TMuzNote* TScorePainter::FindNoteAtX(int32_t x, const TNoteStave* stave) const
{
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

TSilence* TScorePainter::FindSilenceAtX(int32_t x, const TNoteStave* stave) const
{
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

void TScorePainter::FindNeighbours(int32_t x, const TNoteStave* stave, TXTouchMuzSymbol*& before,
                                   TXTouchMuzSymbol*& after) const
{
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
    HitTestPart(document.GetRootPart(), x, y, best, found);
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
