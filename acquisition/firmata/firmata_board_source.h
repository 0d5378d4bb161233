#pragma once

#include "acquisition/board_source.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace thermo {

// Codes from a board running the standard Firmata firmware (StandardFirmata, as the Arduino
// IDE ships it), wired as the project's own board: A0 is EA0, A1 is EA1. A read gives the mean
// of the reports received since the previous read of that channel, converted to the
// interface's codes with the converter's resolution and its reference voltage, 5 V unless the
// user chooses 3.3 V among the source's settings.
class FirmataBoardSource final : public BoardSource {
public:
    static constexpr const char* referenceKey = "firmataReference";
    static constexpr const char* reference5V = "reference5V";
    static constexpr const char* reference3V3 = "reference3V3";

    explicit FirmataBoardSource(std::string portPath, const BoardTiming& timing = {});

    // "Arduino Firmata 2.5 (StandardFirmata) sur /dev/ttyACM0" once the board said who it is.
    std::string name() const override;
    std::vector<ChoiceSetting> choiceSettings() const override;
    std::string choice(const std::string& key) const override;
    void choose(const std::string& key, const std::string& choiceKey) override;

    double reference() const noexcept { return reference_; }

private:
    FirmataBoardSource(std::string portPath, const BoardTiming& timing,
                       std::shared_ptr<std::atomic<int>> resolution);
    std::int32_t code(const BoardMailbox::Values& values) const override;

    std::shared_ptr<const std::atomic<int>> resolution_; // the converter's bits
    double reference_;
};

} // namespace thermo
