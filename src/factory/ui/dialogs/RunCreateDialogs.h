#pragma once
// Two small choices the main window's factory commands ask: which open factory to run at the
// active wave window, and what a new factory is made for (the template of InitFromTemplate and,
// for two of the templates, the node whose pins the new factory copies).

#include "factory/ui/dialogs/SntDialog.h"

#include <array>

class QListWidget;
class QRadioButton;

namespace kelvorn {

class TDlgSntRunAtWnd : public TSntDialog
{
    Q_OBJECT

public:
    /// Offers the named open factories of that kind and the free ones.
    TDlgSntRunAtWnd(QWidget* owner, FactoryHost& host, uint8_t kind);

    QListWidget* lbSountories;

    /// After OK: the chosen factory.
    TUnitSountory* GetSountory() const { return chosen; }

public slots:
    /// Stays open, without a word, while no factory is chosen.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    FactoryHost& host;
    uint8_t kind;
    std::vector<TUnitSountory*> offered;
    TUnitSountory* chosen = nullptr;
};

class TDlgSntCreate : public TSntDialog
{
    Q_OBJECT

public:
    TDlgSntCreate(QWidget* owner, FactoryHost& host);

    /// One choice per template, in template order: "None", "For Changing Wave Window", "For
    /// Creating Wave Window", "Fit with User Node", "Fit with Empty Mix Loop Node", "Fit with
    /// Mix Loop Node".
    std::array<QRadioButton*, 6> choices;
    QRadioButton* rbIONone;
    QRadioButton* rbIOChangeWW;
    QRadioButton* rbIOCreateWW;
    QRadioButton* rbIOFitUS;
    QRadioButton* rbIOFitELN;
    QRadioButton* rbIOFitLS;
    QComboBox* cboUserNode;
    QComboBox* cboLoopNode;

    /// After OK: the template number (0 to 5) and, for templates 3 and 5, the chosen node.
    int32_t GetTemplate() const { return templateNumber; }
    TSountoryNode* GetNode() const { return node; }

public slots:
    void accept() override;
    void cboUserNodeChange();
    void cboLoopNodeChange();

protected:
    void showEvent(QShowEvent* event) override;

private:
    FactoryHost& host;
    std::vector<TSntNodeChoice> userNodes;
    std::vector<TSntNodeChoice> loopNodes;
    int32_t templateNumber = 1;
    TSountoryNode* node = nullptr;
};

/// The factory to run at the active wave window, chosen among the named open factories of kind
/// (a change-wave-window factory by default) and the free ones; null when cancelled.
TUnitSountory* ChooseFactoryToRun(QWidget* owner, FactoryHost& host,
                                  uint8_t kind = FactoryChangeWW);
/// What a new factory is made for; false when cancelled. node is set for templates 3 and 5
/// and null otherwise.
bool ChooseFactoryTemplate(QWidget* owner, FactoryHost& host, int32_t& templateNumber,
                           TSountoryNode*& node);

} // namespace kelvorn
