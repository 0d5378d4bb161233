#include "ui/layout/frame_line.h"

#include "ui/accessibility/accessible_roles.h"
#include "ui/layout/twips.h"

#include <algorithm>

namespace thermo {

namespace {
constexpr int lineTwips = 15; // one pixel at 100 %
} // namespace

FrameLine::FrameLine(const Ends& ends, QWidget* parent) : QFrame(parent), ends_(ends) {
    setFrameShape(QFrame::NoFrame);
    // A line, not a window's frame: a screen reader must not take it for one.
    setAccessibleRole(this, QAccessible::Separator);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::black);
    setPalette(colours);
}

void FrameLine::setZoom(double zoom) {
    const QPoint from(toPixels(std::min(ends_.x1, ends_.x2), zoom),
                      toPixels(std::min(ends_.y1, ends_.y2), zoom));
    const QPoint to(toPixels(std::max(ends_.x1, ends_.x2), zoom),
                    toPixels(std::max(ends_.y1, ends_.y2), zoom));
    const int thickness = std::max(1, toPixels(lineTwips, zoom));
    setGeometry(QRect(from, to + QPoint(thickness - 1, thickness - 1)));
}

} // namespace thermo
