#include "ui/accessibility/contrast.h"

#include <algorithm>
#include <cmath>

namespace thermo {

namespace {

// One sRGB channel, from its gamma-encoded value back to light.
double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour) {
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

} // namespace

double contrastRatio(const QColor& text, const QColor& ground) {
    const double a = luminance(text) + 0.05;
    const double b = luminance(ground) + 0.05;
    return std::max(a, b) / std::min(a, b);
}

double leastContrast(const QFont& font) {
    // A font given in pixels has no point size: 96 pixels to the inch, 72 points.
    const double points =
        font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
    const bool large = points >= 18.0 || (points >= 14.0 && font.bold());
    return large ? 3.0 : 4.5;
}

} // namespace thermo
