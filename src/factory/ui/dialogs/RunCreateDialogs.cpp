#include "factory/ui/dialogs/RunCreateDialogs.h"

#include "general/GuiMessages.h"
#include "window_base/QtModalDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QShowEvent>

namespace kelvorn {

// ---- run at a wave window ----

TDlgSntRunAtWnd::TDlgSntRunAtWnd(QWidget* owner, FactoryHost& host, uint8_t kind)
    : TSntDialog(owner), host(host), kind(kind)
{
    setObjectName(QStringLiteral("DlgSntRunAtWnd"));
    setWindowTitle(QStringLiteral("Run Factory"));
    SetHelpContext(65);
    LayOutFrame(384, 179, 300, 150);
    lbSountories = new QListWidget(this);
    lbSountories->setObjectName(QStringLiteral("lbSountories"));
    AddLabel("Name Factory", 16, 14, 265, lbSountories);
    Place(lbSountories, 16, 32, 265, 131,
          Anchors(Anchor::Left) | Anchor::Top | Anchor::Right | Anchor::Bottom);
}

void TDlgSntRunAtWnd::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        lbSountories->clear();
        offered.clear();
        for (TUnitSountory* factory : NamedFactories(host, nullptr)) {
            const uint8_t own = factory->GetFactoryKind();
            if (own != kind && own != FactoryFree)
                continue;
            offered.push_back(factory);
            lbSountories->addItem(Latin1(factory->GetName()));
        }
        EndFilling();
    }
    TSntDialog::showEvent(event);
}

void TDlgSntRunAtWnd::accept()
{
    const int row = lbSountories->currentRow();
    if (row < 0 || size_t(row) >= offered.size() || !lbSountories->item(row)->isSelected())
        return;
    chosen = offered[size_t(row)];
    TSntDialog::accept();
}

// ---- create ----

namespace {

struct TemplateChoice
{
    const char* name;
    const char* caption;
};

// In template order.
constexpr TemplateChoice templateChoices[] = {
    {"rbIONone", "None"},
    {"rbIOChangeWW", "For Changing Wave Window"},
    {"rbIOCreateWW", "For Creating Wave Window"},
    {"rbIOFitUS", "Fit with User Node"},
    {"rbIOFitELN", "Fit with Empty Mix Loop Node"},
    {"rbIOFitLS", "Fit with Mix Loop Node"},
};

constexpr int32_t FitUserTemplate = 3;
constexpr int32_t FitLoopTemplate = 5;

} // namespace

TDlgSntCreate::TDlgSntCreate(QWidget* owner, FactoryHost& host) : TSntDialog(owner), host(host)
{
    setObjectName(QStringLiteral("DlgSntCreate"));
    setWindowTitle(QStringLiteral("Create Factory"));
    SetHelpContext(57);
    LayOutFrame(384, 226, 300, 260);
    const Anchors across = Anchors(Anchor::Left) | Anchor::Top | Anchor::Right;
    auto* group = new QButtonGroup(this);
    AddLabel("Inputs and Outputs", 16, 14, 265);
    cboUserNode = AddCombo("cboUserNode");
    cboLoopNode = AddCombo("cboLoopNode");
    int top = 32;
    for (size_t i = 0; i < choices.size(); ++i) {
        auto* choice = new QRadioButton(QString::fromLatin1(templateChoices[i].caption), this);
        choice->setObjectName(QString::fromLatin1(templateChoices[i].name));
        group->addButton(choice, static_cast<int>(i));
        choices[i] = choice;
        Place(choice, 24, top, 257, 17, across);
        top += 22;
        // The two node lists sit under the choices they belong to.
        if (i == FitUserTemplate || i == FitLoopTemplate) {
            Place(i == FitUserTemplate ? cboUserNode : cboLoopNode, 40, top, 241, 21, across);
            top += 26;
        }
    }
    rbIONone = choices[0];
    rbIOChangeWW = choices[1];
    rbIOCreateWW = choices[2];
    rbIOFitUS = choices[3];
    rbIOFitELN = choices[4];
    rbIOFitLS = choices[5];
    setTabOrder(rbIOFitUS, cboUserNode);
    setTabOrder(cboUserNode, rbIOFitELN);
    setTabOrder(rbIOFitLS, cboLoopNode);
    connect(cboUserNode, &QComboBox::activated, this, &TDlgSntCreate::cboUserNodeChange);
    connect(cboLoopNode, &QComboBox::activated, this, &TDlgSntCreate::cboLoopNodeChange);
}

void TDlgSntCreate::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        FillingScope filling(*this);
        rbIOChangeWW->setChecked(true);
        userNodes = ListNodeChoices(host, sntNodeUser);
        loopNodes = ListNodeChoices(host, sntNodeLoop);
        for (auto [combo, nodes] :
             {std::pair{cboUserNode, &userNodes}, {cboLoopNode, &loopNodes}}) {
            combo->clear();
            for (const TSntNodeChoice& choice : *nodes)
                combo->addItem(Latin1(choice.caption));
            combo->setCurrentIndex(nodes->empty() ? -1 : 0);
        }
    }
    EndFilling();
    TSntDialog::showEvent(event);
}

void TDlgSntCreate::cboUserNodeChange()
{
    rbIOFitUS->setChecked(true);
}

void TDlgSntCreate::cboLoopNodeChange()
{
    rbIOFitLS->setChecked(true);
}

void TDlgSntCreate::accept()
{
    int32_t chosen = -1;
    for (size_t i = 0; i < choices.size(); ++i)
        if (choices[i]->isChecked())
            chosen = static_cast<int32_t>(i);
    if (chosen < 0)
        return;
    TSountoryNode* picked = nullptr;
    if (chosen == FitUserTemplate || chosen == FitLoopTemplate) {
        const bool user = chosen == FitUserTemplate;
        const int index = (user ? cboUserNode : cboLoopNode)->currentIndex();
        const std::vector<TSntNodeChoice>& nodes = user ? userNodes : loopNodes;
        if (index < 0 || size_t(index) >= nodes.size()) {
            TGuiMessages::ShowInputError(user ? "You must select a User Node."
                                              : "You must select a Loop Mix Node.");
            return;
        }
        picked = nodes[size_t(index)].node;
    }
    templateNumber = chosen;
    node = picked;
    TSntDialog::accept();
}

TUnitSountory* ChooseFactoryToRun(QWidget* owner, FactoryHost& host, uint8_t kind)
{
    TDlgSntRunAtWnd dialog(owner, host, kind);
    return RunDialog(dialog) == DialogResult::Accepted ? dialog.GetSountory() : nullptr;
}

bool ChooseFactoryTemplate(QWidget* owner, FactoryHost& host, int32_t& templateNumber,
                           TSountoryNode*& node)
{
    TDlgSntCreate dialog(owner, host);
    if (RunDialog(dialog) != DialogResult::Accepted)
        return false;
    templateNumber = dialog.GetTemplate();
    node = dialog.GetNode();
    return true;
}

} // namespace kelvorn
