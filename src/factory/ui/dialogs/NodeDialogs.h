#pragma once
// The properties of a node: its name and its rectangle on the factory area, and what it runs,
// another factory (user and mix loop nodes) or a builtin function. Both dialogs share the name
// and the rectangle.
//
// A name the system made follows what the node runs ("Plus", then "Plus 2" when a node is
// called "Plus" already) until the user types one. A rectangle side is checked against the
// placement rules when its edit is left, and the whole rectangle again at OK, so a rectangle
// whose sides cross never reaches the node. In the placement mode that pushes nodes aside, a
// checked side may already have pushed other nodes: the factory is then modified whatever the
// dialog's end.

#include "factory/ui/dialogs/SntDialog.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace kelvorn {

class TSountoryNodeReference;
class TSountoryNodeBuiltin;
struct TSntRectSide;

class TDlgSntNodeProps : public TSntDialog
{
    Q_OBJECT

public:
    QLineEdit* editName;
    QGroupBox* grpRectangle;
    QLineEdit* editLeft;
    QLineEdit* editRight;
    QLineEdit* editTop;
    QLineEdit* editBottom;

    /// Whether the name is still one the system made.
    bool IsDefaultName() const { return defaultName; }

public slots:
    void accept() override;
    void editLeftExit();
    void editRightExit();
    void editTopExit();
    void editBottomExit();
    void editNameChange();

protected:
    TDlgSntNodeProps(QWidget* owner, TSountoryNode& node);

    /// What the default name is made of: the factory's text or the function's name.
    virtual std::string DefaultNameBase() const = 0;
    /// The dialog's own checks at OK, each failure in its box; true when all pass.
    virtual bool CheckOwn() = 0;
    /// Writes what only this dialog edits, after the name and the rectangle.
    virtual void WriteOwn() = 0;

    /// The rectangle group at (left, top) of the form.
    void PlaceRectangle(int left, int top);
    /// The rectangle's edits and the default name (the name otherwise).
    void ShowNode();
    /// The first name from the base on that no other node of the factory bears.
    void WriteDefaultName();
    /// What the node runs changed: a name the system made follows it.
    void FollowDefaultName();

    TSountoryNode& node;
    TUnitSountory& factory;

private:
    void SideExit(const TSntRectSide& side);
    /// The placement rule applied to each side of the typed rectangle in turn; a side it moves
    /// is put into its edit and reported, and the node keeps its rectangle.
    bool ApplyPlacement(const TSountoryRectangle& typed);

    bool defaultName = true;
};

class TDlgSntUserNodeProps : public TDlgSntNodeProps
{
    Q_OBJECT

public:
    /// A user node or a mix loop node; fit is shown in chkIOFit.
    TDlgSntUserNodeProps(QWidget* owner, bool fit, TSountoryNodeReference& node);

    QComboBox* cboSountory;
    QCheckBox* chkIOFit;

    /// After OK: whether the node's pins are to be fitted to its factory.
    bool GetFit() const { return fit; }

public slots:
    void cboSountoryChange();

protected:
    void showEvent(QShowEvent* event) override;
    std::string DefaultNameBase() const override;
    bool CheckOwn() override;
    void WriteOwn() override;

private:
    TSountoryNodeReference& reference;
    bool fit;
};

class TDlgSntBuiltinNodeProps : public TDlgSntNodeProps
{
    Q_OBJECT

public:
    TDlgSntBuiltinNodeProps(QWidget* owner, TSountoryNodeBuiltin& node);

    QGroupBox* grpFunction;
    QComboBox* cboCat;
    QComboBox* cboFunction;
    QPushButton* btnFunctionHelp;

    /// The builtin kind of the chosen function; -1 for none.
    int32_t SelectedKind() const;

public slots:
    void cboCatChange();
    void cboFunctionChange();
    /// The user picked a function: a default name follows it.
    void cboFunctionClick();
    void btnFunctionHelpClick();

protected:
    void showEvent(QShowEvent* event) override;
    std::string DefaultNameBase() const override;
    bool CheckOwn() override;
    void WriteOwn() override;

private:
    void FillFunctionList(int32_t category);

    TSountoryNodeBuiltin& builtin;
};

/// Shows a user or mix loop node's properties; true when OK wrote them (the factory is then
/// marked modified). fit goes in as the box's state and comes back as the user left it: when
/// set, the caller fits the node's pins to the factory it runs.
bool EditReferenceNode(QWidget* owner, TSountoryNodeReference& node, bool& fit);
/// Shows a builtin node's properties; true when OK wrote them, its pins made anew for the
/// chosen function (the factory is then marked modified).
bool EditBuiltinNode(QWidget* owner, TSountoryNodeBuiltin& node);

} // namespace kelvorn
