#include "waveui/dialogs/PaletteDialog.h"

#include "general/Assert.h"
#include "general/GuiMessages.h"
#include "general/Services.h"
#include "general/numeric/NumericHelpers.h"
#include "platform/FileDialogs.h"
#include "window_base/ColorCombo.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>

namespace kelvorn {

// ---- the strip ----------------------------------------------------------------------------

TPaletteStrip::TPaletteStrip(QWidget* parent, const TColorPalette1DItem* const& palette)
    : QWidget(parent), palette(palette)
{
    setObjectName(QStringLiteral("pboColor"));
}

void TPaletteStrip::PaintStrip(QPainter& painter, const QRect& rect,
                               const TColorPalette1DItem& head)
{
    // rect is read as left, top, right, bottom with the right and bottom edges outside it.
    const int left = rect.left();
    const int top = rect.top();
    const int right = rect.left() + rect.width();
    const int bottom = rect.top() + rect.height();
    if (right <= left || bottom <= top)
        return;
    painter.setPen(TColorCombo::ToQColor(head.GetColor(0.0)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(left, top, right - left - 1, bottom - top - 1);
    const int height = bottom - 1 - (top + 1);
    if (height <= 0)
        return;
    for (int x = left + 1; x <= right - 2; ++x) {
        const double at = LinearMap(x, left + 1, right - 1, 0.0, 1.0);
        painter.fillRect(x, top + 1, 1, height, TColorCombo::ToQColor(head.GetColor(at)));
    }
}

void TPaletteStrip::paintEvent(QPaintEvent*)
{
    if (!palette)
        return;
    QPainter painter(this);
    PaintStrip(painter, rect(), *palette);
}

// ---- the dialog ---------------------------------------------------------------------------

namespace {

QToolButton* MakeToolButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                            const char* tip)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(QLatin1String(tip));
    return button;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption)
{
    auto* button = new QPushButton(QLatin1String(caption), parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

/// Raises the update counter for one scope, so the controls' change events stay quiet while
/// the dialog fills them itself.
class Updating
{
public:
    explicit Updating(int& counter) : counter(counter) { ++counter; }
    ~Updating() { --counter; }
    Updating(const Updating&) = delete;
    Updating& operator=(const Updating&) = delete;

private:
    int& counter;
};

} // namespace

TDlgColorPalette1D::TDlgColorPalette1D(QWidget* owner, const TColorPalette1DItem& source)
    : TOKHelpBottomDlg(owner), palette(std::make_unique<TColorPalette1DItem>(source))
{
    current = palette.get();
    paletteView = palette.get();
    setObjectName(QStringLiteral("DlgColorPalette1D"));
    setWindowTitle(QStringLiteral("Color Palette"));
    SetHelpContext(HelpContextColorPalette);
    SetClientSize(313, 254);
    Place(Bevel1, 8, 8, 297, 201);
    Place(OKBtn, 70, 220, 75, 25);
    Place(CancelBtn, 150, 220, 75, 25);
    Place(HelpBtn, 230, 220, 75, 25);

    pboColor = new TPaletteStrip(this, paletteView);
    pboLineal = new QWidget(pboColor);
    pboLineal->setObjectName(QStringLiteral("pboLineal"));
    pboLineal->setAttribute(Qt::WA_TransparentForMouseEvents);
    Place(pboColor, 16, 16, 281, 28);

    btnPalItemFirst =
        MakeToolButton(this, "btnPalItemFirst", QStyle::SP_MediaSkipBackward, "First");
    btnPalItemPrevious =
        MakeToolButton(this, "btnPalItemPrevious", QStyle::SP_MediaSeekBackward, "Previous");
    btnPalItemNext = MakeToolButton(this, "btnPalItemNext", QStyle::SP_MediaSeekForward, "Next");
    btnPalItemLast = MakeToolButton(this, "btnPalItemLast", QStyle::SP_MediaSkipForward, "Last");
    btnPalItemDelete = MakeButton(this, "btnPalItemDelete", "Delete");
    btnPalItemAdd = MakeButton(this, "btnPalItemAdd", "Add");
    Place(btnPalItemFirst, 16, 52, 25, 25);
    Place(btnPalItemPrevious, 44, 52, 25, 25);
    Place(btnPalItemNext, 72, 52, 25, 25);
    Place(btnPalItemLast, 100, 52, 25, 25);
    Place(btnPalItemDelete, 142, 52, 75, 25);
    Place(btnPalItemAdd, 222, 52, 75, 25);

    lblPosition = new QLabel(QStringLiteral("Position"), this);
    lblPosition->setObjectName(QStringLiteral("lblPosition"));
    editPosition = new QLineEdit(this);
    editPosition->setObjectName(QStringLiteral("editPosition"));
    lblPosition->setBuddy(editPosition);
    // The boxes are wide enough for the longest colour name ("Money Green") beside its swatch.
    Place(lblPosition, 16, 90, 80, 16);
    Place(editPosition, 100, 88, 117, 21);

    lblColor = new QLabel(QStringLiteral("Color (Before)"), this);
    lblColor->setObjectName(QStringLiteral("lblColor"));
    cboColorBefore = new TColorCombo(this);
    cboColorBefore->setObjectName(QStringLiteral("cboColorBefore"));
    lblColor->setBuddy(cboColorBefore);
    btnColorPrevious = MakeButton(this, "btnColorPrevious", "< Previous");
    Place(lblColor, 16, 120, 80, 16);
    Place(cboColorBefore, 100, 118, 117, 22);
    Place(btnColorPrevious, 222, 117, 75, 25);

    chkColorAfter = new QCheckBox(QStringLiteral("Color After"), this);
    chkColorAfter->setObjectName(QStringLiteral("chkColorAfter"));
    cboColorAfter = new TColorCombo(this);
    cboColorAfter->setObjectName(QStringLiteral("cboColorAfter"));
    btnColorNext = MakeButton(this, "btnColorNext", "< Next");
    Place(chkColorAfter, 16, 150, 80, 17);
    Place(cboColorAfter, 100, 148, 117, 22);
    Place(btnColorNext, 222, 147, 75, 25);

    btnOpen = MakeToolButton(this, "btnOpen", QStyle::SP_DialogOpenButton, "Open");
    btnSave = MakeToolButton(this, "btnSave", QStyle::SP_DialogSaveButton, "Save");
    Place(btnOpen, 16, 178, 25, 25);
    Place(btnSave, 44, 178, 25, 25);

    connect(btnPalItemFirst, &QToolButton::clicked, this,
            &TDlgColorPalette1D::btnPalItemFirstClick);
    connect(btnPalItemPrevious, &QToolButton::clicked, this,
            &TDlgColorPalette1D::btnPalItemPreviousClick);
    connect(btnPalItemNext, &QToolButton::clicked, this, &TDlgColorPalette1D::btnPalItemNextClick);
    connect(btnPalItemLast, &QToolButton::clicked, this, &TDlgColorPalette1D::btnPalItemLastClick);
    connect(btnPalItemAdd, &QPushButton::clicked, this, &TDlgColorPalette1D::btnPalItemAddClick);
    connect(btnPalItemDelete, &QPushButton::clicked, this,
            &TDlgColorPalette1D::btnPalItemDeleteClick);
    connect(btnColorPrevious, &QPushButton::clicked, this,
            &TDlgColorPalette1D::btnColorPreviousClick);
    connect(btnColorNext, &QPushButton::clicked, this, &TDlgColorPalette1D::btnColorNextClick);
    connect(btnOpen, &QToolButton::clicked, this, &TDlgColorPalette1D::btnOpenClick);
    connect(btnSave, &QToolButton::clicked, this, &TDlgColorPalette1D::btnSaveClick);
    connect(editPosition, &QLineEdit::textChanged, this, &TDlgColorPalette1D::editPositionChange);
    connect(cboColorBefore, &TColorCombo::ColorPicked, this,
            &TDlgColorPalette1D::cboColorBeforeChange);
    connect(cboColorAfter, &TColorCombo::ColorPicked, this,
            &TDlgColorPalette1D::cboColorAfterChange);
    connect(chkColorAfter, &QCheckBox::clicked, this, &TDlgColorPalette1D::chkColorAfterClick);
    editPosition->installEventFilter(this);
    Update();
}

TDlgColorPalette1D::~TDlgColorPalette1D() = default;

void TDlgColorPalette1D::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        Update();
    TOKHelpBottomDlg::showEvent(event);
}

bool TDlgColorPalette1D::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == editPosition && event->type() == QEvent::FocusOut)
        editPositionExit();
    return TOKHelpBottomDlg::eventFilter(watched, event);
}

