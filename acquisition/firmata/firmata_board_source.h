#pragma once

#include "acquisition/board_kinds.h"
#include "acquisition/board_source.h"

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

    static const BoardKind& kind();

    explicit FirmataBoardSource(std::string portPath, const BoardTiming& timing = {},
                                PortLister ports = systemSerialPorts);
    // Reads what `worker` receives from a board it recognised as this kind.
    explicit FirmataBoardSource(std::unique_ptr<BoardWorker> worker);

    // "Arduino Firmata 2.5 (StandardFirmata) sur /dev/ttyACM0" once the board said who it is.
    std::string name() const override;
    std::vector<ChoiceSetting> choiceSettings() const override;
    std::string choice(const std::string& key) const override;
    void choose(const std::string& key, const std::string& choiceKey) override;

    double reference() const noexcept { return reference_; }

private:
    std::int32_t code(const BoardMailbox::Values& values,
                      const std::optional<BoardInfo>& board) const override;

    double reference_;
};

} // namespace thermo
