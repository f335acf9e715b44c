#pragma once
// Music windows offscreen: a piece in a window inside a frame of its own, a recording host for
// what the window tells the main window, and mouse events with the buttons spelled out.

#include "general/Services.h"
#include "music/ui/MusicWindow.h"
#include "music/ui/MusicWindowHost.h"
#include "platform/test/ScriptedMessages.h"
#include "support/MusicKit.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMouseEvent>
#include <QScrollBar>

namespace kelvorn::test {

class RecordingMusicHost final : public MusicWindowHost
{
public:
    RecordingMusicHost() : previous(InstallService<MusicWindowHost>(this)) {}
    ~RecordingMusicHost() override { InstallService<MusicWindowHost>(previous); }
    void MuzChildActivated(TMDIChildMuz& window) override { activated.push_back(&window); }
    void NoteStaveChanged(TNoteStave& stave) override { staves.push_back(&stave); }
    std::vector<TMDIChildMuz*> activated;
    std::vector<TNoteStave*> staves;

private:
    MusicWindowHost* previous;
};

/// A new piece whose staves have these rooms (up, down), the first its own; none: no staves.
inline std::unique_ptr<TUnitMuz> PieceWithRooms(std::vector<std::pair<int, int>> rooms)
{
    auto doc = std::make_unique<TUnitMuz>("Music 1", "");
    doc->NewMusic();
    TNoteStave* stave = doc->GetFirstStave();
    if (rooms.empty())
        doc->DeleteStave(stave);
    for (size_t i = 0; i < rooms.size(); ++i) {
        stave = i > 0 ? doc->AddStave(stave) : stave;
        stave->RoomUp.SetValue(rooms[i].first);
        stave->RoomDown.SetValue(rooms[i].second);
    }
    return doc;
}

/// A mouse event at client (x, y) of window: button is the one that changed, held those down
/// after it (a move changes none).
inline void SendMouse(TMDIChildMuz& window, QEvent::Type type, Qt::MouseButtons held, int x, int y,
                      Qt::MouseButton button = Qt::LeftButton)
{
    QWidget* viewport = window.ScoreViewport();
    const QPointF at(x, y);
    QMouseEvent event(type, at, viewport->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &event);
}

class MusicWindowTest : public ::testing::Test
{
protected:
    MusicWindowTest()
    {
        area.resize(900, 700);
        area.show();
    }
    ~MusicWindowTest() override { delete window; }

    /// The piece in a window of width x height, painted once its scroll bars settled.
    TMDIChildMuz& Open(std::unique_ptr<TUnitMuz> piece, int width = 600, int height = 400)
    {
        delete window;
        window = new TMDIChildMuz(nullptr, std::move(piece));
        area.addSubWindow(window);
        window->setGeometry(0, 0, width, height);
        window->show();
        Paint();
        return *window;
    }
    TUnitMuz& Doc() const { return window->GetUnitMuz(); }
    void Paint()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            window->ScoreViewport()->repaint();
        }
    }
    void Mouse(QEvent::Type type, Qt::MouseButtons held, int y, int x = 100)
    {
        SendMouse(*window, type, held, x, y);
    }
    /// A press and release at client (x, y), then the paint that follows it.
    void Click(int x, int y)
    {
        SendMouse(*window, QEvent::MouseButtonPress, Qt::LeftButton, x, y);
        SendMouse(*window, QEvent::MouseButtonRelease, Qt::NoButton, x, y);
        Paint();
    }
    /// The client column of the middle of what the last paint drew of symbol.
    int CentreX(const TXTouchMuzSymbol* symbol) const
    {
        return (symbol->XLeft + symbol->XRight) / 2 + window->GetXOrigin();
    }
    /// The client row of a stave step (0 the middle line, 5 pixels a step).
    static int RowOf(const TNoteStave* stave, int step) { return stave->GetMiddleY() - 5 * step; }

    ScriptedMessages messages;
    RecordingMusicHost host;
    QMdiArea area;
    TMDIChildMuz* window = nullptr;
};

} // namespace kelvorn::test
