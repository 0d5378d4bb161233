#pragma once

#include "acquisition/code_source.h"

#include <string>

namespace thermo {

// The place of a board on a port while the program finds out which kind it is: every read
// fails with how that goes, and the board's own source takes its place once it is known.
class AwaitedBoard final : public CodeSource {
public:
    explicit AwaitedBoard(std::string portPath) : portPath_(std::move(portPath)) {}

    // Throws Failure(AcquisitionFailed) with the status's cause.
    AutomationValue read(std::int32_t channel) override;
    // "Carte sur /dev/ttyACM0"
    std::string name() const override { return "Carte sur " + portPath_; }
    std::string portPath() const override { return portPath_; }
    SourceStatus status() const override { return status_; }
    void setStatus(SourceStatus status);

private:
    std::string portPath_;
    SourceStatus status_{SourceState::Connecting, "Carte : reconnaissance en cours"};
};

} // namespace thermo
