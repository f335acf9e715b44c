#pragma once
// What the score tests share: a piece from the music kit painted by the score painter, and
// readers of the recorded calls (note heads, ties, polygons by their number of corners).

#include "music/ui/ScorePainter.h"
#include "platform/test/RecordingCanvas.h"
#include "support/MusicKit.h"

#include <sstream>

namespace kelvorn::test {

struct ScoreFixture
{
    MusicDoc m;
    TScorePainter painter{m.doc};
    RecordingCanvas canvas;

    /// A note with dots, accidental and group stem set in one go.
    TMuzNote* Add(double position, int32_t pitch, uint8_t length, int32_t dots = 0,
                  NoteShiftKind shift = noteShiftNormal, MultiOol ool = sool, int32_t pos = 0)
    {
        TMuzNote* n = m.Note(position, pitch, length, nullptr, nullptr, ool, pos);
        n->SetPoints(dots);
        n->SetNoteShiftKind(shift);
        return n;
    }
    void Paint()
    {
        canvas.Clear();
        painter.Paint(canvas, 1600, 400, 0, 0);
    }
    /// Numbers of a recorded call after its name.
    static std::vector<int> Numbers(const std::string& call)
    {
        std::istringstream in(call.substr(call.find(' ') + 1));
        std::vector<int> v;
        int x;
        while (in >> x)
            v.push_back(x);
        return v;
    }
    /// Left x and top row of every note head (an ellipse 10 wide and 9 high).
    std::vector<std::pair<int, int>> Heads() const
    {
        std::vector<std::pair<int, int>> out;
        for (const std::string& e : canvas.CallsOf("Ellipse")) {
            const auto v = Numbers(e);
            if (v[2] - v[0] == 10 && v[3] - v[1] == 9)
                out.emplace_back(v[0], v[1]);
        }
        return out;
    }
    /// Polygons with this many corners.
    std::vector<std::vector<int>> Polygons(size_t corners) const
    {
        std::vector<std::vector<int>> out;
        for (const std::string& p : canvas.CallsOf("Polygon")) {
            auto v = Numbers(p.substr(0, p.find(" pen")));
            if (v.size() == 2 * corners)
                out.push_back(v);
        }
        return out;
    }
    /// The x of every bar line (a vertical line 40 rows long).
    std::vector<int> BarLines() const
    {
        std::vector<int> out;
        for (const std::string& l : canvas.CallsOf("Line")) {
            const auto v = Numbers(l);
            if (v[0] == v[2] && v[3] - v[1] == 40)
                out.push_back(v[0]);
        }
        return out;
    }
    size_t Texts(const std::string& text) const
    {
        size_t n = 0;
        for (const std::string& t : canvas.CallsOf("TextOut"))
            n += Numbers(t).size() >= 2 && t.find(" " + text + " ") != std::string::npos;
        return n;
    }
};

} // namespace kelvorn::test
