#pragma once
// "Color Palette": edits a copy of a one-dimensional colour palette stop by stop. The fields
// show the current stop; the buttons step through the stops, add a stop where it leaves the
// strip unchanged, delete an inner stop, take a colour from a neighbour, and open or save a
// ".cp1" file. The head and the end stop keep their positions and have no colour-after.
//
// The volume-view properties dialog opens it on a copy of its palette and takes
// GetColorPalette() back after OK.

#include "general/palette/ColorPalette1D.h"
#include "window_base/OKDialogs.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace kelvorn {

class TColorCombo;

/// The paint area that shows the whole palette as a strip of colours.
class TPaletteStrip : public QWidget
{
    Q_OBJECT

public:
    TPaletteStrip(QWidget* parent, const TColorPalette1DItem* const& palette);

    /// Paints head's palette into rect (right and bottom exclusive): a frame in the colour at
    /// 0, then one column per pixel inside it in the colour at its share of the inner width.
    static void PaintStrip(QPainter& painter, const QRect& rect, const TColorPalette1DItem& head);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const TColorPalette1DItem* const& palette;
};

class TDlgColorPalette1D : public TOKHelpBottomDlg
{
    Q_OBJECT

public:
    static constexpr int HelpContextColorPalette = 55;

    inline static const char* const OpenTitle = "Open Color Palette 1D";
    inline static const char* const SaveTitle = "Save Color Palette 1D";
    inline static const char* const FileFilter =
        "Color Palette 1D (*.cp1)|*.cp1|XML Files (*.xml)|*.xml|All files (*.*)|*.*";
    inline static const char* const DuplicateText = "This Position already exists in the pallette.";

    TDlgColorPalette1D(QWidget* owner, const TColorPalette1DItem& palette);
    ~TDlgColorPalette1D() override;

    /// A copy of the edited palette; the caller takes it after OK.
    TColorPalette1DItem GetColorPalette() const { return TColorPalette1DItem(*palette); }
    /// The stop the fields show.
    const TColorPalette1DItem* CurrentStop() const { return current; }
    /// How often the strip was asked to repaint.
    int RedrawCount() const { return redraws; }

    QLabel* lblPosition;
    QLineEdit* editPosition;
    QLabel* lblColor;
    TColorCombo* cboColorBefore;
    QCheckBox* chkColorAfter;
    TColorCombo* cboColorAfter;
    QToolButton* btnPalItemFirst;
    QToolButton* btnPalItemPrevious;
    QToolButton* btnPalItemNext;
    QToolButton* btnPalItemLast;
    QPushButton* btnPalItemDelete;
    QPushButton* btnPalItemAdd;
    QPushButton* btnColorPrevious;
    QPushButton* btnColorNext;
    QToolButton* btnOpen;
    QToolButton* btnSave;
    TPaletteStrip* pboColor;
    QWidget* pboLineal;

public slots:
    void btnPalItemFirstClick();
    void btnPalItemPreviousClick();
    void btnPalItemNextClick();
    void btnPalItemLastClick();
    void btnPalItemAddClick();
    void btnPalItemDeleteClick();
    /// Takes a typed position when the field is left after an edit; false when it was refused
    /// (the box shown, the old position back in the field).
    bool editPositionExit();
    void btnColorPreviousClick();
    void btnColorNextClick();
    void btnOpenClick();
    void btnSaveClick();
    /// OK takes a position still being typed first; a refused one keeps the dialog open.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cboColorBeforeChange(int32_t color);
    void cboColorAfterChange(int32_t color);
    void chkColorAfterClick(bool checked);
    void editPositionChange();

    void Update();
    void UpdateButtons();
    void UpdateFields();
    void Redraw();
    /// Selects a stop and shows it.
    void GoTo(TColorPalette1DItem* stop);

    std::unique_ptr<TColorPalette1DItem> palette;
    const TColorPalette1DItem* paletteView = nullptr;
    TColorPalette1DItem* current = nullptr;
    int updating = 0;
    bool positionChanged = false;
    int redraws = 0;
};

} // namespace kelvorn
