#include "factory/ui/dialogs/ValuesDialog.h"

#include "general/Assert.h"
#include "general/GuiMessages.h"
#include "window_base/QtModalDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QShowEvent>

#include <algorithm>
#include <cmath>
#include <span>

namespace kelvorn {

namespace {

// ---- the numbers typed into an edit, by value type ----

/// A value class that checks the pin's domain in place of its own range.
template <class V> class Constrained : public V
{
public:
    explicit Constrained(ValueDomain domain) { this->constraint = static_cast<uint8_t>(domain); }
};

/// The number a value class holds: through its getter, or its public field where it has none.
template <class V> double NumberOf(const V& v)
{
    if constexpr (requires { v.GetValue(); })
        return v.GetValue();
    else
        return v.value;
}

using Parser = bool (*)(const std::string& text, ValueDomain domain, const std::string& label,
                        double& value, MeasureUnitKind& unit);

/// The text through the value class's validating setter, its message under "Input Error".
template <class V>
bool ParseAs(const std::string& text, ValueDomain domain, const std::string& label, double& value,
             MeasureUnitKind& unit)
{
    Constrained<V> parsed(domain);
    bool ok = true;
    parsed.SetTextMsg(ok, text, label);
    if (ok) {
        value = NumberOf(parsed);
        unit = parsed.GetUnit();
    }
    return ok;
}

/// The value class of each numeric value type, by type code.
constexpr Parser numberParsers[] = {
    ParseAs<unitFactor>,         // Factor
    ParseAs<unitBalAngleFactor>, // Balance Angle
    ParseAs<unitAngleFactor>,    // Angle
    ParseAs<unitInteger>,        // Integer
    ParseAs<unitFysDist>,        // Fysical Length
    ParseAs<unitFysSpeed>,       // Fysical Speed
    ParseAs<unitTime>,           // Time
    ParseAs<unitFreq>,           // Frequency
    ParseAs<unitWaveVal>,        // Wave Value
    ParseAs<unitAngleFactor>,    // Place in Window
};

// ---- the properties of a wave chosen from a list ----

struct ItemChoice
{
    const char* text;
    double value;
};

constexpr ItemChoice monoStereoItems[] = {{"Mono", 1}, {"Stereo", 2}};
constexpr ItemChoice bytesItems[] = {{"1 Byte per Sample", 1}, {"2 Bytes per Sample", 2}};
// 176128, not 176400: the program's highest sample frequency.
constexpr ItemChoice frequencyItems[] = {{"5 kHz", 5512},   {"11 kHz", 11025}, {"22 kHz", 22050},
                                         {"44 kHz", 44100}, {"88 kHz", 88200}, {"176 kHz", 176128}};

struct ItemList
{
    std::span<const ItemChoice> items;
    /// A value other than the first item's shows, and no choice reads as, the last item; else a
    /// value not listed shows none and no choice is refused.
    bool otherIsLast;
};

const ItemList* ItemsOf(ValueType type)
{
    static const ItemList monoStereo{monoStereoItems, true};
    static const ItemList bytes{bytesItems, true};
    static const ItemList frequencies{frequencyItems, false};
    switch (type) {
    case ValueType::WaveMonoStereo:
        return &monoStereo;
    case ValueType::WaveBytesPerSample:
        return &bytes;
    case ValueType::WaveSampleFrequency:
        return &frequencies;
    default:
        return nullptr;
    }
}

int ItemOfValue(const ItemList& list, double value)
{
    if (list.otherIsLast)
        return value == list.items.front().value ? 0 : static_cast<int>(list.items.size()) - 1;
    const double whole = std::trunc(value);
    for (size_t i = 0; i < list.items.size(); ++i)
        if (list.items[i].value == whole)
            return static_cast<int>(i);
    return -1;
}

// Row geometry in the scroll box, in pixels.
constexpr int RowTop = 10;
constexpr int RowStep = 22;
constexpr int TitleLeft = 10;
constexpr int TitleHeight = 15;
constexpr int ValueHeight = 17;
constexpr int EditIndent = 4;
constexpr int RightGap = 10;
constexpr int LeastWidth = 10;

std::string CaptionOf(const char* pins, bool types, const char* owner, const std::string& name)
{
    return std::string(pins) + (types ? "Type of " : "") + "Values of " + owner + " \"" + name +
           "\"";
}

} // namespace

/// One pin of the dialog: either a target (node input, factory output) or a factory input.
struct TDlgSntValues::Row
{
    enum class Control : uint8_t { Edit, Flag, Items, Wave, Types };

