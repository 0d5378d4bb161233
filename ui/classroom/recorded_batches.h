#pragma once

#include "network/sent_batches.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace thermo {

class SessionRecord;

// The batches a group sent, answered again from the séance's record instead of being kept a
// second time: for each batch, where its readings lie in the record's live run (kept on disk by
// the séance's journal). A batch whose readings the record did not keep as they were sent (the
// record paused) is kept whole, so that nothing asked for is ever missing.
class RecordedBatches final : public classroom::SentBatches {
public:
    explicit RecordedBatches(const SessionRecord& record);

    void keep(const classroom::Batch& batch) override;
    std::optional<classroom::Batch> find(classroom::RunId run, std::uint32_t number) const override;

    // Batches kept whole, for want of their readings in the record.
    std::size_t keptWhole() const noexcept { return keptWhole_; }

private:
    struct Place {
        std::uint64_t recordRun = 0; // the record's run holding the readings
        std::size_t first = 0;
        std::uint32_t count = 0;
        std::int64_t offsetMs = 0; // the group's clock minus the run's, for these readings
    };
    struct SentRun {
        std::int64_t startedAt = 0;
        std::vector<Place> batches; // batch n at index n - 1
    };

    std::optional<Place> placeOf(const classroom::Batch& batch) const;

    const SessionRecord& record_;
    std::map<classroom::RunId, SentRun> runs_;
    // The few kept whole (recordRun 0 in their place), by run and number.
    std::map<std::pair<classroom::RunId, std::uint32_t>, classroom::Batch> whole_;
    std::size_t keptWhole_ = 0;
};

} // namespace thermo
