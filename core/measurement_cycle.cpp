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

void MeasurementCycle::tick() {
    reading_ = Reading{};
    reading_.time = clock_();
    r_ = fields_.text(Field::Text6);
    a_ = fields_.text(Field::Text9);
    b_ = fields_.text(Field::Text10);

    nuth_ = source_.readChannel(0);
    reading_.code = nuth_;
    const double uth = voltageOf(nuth_);
    reading_.uth = uth;
    fields_.setText(Field::Text3, voltageText(uth, locale_));
    fields_.setText(Field::Text2, decimalText(nuth_));
    fields_.setText(Field::Text4, hexText(fields_.text(Field::Text2), locale_));
    Conversion();

    const double ut = voltageOf(source_.readChannel(1));
    reading_.ut = ut;
    fields_.setText(Field::Text8, voltageText(ut, locale_));

    if (supplyHighEnough(ut)) {
        // Computed before the font changes, so a failure leaves the field as it was.
        const double celsius = thermistorTemperature(uth, ut, r_, a_, b_, locale_);
        reading_.celsius = celsius;
        fields_.setTemperatureFontSize(temperatureFontPoints);
        fields_.setText(Field::Text1, temperatureText(celsius, locale_));
    } else {
        reading_.lowSupply = true;
        fields_.setTemperatureFontSize(messageFontPoints);
        fields_.setText(Field::Text1, lowSupplyMessage);
    }
}

void MeasurementCycle::Conversion() {
    fields_.setText(Field::Text7, binaryText(nuth_));
}

Reading takeReading(MeasurementCycle& cycle) {
    try {
        cycle.tick();
        return cycle.reading();
    } catch (const Failure& failure) {
        Reading reading = cycle.reading();
        reading.failure = ReadingFailure{failure.kind(), failure.what()};
        return reading;
    }
}

} // namespace thermo