void TDlgColorPalette1D::Update()
{
    Updating guard(updating);
    UpdateButtons();
    UpdateFields();
}

void TDlgColorPalette1D::UpdateButtons()
{
    const double p = current->GetDPosition();
    btnPalItemFirst->setEnabled(p > 0);
    btnPalItemPrevious->setEnabled(p > 0);
    btnColorPrevious->setEnabled(p > 0);
    btnPalItemNext->setEnabled(p < 1);
    btnPalItemLast->setEnabled(p < 1);
    btnColorNext->setEnabled(p < 1);
    btnPalItemAdd->setEnabled(true);
    btnPalItemDelete->setEnabled(p > 0 && p < 1);
}

void TDlgColorPalette1D::UpdateFields()
{
    Updating guard(updating);
    const double p = current->GetDPosition();
    const bool inner = p > 0 && p < 1;
    editPosition->setEnabled(inner);
    editPosition->setText(QString::fromStdString(current->GetPosition().ToText()));
    positionChanged = false;
    cboColorBefore->SetColor(current->GetColorBefore());
    chkColorAfter->setChecked(current->GetUseColorAfter());
    chkColorAfter->setEnabled(inner);
    cboColorAfter->SetColor(current->GetLeavingColor());
    cboColorAfter->setEnabled(current->GetUseColorAfter());
}

