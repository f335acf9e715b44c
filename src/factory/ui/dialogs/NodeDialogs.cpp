#include "factory/ui/dialogs/NodeDialogs.h"

#include "factory/builtins/BuiltinNode.h"
#include "factory/core/Placement.h"
#include "factory/core/UserNodes.h"
#include "factory/ui/NodePictures.h"
#include "general/GuiMessages.h"
#include "general/Services.h"
#include "platform/Help.h"
#include "window_base/QtModalDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>

namespace kelvorn {

/// One side of the node rectangle: the edge it drags, the field it is and its edit.
struct TSntRectSide
{
    uint8_t part;
    int32_t TSountoryRectangle::*member;
    const char* label;
    const char* field;
    QLineEdit* TDlgSntNodeProps::*edit;
};

namespace {

// In the order OK reads them.
constexpr TSntRectSide rectSides[] = {
    {sntTouchLeft, &TSountoryRectangle::left, "Left", "Rectangle Left",
     &TDlgSntNodeProps::editLeft},
    {sntTouchRight, &TSountoryRectangle::right, "Right", "Rectangle Right",
     &TDlgSntNodeProps::editRight},
    {sntTouchTop, &TSountoryRectangle::top, "Top", "Rectangle Top", &TDlgSntNodeProps::editTop},
    {sntTouchBottom, &TSountoryRectangle::bottom, "Bottom", "Rectangle Bottom",
     &TDlgSntNodeProps::editBottom},
};

QString IntegerText(int32_t value)
{
    return Latin1(unitIntegerPos(value, EHNone).ToText());
}

bool SameRect(const TSountoryRectangle& a, const TSountoryRectangle& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

QIcon PictureIcon(int32_t index)
{
    const CanvasBitmap& bitmap = GetNodePicture(index);
    if (bitmap.Empty())
        return {};
    QImage image(bitmap.width, bitmap.height, QImage::Format_RGB32);
    for (int y = 0; y < bitmap.height; ++y)
        for (int x = 0; x < bitmap.width; ++x) {
            const uint32_t c = bitmap.pixels[size_t(y) * size_t(bitmap.width) + size_t(x)];
            image.setPixel(x, y, qRgb(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)));
        }
    return QIcon(QPixmap::fromImage(image));
}

} // namespace

// ---- what both share ----

TDlgSntNodeProps::TDlgSntNodeProps(QWidget* owner, TSountoryNode& node)
    : TSntDialog(owner), node(node), factory(*node.GetFactory())
{
    editName = new QLineEdit(this);
    editName->setObjectName(QStringLiteral("editName"));
    grpRectangle = new QGroupBox(QStringLiteral("Rectangle"), this);
    grpRectangle->setObjectName(QStringLiteral("grpRectangle"));
    for (const TSntRectSide& side : rectSides) {
        auto* edit = new QLineEdit(grpRectangle);
        edit->setObjectName(QString::fromLatin1("edit") + QString::fromLatin1(side.label));
        this->*side.edit = edit;
    }
    connect(editName, &QLineEdit::textChanged, this, &TDlgSntNodeProps::editNameChange);
    connect(editLeft, &QLineEdit::editingFinished, this, &TDlgSntNodeProps::editLeftExit);
    connect(editRight, &QLineEdit::editingFinished, this, &TDlgSntNodeProps::editRightExit);
    connect(editTop, &QLineEdit::editingFinished, this, &TDlgSntNodeProps::editTopExit);
    connect(editBottom, &QLineEdit::editingFinished, this, &TDlgSntNodeProps::editBottomExit);
}

void TDlgSntNodeProps::PlaceRectangle(int left, int top)
{
    Place(grpRectangle, left, top, 265, 76, Anchors(Anchor::Left) | Anchor::Top | Anchor::Right);
    // Left and Top in the first column, Right and Bottom in the second.
    const QPoint places[] = {{8, 18}, {136, 18}, {8, 44}, {136, 44}};
    for (size_t i = 0; i < std::size(rectSides); ++i) {
        auto* label = new QLabel(QString::fromLatin1(rectSides[i].label), grpRectangle);
        label->setBuddy(this->*rectSides[i].edit);
        label->setGeometry(places[i].x(), places[i].y() + 4, 40, 15);
        (this->*rectSides[i].edit)->setGeometry(places[i].x() + 48, places[i].y(), 60, 21);
    }
    setTabOrder(editLeft, editRight);
    setTabOrder(editRight, editTop);
    setTabOrder(editTop, editBottom);
}

void TDlgSntNodeProps::ShowNode()
{
    FillingScope filling(*this);
    const TSountoryRectangle& rect = node.GetRect();
    for (const TSntRectSide& side : rectSides)
        (this->*side.edit)->setText(IntegerText(rect.*side.member));
    defaultName = node.DefaultName;
    if (defaultName)
        WriteDefaultName();
    else
        editName->setText(Latin1(node.Name));
}

void TDlgSntNodeProps::WriteDefaultName()
{
    FillingScope filling(*this);
    const std::string base = DefaultNameBase();
    std::string name = base;
    for (int n = 2; factory.FindNode(name, &node); ++n)
        name = base + " " + std::to_string(n);
    editName->setText(Latin1(name));
}

void TDlgSntNodeProps::FollowDefaultName()
{
    if (!Filling() && defaultName)
        WriteDefaultName();
}

void TDlgSntNodeProps::editNameChange()
{
    if (!Filling())
        defaultName = false;
}

void TDlgSntNodeProps::editLeftExit()
{
    SideExit(rectSides[0]);
}

void TDlgSntNodeProps::editRightExit()
{
    SideExit(rectSides[1]);
}

void TDlgSntNodeProps::editTopExit()
{
    SideExit(rectSides[2]);
}

void TDlgSntNodeProps::editBottomExit()
{
    SideExit(rectSides[3]);
}

void TDlgSntNodeProps::SideExit(const TSntRectSide& side)
{
    if (Filling())
        return;
    QLineEdit* edit = this->*side.edit;
    unitIntegerPos value;
    bool ok = true;
    value.SetText(ok, Latin1(edit->text()), side.field);
    if (!ok)
        return; // OK reports it
    TSountoryRectangle wanted = node.GetRect();
    wanted.*side.member = value.GetValue();
    TSountoryRectangle rect = wanted;
    // Nodes pushed aside stay where they went, whatever the dialog's end.
    if (DragRectangle(node, side.part, rect))
        factory.SetModified();
    if (SameRect(rect, wanted))
        return;
    {
        FillingScope filling(*this);
        edit->setText(IntegerText(rect.*side.member));
    }
    ShowFieldCorrected(side.field);
}

bool TDlgSntNodeProps::ApplyPlacement(const TSountoryRectangle& typed)
{
    // Each side is checked as if its edit were left after the ones before it had been taken,
    // so the node carries the sides taken so far while the next one is checked.
    const TSountoryRectangle original = node.GetRect();
    TSountoryRectangle taken = original;
    for (const TSntRectSide& side : rectSides) {
        TSountoryRectangle wanted = taken;
        wanted.*side.member = typed.*side.member;
        TSountoryRectangle rect = wanted;
        if (DragRectangle(node, side.part, rect))
            factory.SetModified();
        if (!SameRect(rect, wanted)) {
            node.SetRect(original);
            {
                FillingScope filling(*this);
                (this->*side.edit)->setText(IntegerText(rect.*side.member));
            }
            ShowFieldCorrected(side.field);
            return false;
        }
        taken = rect;
        node.SetRect(taken);
    }
    node.SetRect(original);
    return true;
}

void TDlgSntNodeProps::accept()
{
    bool canClose = true;
    TSountoryRectangle typed;
    for (const TSntRectSide& side : rectSides) {
        unitIntegerPos value;
        value.SetTextMsg(canClose, Latin1((this->*side.edit)->text()), side.field);
        typed.*side.member = value.GetValue();
    }
    const std::string name = Latin1(editName->text());
    if (!CheckStorableName(editName->text(), "Name", false)) {
        canClose = false;
    } else if (factory.FindNode(name, &node)) {
        TGuiMessages::ShowInputError("A Node with name \"" + name + "\" already exists.");
        canClose = false;
    }
    if (!CheckOwn())
        canClose = false;
    if (!canClose || !ApplyPlacement(typed))
        return;
    node.SetRect(typed);
    node.Name = name;
    node.DefaultName = defaultName;
    WriteOwn();
    TSntDialog::accept();
}

// ---- user and mix loop nodes ----

TDlgSntUserNodeProps::TDlgSntUserNodeProps(QWidget* owner, bool fit, TSountoryNodeReference& node)
    : TDlgSntNodeProps(owner, node), reference(node), fit(fit)
{
    const bool loop = node.GetSntNodeKind() == sntNodeLoop;
    setObjectName(QStringLiteral("DlgSntUserNodeProps"));
    setWindowTitle(loop ? QStringLiteral("Properties Mix Loop Node")
                        : QStringLiteral("Properties User Node"));
    SetHelpContext(loop ? 61 : 60);
    LayOutFrame(384, 186, 300, 220);
    const Anchors across = Anchors(Anchor::Left) | Anchor::Top | Anchor::Right;
    cboSountory = new QComboBox(this);
    cboSountory->setObjectName(QStringLiteral("cboSountory"));
    // Any name may be typed: a factory that is not open is reported by validation.
    cboSountory->setEditable(true);
    cboSountory->setInsertPolicy(QComboBox::NoInsert);
    chkIOFit = new QCheckBox(QStringLiteral("Use Inputs and Output from Factory"), this);
    chkIOFit->setObjectName(QStringLiteral("chkIOFit"));
    AddLabel("Name", 16, 18, 80, editName);
    AddLabel("Factory", 16, 44, 80, cboSountory);
    Place(editName, 100, 14, 181, 21, across);
    Place(cboSountory, 100, 40, 181, 21, across);
    Place(chkIOFit, 16, 68, 265, 17, across);
    PlaceRectangle(16, 94);
    setTabOrder(editName, cboSountory);
    setTabOrder(cboSountory, chkIOFit);
    setTabOrder(chkIOFit, editLeft);
    connect(cboSountory, &QComboBox::currentTextChanged, this,
            &TDlgSntUserNodeProps::cboSountoryChange);
}

void TDlgSntUserNodeProps::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        {
            FillingScope filling(*this);
            cboSountory->clear();
            for (TUnitSountory* other : NamedFactories(factory.GetHost(), &factory))
                cboSountory->addItem(Latin1(other->GetName()));
            const int index = cboSountory->findText(Latin1(reference.NameFactory),
                                                    Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (index >= 0)
                cboSountory->setCurrentIndex(index);
            else
                cboSountory->setEditText(Latin1(reference.NameFactory));
            chkIOFit->setChecked(fit);
            ShowNode();
        }
        EndFilling();
    }
    TDlgSntNodeProps::showEvent(event);
}

