#include "factory/ui/dialogs/PinDialog.h"

#include "general/Assert.h"
#include "general/GuiMessages.h"
#include "window_base/EditFields.h"
#include "window_base/QtModalDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QShowEvent>

#include <algorithm>

namespace kelvorn {

namespace {

/// What differs between the four kinds of pin.
struct PinKindText
{
    uint8_t kind;
    const char* caption;
    /// The start of the message that refuses a name another pin of this kind bears.
    const char* taken;
    const char* connect;
};

constexpr PinKindText pinKinds[] = {
    {sntSountoryObjectInput, "Input Properties", "A Input with name ", "Connect to"},
    {sntSountoryObjectOutput, "Output Properties", "A Output with name ", "Connect from"},
    {sntSountoryObjectNodeInput, "Node Input Properties", "A Node Input with name ",
     "Connect from"},
    {sntSountoryObjectNodeOutput, "Node Output Properties", "A Node Output with name ",
     "Connect to"},
};

const PinKindText* FindPinKind(uint8_t kind)
{
    for (const PinKindText& text : pinKinds)
        if (text.kind == kind)
            return &text;
    return nullptr;
}

// A constant is kept only where the new type can still hold it: a wave name on a wave pin, a
// number of an admitted type on any other. A number left on a pin turned Wave would be saved as
// an empty wave name, which no file can hold.
bool KeepsConstant(ValueDomType oldType, ValueDomType newType, ValueType constantType)
{
    const bool wasWave = oldType == ValueDomType::Wave;
    const bool isWave = newType == ValueDomType::Wave;
    if (wasWave != isWave)
        return false;
    return isWave || IsValueTypeCompatible(constantType, newType);
}

} // namespace

TDlgSntInputOutputProps::TDlgSntInputOutputProps(QWidget* owner, TSountoryTouchable& pin)
    : TSntDialog(owner), kind(pin.GetSntSountoryObject())
{
    setObjectName(QStringLiteral("DlgSntInputOutputProps"));
    setWindowTitle(QStringLiteral("Properties Input/Output"));
    SetHelpContext(62);
    if ((input = dynamic_cast<TSountoryInput*>(&pin))) {
        place = input;
        pinName = &input->Name;
        source = input;
        factory = input->GetOwner();
        waveSubtype = input->CanChangeWaveSubtype;
    } else if ((output = dynamic_cast<TSountoryOutput*>(&pin))) {
        place = output;
        pinName = &output->Name;
        target = output;
        factory = output->GetOwner();
        waveSubtype = output->CanChangeWaveSubtype;
    } else if ((nodeInput = dynamic_cast<TSountoryNodeInput*>(&pin))) {
        place = nodeInput;
        pinName = &nodeInput->Name;
        target = nodeInput;
        node = nodeInput->GetNode();
        factory = node->GetFactory();
    } else if ((nodeOutput = dynamic_cast<TSountoryNodeOutput*>(&pin))) {
        place = nodeOutput;
        pinName = &nodeOutput->Name;
        source = nodeOutput;
        node = nodeOutput->GetNode();
        factory = node->GetFactory();
    }
    const PinKindText* text = FindPinKind(kind);
    KV_SOFT_ASSERT(text != nullptr && place != nullptr && factory != nullptr);
    if (text)
        setWindowTitle(QString::fromLatin1(text->caption));

    LayOutFrame(384, 260, 280, 220);
    const Anchors across = Anchors(Anchor::Left) | Anchor::Top | Anchor::Right;
    const Anchors all = across | Anchor::Bottom;
    editName = new QLineEdit(this);
    editName->setObjectName(QStringLiteral("editName"));
    editHeight = new QLineEdit(this);
    editHeight->setObjectName(QStringLiteral("editHeight"));
    cboType = AddCombo("cboType");
    cboDomain = AddCombo("cboDomain");
    lbConnect = new QListWidget(this);
    lbConnect->setObjectName(QStringLiteral("lbConnect"));
    AddLabel("Name", 16, 18, 80, editName);
    AddLabel("Height", 16, 44, 80, editHeight);
    AddLabel("Type Domain", 16, 70, 80, cboType);
    AddLabel("Value Domain", 16, 96, 80, cboDomain);
    lblConnect = AddLabel(text ? text->connect : "", 16, 122, 265, lbConnect);
    lblConnect->setObjectName(QStringLiteral("lblConnect"));
    Place(editName, 100, 14, 181, 21, across);
    Place(editHeight, 100, 40, 181, 21, across);
    Place(cboType, 100, 66, 181, 21, across);
    Place(cboDomain, 100, 92, 181, 21, across);
    Place(lbConnect, 16, 138, 265, 106, all);
    setTabOrder(editName, editHeight);
    setTabOrder(editHeight, cboType);
    setTabOrder(cboType, cboDomain);
    setTabOrder(cboDomain, lbConnect);

    connect(cboType, &QComboBox::currentIndexChanged, this,
            &TDlgSntInputOutputProps::cboTypeChange);
    connect(cboDomain, &QComboBox::currentIndexChanged, this,
            &TDlgSntInputOutputProps::cboDomainChange);
}

ValueDomType TDlgSntInputOutputProps::SelectedType() const
{
    // Without a type the connections are those of a number.
    const int index = cboType->currentIndex();
    return index < 0 ? ValueDomType::Factor : static_cast<ValueDomType>(index);
}

void TDlgSntInputOutputProps::FillDomainList(ValueDomType type)
{
    FillingScope filling(*this);
    cboDomain->clear();
    const int32_t count = cboType->currentIndex() < 0 ? 0 : GetDomainCount(type);
    for (int32_t i = 0; i < count; ++i)
        cboDomain->addItem(Latin1(std::string(GetValueDomainName(GetOfferedDomain(type, i)))));
    if (count > 0)
        EnableEdit(cboDomain);
    else
        DisableEdit(cboDomain, false);
}

void TDlgSntInputOutputProps::SelectDomain(ValueDomType type, ValueDomain domain)
{
    FillingScope filling(*this);
    cboDomain->setCurrentIndex(-1);
    for (int i = 0; i < cboDomain->count(); ++i)
        if (GetOfferedDomain(type, i) == domain) {
            cboDomain->setCurrentIndex(i);
            return;
        }
}

void TDlgSntInputOutputProps::FillConnections(ValueDomType type)
{
    if (!factory)
        return;
    if (IsSource())
        factory->FillTargetList(candidates, type, node);
    else
        factory->FillSourceList(candidates, type, node);
    lbConnect->clear();
    lbConnect->setSelectionMode(IsSource() ? QAbstractItemView::MultiSelection
                                           : QAbstractItemView::SingleSelection);
    for (const TSntListEntry& entry : candidates)
        lbConnect->addItem(Latin1(entry.text));
    if (IsSource()) {
        std::vector<bool> selected;
        source->ShowTargetsInList(candidates, selected);
        for (size_t i = 0; i < selected.size(); ++i)
            lbConnect->item(static_cast<int>(i))->setSelected(selected[i]);
    } else {
        // A source the list does not offer (another wave-ness) leaves nothing selected.
        const int32_t line = target->ShowSourceInList(candidates);
        if (line > 0 || !target->GetSource())
            lbConnect->item(line)->setSelected(true);
    }
}

void TDlgSntInputOutputProps::ShowPin()
{
    editName->setText(Latin1(*pinName));
    editHeight->setText(Latin1(place->Height.ToText()));
    rememberedDomain = place->GetValueDomain();
    const ValueDomType type = place->GetValueDomType();
    cboType->clear();
    for (int i = 0; i < ValueDomTypeCount; ++i)
        cboType->addItem(Latin1(std::string(GetValueDomTypeName(static_cast<ValueDomType>(i)))));
    cboType->setCurrentIndex(static_cast<int>(type));
    FillDomainList(type);
    SelectDomain(type, place->GetValueDomain());
    FillConnections(type);
    if (place->Fixed) {
        DisableEdit(editName, false);
        DisableEdit(cboType, false);
        DisableEdit(cboDomain, false);
    }
    // The predefined wave pins of a window factory may still choose mono or stereo.
    if (waveSubtype)
        EnableEdit(cboDomain);
}

void TDlgSntInputOutputProps::showEvent(QShowEvent* event)
{
    if (!event->spontaneous() && place) {
        {
            FillingScope filling(*this);
            ShowPin();
        }
        EndFilling();
    }
    TSntDialog::showEvent(event);
}

void TDlgSntInputOutputProps::cboTypeChange()
{
    if (Filling())
        return;
    const ValueDomType type = SelectedType();
    FillDomainList(type);
    SelectDomain(type, rememberedDomain);
    FillConnections(type);
}

void TDlgSntInputOutputProps::cboDomainChange()
{
    const int index = cboDomain->currentIndex();
    if (Filling() || index < 0)
        return;
    rememberedDomain = GetOfferedDomain(SelectedType(), index);
}

bool TDlgSntInputOutputProps::CheckName(const std::string& name) const
{
    if (!CheckStorableName(editName->text(), "Name", false))
        return false;
    bool taken = false;
    if (input)
        taken = factory->FindInput(name, input) != nullptr;
    else if (output)
        taken = factory->FindOutput(name, output) != nullptr;
    else if (nodeInput)
        taken = node->FindInputByName(name, nodeInput) != nullptr;
    else if (nodeOutput)
        taken = node->FindOutputByName(name, nodeOutput) != nullptr;
    if (taken)
        TGuiMessages::ShowInputError(FindPinKind(kind)->taken + ("\"" + name) +
                                     "\" already exists.");
    return !taken;
}

void TDlgSntInputOutputProps::accept()
{
    if (!place || !factory)
        return;
    bool canClose = true;
    unitFactorPosMax1 height;
    height.SetTextMsg(canClose, Latin1(editHeight->text()), "Height");
    const std::string name = Latin1(editName->text());
    if (!CheckName(name))
        canClose = false;
    if (cboType->currentIndex() < 0) {
        TGuiMessages::ShowInputError("No type is selected in the Listbox \"Type\".");
        canClose = false;
    }
    if (cboDomain->isEnabled() && cboDomain->currentIndex() < 0) {
        TGuiMessages::ShowInputError("No domain is selected in the Listbox \"Domain\".");
        canClose = false;
    }
    if (!canClose)
        return;
    const ValueDomType type = SelectedType();
    Write(name, height, type, GetOfferedDomain(type, std::max(0, cboDomain->currentIndex())));
    TSntDialog::accept();
}

void TDlgSntInputOutputProps::Write(const std::string& name, const unitFactorPosMax1& height,
                                    ValueDomType type, ValueDomain domain)
{
    const ValueDomType oldType = place->GetValueDomType();
    place->SetHeight(height);
    place->SetValueDomType(type);
    place->SetValueDomain(domain);
    if (nodeInput)
        nodeInput->SetName(name);
    else
        *pinName = name;
    if (input && input->Given && !KeepsConstant(oldType, type, input->GetGivenValue().valueType))
        input->Given = false;
    if (target && target->GetHasConstant() &&
        !KeepsConstant(oldType, type, target->GetConstant().valueType))
        target->ClearConstant();

    std::vector<bool> selected(candidates.size(), false);
    for (int i = 0; i < lbConnect->count() && size_t(i) < selected.size(); ++i)
        selected[size_t(i)] = lbConnect->item(i)->isSelected();
    if (IsSource()) {
        source->SetTargetsFromList(candidates, selected);
    } else {
        auto chosen = std::find(selected.begin(), selected.end(), true);
        target->SetSourceFromList(
            candidates,
            chosen == selected.end() ? -1 : static_cast<int32_t>(chosen - selected.begin()));
    }
}

bool EditPinProperties(QWidget* owner, TSountoryTouchable& pin)
{
    TDlgSntInputOutputProps dialog(owner, pin);
    if (RunDialog(dialog) != DialogResult::Accepted)
        return false;
    dialog.Factory()->SetModified();
    return true;
}

} // namespace kelvorn