void TDlgColorPalette1D::Redraw()
{
    ++redraws;
    pboLineal->update();
    pboColor->update();
}

void TDlgColorPalette1D::GoTo(TColorPalette1DItem* stop)
{
    if (stop)
        current = stop;
    Update();
}

void TDlgColorPalette1D::btnPalItemFirstClick()
{
    GoTo(palette.get());
}

void TDlgColorPalette1D::btnPalItemPreviousClick()
{
    GoTo(palette->GetPrevious(current));
}

void TDlgColorPalette1D::btnPalItemNextClick()
{
    GoTo(current->GetNext());
}

void TDlgColorPalette1D::btnPalItemLastClick()
{
    GoTo(palette->GetLast());
}

void TDlgColorPalette1D::btnPalItemAddClick()
{
    Updating guard(updating);
    double a;
    double b;
    if (current->GetNext()) {
        a = current->GetDPosition();
        b = current->GetNext()->GetDPosition();
    } else {
        TColorPalette1DItem* previous = palette->GetPrevious(current);
        if (!KV_SOFT_ASSERT(previous != NULL))
            return;
        a = previous->GetDPosition();
        b = current->GetDPosition();
    }
    const double position = (a + b) / 2;
    // Two stops so close that no number lies between them: a new stop would sit on one of them.
    if (palette->FindPosition(position, nullptr)) {
        TGuiMessages::ShowInputError(DuplicateText);
        return;
    }
    TColorPalette1DItem* added = palette->Insert(position, palette->GetColor(position));
    if (!added)
        return;
    current = added;
    Update();
    Redraw();
}

void TDlgColorPalette1D::btnPalItemDeleteClick()
{
    Updating guard(updating);
    current = palette->DeleteInner(current);
    Update();
    Redraw();
}

void TDlgColorPalette1D::editPositionChange()
{
    if (updating == 0)
        positionChanged = true;
}

