#include "ui/layout/screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace thermo {

namespace {
constexpr double twipsPerPixel = 15.0;
} // namespace

QRect availableArea(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen ? screen->availableGeometry() : QRect();
}

QRect onScreen(QRect frame, const QWidget& window) {
    const QRect area = availableArea(window);
    if (area.isEmpty()) {
        return frame;
    }
    frame.moveRight(std::min(frame.right(), area.right()));
    frame.moveBottom(std::min(frame.bottom(), area.bottom()));
    frame.moveLeft(std::max(frame.left(), area.left()));
    frame.moveTop(std::max(frame.top(), area.top()));
    return frame;
}

void keepOnScreen(QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect moved = onScreen(frame, window);
    if (moved != frame) {
        window.move(window.pos() + (moved.topLeft() - frame.topLeft()));
    }
}

double largestFittingScale(QSize clientTwips, QSize frame, QSize area) {
    const double across = (area.width() - frame.width()) * twipsPerPixel / clientTwips.width();
    const double down = (area.height() - frame.height()) * twipsPerPixel / clientTwips.height();
    // Rounded down to whole percents: the window's size in pixels, rounded to the nearest
    // pixel, then stays within the area.
    return std::max(0.0, std::floor(std::min(across, down) * 100.0 + 1e-9) / 100.0);
}

} // namespace thermo
