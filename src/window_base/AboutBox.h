#pragma once
// The About box: the program's name, version, a painted logo and credits. Enter closes it;
// Escape does not, as its one button is no cancel button (kept on purpose); the close box
// does.

#include <QDialog>
#include <QPoint>
#include <QSize>

class QPushButton;

namespace kelvorn {

struct PixelRect;

class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* owner = nullptr);

    QPushButton* OKButton;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QSize OuterSize() const;
};

/// Where the box of size outer opens on a screen of size screen: its top is half the screen's
/// width less half the box's height, its left half the screen's height less 0.5555555555555556
/// times the box's width (kept: the screen's width sets the top). The corner is then moved
/// into available so that the whole box shows, or to available's top-left when it is larger.
QPoint AboutBoxPlacement(QSize screen, QSize outer, const PixelRect& available);

} // namespace kelvorn
