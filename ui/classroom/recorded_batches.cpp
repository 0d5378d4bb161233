#include "ui/classroom/recorded_batches.h"

#include "ui/recording/session_record.h"

#include <cmath>
#include <cstdlib>

namespace thermo {

using classroom::Batch;
using classroom::RunId;

namespace {

bool sameNumber(double x, double y) {
    return x == y || (std::isnan(x) && std::isnan(y));
}

// The reading the group sent and the one the record kept are the same measurement. The two
// clocks start at different readings and round to the millisecond apart: they may differ by
// one millisecond, which the teacher's curve cannot show.
bool sameReading(const Sample& sent, const Sample& kept, std::int64_t offsetMs) {
    return std::llabs(sent.millis - (kept.millis + offsetMs)) <= 1 && sent.gap == kept.gap &&
           sent.code == kept.code && sameNumber(sent.celsius, kept.celsius) &&
           sameNumber(sent.uth, kept.uth) && sameNumber(sent.ut, kept.ut);
}

} // namespace

RecordedBatches::RecordedBatches(const SessionRecord& record) : record_(record) {}

std::optional<RecordedBatches::Place> RecordedBatches::placeOf(const Batch& batch) const {
    const SessionSeries& series = record_.liveSeries();
    const std::size_t count = batch.readings.size();
    // The group takes each reading after the record: the batch's readings are the run's last.
    if (count == 0 || series.size() < count) {
        return std::nullopt;
    }
    Place place;
    place.recordRun = record_.run(record_.liveIndex()).id;
    place.first = series.size() - count;
    place.count = std::uint32_t(count);
    place.offsetMs = batch.readings.front().millis - series.millis()[place.first];
    for (std::size_t i = 0; i < count; ++i) {
        if (!sameReading(batch.readings[i], series.at(place.first + i), place.offsetMs)) {
            return std::nullopt;
        }
    }
    return place;
}

void RecordedBatches::keep(const Batch& batch) {
    SentRun& run = runs_[batch.run];
    if (batch.number != run.batches.size() + 1) {
        return;
    }
    run.startedAt = batch.startedAt;
    std::optional<Place> place = placeOf(batch);
    if (!place) {
        place = Place{};
        whole_.emplace(std::make_pair(batch.run, batch.number), batch);
        ++keptWhole_;
    }
    run.batches.push_back(*place);
}

std::optional<Batch> RecordedBatches::find(RunId run, std::uint32_t number) const {
    const auto it = runs_.find(run);
    if (it == runs_.end() || number == 0 || number > it->second.batches.size()) {
        return std::nullopt;
    }
    const Place& place = it->second.batches[number - 1];
    if (place.recordRun == 0) {
        const auto whole = whole_.find({run, number});
        return whole == whole_.end() ? std::nullopt : std::optional<Batch>(whole->second);
    }
    for (std::size_t r = 0; r < record_.runCount(); ++r) {
        const Run& kept = record_.run(r);
        if (kept.id != place.recordRun) {
            continue;
        }
        // A run deleted by the user, or started anew, no longer holds them.
        if (place.first + place.count > kept.series->size()) {
            return std::nullopt;
        }
        Batch batch{run, number, it->second.startedAt, {}};
        for (std::size_t i = place.first; i < place.first + place.count; ++i) {
            Sample sample = kept.series->at(i);
            sample.millis += place.offsetMs;
            sample.afterPause = false;
            batch.readings.push_back(sample);
        }
        return batch;
    }
    return std::nullopt;
}

} // namespace thermo
