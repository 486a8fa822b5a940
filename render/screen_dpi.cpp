#include "render/screen_dpi.h"

#include <QGuiApplication>
#include <QScreen>

namespace paipan {
namespace {

// 15 twips a pixel, 72 points in 96 pixels: the resolution a layout is
// drawn for when no screen tells another.
constexpr double kDpiWithoutScreen = 96.0;

double PrimaryScreenDpi(qreal (QScreen::*logicalDpi)() const) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? (screen->*logicalDpi)() : kDpiWithoutScreen;
}

}  // namespace

double ScreenDpi() { return PrimaryScreenDpi(&QScreen::logicalDotsPerInch); }

double ScreenDpiX() { return PrimaryScreenDpi(&QScreen::logicalDotsPerInchX); }

}  // namespace paipan
