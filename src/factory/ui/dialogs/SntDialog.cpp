#include "factory/ui/dialogs/SntDialog.h"

#include "general/GuiMessages.h"
#include "window_base/EditName.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace kelvorn {

QString Latin1(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Latin1(const QString& text)
{
    return text.toLatin1().toStdString();
}

std::string StorableNameRefusal(const QString& name, bool emptyAllowed)
{
    if (name.isEmpty())
        return emptyAllowed ? std::string() : "Field should not be empty.";
    std::string refusal = NameRefusal(name);
    if (!refusal.empty())
        return refusal;
    if (name.front().unicode() <= ' ' || name.back().unicode() <= ' ')
        return "A name may not begin or end with a blank.";
    return {};
}

bool CheckStorableName(const QString& name, const std::string& field, bool emptyAllowed)
{
    std::string refusal = StorableNameRefusal(name, emptyAllowed);
    if (refusal.empty())
        return true;
    TGuiMessages::ShowFieldInputError(field, refusal);
    return false;
}

void ShowFieldCorrected(const std::string& field)
{
    TGuiMessages::ShowInputError("Field " + field + " is corrected.");
}

std::vector<TUnitSountory*> NamedFactories(FactoryHost& host, const TUnitSountory* except)
{
    std::vector<TUnitSountory*> named;
    for (TUnitSountory* factory : host.ListFactories(except))
        if (factory && !factory->GetName().empty())
            named.push_back(factory);
    return named;
}

std::vector<TSntNodeChoice> ListNodeChoices(FactoryHost& host, uint8_t nodeKind)
{
    std::vector<TSntNodeChoice> choices;
    for (TUnitSountory* factory : NamedFactories(host, nullptr))
        for (const auto& node : factory->Nodes())
            if (node->GetSntNodeKind() == nodeKind)
                choices.push_back({factory->GetName() + "." + node->Name, node.get()});
    return choices;
}

TSntDialog::TSntDialog(QWidget* owner) : TOKHelpRightDlg(owner) {}

QLabel* TSntDialog::AddLabel(const char* text, int left, int top, int width, QWidget* buddy)
{
    auto* label = new QLabel(QString::fromLatin1(text), this);
    if (buddy)
        label->setBuddy(buddy);
    Place(label, left, top, width, 15);
    return label;
}

QComboBox* TSntDialog::AddCombo(const char* name)
{
    auto* combo = new QComboBox(this);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(false);
    return combo;
}

void TSntDialog::LayOutFrame(int clientWidth, int clientHeight, int minWidth, int minHeight)
{
    SetClientSize(clientWidth, clientHeight);
    SetSizeable(minWidth, minHeight);
    const Anchors all = Anchors(Anchor::Left) | Anchor::Top | Anchor::Right | Anchor::Bottom;
    const Anchors topRight = Anchors(Anchor::Top) | Anchor::Right;
    const int buttons = clientWidth - 84;
    Place(Bevel1, 8, 8, buttons - 19, clientHeight - 16, all);
    Place(OKBtn, buttons, 8, 75, 25, topRight);
    Place(CancelBtn, buttons, 38, 75, 25, topRight);
    Place(HelpBtn, buttons, 68, 75, 25, topRight);
}

} // namespace kelvorn
