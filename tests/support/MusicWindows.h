#pragma once
// Music windows offscreen: a piece in a window inside a frame of its own, a recording host for
// what the window tells the main window, and mouse events with the buttons spelled out.

#include "general/Services.h"
#include "music/ui/MusicToolWindow.h"
#include "music/ui/MusicWindow.h"
#include "music/ui/MusicWindowHost.h"
#include "platform/test/ScriptedMessages.h"
#include "support/Keyboard.h"
#include "support/MusicKit.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTreeWidget>

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

/// The main window as the music tool windows see it: a frame, the active music window, the
/// text-input mode asked for and the open waves' names.
class RecordingToolHost final : public MusicToolHost
{
public:
    QRect GetMainFormRect() const override { return mainRect; }
    TMDIChildMuz* GetActiveChildMuz() override { return active; }
    void SetTextInputMode(bool on) override { textInput.push_back(on); }
    std::vector<std::string> WaveNames() override { return waves; }

    QRect mainRect{100, 50, 600, 400};
    TMDIChildMuz* active = nullptr;
    std::vector<bool> textInput;
    std::vector<std::string> waves;
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

/// Paints window's score as a shown window does, once its scroll bars settled.
inline void Repaint(TMDIChildMuz& window)
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        window.ScoreViewport()->repaint();
    }
}

/// A press and release of the left button at client (x, y) of window, then the paint that
/// follows it.
inline void ClickScore(TMDIChildMuz& window, int x, int y)
{
    SendMouse(window, QEvent::MouseButtonPress, Qt::LeftButton, x, y);
    SendMouse(window, QEvent::MouseButtonRelease, Qt::NoButton, x, y);
    Repaint(window);
}

/// The client row of a stave step (0 the middle line, 5 pixels a step) as the last paint placed
/// the stave.
inline int StepRow(const TNoteStave* stave, int step)
{
    return stave->GetMiddleY() - 5 * step;
}

/// The client column just right of what the last paint of window drew of symbol.
inline int ColumnRightOf(const TMDIChildMuz& window, const TXTouchMuzSymbol* symbol)
{
    return symbol->XRight + window.GetXOrigin() + 3;
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
    void Paint() { Repaint(*window); }
    void Mouse(QEvent::Type type, Qt::MouseButtons held, int y, int x = 100)
    {
        SendMouse(*window, type, held, x, y);
    }
    void Click(int x, int y) { ClickScore(*window, x, y); }
    /// The client column of the middle of what the last paint drew of symbol.
    int CentreX(const TXTouchMuzSymbol* symbol) const
    {
        return (symbol->XLeft + symbol->XRight) / 2 + window->GetXOrigin();
    }
    static int RowOf(const TNoteStave* stave, int step) { return StepRow(stave, step); }

    ScriptedMessages messages;
    RecordingMusicHost host;
    QMdiArea area;
    TMDIChildMuz* window = nullptr;
};

/// Makes the node showing text the current node of tree, as a click on it would.
inline void ChooseNode(QTreeWidget& tree, const std::string& text)
{
    const auto found =
        tree.findItems(QString::fromLatin1(text.c_str()), Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1) << text;
    tree.setCurrentItem(found.front());
}

/// A music tool window of class D beside a music window, with the doubles of the main window.
template <class D> class MusicToolTest : public MusicWindowTest
{
protected:
    MusicToolTest() : dialog(nullptr, tools) { dialog.show(); }

    /// piece in the window the tool window shows, with a file, so that only its flag counts.
    TUnitMuz& Show(std::unique_ptr<TUnitMuz> piece, int width = 600, int height = 400)
    {
        tools.active = &Open(std::move(piece), width, height);
        Doc().SetFileName("piece.kvm");
        dialog.SetUnitMuz(window);
        return Doc();
    }
    /// Types text into field (a line edit or an editable list) and, with leave, leaves it
    /// (boxes announced boxes); answers the boxes shown since the last call, "caption: text".
    std::vector<std::string> Type(QWidget* field, const std::string& text, bool leave = true,
                                  int boxes = 0)
    {
        for (int i = 0; i < boxes; ++i)
            messages.Expect();
        if (auto* edit = qobject_cast<QLineEdit*>(field))
            edit->setText(QString::fromUtf8(text.c_str()));
        else
            static_cast<QComboBox*>(field)->setEditText(QString::fromUtf8(text.c_str()));
        if (leave) {
            QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
            QCoreApplication::sendEvent(field, &out);
            QCoreApplication::processEvents();
        }
        return Boxes();
    }
    /// The window active, the keyboard in field and text typed over what it shows.
    void TypeKeys(QLineEdit* field, const std::string& text)
    {
        ASSERT_TRUE(Focus(&dialog));
        field->setFocus(Qt::MouseFocusReason);
        field->selectAll();
        QTest::keyClicks(field, QString::fromLatin1(text.c_str()));
    }
    /// Whether the window has the keyboard and field the focus once what is queued has run.
    bool KeyboardIn(QWidget* field)
    {
        (void)QTest::qWaitFor([this] { return QApplication::activeWindow() == &dialog; }, 2000);
        QCoreApplication::processEvents();
        return QApplication::activeWindow() == &dialog && QApplication::focusWidget() == field;
    }
    std::vector<std::string> Boxes()
    {
        std::vector<std::string> shown;
        for (const ShownMessage& box : messages.Shown())
            shown.push_back(box.caption + ": " + box.text);
        messages.Clear();
        return shown;
    }

    RecordingToolHost tools;
    D dialog;
};

} // namespace kelvorn::test
