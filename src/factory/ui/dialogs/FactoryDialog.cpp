#include "factory/ui/dialogs/FactoryDialog.h"

#include "factory/core/Placement.h"
#include "window_base/EditFields.h"
#include "window_base/QtModalDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QSignalBlocker>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace kelvorn {

namespace {

QString IntegerText(int32_t value)
{
    return Latin1(unitIntegerPos(value, EHNone).ToText());
}

QCheckBox* AddCheck(QWidget* parent, const char* name, const char* text)
{
    auto* box = new QCheckBox(QString::fromLatin1(text), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

/// The label of the fit list and the nodes it offers, by factory kind.
struct FitChoice
{
    const char* label;
    int nodeKind; // -1: none
};

constexpr FitChoice fitChoices[] = {
    {"Fit with User Node", sntNodeUser},
    {"Fit with Loop Node", sntNodeLoop},
    {"Fit with Node", -1},
    {"Fit with Node", -1},
};

} // namespace

TDlgSntSountoryProps::TDlgSntSountoryProps(QWidget* owner, TUnitSountory& factory)
    : TSntDialog(owner), factory(factory)
{
    setObjectName(QStringLiteral("DlgSntSountoryProps"));
    setWindowTitle(QStringLiteral("Properties Factory"));
    SetHelpContext(58);
    LayOutFrame(384, 330, 300, 364);
    const Anchors across = Anchors(Anchor::Left) | Anchor::Top | Anchor::Right;

    editName = new QLineEdit(this);
    editName->setObjectName(QStringLiteral("editName"));
    cboType = AddCombo("cboType");
    for (const char* item : {"Free", "Mix Loop", "Create Wave Window", "Change Wave Window"})
        cboType->addItem(QString::fromLatin1(item));
    chkShowNameIO = AddCheck(this, "chkShowNameIO", "Show Name of Inputs and Outputs");
    chkShowTypeIO = AddCheck(this, "chkShowTypeIO", "Show Type of Inputs and Outputs");
    AddLabel("Name", 16, 18, 80, editName);
    AddLabel("Type", 16, 44, 80, cboType);
    Place(editName, 100, 14, 181, 21, across);
    Place(cboType, 100, 40, 181, 21, across);
    Place(chkShowNameIO, 16, 68, 265, 17, across);
    Place(chkShowTypeIO, 16, 88, 265, 17, across);

    grpNodes = new QGroupBox(QStringLiteral("Nodes"), this);
    grpNodes->setObjectName(QStringLiteral("grpNodes"));
    chkAllowOverlappingNodes =
        AddCheck(grpNodes, "chkAllowOverlappingNodes", "Allow Overlapping Nodes");
    chkCasMovNodes = AddCheck(grpNodes, "chkCasMovNodes", "Cascade Movable");
    chkNodesShowNameIO =
        AddCheck(grpNodes, "chkNodesShowNameIO", "Show Name of Inputs and Outputs");
    chkNodesShowTypeIO =
        AddCheck(grpNodes, "chkNodesShowTypeIO", "Show Type of Inputs and Outputs");
    int top = 18;
    for (QCheckBox* box :
         {chkAllowOverlappingNodes, chkCasMovNodes, chkNodesShowNameIO, chkNodesShowTypeIO}) {
        box->setGeometry(8, top, 240, 17);
        top += 20;
    }
    Place(grpNodes, 16, 110, 265, 100, across);

    grpIO = new QGroupBox(QStringLiteral("Inputs and Outputs"), this);
    grpIO->setObjectName(QStringLiteral("grpIO"));
    lblIOFitWithNode = new QLabel(grpIO);
    lblIOFitWithNode->setObjectName(QStringLiteral("lblIOFitWithNode"));
    cboIOFitWithNode = new QComboBox(grpIO);
    cboIOFitWithNode->setObjectName(QStringLiteral("cboIOFitWithNode"));
    lblIOFitWithNode->setBuddy(cboIOFitWithNode);
    lblIOFitWithNode->setGeometry(8, 22, 100, 15);
    cboIOFitWithNode->setGeometry(110, 18, 147, 21);
    Place(grpIO, 16, 216, 265, 50, across);

    grpRectangle = new QGroupBox(QStringLiteral("Rectangle"), this);
    grpRectangle->setObjectName(QStringLiteral("grpRectangle"));
    editWidth = new QLineEdit(grpRectangle);
    editWidth->setObjectName(QStringLiteral("editWidth"));
    editHeight = new QLineEdit(grpRectangle);
    editHeight->setObjectName(QStringLiteral("editHeight"));
    auto* lblWidth = new QLabel(QStringLiteral("Width"), grpRectangle);
    lblWidth->setBuddy(editWidth);
    auto* lblHeight = new QLabel(QStringLiteral("Height"), grpRectangle);
    lblHeight->setBuddy(editHeight);
    lblWidth->setGeometry(8, 22, 44, 15);
    editWidth->setGeometry(56, 18, 60, 21);
    lblHeight->setGeometry(136, 22, 44, 15);
    editHeight->setGeometry(184, 18, 60, 21);
    Place(grpRectangle, 16, 272, 265, 50, across);

    setTabOrder(editName, cboType);
    setTabOrder(cboType, chkShowNameIO);
    setTabOrder(chkShowNameIO, chkShowTypeIO);
    setTabOrder(chkShowTypeIO, chkAllowOverlappingNodes);
    setTabOrder(chkAllowOverlappingNodes, chkCasMovNodes);
    setTabOrder(chkCasMovNodes, chkNodesShowNameIO);
    setTabOrder(chkNodesShowNameIO, chkNodesShowTypeIO);
    setTabOrder(chkNodesShowTypeIO, cboIOFitWithNode);
    setTabOrder(cboIOFitWithNode, editWidth);
    setTabOrder(editWidth, editHeight);

    connect(cboType, &QComboBox::currentIndexChanged, this, &TDlgSntSountoryProps::cboTypeChange);
    connect(chkAllowOverlappingNodes, &QCheckBox::clicked, this,
            &TDlgSntSountoryProps::chkAllowOverlappingNodesClick);
    connect(editWidth, &QLineEdit::editingFinished, this, &TDlgSntSountoryProps::editWidthExit);
    connect(editHeight, &QLineEdit::editingFinished, this, &TDlgSntSountoryProps::editHeightExit);
}

void TDlgSntSountoryProps::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        {
            FillingScope filling(*this);
            editName->setText(Latin1(factory.GetName()));
            editWidth->setText(IntegerText(factory.GetWidth()));
            editHeight->setText(IntegerText(factory.GetHeight()));
            const uint8_t mode = factory.GetNodesCombination();
            chkAllowOverlappingNodes->setEnabled(!AnyNodesOverlap(factory));
            chkAllowOverlappingNodes->setChecked(mode == NodesOverlap);
            chkCasMovNodes->setEnabled(mode != NodesOverlap);
            chkCasMovNodes->setChecked(mode == NodesShift);
            chkShowNameIO->setChecked(factory.ShowNameIO);
            chkShowTypeIO->setChecked(factory.ShowTypeIO);
            chkNodesShowNameIO->setChecked(factory.ShowNameNIO);
            chkNodesShowTypeIO->setChecked(factory.ShowTypeNIO);
            const QSignalBlocker quiet(cboType);
            cboType->setCurrentIndex(factory.GetFactoryKind());
        }
        cboTypeChange();
        EndFilling();
    }
    TSntDialog::showEvent(event);
}

