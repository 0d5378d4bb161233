#include "network/sent_batches.h"

namespace thermo::classroom {

void SentBatchesInMemory::keep(const Batch& batch) {
    auto& batches = runs_[batch.run];
    if (batch.number == batches.size() + 1) {
        batches.push_back(batch);
    }
}

std::optional<Batch> SentBatchesInMemory::find(RunId run, std::uint32_t number) const {
    const auto it = runs_.find(run);
    if (it == runs_.end() || number == 0 || number > it->second.size()) {
        return std::nullopt;
    }
    return it->second[number - 1];
}

} // namespace thermo::classroom