    TSountoryOutputTarget* target = nullptr;
    TSountoryInput* input = nullptr;
    std::string name;
    ValueDomType type = ValueDomType::Factor;
    ValueDomain domain = ValueDomain::AllValues;
    bool connected = false;
    /// What the row starts from: the pin's constant, or a zero of the pin's type.
    bool hasConstant = false;
    TSntValue current;
    MeasureUnitKind unit = EHNone;
    std::string sound;

    Control control = Control::Edit;
    const ItemList* items = nullptr;
    /// The value types a types row offers, in its list's order.
    std::vector<ValueType> offered;
    QWidget* title = nullptr;
    QCheckBox* check = nullptr;
    QWidget* value = nullptr;
};

/// What OK writes into one pin.
struct TDlgSntValues::Reading
{
    enum class Action : uint8_t { Keep, Clear, Value, Sound };
    Action action = Action::Keep;
    TSntValue value;
    MeasureUnitKind unit = EHNone;
    std::string sound;
};

TDlgSntValues::TDlgSntValues(QWidget* owner, Mode mode, bool types, const std::string& caption)
    : TSntDialog(owner), mode(mode), types(types)
{
    setObjectName(QStringLiteral("DlgSntValues"));
    setWindowTitle(Latin1(caption));
    SetHelpContext(types ? 64 : 63);
}

TDlgSntValues::TDlgSntValues(QWidget* owner, bool types, const std::vector<TSountoryInput*>& inputs,
                             TUnitSountory& factory)
    : TDlgSntValues(owner, FactoryInputs, types,
                    CaptionOf("Input ", types, "Sountory", factory.GetName()))
{
    host = &factory.GetHost();
    for (TSountoryInput* input : inputs)
        if (KV_SOFT_ASSERT(input != nullptr))
            AddInputRow(*input);
    BuildRows();
}

TDlgSntValues::TDlgSntValues(QWidget* owner, bool types, TSountoryNode& node)
    : TDlgSntValues(owner, NodeInputs, types, CaptionOf("Input ", types, "Node", node.Name))
{
    host = &node.GetFactory()->GetHost();
    for (const auto& input : node.Inputs())
        if (!types || input->IsComposite())
            AddTargetRow(*input, input->Name, *input);
    BuildRows();
}

TDlgSntValues::TDlgSntValues(QWidget* owner, bool types, TUnitSountory& factory)
    : TDlgSntValues(owner, FactoryOutputs, types,
                    CaptionOf("Output ", types, "Factory", factory.GetName()))
{
    host = &factory.GetHost();
    for (const auto& output : factory.Outputs())
        if (!types || output->IsComposite())
            AddTargetRow(*output, output->Name, *output);
    BuildRows();
}

TDlgSntValues::~TDlgSntValues() = default;

int TDlgSntValues::RowCount() const
{
    return static_cast<int>(rows.size());
}

QWidget* TDlgSntValues::RowTitle(int row) const
{
    return row >= 0 && row < RowCount() ? rows[size_t(row)].title : nullptr;
}

QCheckBox* TDlgSntValues::RowCheck(int row) const
{
    return row >= 0 && row < RowCount() ? rows[size_t(row)].check : nullptr;
}

QWidget* TDlgSntValues::RowValue(int row) const
{
    return row >= 0 && row < RowCount() ? rows[size_t(row)].value : nullptr;
}

void TDlgSntValues::AddTargetRow(TSountoryOutputTarget& target, const std::string& name,
                                 const TSntPinPlace& place)
{
    Row row;
    row.target = &target;
    row.name = name;
    row.type = place.GetValueDomType();
    row.domain = place.GetValueDomain();
    row.connected = target.GetSource() != nullptr;
    row.hasConstant = target.GetHasConstant();
    row.current = target.GetDefaultValue();
    row.unit = target.GetConstantUnitKind();
    row.sound = target.GetConstantSoundName();
    rows.push_back(std::move(row));
}

void TDlgSntValues::AddInputRow(TSountoryInput& input)
{
    Row row;
    row.input = &input;
    row.name = input.Name;
    row.type = input.GetValueDomType();
    row.domain = input.GetValueDomain();
    row.hasConstant = input.Given;
    row.current = input.GetGivenValue();
    row.unit = input.GivenUnitKind;
    row.sound = input.GivenSoundName;
    rows.push_back(std::move(row));
}

void TDlgSntValues::BuildRows()
{
    const int count = RowCount();
    const int clientHeight = std::clamp(36 + RowStep * count, 179, 460);
    LayOutFrame(384, clientHeight, 330, 130);
    Bevel1->hide();
    sboValues = new QScrollArea(this);
    sboValues->setObjectName(QStringLiteral("sboValues"));
    sboValues->setWidgetResizable(false);
    sboValues->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rowArea = new QWidget;
    rowArea->setObjectName(QStringLiteral("rowArea"));
    sboValues->setWidget(rowArea);
    Place(sboValues, 8, 8, 281, clientHeight - 16,
          Anchors(Anchor::Left) | Anchor::Top | Anchor::Right | Anchor::Bottom);
    sboValues->viewport()->installEventFilter(this);

    const bool labels = mode == FactoryInputs;
    const int valueX = labels ? 135 : 140;
    QWidget* previous = nullptr;
    auto chain = [&](QWidget* next) {
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        Row& row = rows[i];
        const int top = RowTop + RowStep * static_cast<int>(i);
        if (labels) {
            auto* label = new QLabel(Latin1(row.name), rowArea);
            label->setGeometry(TitleLeft, top, 123, TitleHeight);
            row.title = label;
        } else {
            row.check = new QCheckBox(Latin1(row.name), rowArea);
            row.check->setGeometry(TitleLeft, top, 128, TitleHeight);
            row.title = row.check;
            chain(row.check);
        }
        row.items = ItemsOf(row.current.valueType);
        if (types)
            row.control = Row::Control::Types;
        else if (row.type == ValueDomType::Wave)
            row.control = Row::Control::Wave;
        else if (row.current.valueType == ValueType::Boolean)
            row.control = Row::Control::Flag;
        else if (row.items)
            row.control = Row::Control::Items;
        else
            row.control = Row::Control::Edit;
        const size_t index = i;
        int left = valueX;
        switch (row.control) {
        case Row::Control::Edit: {
            auto* edit = new QLineEdit(rowArea);
            connect(edit, &QLineEdit::textChanged, this, [this, index] { RowEdited(index); });
            row.value = edit;
            left += EditIndent;
            break;
        }
        case Row::Control::Flag: {
            auto* flag = new QCheckBox(QStringLiteral("Flag Set"), rowArea);
            connect(flag, &QCheckBox::clicked, this, [this, index] { RowEdited(index); });
            row.value = flag;
            break;
        }
        case Row::Control::Wave:
        case Row::Control::Items:
        case Row::Control::Types: {
            auto* combo = new QComboBox(rowArea);
            // Only a wave may be named freely: it need not be open yet when the factory runs.
            combo->setEditable(row.control == Row::Control::Wave);
            combo->setInsertPolicy(QComboBox::NoInsert);
            if (row.control == Row::Control::Wave)
                connect(combo, &QComboBox::currentTextChanged, this,
                        [this, index] { RowEdited(index); });
            else
                connect(combo, &QComboBox::currentIndexChanged, this,
                        [this, index] { RowEdited(index); });
            row.value = combo;
            break;
        }
        }
        row.value->setObjectName(QString::fromLatin1("value%1").arg(i));
        row.value->setGeometry(left, top, LeastWidth, ValueHeight);
        chain(row.value);
    }
    rowArea->resize(281, RowTop + RowStep * count + RowTop);
}

void TDlgSntValues::ShowRow(Row& row)
{
    if (row.check)
        row.check->setChecked(row.hasConstant);
    if (row.connected) {
        row.check->setEnabled(false);
        row.value->setEnabled(false);
    }
    auto* edit = qobject_cast<QLineEdit*>(row.value);
    auto* flag = qobject_cast<QCheckBox*>(row.value);
    auto* combo = qobject_cast<QComboBox*>(row.value);
    switch (row.control) {
    case Row::Control::Types:
        if (row.connected)
            return;
        for (int code = 0; code < ValueTypeCount; ++code) {
            const auto type = static_cast<ValueType>(code);
            if (IsValueTypeCompatible(type, row.type)) {
                row.offered.push_back(type);
                combo->addItem(Latin1(std::string(GetValueTypeName(type))));
            }
        }
        {
            auto at = std::find(row.offered.begin(), row.offered.end(), row.current.valueType);
            combo->setCurrentIndex(
                at == row.offered.end() ? -1 : static_cast<int>(at - row.offered.begin()));
        }
        return;
    case Row::Control::Wave:
        for (const std::string& name : host->ListWaves(GetWaveListMode(row.domain)))
            combo->addItem(Latin1(name));
        combo->setCurrentIndex(-1);
        if (row.hasConstant)
            combo->setEditText(Latin1(row.sound));
        return;
    case Row::Control::Items:
        for (const ItemChoice& item : row.items->items)
            combo->addItem(QString::fromLatin1(item.text));
        combo->setCurrentIndex(row.hasConstant ? ItemOfValue(*row.items, row.current.value) : -1);
        return;
    case Row::Control::Flag:
        flag->setChecked(row.hasConstant && row.current.value != 0);
        return;
    case Row::Control::Edit:
        // Only the numbers of the ten numeric types are typed; anything else is a fault of
        // the caller, shown once and then handled as a plain number.
        KV_SOFT_ASSERT(static_cast<int>(row.current.valueType) < 14);
        edit->setText(row.hasConstant ? Latin1(ValueToText(row.current, row.unit)) : QString());
        return;
    }
}

void TDlgSntValues::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        {
            FillingScope filling(*this);
            for (Row& row : rows)
                ShowRow(row);
        }
        EndFilling();
        sboValuesResize();
    }
    TSntDialog::showEvent(event);
}