std::string TDlgSntUserNodeProps::DefaultNameBase() const
{
    return Latin1(cboSountory->currentText());
}

void TDlgSntUserNodeProps::cboSountoryChange()
{
    FollowDefaultName();
}

bool TDlgSntUserNodeProps::CheckOwn()
{
    return CheckStorableName(cboSountory->currentText(), "Factory", false);
}

void TDlgSntUserNodeProps::WriteOwn()
{
    reference.NameFactory = Latin1(cboSountory->currentText());
    fit = chkIOFit->isChecked();
}

// ---- builtin nodes ----

TDlgSntBuiltinNodeProps::TDlgSntBuiltinNodeProps(QWidget* owner, TSountoryNodeBuiltin& node)
    : TDlgSntNodeProps(owner, node), builtin(node)
{
    setObjectName(QStringLiteral("DlgSntBuiltinNodeProps"));
    setWindowTitle(QStringLiteral("Properties Builtin Node"));
    SetHelpContext(59);
    LayOutFrame(384, 236, 300, 270);
    const Anchors across = Anchors(Anchor::Left) | Anchor::Top | Anchor::Right;
    grpFunction = new QGroupBox(QStringLiteral("Function"), this);
    grpFunction->setObjectName(QStringLiteral("grpFunction"));
    cboCat = new QComboBox(grpFunction);
    cboCat->setObjectName(QStringLiteral("cboCat"));
    cboFunction = new QComboBox(grpFunction);
    cboFunction->setObjectName(QStringLiteral("cboFunction"));
    cboFunction->setIconSize(QSize(NodePictureSize, NodePictureSize));
    btnFunctionHelp = new QPushButton(QStringLiteral("&Help"), grpFunction);
    btnFunctionHelp->setObjectName(QStringLiteral("btnFunctionHelp"));
    btnFunctionHelp->setAutoDefault(false);
    auto* lblCat = new QLabel(QStringLiteral("Category"), grpFunction);
    lblCat->setBuddy(cboCat);
    auto* lblFunction = new QLabel(QStringLiteral("Function"), grpFunction);
    lblFunction->setBuddy(cboFunction);
    lblCat->setGeometry(8, 22, 64, 15);
    cboCat->setGeometry(80, 18, 177, 21);
    lblFunction->setGeometry(8, 48, 64, 15);
    cboFunction->setGeometry(80, 44, 177, 21);
    btnFunctionHelp->setGeometry(182, 70, 75, 23);
    AddLabel("Name", 16, 18, 80, editName);
    Place(editName, 100, 14, 181, 21, across);
    Place(grpFunction, 16, 44, 265, 100, across);
    PlaceRectangle(16, 150);
    setTabOrder(editName, cboCat);
    setTabOrder(cboCat, cboFunction);
    setTabOrder(cboFunction, btnFunctionHelp);
    setTabOrder(btnFunctionHelp, editLeft);

    connect(cboCat, &QComboBox::currentIndexChanged, this, &TDlgSntBuiltinNodeProps::cboCatChange);
    connect(cboFunction, &QComboBox::currentIndexChanged, this,
            &TDlgSntBuiltinNodeProps::cboFunctionChange);
    connect(cboFunction, &QComboBox::activated, this, &TDlgSntBuiltinNodeProps::cboFunctionClick);
    connect(btnFunctionHelp, &QPushButton::clicked, this,
            &TDlgSntBuiltinNodeProps::btnFunctionHelpClick);
}

