#include "ui/layout/twips.h"

#include <cmath>

namespace thermo {

namespace {
constexpr double twipsPerPixel = 15.0;
}

int toPixels(int twips, double zoom) {
    return static_cast<int>(std::lround(twips * zoom / twipsPerPixel));
}

// Position and size are rounded each on its own, so that a control has the same size
// wherever the table puts it.
QRect toPixels(const TwipsRect& rect, double zoom) {
    return {toPixels(rect.left, zoom), toPixels(rect.top, zoom), toPixels(rect.width, zoom),
            toPixels(rect.height, zoom)};
}

QSize toPixels(int widthTwips, int heightTwips, double zoom) {
    return {toPixels(widthTwips, zoom), toPixels(heightTwips, zoom)};
}

} // namespace thermo
