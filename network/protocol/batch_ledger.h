#pragma once

#include "network/protocol/class_message.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <vector>

namespace thermo::classroom {

// The teacher's account of one run's batches: which numbers arrived, which are known to exist
// (the group's state says how many it sent) and which are still missing, and when to ask the
// group for them again. A batch overtaken by a later one may still be on its way: it is asked
// for only once it has been missing for a whole check period.
class BatchLedger {
public:
    using Clock = std::chrono::steady_clock;

    // How long a request is given before the batches still missing are asked for again.
    static constexpr auto retryAfter = std::chrono::seconds(4);

    // Notes a batch; false when it had already arrived.
    bool receive(std::uint32_t number);
    // The group says it has sent batches up to `lastBatch`.
    void announce(std::uint32_t lastBatch);

    bool has(std::uint32_t number) const;
    std::uint32_t highest() const noexcept { return highest_; }
    std::uint64_t receivedCount() const noexcept { return received_; }
    std::uint64_t missingCount() const noexcept { return highest_ - received_; }

    // The missing numbers up to `upTo`, in at most maxBackfillRanges ranges and
    // maxBackfillBatches batches, lowest first.
    std::vector<BatchRange> missing(std::uint32_t upTo) const;

    // Called once per check period: the ranges to ask for now, if any.
    std::vector<BatchRange> due(Clock::time_point now);

private:
    std::map<std::uint32_t, std::uint32_t> arrived_; // first -> last, disjoint, not adjacent
    std::uint32_t highest_ = 0;
    std::uint64_t received_ = 0;
    std::uint32_t settled_ = 0; // the highest number at the previous check
    Clock::time_point lastRequest_{};
    bool requested_ = false;
};

} // namespace thermo::classroom
