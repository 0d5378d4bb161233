#pragma once

#include "acquisition/board_worker.h"
#include "acquisition/code_source.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace thermo {

// A source of codes whose board talks to a BoardWorker: a read takes at once the codes the
// worker left, and fails with the cause the worker saw when the last of them is older than
// BoardTiming::staleAfter. Channel 0 is EA0 (the thermistor's voltage), 1 is EA1 (the supply).
// The talking starts with the source and stops with it.
class BoardSource : public CodeSource {
public:
    // The code (std::int64_t, 0...65535); throws Failure(AcquisitionFailed) with a short
    // message when the board is absent, silent or answers nonsense, and
    // Failure(InvalidArgument) for a channel other than 0 or 1.
    AutomationValue read(std::int32_t channel) final;
    std::string portPath() const final { return portPath_; }
    // Connecting until the first code, then as the last read went.
    SourceStatus status() const final { return status_; }
    // What the board said of itself, once it has.
    std::optional<BoardInfo> board() const { return worker_.mailbox().board(); }

protected:
    BoardSource(std::string portPath, std::unique_ptr<BoardConversation> conversation,
                const BoardTiming& timing);

    // The interface's code for what the board sent on a channel since its previous read.
    virtual std::int32_t code(const BoardMailbox::Values& values) const = 0;

private:
    void show(SourceStatus status, std::optional<BoardInfo> board);

    std::string portPath_;
    std::chrono::milliseconds staleAfter_;
    SourceStatus status_{SourceState::Connecting, {}};
    std::optional<BoardInfo> shownBoard_;
    BoardWorker worker_;
};

} // namespace thermo
