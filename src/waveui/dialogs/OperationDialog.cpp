#include "waveui/dialogs/OperationDialog.h"

#include "general/Services.h"
#include "general/values/ValueUnits.h"
#include "waveui/WaveCombo.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>
#include <sstream>
#include <utility>

namespace kelvorn {

namespace {

std::vector<std::string> SplitNames(const std::string& names)
{
    std::vector<std::string> out;
    std::istringstream in(names);
    for (std::string name; in >> name;)
        out.push_back(name);
    return out;
}

QString Latin1(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Latin1(const QString& text)
{
    return text.toLatin1().toStdString();
}

// Form geometry: one line per row, captions in the left column, fields in the right one.
constexpr int LineStep = 24;
constexpr int LeftColumnWidth = 130;
constexpr int RightColumnGap = 4;
constexpr int GroupHeight = 42;
constexpr int TabBarAllowance = 28;
// Room beside the tabs of a page control, so that its bar needs no scroll buttons.
constexpr int TabBarSlack = 8;

} // namespace

// ---- Rows -----------------------------------------------------------------------------------

FieldRow FieldRow::When(std::string names) &&
{
    when = std::move(names);
    return std::move(*this);
}

FieldRow FieldRow::Always() &&
{
    when.clear();
    return std::move(*this);
}

FieldRow FieldRow::If(std::function<bool()> test) &&
{
    condition = std::move(test);
    return std::move(*this);
}

namespace {

using Field = decltype(FieldRow::field);

FieldRow Row(FieldRow::Kind kind, std::string name, std::string text, Field field = {})
{
    FieldRow row;
    row.kind = kind;
    row.name = std::move(name);
    row.text = std::move(text);
    row.field = field;
    return row;
}

/// An input whose edit turns on ticks and which is read while they are on.
FieldRow Input(FieldRow::Kind kind, std::string name, Field field, std::string label,
               std::string ticks, std::string text)
{
    FieldRow row = Row(kind, std::move(name), std::move(text), field);
    row.label = std::move(label);
    row.when = ticks;
    row.ticks = std::move(ticks);
    return row;
}

} // namespace

FieldRow EditRow(std::string name, unit& field, std::string label, std::string ticks,
                 std::string text)
{
    return Input(FieldRow::Kind::Edit, std::move(name), &field, std::move(label), std::move(ticks),
                 std::move(text));
}

FieldRow WaveRow(std::string name, unitUnitWave& field, std::string label, WaveListMode mode,
                 std::string ticks, std::string text)
{
    FieldRow row = Input(FieldRow::Kind::Wave, std::move(name), &field, std::move(label),
                         std::move(ticks), std::move(text));
    row.value = mode;
    return row;
}

FieldRow OptionRow(std::string name, std::string text, uint8_t& choice, uint8_t value)
{
    FieldRow row = Row(FieldRow::Kind::Option, std::move(name), std::move(text), &choice);
    row.value = value;
    return row;
}

FieldRow CheckRow(std::string name, std::string text, uint8_t& flag)
{
    return Row(FieldRow::Kind::Check, std::move(name), std::move(text), &flag);
}

FieldRow GroupRow(std::string name, std::string caption, uint8_t& index,
                  std::vector<std::string> items)
{
    FieldRow row = Row(FieldRow::Kind::Group, std::move(name), std::move(caption), &index);
    row.items = std::move(items);
    return row;
}

FieldRow ItemsRow(std::string name, std::string text, int32_t& index,
                  std::vector<std::string> items)
{
    FieldRow row = Row(FieldRow::Kind::Items, std::move(name), std::move(text), &index);
    row.items = std::move(items);
    return row;
}

FieldRow TextRow(std::string text)
{
    return Row(FieldRow::Kind::Text, {}, std::move(text));
}

FieldRow PagesRow(std::string name, int32_t& index)
{
    return Row(FieldRow::Kind::Pages, std::move(name), {}, &index);
}

FieldRow PageRow(std::string title)
{
    return Row(FieldRow::Kind::Page, {}, std::move(title));
}

FieldRow EndPagesRow()
{
    return Row(FieldRow::Kind::EndPages, {}, {});
}

FieldRow HookRow(std::string name, std::function<void()> show, std::function<void(bool&)> read)
{
    FieldRow row = Row(FieldRow::Kind::Hook, std::move(name), {});
    row.show = std::move(show);
    row.read = std::move(read);
    return row;
}

std::vector<FieldRow> JoinRows(std::vector<FieldRow> a, std::vector<FieldRow> b)
{
    for (FieldRow& row : b)
        a.push_back(std::move(row));
    return a;
}

// ---- The dialog -----------------------------------------------------------------------------

TOperationDialog::TOperationDialog(QWidget* owner, ButtonSide side, const std::string& caption,
                                   int helpContext)
    : TOKDlg(owner, side == ButtonSide::Right ? QSize(384, 179) : QSize(313, 214)), side(side)
{
    setWindowTitle(Latin1(caption));
    SetHelpContext(helpContext);
}

QWidget* TOperationDialog::Control(const std::string& name) const
{
    auto found = controls.find(name);
    return found == controls.end() ? nullptr : found->second;
}

QLineEdit* TOperationDialog::Edit(const std::string& name) const
{
    return qobject_cast<QLineEdit*>(Control(name));
}

QAbstractButton* TOperationDialog::Button(const std::string& name) const
{
    return qobject_cast<QAbstractButton*>(Control(name));
}

QComboBox* TOperationDialog::Combo(const std::string& name) const
{
    return qobject_cast<QComboBox*>(Control(name));
}

int TOperationDialog::ExtraWidth() const
{
    // Built and measured as the form will build them, with the dialog's font.
    const int formWidth = (side == ButtonSide::Right ? 281 : 297) - 16;
    // A page is narrower than the form by the page control's frame and its own margins.
    const int pageWidth = formWidth - 20;
    bool onPage = false;
    int extra = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].kind == FieldRow::Kind::Page || rows[i].kind == FieldRow::Kind::EndPages) {
            onPage = rows[i].kind == FieldRow::Kind::Page;
        } else if (rows[i].kind == FieldRow::Kind::Items) {
            QComboBox combo(const_cast<TOperationDialog*>(this));
            for (const std::string& item : rows[i].items)
                combo.addItem(Latin1(item));
            const int fieldWidth =
                (onPage ? pageWidth : formWidth) - LeftColumnWidth - RightColumnGap;
            extra = std::max(extra, combo.sizeHint().width() - fieldWidth);
        } else if (rows[i].kind == FieldRow::Kind::Pages) {
            QTabWidget pages(const_cast<TOperationDialog*>(this));
            for (size_t j = i + 1; j < rows.size() && rows[j].kind != FieldRow::Kind::EndPages; ++j)
                if (rows[j].kind == FieldRow::Kind::Page)
                    pages.addTab(new QWidget, Latin1(rows[j].text));
            extra = std::max(extra, pages.tabBar()->sizeHint().width() + TabBarSlack - formWidth);
        }
    }
    return extra;
}

