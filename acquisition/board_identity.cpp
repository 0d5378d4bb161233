#include "acquisition/board_identity.h"

#include <algorithm>

namespace thermo {

bool sameBoard(const BoardInfo& known, const BoardInfo& found) {
    return known.kind == found.kind && known.serialNumber == found.serialNumber &&
           known.identification == found.identification && known.usbSerial == found.usbSerial &&
           known.vendorId == found.vendorId && known.productId == found.productId;
}

bool anonymous(const BoardInfo& board) {
    return board.serialNumber.empty() && board.usbSerial.empty();
}

bool mayHoldLookalike(const BoardInfo& board, const PortInfo& port) {
    return anonymous(board) && port.usbSerial.empty() && port.vendorId == board.vendorId &&
           port.productId == board.productId;
}

Reappearance judgeReappearance(const BoardInfo& known, const BoardInfo& found,
                               const std::vector<PortInfo>& changed) {
    if (!sameBoard(known, found)) {
        return Reappearance::Ignore;
    }
    const bool lookalikeAround =
        std::any_of(changed.begin(), changed.end(), [&](const PortInfo& p) {
            return p.path != known.portPath && p.path != found.portPath &&
                   mayHoldLookalike(known, p);
        });
    return lookalikeAround ? Reappearance::Ask : Reappearance::Follow;
}

} // namespace thermo
