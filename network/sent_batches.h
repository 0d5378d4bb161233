#pragma once

#include "network/protocol/class_message.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace thermo::classroom {

// What a group keeps of the batches it sent, to send them again when the teacher asks: the
// batches are not lost when the network or the broker is, only late. The séance's journal keeps
// them on disk; SentBatchesInMemory for as long as the program runs.
class SentBatches {
public:
    virtual ~SentBatches() = default;
    // Keeps a batch; its number follows the run's previous one.
    virtual void keep(const Batch& batch) = 0;
    virtual std::optional<Batch> find(RunId run, std::uint32_t number) const = 0;
};

class SentBatchesInMemory final : public SentBatches {
public:
    void keep(const Batch& batch) override;
    std::optional<Batch> find(RunId run, std::uint32_t number) const override;

private:
    std::map<RunId, std::vector<Batch>> runs_; // batch n at index n - 1
};

} // namespace thermo::classroom
