#include "platform/qt/QtScreen.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>

namespace kelvorn {

namespace {

PixelRect ToPixelRect(const QRect& rect)
{
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

} // namespace

PixelRect QtScreen::Geometry() const
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? ToPixelRect(screen->geometry()) : PixelRect{};
}

PixelRect QtScreen::AvailableGeometry() const
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? ToPixelRect(screen->availableGeometry()) : PixelRect{};
}

} // namespace kelvorn
