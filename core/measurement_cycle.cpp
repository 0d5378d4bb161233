#include "core/measurement_cycle.h"

#include "core/code_conversion.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "core/thermistor.h"

#include <utility>

namespace thermo {

MeasurementCycle::MeasurementCycle(MainWindowFields& fields, ReadOperation& source,
                                   NumberLocale locale, Clock clock)
    : fields_(fields), source_(source), locale_(std::move(locale)), clock_(std::move(clock)) {}

void MeasurementCycle::tick(const CircuitParameters& parameters) {
    reading_ = Reading{};
    reading_.time = clock_();
    r_ = parameters.r;
    a_ = parameters.a;
    b_ = parameters.b;

    nuth_ = source_.readChannel(0);
    reading_.code = nuth_;
    reading_.uth = voltageOf(nuth_);
    const ReadingView ea0 = readingView(reading_, locale_);
    fields_.setText(Field::Text3, *ea0.uth);
    fields_.setText(Field::Text2, *ea0.decimal);
    // The hexadecimal of the number just shown, as read back from the field.
    fields_.setText(Field::Text4, hexText(fields_.text(Field::Text2), locale_));
    Conversion();

    const std::int32_t ea1 = source_.readChannel(1);
    reading_.ea1Code = ea1;
    reading_.ut = voltageOf(ea1);
    fields_.setText(Field::Text8, *readingView(reading_, locale_).ut);

    if (supplyHighEnough(*reading_.ut)) {
        // Computed before the font changes, so a failure leaves the field as it was.
        reading_.celsius = thermistorTemperature(*reading_.uth, *reading_.ut, r_, a_, b_, locale_);
    } else {
        reading_.lowSupply = true;
    }
    const TemperatureView temperature = *temperatureView(reading_, locale_);
    fields_.setTemperatureFontSize(temperature.points);
    fields_.setText(Field::Text1, temperature.text);
}

void MeasurementCycle::Conversion() {
    fields_.setText(Field::Text7, binaryText(nuth_));
}

Reading takeReading(MeasurementCycle& cycle, const CircuitParameters& parameters) {
    try {
        cycle.tick(parameters);
        return cycle.reading();
    } catch (const Failure& failure) {
        Reading reading = cycle.reading();
        reading.failure = ReadingFailure{failure.kind(), failure.what()};
        return reading;
    }
}

} // namespace thermo
