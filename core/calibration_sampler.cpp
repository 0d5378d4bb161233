#include "core/calibration_sampler.h"

#include "core/failure.h"
#include "core/number_parse.h"
#include "core/thermistor.h"

#include <cmath>

namespace thermo {

double parseReferenceCelsius(const std::string& text, const NumberLocale& locale) {
    const double celsius =
        parseNumber(text, NumberSubject{"La température de référence", true}, locale);
    if (!(celsius > -kelvinOffset)) {
        throw Failure(FailureKind::InvalidArgument,
                      "La température de référence doit dépasser \u2212273 \u00B0C");
    }
    return celsius;
}

void CalibrationSampler::add(const Reading& reading) {
    recent_.push_back(reading);
    while (recent_.front().time < reading.time - span) {
        recent_.pop_front();
    }
}

double CalibrationSampler::meanOhms(Reading::Clock::time_point now, const std::string& r,
                                    const NumberLocale& locale) const {
    const double seriesOhms = parseParameter(r, 'R', locale);
    const auto inSpan = [&](const Reading& reading) {
        return reading.time > now - span && reading.time <= now;
    };
    const Reading* latest = nullptr;
    for (const Reading& reading : recent_) {
        if (inSpan(reading)) {
            latest = &reading;
        }
    }
    if (latest == nullptr) {
        throw Failure(FailureKind::InvalidArgument,
                      "Aucune mesure depuis une seconde : vérifiez l'interface");
    }
    if (latest->failure) {
        throw Failure(FailureKind::InvalidArgument,
                      "Relevé impossible : " + latest->failure->message);
    }
    if (latest->lowSupply || !latest->uth || !latest->ut) {
        throw Failure(FailureKind::InvalidArgument,
                      "Relevé impossible : augmentez la tension d'alimentation");
    }
    double sum = 0.0;
    int count = 0;
    for (const Reading& reading : recent_) {
        if (!inSpan(reading) || reading.failure || reading.lowSupply || !reading.uth ||
            !reading.ut) {
            continue;
        }
        const double rth = dividerRatio(*reading.uth, *reading.ut) * seriesOhms;
        if (!(rth > 0.0) || !std::isfinite(rth)) {
            throw Failure(FailureKind::InvalidArgument,
                          "Rth négative ou nulle : vérifiez le montage et R");
        }
        sum += rth;
        ++count;
    }
    return sum / count;
}

} // namespace thermo
