#pragma once
// The parameter dialogs of the wave operations. Each edits its own copy of an operation's
// record and is described by a table: one row per control, in the order of the form and, unless
// the dialog names another, the order OK reads them in. The table gives the control's name, its
// caption, the label its messages name, the record field it edits, the option or check box that
// editing it turns on, and the options that must be on for it to be read at all. TOperationDialog
// lays the rows out, fills the controls from the record when the dialog is shown and reads them
// back on OK; the dialogs themselves (TDlgVolumeProps,
// ...) only hold their record, their table and whatever hook they need beyond it.
//
// OK reads the fields in that order with one valid flag, so that the first bad field shows its
// "Input Error" box and no later field is read; fields read before it keep their new values in
// the dialog's copy. The dialog then refuses to close and stays open with the user's text; the
// next OK starts valid again. Cancel reads nothing.

#include "document/records/WaveReference.h"
#include "window_base/OKDialogs.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <variant>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QLineEdit;

namespace kelvorn {

class unit;

/// Where the dialogs find the open wave documents for their wave lists. The main window's
/// document services install it; without one the lists stay empty.
class WaveListSource
{
public:
    static constexpr const char* ServiceName = "WaveListSource";
    virtual ~WaveListSource() = default;
    /// Appends the named wave documents a list of mode offers (WaveListMode).
    virtual void FillWaveList(std::vector<WaveChoice>& list, int mode) = 0;
};

/// Which documents a dialog's wave list offers.
enum WaveListMode : uint8_t {
    waveListAll = 0,       ///< every wave document
    waveListOthers = 1,    ///< all but the active one
    waveListOtherMono = 2, ///< the mono ones but the active one
};

/// One control of a dialog's table. Make rows with the functions below.
struct FieldRow
{
    enum class Kind : uint8_t {
        Edit,     ///< line edit for a value field
        Wave,     ///< wave list for a wave reference
        Option,   ///< radio button: writes its value into a choice byte when on
        Check,    ///< check box for a flag byte
        Group,    ///< titled radio group whose item index is a choice byte
        Items,    ///< list whose item index is an integer
        Text,     ///< caption only
        Pages,    ///< page control whose page index is an integer; later rows go on its pages
        Page,     ///< starts a page of the page control
        EndPages, ///< later rows go below the page control again
        Hook,     ///< the dialog's own step: its show runs in table order, its read in read order
    };

    Kind kind = Kind::Text;
    std::string name;
    std::string text;  ///< the caption shown
    std::string label; ///< the field label that messages name
    std::string ticks; ///< blank-separated names of the buttons that editing turns on
    std::string when;  ///< blank-separated names of the buttons that must be on for a read
    std::vector<std::string> items;
    uint8_t value = 0; ///< an option's value, a wave list's WaveListMode
    std::variant<std::monostate, unit*, unitUnitWave*, uint8_t*, int32_t*> field;
    std::function<bool()> condition; ///< a further condition of the read; empty: none
    std::function<void()> show;
    std::function<void(bool& ok)> read;

    /// Reads the field only while the named buttons are on (replaces the default, which is
    /// the buttons the field ticks).
    FieldRow When(std::string names) &&;
    /// Reads the field whatever its buttons say.
    FieldRow Always() &&;
    /// Reads the field only while condition answers true.
    FieldRow If(std::function<bool()> condition) &&;
};

/// A value field in a line edit; editing it turns on the buttons ticks names, and it is read
/// only while they are on. text is the caption beside it ("" for the label).
FieldRow EditRow(std::string name, unit& field, std::string label, std::string ticks = {},
                 std::string text = {});
/// A wave reference in a list of mode's documents.
FieldRow WaveRow(std::string name, unitUnitWave& field, std::string label, WaveListMode mode,
                 std::string ticks = {}, std::string text = {});
/// One alternative of choice: on, it writes value.
FieldRow OptionRow(std::string name, std::string text, uint8_t& choice, uint8_t value);
FieldRow CheckRow(std::string name, std::string text, uint8_t& flag);
/// Titled radio buttons, one per item; the byte is the index of the one on.
FieldRow GroupRow(std::string name, std::string caption, uint8_t& index,
                  std::vector<std::string> items);
/// A list whose item index is index.
FieldRow ItemsRow(std::string name, std::string text, int32_t& index,
                  std::vector<std::string> items);
FieldRow TextRow(std::string text);
FieldRow PagesRow(std::string name, int32_t& index);
FieldRow PageRow(std::string title);
FieldRow EndPagesRow();
/// A step of the dialog's own, named so that a read order can place it.
FieldRow HookRow(std::string name, std::function<void()> show, std::function<void(bool&)> read);

/// a followed by b.
std::vector<FieldRow> JoinRows(std::vector<FieldRow> a, std::vector<FieldRow> b);

enum class ButtonSide { Right, Bottom };

class TOperationDialog : public TOKDlg
{
    Q_OBJECT

public:
    /// The table, in layout order.
    const std::vector<FieldRow>& Rows() const { return rows; }
    /// The control a row made, by name; nullptr for none.
    QWidget* Control(const std::string& name) const;
    QLineEdit* Edit(const std::string& name) const;
    QAbstractButton* Button(const std::string& name) const;
    QComboBox* Combo(const std::string& name) const;

public slots:
    /// Reads the fields; a bad one keeps the dialog open (see the file comment).
    void accept() override;

protected:
    TOperationDialog(QWidget* owner, ButtonSide side, const std::string& caption, int helpContext);

    /// Makes, names and places the controls of table. readOrder names the rows in the order
    /// OK reads them; empty: table order.
    void Build(std::vector<FieldRow> table, std::vector<std::string> readOrder = {});
    /// Writes text into an edit with its change signal blocked: no button turns on and no
    /// change handler runs.
    void SetEditText(QLineEdit* edit, const std::string& text);
    /// Whether the dialog is filling its controls from the record, so that change handlers
    /// can tell the user's edits from its own.
    bool Filling() const { return filling; }

    void showEvent(QShowEvent* event) override;

private:
    /// The pixels the form must grow by so that every list item and every page's tab shows
    /// whole (0 when the standard width is enough).
    int ExtraWidth() const;
    void MakeControl(const FieldRow& row, QWidget* parent);
    void ConnectTicks(const FieldRow& row);
    void ShowRow(const FieldRow& row);
    void ReadRow(const FieldRow& row, bool& ok);
    bool ReadAllowed(const FieldRow& row) const;

    ButtonSide side;
    std::vector<FieldRow> rows;
    std::vector<const FieldRow*> readOrder;
    std::map<std::string, QWidget*> controls;
    std::map<uint8_t*, QButtonGroup*> choiceGroups;
    bool inputValid = true;
    bool filling = false;
};

} // namespace kelvorn
