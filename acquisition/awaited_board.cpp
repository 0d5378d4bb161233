#include "acquisition/awaited_board.h"

#include "core/failure.h"

namespace thermo {

AutomationValue AwaitedBoard::read(std::int32_t) {
    throw Failure(FailureKind::AcquisitionFailed, status_.cause);
}

void AwaitedBoard::setStatus(SourceStatus status) {
    if (status != status_) {
        status_ = std::move(status);
        notifyChanged();
    }
}

} // namespace thermo
