#include "window_base/ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace kelvorn {

QPixmap ProgramIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;

    QLinearGradient tile(0, 0, 0, s);
    tile.setColorAt(0, QColor(40, 140, 60));
    tile.setColorAt(1, QColor(0, 80, 20));
    p.setPen(QPen(QColor(0, 50, 10), s / 32));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(s * 0.03, s * 0.03, s * 0.94, s * 0.94), s * 0.18, s * 0.18);

    QPainterPath wave;
    QPainterPath envelope;
    const int steps = 4 * size;
    for (int i = 0; i <= steps; ++i) {
        double t = double(i) / steps;
        double x = s * (0.12 + 0.76 * t);
        double height = std::sin(3.14159265 * t) * s * 0.32;
        double y = s / 2 - height * std::sin(2 * 3.14159265 * 4 * t);
        if (i == 0) {
            wave.moveTo(x, y);
            envelope.moveTo(x, s / 2 - height);
        } else {
            wave.lineTo(x, y);
            envelope.lineTo(x, s / 2 - height);
        }
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(190, 255, 190, 150), s / 24, Qt::DashLine));
    p.drawPath(envelope);
    p.setPen(QPen(Qt::white, s / 16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(wave);
    return pixmap;
}

} // namespace kelvorn