void TOperationDialog::Build(std::vector<FieldRow> table, std::vector<std::string> order)
{
    rows = std::move(table);
    const bool right = side == ButtonSide::Right;
    // The form grows to the right, as far as its widest list or row of tabs needs.
    const int extra = ExtraWidth();
    const int contentRight = (right ? 281 : 297) + extra;

    // Where the next line goes: on the dialog, or on the current page of the page control.
    struct Area
    {
        QWidget* parent;
        int left;
        int right;
        int y;
    };
    Area dialogArea{this, 16, contentRight, 16};
    Area pageArea{nullptr, 8, 0, 8};
    Area* area = &dialogArea;
    QTabWidget* pages = nullptr;
    int pagesTop = 0;
    int pagesBottom = 0;
    std::string lastButton;
    int lastButtonY = 0;

    auto put = [&](QWidget* control, int left, int top, int width, int height) {
        if (area->parent == this)
            Place(control, left, top, width, height);
        else
            control->setGeometry(left, top, width, height);
    };
    auto rightColumn = [&] { return area->left + LeftColumnWidth + RightColumnGap; };

    for (const FieldRow& row : rows) {
        if (row.kind == FieldRow::Kind::Hook)
            continue;
        // A field goes beside the button just before it, when it is that button's field.
        const std::string buttonBefore = std::exchange(lastButton, std::string());
        MakeControl(row, area->parent);
        QWidget* control = Control(row.name);
        switch (row.kind) {
        case FieldRow::Kind::Option:
        case FieldRow::Kind::Check:
            put(control, area->left, area->y + 2, LeftColumnWidth, 17);
            lastButton = row.name;
            lastButtonY = area->y;
            area->y += LineStep;
            break;
        case FieldRow::Kind::Edit:
        case FieldRow::Kind::Wave:
        case FieldRow::Kind::Items: {
            const std::vector<std::string> ticks = SplitNames(row.ticks);
            const int x = rightColumn();
            const int width = area->right - x;
            if (!ticks.empty() && ticks.back() == buttonBefore && row.text.empty()) {
                put(control, x, lastButtonY, width, 21);
                break;
            }
            auto* caption =
                new QLabel(Latin1(row.text.empty() ? row.label : row.text), area->parent);
            put(caption, area->left, area->y + 3, LeftColumnWidth, 15);
            put(control, x, area->y, width, 21);
            area->y += LineStep;
            break;
        }
        case FieldRow::Kind::Group:
            put(control, area->left, area->y, area->right - area->left, GroupHeight);
            area->y += GroupHeight + 6;
            break;
        case FieldRow::Kind::Text: {
            auto* caption = new QLabel(Latin1(row.text), area->parent);
            put(caption, area->left, area->y + 3, area->right - area->left, 15);
            area->y += LineStep;
            break;
        }
        case FieldRow::Kind::Pages:
            pages = qobject_cast<QTabWidget*>(control);
            pagesTop = dialogArea.y;
            pagesBottom = 0;
            pageArea.right = dialogArea.right - dialogArea.left - 12;
            break;
        case FieldRow::Kind::Page: {
            auto* page = new QWidget(pages);
            pages->addTab(page, Latin1(row.text));
            pagesBottom = std::max(pagesBottom, pageArea.y);
            pageArea.parent = page;
            pageArea.y = 8;
            area = &pageArea;
            break;
        }
        case FieldRow::Kind::EndPages:
            pagesBottom = std::max(pagesBottom, pageArea.y);
            Place(pages, dialogArea.left, pagesTop, dialogArea.right - dialogArea.left,
                  pagesBottom + TabBarAllowance);
            dialogArea.y = pagesTop + pagesBottom + TabBarAllowance + 8;
            area = &dialogArea;
            break;
        case FieldRow::Kind::Hook:
            break;
        }
    }
    for (const FieldRow& row : rows)
        ConnectTicks(row);

    readOrder.clear();
    if (order.empty()) {
        for (const FieldRow& row : rows)
            readOrder.push_back(&row);
    } else {
        for (const std::string& name : order)
            for (const FieldRow& row : rows)
                if (row.name == name)
                    readOrder.push_back(&row);
    }

    // The frame grows with the form; the buttons keep their place at its side.
    const int contentBottom = dialogArea.y;
    if (right) {
        const int height = std::max(179, contentBottom + 18);
        SetClientSize(384 + extra, height);
        Place(Bevel1, 8, 8, 281 + extra, height - 18);
        Place(OKBtn, 300 + extra, 8, 75, 25);
        Place(CancelBtn, 300 + extra, 38, 75, 25);
        AddHelpButton(300 + extra, 68);
    } else {
        const int height = std::max(214, contentBottom + 61);
        SetClientSize(313 + extra, height);
        Place(Bevel1, 8, 8, 297 + extra, height - 53);
        Place(OKBtn, 70 + extra, height - 34, 75, 25);
        Place(CancelBtn, 150 + extra, height - 34, 75, 25);
        AddHelpButton(230 + extra, height - 34);
    }
    Bevel1->lower();
}