int32_t TDlgSntBuiltinNodeProps::SelectedKind() const
{
    const int index = cboFunction->currentIndex();
    return index < 0 ? -1 : cboFunction->itemData(index).toInt();
}

void TDlgSntBuiltinNodeProps::FillFunctionList(int32_t category)
{
    FillingScope filling(*this);
    cboFunction->setCurrentIndex(-1);
    cboFunction->clear();
    for (uint8_t kind : GetBuiltinCategoryMembers(category)) {
        const TBuiltinKind* entry = GetBuiltinKind(kind);
        cboFunction->addItem(PictureIcon(entry->icon), QString::fromLatin1(entry->displayName),
                             int(kind));
    }
    cboFunction->setCurrentIndex(-1);
    btnFunctionHelp->setEnabled(false);
}

void TDlgSntBuiltinNodeProps::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        {
            FillingScope filling(*this);
            cboCat->clear();
            for (int32_t category = 0; category < BuiltinCategoryCount; ++category)
                cboCat->addItem(Latin1(std::string(GetBuiltinCategoryName(category))));
            const int32_t kind = builtin.GetBuiltinAction();
            const int32_t category = GetBuiltinCategory(kind);
            FillFunctionList(category);
            cboCat->setCurrentIndex(category);
            cboFunction->setCurrentIndex(GetPlaceInBuiltinCategory(kind));
            btnFunctionHelp->setEnabled(cboFunction->currentIndex() >= 0);
            ShowNode();
        }
        EndFilling();
    }
    TDlgSntNodeProps::showEvent(event);
}

