#include "network/protocol/batch_ledger.h"

#include <algorithm>
#include <iterator>

namespace thermo::classroom {

bool BatchLedger::has(std::uint32_t number) const {
    auto after = arrived_.upper_bound(number);
    return after != arrived_.begin() && std::prev(after)->second >= number;
}

bool BatchLedger::receive(std::uint32_t number) {
    if (number == 0 || has(number)) {
        return false;
    }
    auto next = arrived_.upper_bound(number);
    std::uint32_t first = number;
    std::uint32_t last = number;
    if (next != arrived_.begin() && std::prev(next)->second + 1 == number) {
        first = std::prev(next)->first;
        arrived_.erase(std::prev(next));
    }
    if (next != arrived_.end() && next->first == number + 1) {
        last = next->second;
        arrived_.erase(next);
    }
    arrived_.emplace(first, last);
    ++received_;
    highest_ = std::max(highest_, number);
    return true;
}

void BatchLedger::announce(std::uint32_t lastBatch) {
    highest_ = std::max(highest_, lastBatch);
}

std::vector<BatchRange> BatchLedger::missing(std::uint32_t upTo) const {
    std::vector<BatchRange> ranges;
    std::uint32_t budget = maxBackfillBatches;
    std::uint32_t from = 1;
    auto add = [&](std::uint32_t first, std::uint32_t last) {
        last = static_cast<std::uint32_t>(std::min<std::uint64_t>(
            {last, upTo, std::uint64_t{first} + budget - 1}));
        if (first <= last && ranges.size() < maxBackfillRanges && budget > 0) {
            ranges.push_back({first, last});
            budget -= last - first + 1;
        }
    };
    for (const auto& [first, last] : arrived_) {
        if (first > from) {
            add(from, first - 1);
        }
        from = last + 1;
    }
    if (from <= highest_) {
        add(from, highest_);
    }
    return ranges;
}

std::vector<BatchRange> BatchLedger::due(Clock::time_point now) {
    const std::uint32_t upTo = settled_;
    settled_ = highest_;
    if (requested_ && now - lastRequest_ < retryAfter) {
        return {};
    }
    auto ranges = missing(upTo);
    if (!ranges.empty()) {
        requested_ = true;
        lastRequest_ = now;
    }
    return ranges;
}

} // namespace thermo::classroom
