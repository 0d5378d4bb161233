#include "core/thermistor.h"

#include "core/failure.h"
#include "core/number_parse.h"

#include <cmath>

namespace thermo {

namespace {

double finite(double x) {
    if (!std::isfinite(x)) {
        throw Failure(FailureKind::Overflow, "Dépassement de capacité dans le calcul");
    }
    return x;
}

// A parameter is read where the formula uses it; a bad text is reported under its name.
double parameter(const std::string& text, char name, const NumberLocale& locale) {
    return parseNumber(text, NumberSubject{std::string("Le paramètre ") + name}, locale);
}

} // namespace

bool supplyHighEnough(double ut) {
    return ut > supplyThreshold;
}

double thermistorTemperature(double uth, double ut, const std::string& r, const std::string& a,
                             const std::string& b, const NumberLocale& locale) {
    // The same current flows through R and the thermistor: Rth / R = Uth / (Ut - Uth).
    const double acrossR = finite(ut - uth);
    if (acrossR == 0.0) {
        throw Failure(FailureKind::DivisionByZero,
                      "Uth = Ut : thermistance coupée ou fil débranché");
    }
    const double q = finite(uth / acrossR);
    const double rth = finite(q * parameter(r, 'R', locale));
    const double nominal = parameter(a, 'A', locale);
    if (nominal == 0.0) {
        throw Failure(FailureKind::DivisionByZero, "Le paramètre A est nul : division par zéro");
    }
    const double ratio = finite(rth / nominal);
    if (!(ratio > 0.0)) {
        if (uth == 0.0) {
            throw Failure(FailureKind::InvalidArgument,
                          "Uth = 0 V : thermistance en court-circuit");
        }
        if (q < 0.0) {
            throw Failure(FailureKind::InvalidArgument,
                          "Tensions incohérentes : vérifiez le montage");
        }
        throw Failure(FailureKind::InvalidArgument, "Rth/A négatif ou nul : vérifiez R et A");
    }
    // B-parameter law 1/T = 1/298 + ln(Rth/A)/B, solved for T, in this order of operations.
    const double l = std::log(ratio);
    const double l298 = finite(l * referenceKelvin);
    const double numerator = finite(referenceKelvin * parameter(b, 'B', locale));
    const double denominator = finite(l298 + parameter(b, 'B', locale));
    if (denominator == 0.0) {
        throw Failure(FailureKind::DivisionByZero, "Division par zéro : vérifiez le paramètre B");
    }
    return finite(finite(numerator / denominator) - kelvinOffset);
}

} // namespace thermo
