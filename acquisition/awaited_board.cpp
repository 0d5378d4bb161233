#include "acquisition/awaited_board.h"

#include "acquisition/board_kinds.h"
#include "core/failure.h"

#include <stdexcept>

namespace thermo {

AwaitedBoard::AwaitedBoard(std::string portPath, const BoardTiming& timing, PortLister ports)
    : portPath_(portPath), worker_(std::make_unique<BoardWorker>(std::move(portPath), boardKinds(),
                                                                 timing, std::move(ports))) {}

AutomationValue AwaitedBoard::read(std::int32_t) {
    SourceStatus status = worker_->mailbox().status();
    if (status.state != SourceState::Lost) {
        // Until the board's own source takes over, which reads its codes.
        status = {SourceState::Connecting, "Carte : reconnaissance en cours"};
    }
    if (status != status_) {
        status_ = status;
        notifyChanged();
    }
    throw Failure(FailureKind::AcquisitionFailed, status_.cause);
}

const BoardKind* AwaitedBoard::recognised() const {
    if (!worker_) {
        return nullptr;
    }
    const auto board = worker_->mailbox().board();
    return board ? board->kind : nullptr;
}

std::unique_ptr<CodeSource> AwaitedBoard::takeOver() {
    const BoardKind* kind = recognised();
    if (kind == nullptr) {
        throw std::logic_error("AwaitedBoard::takeOver: no board recognised");
    }
    return kind->read(std::move(worker_));
}

} // namespace thermo