void TOperationDialog::MakeControl(const FieldRow& row, QWidget* parent)
{
    QWidget* control = nullptr;
    switch (row.kind) {
    case FieldRow::Kind::Edit:
        control = new QLineEdit(parent);
        break;
    case FieldRow::Kind::Wave:
        control = new QComboBox(parent);
        break;
    case FieldRow::Kind::Items: {
        auto* combo = new QComboBox(parent);
        for (const std::string& item : row.items)
            combo->addItem(Latin1(item));
        control = combo;
        break;
    }
    case FieldRow::Kind::Option: {
        auto* option = new QRadioButton(Latin1(row.text), parent);
        uint8_t* choice = std::get<uint8_t*>(row.field);
        QButtonGroup*& group = choiceGroups[choice];
        if (!group)
            group = new QButtonGroup(this);
        group->addButton(option);
        control = option;
        break;
    }
    case FieldRow::Kind::Check:
        control = new QCheckBox(Latin1(row.text), parent);
        break;
    case FieldRow::Kind::Group: {
        auto* box = new QGroupBox(Latin1(row.text), parent);
        const int count = static_cast<int>(row.items.size());
        const int width = count > 0 ? 240 / count : 0;
        for (int i = 0; i < count; ++i) {
            auto* item = new QRadioButton(Latin1(row.items[static_cast<size_t>(i)]), box);
            // A pixel apart, so that one item does not read as the next one's.
            item->setGeometry(8 + i * width, 18, width - 1, 17);
        }
        control = box;
        break;
    }
    case FieldRow::Kind::Pages:
        control = new QTabWidget(parent);
        break;
    case FieldRow::Kind::Text:
    case FieldRow::Kind::Page:
    case FieldRow::Kind::EndPages:
    case FieldRow::Kind::Hook:
        return;
    }
    control->setObjectName(Latin1(row.name));
    controls[row.name] = control;
}

void TOperationDialog::ConnectTicks(const FieldRow& row)
{
    if (row.ticks.empty())
        return;
    std::vector<QAbstractButton*> buttons;
    for (const std::string& name : SplitNames(row.ticks))
        if (QAbstractButton* button = Button(name))
            buttons.push_back(button);
    auto tick = [this, buttons] {
        if (filling)
            return;
        for (QAbstractButton* button : buttons)
            button->setChecked(true);
    };
    if (QLineEdit* edit = Edit(row.name))
        connect(edit, &QLineEdit::textChanged, this, tick);
    else if (QComboBox* combo = Combo(row.name))
        connect(combo, &QComboBox::currentIndexChanged, this, tick);
}

