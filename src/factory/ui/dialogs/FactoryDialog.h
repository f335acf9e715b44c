#pragma once
// The properties of the factory document itself: its name, its kind (which decides the
// predefined pins), the size of its area, how nodes may be placed, which pin labels are drawn,
// and, once, fitting its inputs and outputs to a user or mix loop node of an open factory.
//
// The mode that lets nodes overlap can only be left while no two nodes overlap; an area too
// small for its nodes is corrected when its edit is left and again at OK.

#include "factory/ui/dialogs/SntDialog.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;

namespace kelvorn {

class TDlgSntSountoryProps : public TSntDialog
{
    Q_OBJECT

public:
    TDlgSntSountoryProps(QWidget* owner, TUnitSountory& factory);

    QLineEdit* editName;
    QComboBox* cboType;
    QCheckBox* chkShowNameIO;
    QCheckBox* chkShowTypeIO;
    QGroupBox* grpNodes;
    QCheckBox* chkAllowOverlappingNodes;
    QCheckBox* chkCasMovNodes;
    QCheckBox* chkNodesShowNameIO;
    QCheckBox* chkNodesShowTypeIO;
    QGroupBox* grpIO;
    QLabel* lblIOFitWithNode;
    QComboBox* cboIOFitWithNode;
    QGroupBox* grpRectangle;
    QLineEdit* editWidth;
    QLineEdit* editHeight;

public slots:
    void accept() override;
    void editWidthExit();
    void editHeightExit();
    void cboTypeChange();
    void chkAllowOverlappingNodesClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    /// The area with the typed width (or height) as the area's rule allows it; false, with the
    /// corrected value in the edit and its box, when the rule changed it.
    bool FitSize(bool width, int32_t size, TSountoryRectangle& area);
    /// The width (or height) edit was left: a size the rule changes is corrected at once.
    void SizeExit(bool width);

    TUnitSountory& factory;
    std::vector<TSntNodeChoice> fitNodes;
};

/// Shows the factory's properties; true when OK wrote them (the factory is then marked
/// modified, and the host shows its name in the Edit Name tool window).
bool EditFactoryProperties(QWidget* owner, TUnitSountory& factory);

} // namespace kelvorn
