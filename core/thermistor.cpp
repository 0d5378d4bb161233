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

[[noreturn]] void nonPositiveRatio() {
    throw Failure(FailureKind::InvalidArgument, "Rth/A négatif ou nul : vérifiez R et A");
}

} // namespace

bool supplyHighEnough(double ut) {
    return ut > supplyThreshold;
}

double parseParameter(const std::string& text, char name, const NumberLocale& locale) {
    return parseNumber(text, NumberSubject{std::string("Le paramètre ") + name}, locale);
}

double dividerRatio(double uth, double ut) {
    const double acrossR = finite(ut - uth);
    if (acrossR == 0.0) {
        throw Failure(FailureKind::DivisionByZero,
                      "Uth = Ut : thermistance coupée ou fil débranché");
    }
    return finite(uth / acrossR);
}

double thermistorTemperature(double uth, double ut, const std::string& r, const std::string& a,
                             const std::string& b, const NumberLocale& locale) {
    // Each parameter is read where the formula first uses it, so the first failing step wins.
    const double q = dividerRatio(uth, ut);
    const double rth = finite(q * parseParameter(r, 'R', locale));
    const double nominal = parseParameter(a, 'A', locale);
    if (nominal == 0.0) {
        throw Failure(FailureKind::DivisionByZero, "Le paramètre A est nul : division par zéro");
    }
    const double ratio = finite(rth / nominal);
    // The converter's noise around 0 V gives a tiny Uth of either sign: a huge temperature or
    // incoherent voltages, where the thermistor is simply shorted.
    const bool shorted = std::abs(uth) <= shortCircuitVolts;
    if (!(ratio > 0.0) || shorted) {
        if (shorted) {
            throw Failure(FailureKind::InvalidArgument,
                          "Uth = 0 V : thermistance en court-circuit");
        }
        if (q < 0.0) {
            throw Failure(FailureKind::InvalidArgument,
                          "Tensions incohérentes : vérifiez le montage");
        }
        nonPositiveRatio();
    }
    return thermistorTemperature(rth, nominal, parseParameter(b, 'B', locale));
}

double thermistorTemperature(double rth, double a, double b) {
    if (a == 0.0) {
        throw Failure(FailureKind::DivisionByZero, "Le paramètre A est nul : division par zéro");
    }
    const double ratio = finite(rth / a);
    if (!(ratio > 0.0)) {
        nonPositiveRatio();
    }
    if (!(b > 0.0)) {
        throw Failure(FailureKind::InvalidArgument, "Le paramètre B doit être positif");
    }
    // B-parameter law 1/T = 1/298 + ln(Rth/A)/B, solved for T, in this order of operations.
    const double l = std::log(ratio);
    const double l298 = finite(l * referenceKelvin);
    const double numerator = finite(referenceKelvin * b);
    const double denominator = finite(l298 + b);
    if (denominator == 0.0) {
        throw Failure(FailureKind::DivisionByZero, "Division par zéro : vérifiez le paramètre B");
    }
    const double kelvin = numerator / denominator;
    if (!std::isfinite(kelvin)) {
        throw Failure(FailureKind::Overflow, "Température infinie : vérifiez R, A et B");
    }
    if (!(kelvin > 0.0)) {
        throw Failure(FailureKind::InvalidArgument,
                      "Température sous le zéro absolu : vérifiez R, A et B");
    }
    return kelvin - kelvinOffset;
}

} // namespace thermo