void TOperationDialog::SetEditText(QLineEdit* edit, const std::string& text)
{
    // Blocked rather than counted: an unchanged text sends no change at all.
    const QSignalBlocker blocker(edit);
    edit->setText(Latin1(text));
}

void TOperationDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        filling = true;
        for (const FieldRow& row : rows)
            ShowRow(row);
        filling = false;
        inputValid = true;
    }
    TOKDlg::showEvent(event);
}

void TOperationDialog::ShowRow(const FieldRow& row)
{
    QWidget* control = Control(row.name);
    switch (row.kind) {
    case FieldRow::Kind::Edit:
        Edit(row.name)->setText(Latin1(std::get<unit*>(row.field)->ToText()));
        break;
    case FieldRow::Kind::Wave: {
        std::vector<WaveChoice> list;
        if (WaveListSource* source = FindService<WaveListSource>())
            source->FillWaveList(list, row.value);
        FillWaveComboItems(*Combo(row.name), list, -1);
        FillWaveCombo(*std::get<unitUnitWave*>(row.field), *Combo(row.name));
        break;
    }
    case FieldRow::Kind::Option:
        if (*std::get<uint8_t*>(row.field) == row.value)
            Button(row.name)->setChecked(true);
        break;
    case FieldRow::Kind::Check:
        Button(row.name)->setChecked(*std::get<uint8_t*>(row.field) != 0);
        break;
    case FieldRow::Kind::Group: {
        const auto items = control->findChildren<QRadioButton*>();
        const uint8_t index = *std::get<uint8_t*>(row.field);
        if (index < items.size())
            items[index]->setChecked(true);
        break;
    }
    case FieldRow::Kind::Items:
        Combo(row.name)->setCurrentIndex(*std::get<int32_t*>(row.field));
        break;
    case FieldRow::Kind::Pages:
        qobject_cast<QTabWidget*>(control)->setCurrentIndex(*std::get<int32_t*>(row.field));
        break;
    case FieldRow::Kind::Hook:
        if (row.show)
            row.show();
        break;
    case FieldRow::Kind::Text:
    case FieldRow::Kind::Page:
    case FieldRow::Kind::EndPages:
        break;
    }
}

bool TOperationDialog::ReadAllowed(const FieldRow& row) const
{
    for (const std::string& name : SplitNames(row.when)) {
        QAbstractButton* button = Button(name);
        if (!button || !button->isChecked())
            return false;
    }
    return !row.condition || row.condition();
}

void TOperationDialog::ReadRow(const FieldRow& row, bool& ok)
{
    QWidget* control = Control(row.name);
    switch (row.kind) {
    case FieldRow::Kind::Edit:
        std::get<unit*>(row.field)->SetTextMsg(ok, Latin1(Edit(row.name)->text()), row.label);
        break;
    case FieldRow::Kind::Wave:
        ReadWaveCombo(*std::get<unitUnitWave*>(row.field), ok, *Combo(row.name), row.label);
        break;
    case FieldRow::Kind::Option:
        if (Button(row.name)->isChecked())
            *std::get<uint8_t*>(row.field) = row.value;
        break;
    case FieldRow::Kind::Check:
        *std::get<uint8_t*>(row.field) = Button(row.name)->isChecked() ? 1 : 0;
        break;
    case FieldRow::Kind::Group: {
        const auto items = control->findChildren<QRadioButton*>();
        for (qsizetype i = 0; i < items.size(); ++i)
            if (items[i]->isChecked())
                *std::get<uint8_t*>(row.field) = static_cast<uint8_t>(i);
        break;
    }
    case FieldRow::Kind::Items:
        *std::get<int32_t*>(row.field) = Combo(row.name)->currentIndex();
        break;
    case FieldRow::Kind::Pages:
        *std::get<int32_t*>(row.field) = qobject_cast<QTabWidget*>(control)->currentIndex();
        break;
    case FieldRow::Kind::Hook:
        if (row.read)
            row.read(ok);
        break;
    case FieldRow::Kind::Text:
    case FieldRow::Kind::Page:
    case FieldRow::Kind::EndPages:
        break;
    }
}

void TOperationDialog::accept()
{
    for (const FieldRow* row : readOrder) {
        if (!inputValid)
            break;
        if (ReadAllowed(*row))
            ReadRow(*row, inputValid);
    }
    if (!inputValid) {
        // Refused once: the dialog stays open with the user's text and the next OK starts
        // valid again.
        inputValid = true;
        return;
    }
    TOKDlg::accept();
}

} // namespace kelvorn
