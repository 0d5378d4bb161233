#pragma once

#include "acquisition/board_worker.h"
#include "acquisition/code_source.h"

#include <memory>
#include <string>

namespace thermo {

// A board on a port, of whichever kind: the place of its source while its worker finds out
// which kind it is, on the port's first opening. Every read fails with how that goes; once a
// kind recognised the board, the kind's source takes over the worker, and with it the open port.
class AwaitedBoard final : public CodeSource {
public:
    AwaitedBoard(std::string portPath, const BoardTiming& timing, PortLister ports);

    // Throws Failure(AcquisitionFailed) with the status's cause.
    AutomationValue read(std::int32_t channel) override;
    // "Carte sur /dev/ttyACM0"
    std::string name() const override { return "Carte sur " + portPath_; }
    std::string portPath() const override { return portPath_; }
    SourceStatus status() const override { return status_; }

    // The kind of the board, once one recognised it.
    const BoardKind* recognised() const;
    // The source of that kind, which goes on with the worker; this one is done.
    std::unique_ptr<CodeSource> takeOver();

private:
    std::string portPath_;
    std::unique_ptr<BoardWorker> worker_;
    SourceStatus status_{SourceState::Connecting, "Carte : reconnaissance en cours"};
};

} // namespace thermo