bool TDlgColorPalette1D::editPositionExit()
{
    if (!positionChanged || updating != 0)
        return true;
    Updating guard(updating);
    positionChanged = false;
    // The head and the end stop hold the palette's ends; their field is off, but a text set
    // into it from outside must not move them.
    if (!(current->GetDPosition() > 0 && current->GetDPosition() < 1)) {
        UpdateFields();
        return false;
    }
    const unitFactorPosMoreLess1 kept = current->GetPosition();
    TColorPalette1DItem* previous = palette->GetPrevious(current);
    bool ok = true;
    current->GetPosition().SetTextMsg(ok, editPosition->text().toStdString(), "Position");
    if (ok && palette->FindPosition(current->GetDPosition(), current)) {
        TGuiMessages::ShowInputError(DuplicateText);
        current->GetPosition() = kept;
        ok = false;
    }
    if (!ok) {
        editPosition->setText(QString::fromStdString(current->GetPosition().ToText()));
        editPosition->setFocus();
        return false;
    }
    palette->MoveToPlace(current, previous);
    Update();
    Redraw();
    return true;
}

void TDlgColorPalette1D::cboColorBeforeChange(int32_t color)
{
    if (updating != 0)
        return;
    Updating guard(updating);
    current->SetColorBefore(color);
    cboColorAfter->SetColor(current->GetLeavingColor());
    Redraw();
}

void TDlgColorPalette1D::cboColorAfterChange(int32_t color)
{
    if (updating != 0)
        return;
    Updating guard(updating);
    current->SetColorAfter(color);
    Redraw();
}

void TDlgColorPalette1D::chkColorAfterClick(bool checked)
{
    if (updating != 0)
        return;
    Updating guard(updating);
    current->SetUseColorAfter(checked);
    cboColorAfter->setEnabled(checked);
    cboColorAfter->SetColor(current->GetLeavingColor());
    Redraw();
}

void TDlgColorPalette1D::btnColorPreviousClick()
{
    Updating guard(updating);
    if (!KV_SOFT_ASSERT(current->GetDPosition() > 0))
        return;
    TColorPalette1DItem* previous = palette->GetPrevious(current);
    if (!previous)
        return;
    current->SetColorBefore(previous->GetLeavingColor());
    cboColorBefore->SetColor(current->GetColorBefore());
    cboColorAfter->SetColor(current->GetLeavingColor());
    Redraw();
}

void TDlgColorPalette1D::btnColorNextClick()
{
    Updating guard(updating);
    if (!KV_SOFT_ASSERT(current->GetDPosition() < 1))
        return;
    const TColorPalette1DItem* next = current->GetNext();
    if (!next)
        return;
    const int32_t c = next->GetColorBefore();
    if (chkColorAfter->isChecked()) {
        current->SetColorAfter(c);
        cboColorAfter->SetColor(c);
    } else {
        current->SetColorBefore(c);
        cboColorBefore->SetColor(c);
        cboColorAfter->SetColor(c);
    }
    Redraw();
}

void TDlgColorPalette1D::btnOpenClick()
{
    const FileDialogRequest request{OpenTitle, FileFilter, paletteFileExtension, ""};
    const std::vector<std::string> files = GetService<FileDialogs>().OpenFiles(request, false);
    if (files.empty())
        return;
    std::string message;
    if (ReadPaletteFile(*palette, files.front(), message)) {
        // The reader replaced every stop behind the head, the one shown among them.
        current = palette.get();
    } else {
        TGuiMessages::ShowFileError("Cannot read file: \"" + files.front() + "\": " + message);
    }
    Update();
    Redraw();
}

void TDlgColorPalette1D::btnSaveClick()
{
    const FileDialogRequest request{SaveTitle, FileFilter, paletteFileExtension, ""};
    std::string path;
    if (GetService<FileDialogs>().SaveFile(request, path))
        WritePaletteFile(*palette, path);
}

void TDlgColorPalette1D::accept()
{
    if (!editPositionExit())
        return;
    TOKHelpBottomDlg::accept();
}

} // namespace kelvorn
