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

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

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

/// A new piece whose staves have these rooms (up, down): the first is the piece's own stave,
/// the others are added below it; none leaves the piece without staves.
inline std::unique_ptr<TUnitMuz> PieceWithRooms(std::vector<std::pair<int, int>> rooms)
{
    auto doc = std::make_unique<TUnitMuz>("Music 1", "");
    doc->NewMusic();
    if (rooms.empty()) {
        doc->DeleteStave(doc->GetFirstStave());
        return doc;
    }
    TNoteStave* stave = doc->GetFirstStave();
    for (size_t i = 0; i < rooms.size(); ++i) {
        if (i > 0)
            stave = doc->AddStave(stave);
        stave->RoomUp.SetValue(rooms[i].first);
        stave->RoomDown.SetValue(rooms[i].second);
    }
    return doc;
}

class MusicWindowTest : public ::testing::Test
{
protected:
    MusicWindowTest()
    {
        area.resize(900, 700);
        area.show();
    }
    ~MusicWindowTest() override
    {
        delete window;
        QCoreApplication::processEvents();
    }

    /// The piece in a window of width x height, shown, painted once its scroll bars settled.
    TMDIChildMuz& Open(std::unique_ptr<TUnitMuz> piece, int width = 600, int height = 400)
    {
        window = new TMDIChildMuz(nullptr, std::move(piece));
        area.addSubWindow(window);
        window->setGeometry(0, 0, width, height);
        window->show();
        Paint();
        return *window;
    }
    TUnitMuz& Doc() const { return window->GetUnitMuz(); }
    /// Paints until the scroll bars stop changing the client size.
    void Paint()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            window->ScoreViewport()->repaint();
        }
    }
    /// A mouse event at client (x, y): button is the one that changed, held those down after it.
    void Mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, int x, int y)
    {
        QWidget* viewport = window->ScoreViewport();
        const QPointF at(x, y);
        QMouseEvent event(type, at, viewport->mapToGlobal(at), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &event);
    }
    void Press(Qt::MouseButton button, Qt::MouseButtons held, int x, int y)
    {
        Mouse(QEvent::MouseButtonPress, button, held, x, y);
    }
    void Move(Qt::MouseButtons held, int x, int y)
    {
        Mouse(QEvent::MouseMove, Qt::NoButton, held, x, y);
    }
    void Release(Qt::MouseButton button, Qt::MouseButtons held, int x, int y)
    {
        Mouse(QEvent::MouseButtonRelease, button, held, x, y);
    }

    ScriptedMessages messages;
    RecordingMusicHost host;
    QMdiArea area;
    TMDIChildMuz* window = nullptr;
};

} // namespace kelvorn::test
