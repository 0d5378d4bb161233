#include "core/calibration.h"

#include "core/failure.h"
#include "core/thermistor.h"

#include <cmath>

namespace thermo {

BParameterFit fitBParameter(std::span<const CalibrationPoint> points) {
    for (const CalibrationPoint& point : points) {
        if (!(point.celsius > -kelvinOffset) || !std::isfinite(point.celsius)) {
            throw Failure(FailureKind::InvalidArgument,
                          "Une température de référence doit dépasser \u2212273 \u00B0C");
        }
        if (!(point.ohms > 0.0) || !std::isfinite(point.ohms)) {
            throw Failure(FailureKind::InvalidArgument,
                          "Une résistance relevée est négative ou nulle");
        }
    }
    // The law is the line ln(Rth) = ln(A) + B x, with x = 1/T - 1/298.
    const auto x = [](const CalibrationPoint& p) {
        return 1.0 / (p.celsius + kelvinOffset) - 1.0 / referenceKelvin;
    };
    const auto y = [](const CalibrationPoint& p) { return std::log(p.ohms); };
    double meanX = 0.0;
    double meanY = 0.0;
    for (const CalibrationPoint& point : points) {
        meanX += x(point);
        meanY += y(point);
    }
    const auto n = static_cast<double>(points.size());
    meanX /= n;
    meanY /= n;
    double sxx = 0.0;
    double sxy = 0.0;
    for (const CalibrationPoint& point : points) {
        sxx += (x(point) - meanX) * (x(point) - meanX);
        sxy += (x(point) - meanX) * (y(point) - meanY);
    }
    if (!(sxx > 0.0)) {
        throw Failure(FailureKind::InvalidArgument,
                      "Il faut des points à deux températures différentes au moins");
    }
    const double b = sxy / sxx;
    if (!(b > 0.0)) {
        throw Failure(FailureKind::InvalidArgument,
                      "La résistance doit baisser quand la température monte : vérifiez les "
                      "points");
    }
    const double a = std::exp(meanY - b * meanX);
    if (!std::isfinite(a) || !std::isfinite(b) || a == 0.0) {
        throw Failure(FailureKind::InvalidArgument, "Ces points ne donnent pas de A et B utiles");
    }
    BParameterFit fit{a, b, {}};
    fit.deviationsCelsius.reserve(points.size());
    for (const CalibrationPoint& point : points) {
        fit.deviationsCelsius.push_back(thermistorTemperature(point.ohms, a, b) - point.celsius);
    }
    return fit;
}

} // namespace thermo
