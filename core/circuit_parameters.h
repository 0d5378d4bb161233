#pragma once

#include <string>

namespace thermo {

// The classroom circuit as the program proposes it at start-up: R = 10 kΩ in series with an
// NTC thermistor of 10 kΩ at 25 °C and B = 4275 K. The simulated bench is built to the same
// values, so that the defaults read its temperature exactly.
inline constexpr int defaultSeriesOhms = 10000;
inline constexpr int defaultNominalOhms = 10000;
inline constexpr int defaultBetaKelvin = 4275;

// The three circuit parameters as the user typed and validated them. They stay texts: each
// tick reads them anew, so that a text that is not a number is said in the temperature field
// for as long as it is in force, in the user's words.
struct CircuitParameters {
    std::string r; // series resistance, ohms
    std::string a; // thermistor's resistance at 25 °C, ohms
    std::string b; // thermistor's B parameter, kelvins

    // "10000", "10000", "4275".
    static CircuitParameters defaults();

    friend bool operator==(const CircuitParameters&, const CircuitParameters&) = default;
};

} // namespace thermo