bool TDlgSntValues::eventFilter(QObject* watched, QEvent* event)
{
    if (sboValues && watched == sboValues->viewport() && event->type() == QEvent::Resize)
        sboValuesResize();
    return TSntDialog::eventFilter(watched, event);
}

void TDlgSntValues::sboValuesResize()
{
    if (!sboValues)
        return;
    const int width = sboValues->viewport()->width();
    rowArea->resize(width, rowArea->height());
    for (Row& row : rows) {
        QRect geometry = row.value->geometry();
        geometry.setWidth(std::max(LeastWidth, width - geometry.left() - RightGap));
        row.value->setGeometry(geometry);
    }
}

void TDlgSntValues::RowEdited(size_t row)
{
    if (!Filling() && row < rows.size() && rows[row].check)
        rows[row].check->setChecked(true);
}

bool TDlgSntValues::ReadRow(const Row& row, Reading& reading) const
{
    using Action = Reading::Action;
    reading = Reading();
    if (row.target) {
        if (row.connected)
            return true;
        if (!row.check->isChecked()) {
            reading.action = Action::Clear;
            return true;
        }
    }
    auto* combo = qobject_cast<QComboBox*>(row.value);
    const int index = combo ? combo->currentIndex() : -1;
    switch (row.control) {
    case Row::Control::Types: {
        if (index < 0 || size_t(index) >= row.offered.size()) {
            TGuiMessages::ShowFieldInputError(row.name, "No type is selected.");
            return false;
        }
        const ValueType chosen = row.offered[size_t(index)];
        if (chosen != row.current.valueType || !row.hasConstant) {
            reading.action = Action::Value;
            reading.value = TSntValue(0, chosen);
        }
        return true;
    }
    case Row::Control::Wave: {
        const QString text = combo->currentText();
        if (text.isEmpty()) {
            TGuiMessages::ShowInputError("Wave Field \"" + row.name + "\" is not filled.");
            return false;
        }
        // A constant goes into the factory file, which must be able to hold the name.
        if (row.target && !CheckStorableName(text, row.name, false))
            return false;
        reading.action = Action::Sound;
        reading.sound = Latin1(text);
        return true;
    }
    case Row::Control::Flag:
        reading.action = Action::Value;
        reading.value = TSntValue(qobject_cast<QCheckBox*>(row.value)->isChecked() ? 1 : 0,
                                  row.current.valueType);
        return true;
    case Row::Control::Items: {
        const auto& items = row.items->items;
        if (index < 0 && !row.items->otherIsLast) {
            // A sample frequency no item shows is never replaced by one the user did not pick.
            TGuiMessages::ShowFieldInputError(row.name, "No sample frequency is selected.");
            return false;
        }
        const size_t item = index < 0 ? items.size() - 1 : size_t(index);
        reading.action = Action::Value;
        reading.value = TSntValue(items[item].value, row.current.valueType);
        return true;
    }
    case Row::Control::Edit: {
        ValueType type = row.current.valueType;
        if (static_cast<size_t>(type) >= std::size(numberParsers))
            type = ValueType::Factor; // shown as a plain number, see ShowRow
        double value = 0;
        MeasureUnitKind unit = EHNone;
        if (!numberParsers[static_cast<size_t>(type)](
                Latin1(qobject_cast<QLineEdit*>(row.value)->text()), row.domain, row.name, value,
                unit))
            return false;
        reading.action = Action::Value;
        reading.value = TSntValue(value, type);
        reading.unit = unit;
        return true;
    }
    }
    return true;
}