void TDlgSntSountoryProps::cboTypeChange()
{
    const int kind = cboType->currentIndex();
    const FitChoice& choice = fitChoices[kind >= 0 && kind < 4 ? kind : 2];
    lblIOFitWithNode->setText(QString::fromLatin1(choice.label));
    cboIOFitWithNode->clear();
    fitNodes.clear();
    if (choice.nodeKind < 0) {
        DisableEdit(cboIOFitWithNode, false);
        return;
    }
    EnableEdit(cboIOFitWithNode);
    fitNodes = ListNodeChoices(factory.GetHost(), static_cast<uint8_t>(choice.nodeKind));
    for (const TSntNodeChoice& node : fitNodes)
        cboIOFitWithNode->addItem(Latin1(node.caption));
    // Fitting is asked for each time anew: no node is chosen until the user picks one.
    cboIOFitWithNode->setCurrentIndex(-1);
}

void TDlgSntSountoryProps::chkAllowOverlappingNodesClick()
{
    chkCasMovNodes->setEnabled(!chkAllowOverlappingNodes->isChecked());
    chkCasMovNodes->setChecked(false);
}

bool TDlgSntSountoryProps::FitSize(bool width, int32_t size, TSountoryRectangle& area)
{
    // The edits take sizes up to the largest 32-bit number; the area's rule limits them.
    TSountoryRectangle wanted = area;
    auto far = [size](int32_t from) {
        return int32_t(
            std::min<int64_t>(int64_t(from) + size, std::numeric_limits<int32_t>::max()));
    };
    if (width)
        wanted.right = far(wanted.left);
    else
        wanted.bottom = far(wanted.top);
    area = wanted;
    FitFactoryRect(factory, width ? sntTouchRight : sntTouchBottom, area);
    const int32_t fitted = width ? area.right - area.left : area.bottom - area.top;
    if (fitted == size)
        return true;
    {
        FillingScope filling(*this);
        (width ? editWidth : editHeight)->setText(IntegerText(fitted));
    }
    ShowFieldCorrected(width ? "Rectangle Width" : "Rectangle Height");
    return false;
}

