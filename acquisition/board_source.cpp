#include "acquisition/board_source.h"

#include "core/failure.h"

#include <utility>

namespace thermo {

BoardSource::BoardSource(std::unique_ptr<BoardWorker> worker) : worker_(std::move(worker)) {}

BoardSource::BoardSource(std::string portPath, const BoardKind& kind, const BoardTiming& timing,
                         PortLister ports)
    : BoardSource(std::make_unique<BoardWorker>(
          std::move(portPath), std::vector<const BoardKind*>{&kind}, timing, std::move(ports))) {}

std::string BoardSource::portPath() const {
    return shownBoard_ ? shownBoard_->portPath : worker_->portPath();
}

AutomationValue BoardSource::read(std::int32_t channel) {
    if (channel < 0 || channel >= BoardMailbox::channels) {
        throw Failure(FailureKind::InvalidArgument, "Voie inexistante");
    }
    auto taken =
        worker_->mailbox().take(channel, BoardMailbox::Clock::now(), worker_->timing().staleAfter);
    auto known = board();
    const std::size_t lookalikes = worker_->mailbox().lookalikes().size();
    if (const auto* values = std::get_if<BoardMailbox::Values>(&taken)) {
        const std::int32_t result = code(*values, known);
        show({SourceState::Connected, {}}, std::move(known), lookalikes);
        return std::int64_t{result};
    }
    SourceStatus failed = std::move(std::get<SourceStatus>(taken));
    const std::string cause = failed.cause;
    show(std::move(failed), std::move(known), lookalikes);
    throw Failure(FailureKind::AcquisitionFailed, cause);
}

// Told once for each change, in the interface's thread, not at every read.
void BoardSource::show(SourceStatus status, std::optional<BoardInfo> board,
                       std::size_t lookalikes) {
    if (status != status_ || board != shownBoard_ || lookalikes != lookalikesShown_) {
        status_ = std::move(status);
        shownBoard_ = std::move(board);
        lookalikesShown_ = lookalikes;
        notifyChanged();
    }
}

} // namespace thermo