void TDlgSntValues::WriteRow(const Row& row, const Reading& reading) const
{
    using Action = Reading::Action;
    switch (reading.action) {
    case Action::Keep:
        return;
    case Action::Clear:
        if (row.target)
            row.target->ClearConstant();
        return;
    case Action::Value:
        if (row.target)
            row.target->SetConstantValue(reading.value, reading.unit);
        else
            row.input->SetGivenValue(reading.value, reading.unit);
        return;
    case Action::Sound:
        if (row.target)
            row.target->SetConstantSound(reading.sound);
        else
            row.input->SetGivenSound(reading.sound);
        return;
    }
}

void TDlgSntValues::accept()
{
    std::vector<Reading> readings(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        if (!ReadRow(rows[i], readings[i]))
            return;
    for (size_t i = 0; i < rows.size(); ++i)
        WriteRow(rows[i], readings[i]);
    TSntDialog::accept();
}

bool EditNodeInputValues(QWidget* owner, TSountoryNode& node, bool types)
{
    TDlgSntValues dialog(owner, types, node);
    if (RunDialog(dialog) != DialogResult::Accepted)
        return false;
    node.GetFactory()->SetModified();
    return true;
}

bool EditFactoryOutputValues(QWidget* owner, TUnitSountory& factory, bool types)
{
    TDlgSntValues dialog(owner, types, factory);
    if (RunDialog(dialog) != DialogResult::Accepted)
        return false;
    factory.SetModified();
    return true;
}

bool TSntValuesDialogAsker::AskTypes(const std::vector<TSountoryInput*>& inputs)
{
    return Ask(inputs, true);
}

bool TSntValuesDialogAsker::AskValues(const std::vector<TSountoryInput*>& inputs)
{
    return Ask(inputs, false);
}

bool TSntValuesDialogAsker::Ask(const std::vector<TSountoryInput*>& inputs, bool types)
{
    if (inputs.empty())
        return true;
    TDlgSntValues dialog(owner, types, inputs, *inputs.front()->GetOwner());
    return RunDialog(dialog) == DialogResult::Accepted;
}

} // namespace kelvorn
