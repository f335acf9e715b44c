#pragma once
// What the two music tool windows ("Music" and "Music Parts") share: they follow the active
// music window, never own the piece they show, open at the main window's lower right corner
// (beside the tool windows already shown, window_base/ToolWindow.h), turn the main window's
// text-input mode on while active, and take typed values through a Change and Exit pair per
// field.
//
// Fields: typing marks the field dirty (the window's own writes do not: they run with the
// updating counter raised). Leaving a dirty field, "Apply", Return, and every command of the
// window first run the field's exit, which parses the text with the field's name (an "Input
// Error" box for a text it refuses) and stores the value. A refused text keeps the focus and
// stays dirty, so that no value stays on show that was never taken; a command is not run while
// it waits, and what the window shows stays on the element the text belongs to. After the box
// the window has the keyboard again: left with the main window, typed keys would be shortcuts.
// An exit may refuse a text and put the element's own value back instead (a turn count that
// another item has): the field keeps the focus and stays dirty, and that value, being one the
// element holds, is taken like any other when the field is left with it.

#include "general/values/ValueUnits.h"
#include "window_base/OKDialogs.h"

#include <QPointer>
#include <QRect>

#include <functional>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

class QComboBox;
class QLineEdit;

namespace kelvorn {

class TMDIChildMuz;
class TUnitMuz;

/// What the music tool windows need of the main window, which lives in a layer above this one.
class MusicToolHost
{
public:
    virtual ~MusicToolHost() = default;
    /// The main window's frame in screen coordinates.
    virtual QRect GetMainFormRect() const = 0;
    /// The active music window, or null.
    virtual TMDIChildMuz* GetActiveChildMuz() = 0;
    /// While on, typed keys reach the focused field rather than the shortcuts.
    virtual void SetTextInputMode(bool on) = 0;
    /// The names of the open, named wave documents.
    virtual std::vector<std::string> WaveNames() = 0;
};

class TMusicToolWindow : public TOKDlg
{
    Q_OBJECT

public:
    /// "Apply", "Close" and "Help": the base's OK, Cancel and Help buttons.
    QPushButton* btnApply;
    QPushButton* btnClose;
    QPushButton* btnHelp;

    /// Shows window's piece (null: none) from scratch; a value being typed is dropped.
    void SetUnitMuz(TMDIChildMuz* window);
    /// The music window shown, or null.
    TMDIChildMuz* ShownWindow() const;
    /// The piece shown: null without one, and once its window closes or a revert replaces it.
    TUnitMuz* Shown() const;
    /// Whether a typed value waits for its field's exit.
    bool HasPendingField() const { return dirtyField != nullptr; }
    /// Whether the value waiting was refused: the window holds on to what it belongs to.
    bool HasRefusedField() const { return dirtyField != nullptr && refused; }

    /// The field's text as the value classes read it, and a value's text as a field shows it.
    static std::string Latin1(const QString& text);
    static QString Text(const std::string& text) { return QString::fromLatin1(text.c_str()); }
    /// Building the forms: widget with its object name, and at its place in its parent.
    template <class W> static W* Named(W* widget, const char* name)
    {
        widget->setObjectName(QLatin1String(name));
        return widget;
    }
    template <class W> static W* At(W* widget, int left, int top, int width, int height)
    {
        widget->setGeometry(left, top, width, height);
        return widget;
    }
    /// text in Latin-1, or the "Input Error" box naming field for a text a music file cannot
    /// hold ("<", ">", control characters, characters outside Latin-1); trimmed.
    static bool StorableName(const QString& text, const std::string& field, std::string& name);
    /// Parses text loudly with the field's name into value; an integer above most (when most
    /// is above 0, the music file's cap) is refused with its box too. value is changed only
    /// when the text is taken.
    template <class V>
    static bool TakeValue(V& value, const QString& text, const char* field, int32_t most = 0)
    {
        V copy = value;
        bool ok = true;
        copy.SetTextMsg(ok, Latin1(text), field);
        if constexpr (std::is_base_of_v<unitInteger, V>)
            if (ok && most > 0 && !WithinCap(copy.GetValue(), most, field))
                return false;
        if (ok)
            value = copy;
        return ok;
    }

public slots:
    /// Runs the exit of the field being typed in.
    void ApplyBtnClick();
    /// Enter is "Apply"; Escape closes.
    void accept() override;
    void reject() override;

protected:
    TMusicToolWindow(QWidget* owner, MusicToolHost& host, QSize client, int helpContext);

    /// Writes every control from the piece shown (or clears them); runs with the counter raised.
    virtual void Refill() = 0;
    /// What showing and activating the window do besides refilling (the sample-wave lists).
    virtual void Activated() {}

    /// field takes typed values: changes mark it dirty, exit takes its text and answers whether
    /// it was taken (a refusal has shown its box).
    void AddField(QLineEdit* field, std::function<bool()> exit);
    void AddField(QComboBox* field, std::function<bool()> exit);
    /// From a field's exit that refuses its text: field shows text, the element's own value, in
    /// its place; the next exit takes it.
    void PutBack(QLineEdit* field, const QString& text);
    /// The exit of the dirty field, when there is one; false while its text is refused. A
    /// command that changes what the fields show runs only after this.
    bool TakePendingField();
    /// Refills from scratch with the counter raised; the pending field is dropped.
    void RefillAll();
    /// Makes the window active again, when a box over it left the keyboard elsewhere, and gives
    /// widget (when there is one) the focus.
    void ReturnFocus(QWidget* widget = nullptr);
    /// After an edit of the piece: repaint it and mark it modified.
    void Edited();

    /// The counter the change handlers look at: while above 0 they leave the piece alone.
    class Updating
    {
    public:
        explicit Updating(TMusicToolWindow& window) : window(window) { ++window.updating; }
        ~Updating() { --window.updating; }
        Updating(const Updating&) = delete;
        Updating& operator=(const Updating&) = delete;

    private:
        TMusicToolWindow& window;
    };
    bool IsUpdating() const { return updating > 0; }

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

    MusicToolHost& host;

private:
    static bool WithinCap(double value, int32_t most, const char* field);
    void Changed(QWidget* field);
    /// Runs field's exit; a refusal gives it the focus back.
    bool RunExit(QWidget* field, bool leaving);

    QPointer<TMDIChildMuz> window;
    TUnitMuz* unit = nullptr;
    int updating = 0;
    QWidget* dirtyField = nullptr;
    bool refused = false;
    /// The exit running put a value back.
    bool putBack = false;
    std::map<QWidget*, std::function<bool()>> exits;
};

} // namespace kelvorn
