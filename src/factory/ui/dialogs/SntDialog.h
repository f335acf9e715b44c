#pragma once
// What the factory's dialogs share: the base form with its filling flag, which mutes the change
// handlers while the dialog writes its own controls; the refusal of names the factory file
// cannot hold, where they are typed; the correction box of the placement rules; and the lists of
// open factories and of their nodes that several dialogs offer.
//
// Every factory dialog is made for one use by its caller and run through RunDialog, so tests
// script it; a failed OK shows each failure in its own "Input Error" box and keeps the dialog
// open with the user's input, and nothing is written until every check passed.

#include "factory/core/UnitSountory.h"
#include "window_base/OKDialogs.h"

#include <QString>

#include <string>
#include <vector>

class QComboBox;
class QLabel;

namespace kelvorn {

QString Latin1(const std::string& text);
std::string Latin1(const QString& text);

/// Why name cannot be stored as a name in a factory file, or "" when it can: the file's reader
/// refuses "<", ">" and an empty text and drops blanks (every byte up to the blank) at the ends,
/// and names hold Latin-1 only. The empty name passes when emptyAllowed.
std::string StorableNameRefusal(const QString& name, bool emptyAllowed);
/// StorableNameRefusal shown as "In <field>: <reason>" under "Input Error"; true when it passes.
bool CheckStorableName(const QString& name, const std::string& field, bool emptyAllowed);
/// "Field <field> is corrected." under "Input Error".
void ShowFieldCorrected(const std::string& field);

/// The open factories but except that have a name (a factory is found by its name only), in
/// the host's window order.
std::vector<TUnitSountory*> NamedFactories(FactoryHost& host, const TUnitSountory* except);

/// One entry of a node list: the factory's name, "." and the node's name.
struct TSntNodeChoice
{
    std::string caption;
    TSountoryNode* node = nullptr;
};
/// Every node of that kind (sntNodeUser, sntNodeLoop, sntNodeBuiltin) of every named open
/// factory, factory by factory in window order, each factory's nodes in its list order.
std::vector<TSntNodeChoice> ListNodeChoices(FactoryHost& host, uint8_t nodeKind);

/// The base of the factory dialogs: OK, Cancel and Help at the right, and the filling flag.
class TSntDialog : public TOKHelpRightDlg
{
    Q_OBJECT

protected:
    explicit TSntDialog(QWidget* owner);

    /// Set while the dialog writes its own controls, so that change handlers can tell the
    /// user's edits from the dialog's.
    bool Filling() const { return filling; }
    /// The dialog is filled: from now on the change handlers answer the user.
    void EndFilling() { filling = false; }

    /// Sets the filling flag for its lifetime and puts the old state back.
    class FillingScope
    {
    public:
        explicit FillingScope(TSntDialog& dialog) : dialog(dialog), was(dialog.filling)
        {
            dialog.filling = true;
        }
        ~FillingScope() { dialog.filling = was; }
        FillingScope(const FillingScope&) = delete;
        FillingScope& operator=(const FillingScope&) = delete;

    private:
        TSntDialog& dialog;
        bool was;
    };

    /// A caption at (left, top), labelling buddy when given.
    QLabel* AddLabel(const char* text, int left, int top, int width, QWidget* buddy = nullptr);
    /// A list that takes no free text.
    QComboBox* AddCombo(const char* name);

    /// Moves OK, Cancel and Help to the right edge of a client of that width, with the bevel
    /// filling the rest, and lets the form be sized from minWidth × minHeight (frame counted).
    void LayOutFrame(int clientWidth, int clientHeight, int minWidth, int minHeight);

private:
    bool filling = true;
};

} // namespace kelvorn