void TDlgSntSountoryProps::editWidthExit()
{
    SizeExit(true);
}

void TDlgSntSountoryProps::editHeightExit()
{
    SizeExit(false);
}

void TDlgSntSountoryProps::SizeExit(bool width)
{
    unitIntegerPos size;
    bool ok = true;
    size.SetText(ok, Latin1((width ? editWidth : editHeight)->text()), "");
    TSountoryRectangle area = factory.FactoryRect;
    if (ok && !Filling())
        FitSize(width, size.GetValue(), area); // the factory changes at OK only
}

void TDlgSntSountoryProps::accept()
{
    bool canClose = true;
    unitIntegerPos width;
    unitIntegerPos height;
    width.SetTextMsg(canClose, Latin1(editWidth->text()), "Rectangle Width");
    height.SetTextMsg(canClose, Latin1(editHeight->text()), "Rectangle Height");
    const std::string name = Latin1(editName->text());
    if (!CheckStorableName(editName->text(), "Name", true) ||
        !factory.GetHost().CheckUniqueName(name, &factory))
        canClose = false;
    if (!canClose)
        return;
    TSountoryRectangle area = factory.FactoryRect;
    if (!FitSize(true, width.GetValue(), area) || !FitSize(false, height.GetValue(), area))
        return;

    factory.FactoryRect = area;
    // Only a change of kind makes its pins again: that removes the user's own pins named like
    // a pin the kind excludes, with their connections, and a factory window has no undo.
    const int kind = cboType->currentIndex();
    if (kind >= 0 && kind != factory.GetFactoryKind())
        factory.SetFactoryKind(static_cast<uint8_t>(kind));
    const int fit = cboIOFitWithNode->currentIndex();
    if (fit >= 0 && size_t(fit) < fitNodes.size())
        factory.FitWithNode(*fitNodes[size_t(fit)].node);
    factory.SetNodesCombination(chkAllowOverlappingNodes->isChecked() ? NodesOverlap
                                : chkCasMovNodes->isChecked()         ? NodesShift
                                                                      : NodesFixed);
    factory.ShowNameIO = chkShowNameIO->isChecked();
    factory.ShowTypeIO = chkShowTypeIO->isChecked();
    factory.ShowNameNIO = chkNodesShowNameIO->isChecked();
    factory.ShowTypeNIO = chkNodesShowTypeIO->isChecked();
    factory.SetName(name);
    factory.GetHost().SetEditName(name);
    TSntDialog::accept();
}

bool EditFactoryProperties(QWidget* owner, TUnitSountory& factory)
{
    TDlgSntSountoryProps dialog(owner, factory);
    if (RunDialog(dialog) != DialogResult::Accepted)
        return false;
    factory.SetModified();
    return true;
}

} // namespace kelvorn
