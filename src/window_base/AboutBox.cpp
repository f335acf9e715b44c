#include "window_base/AboutBox.h"

#include "general/Services.h"
#include "general/view/PixelRect.h"
#include "platform/Screen.h"
#include "window_base/DialogFonts.h"
#include "window_base/ProgramIcon.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>
#include <cmath>

namespace kelvorn {

namespace {

const QColor DarkGreen(0, 100, 0);

const char* const Credits[] = {
    "Edits waves, music", "and sound factories.", "Written in C++ with Qt.",
    "Free to use,",       "free to share.",
};

// Draws text with its top-left corner at (x, y), as the form's text output places it.
void TextAt(QPainter& p, int x, int y, const QString& text)
{
    p.drawText(x, y + QFontMetrics(p.font()).ascent(), text);
}

void DrawLogo(QPainter& p, const QRect& area)
{
    QFont font = SerifFont(std::max(12, area.height() * 11 / 20), true);
    font.setItalic(true);
    p.setFont(font);
    const QString name = QStringLiteral("Kelvorn");
    QFontMetrics metrics(font);
    int x = area.left() + (area.width() - metrics.horizontalAdvance(name)) / 2;
    int baseline = area.top() + area.height() * 3 / 5;

    QPainterPath letters;
    letters.addText(x, baseline, font, name);
    QLinearGradient fill(0, baseline - metrics.ascent(), 0, baseline);
    fill.setColorAt(0, QColor(60, 170, 80));
    fill.setColorAt(1, QColor(0, 90, 20));
    p.setPen(QPen(QColor(0, 50, 10), 1));
    p.setBrush(fill);
    p.drawPath(letters);

    // Under the name, a tone that swells and fades inside its envelope.
    QPainterPath wave;
    QPainterPath upper;
    QPainterPath lower;
    const double left = area.left() + area.width() * 0.05;
    const double width = area.width() * 0.9;
    const double middle = baseline + (area.bottom() - baseline) / 2.0 + 1;
    const double amplitude = std::max(2.0, (area.bottom() - baseline) / 2.0 - 1);
    for (int i = 0; i <= 200; ++i) {
        double t = i / 200.0;
        double envelope = amplitude * std::sin(3.14159265 * t);
        double px = left + width * t;
        double py = middle - envelope * std::sin(2 * 3.14159265 * 9 * t);
        if (i == 0) {
            wave.moveTo(px, py);
            upper.moveTo(px, middle - envelope);
            lower.moveTo(px, middle + envelope);
        } else {
            wave.lineTo(px, py);
            upper.lineTo(px, middle - envelope);
            lower.lineTo(px, middle + envelope);
        }
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 100, 0, 110), 1, Qt::DashLine));
    p.drawPath(upper);
    p.drawPath(lower);
    p.setPen(QPen(DarkGreen, 1.5));
    p.drawPath(wave);
}

// One letter below the other, each next one 5.5 units lower.
void DownwardWord(QPainter& p, const QString& word, int x, double top, double uy)
{
    int y = int(top);
    for (QChar letter : word) {
        TextAt(p, x, y, QString(letter));
        y = int(y + 5.5 * uy);
    }
}

} // namespace

TAboutBox::TAboutBox(QWidget* owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("About Kelvorn ") + QStringLiteral(KELVORN_VERSION_TEXT));
    setFont(DialogFont());
    setFixedSize(355, 249);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(grey);
    setAutoFillBackground(true);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(128, 202, 97, 33);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

QSize TAboutBox::OuterSize() const
{
    return isVisible() ? frameGeometry().size() : size();
}

void TAboutBox::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        if (Screen* screen = FindService<Screen>()) {
            PixelRect whole = screen->Geometry();
            move(AboutBoxPlacement(QSize(whole.Width(), whole.Height()), OuterSize(),
                                   screen->AvailableGeometry()));
        }
        OKButton->setFocus();
    }
    QDialog::showEvent(event);
}

void TAboutBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TAboutBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QSize outer = OuterSize();
    const double ux = (outer.width() / 100) * 1.1;
    const double uy = outer.height() / 100;
    auto X = [ux](double x) { return int(x * ux); };
    auto Y = [uy](double y) { return int(y * uy); };

    p.drawPixmap(X(7), Y(13), ProgramIcon(32));
    DrawLogo(p, QRect(QPoint(X(25), Y(10)), QPoint(X(75), Y(45))));

    p.setPen(DarkGreen);
    p.setFont(ArialFont(13, true));
    DownwardWord(p, QStringLiteral("envelope"), X(65), Y(47), uy);
    DownwardWord(p, QStringLiteral("based"), X(71), Y(57), uy);

    p.setPen(Qt::black);
    p.setFont(TerminalFont(15));
    TextAt(p, X(73), Y(47), QStringLiteral("version ") + QStringLiteral(KELVORN_VERSION_TEXT));

    p.setFont(ArialFont(12));
    const int lines = int(std::size(Credits));
    for (int i = 0; i < lines; ++i)
        TextAt(p, X(10), Y(61 + (85 - 61) * i / (lines - 1)), QString::fromLatin1(Credits[i]));
}

QPoint AboutBoxPlacement(QSize screen, QSize outer, const PixelRect& available)
{
    int top = screen.width() / 2 - outer.height() / 2;
    int left = int(screen.height() / 2 - 0.5555555555555556 * outer.width());
    // The formula can put the box beyond a wide screen's bottom: keep it on the screen.
    left = std::max(available.left, std::min(left, available.right - outer.width()));
    top = std::max(available.top, std::min(top, available.bottom - outer.height()));
    return {left, top};
}

} // namespace kelvorn
