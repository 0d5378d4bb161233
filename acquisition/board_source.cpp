#include "acquisition/board_source.h"

#include "core/failure.h"

#include <utility>

namespace thermo {

BoardSource::BoardSource(std::string portPath, std::unique_ptr<BoardConversation> conversation,
                         const BoardTiming& timing)
    : portPath_(std::move(portPath)), staleAfter_(timing.staleAfter),
      worker_(std::move(conversation), timing.reopenInterval) {}

AutomationValue BoardSource::read(std::int32_t channel) {
    if (channel < 0 || channel >= BoardMailbox::channels) {
        throw Failure(FailureKind::InvalidArgument, "Voie inexistante");
    }
    auto taken = worker_.mailbox().take(channel, BoardMailbox::Clock::now(), staleAfter_);
    if (const auto* values = std::get_if<BoardMailbox::Values>(&taken)) {
        const std::int32_t result = code(*values);
        show({SourceState::Connected, {}}, board());
        return std::int64_t{result};
    }
    SourceStatus failed = std::move(std::get<SourceStatus>(taken));
    const std::string cause = failed.cause;
    show(std::move(failed), board());
    throw Failure(FailureKind::AcquisitionFailed, cause);
}

// Told once for each change, in the interface's thread, not at every read.
void BoardSource::show(SourceStatus status, std::optional<BoardInfo> board) {
    if (status != status_ || board != shownBoard_) {
        status_ = std::move(status);
        shownBoard_ = std::move(board);
        notifyChanged();
    }
}

} // namespace thermo
