#include "ui/twips.h"

#include <cmath>

namespace thermo {

namespace {
constexpr double twipsPerPixel = 15.0;
}

int toPixels(int twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

QRect toPixels(const TwipsRect& rect) {
    return {toPixels(rect.left), toPixels(rect.top), toPixels(rect.width), toPixels(rect.height)};
}

QSize toPixels(int widthTwips, int heightTwips) {
    return {toPixels(widthTwips), toPixels(heightTwips)};
}

} // namespace thermo
