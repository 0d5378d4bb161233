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
// The talking stops with the source.
class BoardSource : public CodeSource {
public:
    // The code (std::int64_t, 0...65535); throws Failure(AcquisitionFailed) with a short
    // message when the board is absent, silent or answers nonsense, and
    // Failure(InvalidArgument) for a channel other than 0 or 1.
    AutomationValue read(std::int32_t channel) final;
    // Where the board was at the last read: it may come back on another port.
    std::string portPath() const final;
    // Connecting until the first code, then as the last read went.
    SourceStatus status() const final { return status_; }
    // What the board said of itself, once it has.
    std::optional<BoardInfo> board() const final { return worker_->mailbox().board(); }
    std::vector<BoardInfo> lookalikes() const final { return worker_->mailbox().lookalikes(); }

protected:
    explicit BoardSource(std::unique_ptr<BoardWorker> worker);
    // A worker of its own, for a board of `kind` on that port.
    BoardSource(std::string portPath, const BoardKind& kind, const BoardTiming& timing,
                PortLister ports);

    // The interface's code for what the board sent on a channel since its previous read.
    virtual std::int32_t code(const BoardMailbox::Values& values,
                              const std::optional<BoardInfo>& board) const = 0;

private:
    void show(SourceStatus status, std::optional<BoardInfo> board, std::size_t lookalikes);

    std::unique_ptr<BoardWorker> worker_;
    SourceStatus status_{SourceState::Connecting, {}};
    std::optional<BoardInfo> shownBoard_;
    std::size_t lookalikesShown_ = 0;
};

} // namespace thermo