std::string TDlgSntBuiltinNodeProps::DefaultNameBase() const
{
    const TBuiltinKind* entry = GetBuiltinKind(SelectedKind());
    return entry ? entry->displayName : "";
}

void TDlgSntBuiltinNodeProps::cboCatChange()
{
    if (Filling())
        return;
    FillFunctionList(cboCat->currentIndex());
}

void TDlgSntBuiltinNodeProps::cboFunctionChange()
{
    btnFunctionHelp->setEnabled(cboFunction->currentIndex() >= 0);
}

void TDlgSntBuiltinNodeProps::cboFunctionClick()
{
    FollowDefaultName();
}

void TDlgSntBuiltinNodeProps::btnFunctionHelpClick()
{
    const int32_t kind = SelectedKind();
    if (kind >= 0)
        GetService<Help>().ShowContext(GetBuiltinHelpContext(kind));
}

bool TDlgSntBuiltinNodeProps::CheckOwn()
{
    bool ok = true;
    // Both lists report with the same words: the user lacks a function either way.
    for (QComboBox* list : {cboCat, cboFunction})
        if (list->currentIndex() < 0) {
            TGuiMessages::ShowInputError("No function is selected in the Listbox \"Function\".");
            ok = false;
        }
    return ok;
}

void TDlgSntBuiltinNodeProps::WriteOwn()
{
    builtin.SetBuiltinAction(static_cast<uint8_t>(SelectedKind()));
}

// ---- entry points ----

bool EditReferenceNode(QWidget* owner, TSountoryNodeReference& node, bool& fit)
{
    TDlgSntUserNodeProps dialog(owner, fit, node);
    if (RunDialog(dialog) != DialogResult::Accepted)
        return false;
    fit = dialog.GetFit();
    node.GetFactory()->SetModified();
    return true;
}

bool EditBuiltinNode(QWidget* owner, TSountoryNodeBuiltin& node)
{
    TDlgSntBuiltinNodeProps dialog(owner, node);
    if (RunDialog(dialog) != DialogResult::Accepted)
        return false;
    node.GetFactory()->SetModified();
    return true;
}

} // namespace kelvorn
