#include "ui/recording/session_record.h"

#include "ui/recording/save_target.h"

#include <algorithm>

#include <QDateTime>
#include <utility>

namespace thermo {


SessionRecord::SessionRecord(NumberLocale locale, QObject* parent)
    : QObject(parent), locale_(std::move(locale)), file_(locale_) {
    runs_.push_back(makeRun());
    liveId_ = runs_.back()->id;
    file_.setSeries(*runs_.back()->series);
    connect(&file_, &SeriesFile::writeFailed, this, [this](const QString& message) {
        emit writeFailed(message);
        if (!file_.isOpen()) {
            emit fileChanged(QString());
        }
    });
}

SessionRecord::~SessionRecord() = default;

std::unique_ptr<Run> SessionRecord::makeRun() {
    auto run = std::make_unique<Run>();
    run->id = nextId_++;
    run->name = tr("Série %1").arg(++madeRuns_);
    run->colour = runColour(madeRuns_ - 1);
    run->source = source_;
    run->parameters = parameters_;
    return run;
}

std::size_t SessionRecord::liveIndex() const noexcept {
    const auto it = std::find_if(runs_.begin(), runs_.end(),
                                 [this](const auto& r) { return r->id == liveId_; });
    return static_cast<std::size_t>(it - runs_.begin());
}

std::size_t SessionRecord::readingCount() const noexcept {
    std::size_t n = 0;
    for (const auto& r : runs_) {
        n += r->series->size();
    }
    return n;
}

void SessionRecord::select(std::size_t index) {
    if (index < runs_.size() && index != selected_) {
        selected_ = index;
        emit cleared();
    }
}

void SessionRecord::setRunName(std::size_t index, const QString& name) {
    const QString trimmed = name.trimmed();
    if (index < runs_.size() && !trimmed.isEmpty() && runs_[index]->name != trimmed) {
        runs_[index]->name = trimmed;
        emit runChanged(index);
    }
}

void SessionRecord::setRunColour(std::size_t index, std::uint32_t colour) {
    if (index < runs_.size() && runs_[index]->colour != colour) {
        runs_[index]->colour = colour;
        emit runChanged(index);
    }
}

void SessionRecord::setRunVisible(std::size_t index, bool visible) {
    if (index < runs_.size() && runs_[index]->visible != visible) {
        runs_[index]->visible = visible;
        emit runChanged(index);
    }
}

void SessionRecord::removeRun(std::size_t index) {
    if (index >= runs_.size()) {
        return;
    }
    const std::uint64_t id = runs_[index]->id;
    const bool wasSelected = index == selected_;
    if (id == liveId_) {
        file_.close();
        runs_.push_back(makeRun());
        liveId_ = runs_.back()->id;
        file_.setSeries(*runs_.back()->series);
        emit runAdded(runs_.size() - 1);
    }
    runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(index));
    if (selected_ > index || selected_ >= runs_.size()) {
        --selected_;
    }
    if (wasSelected) {
        selected_ = liveIndex();
    }
    emit runRemoved(index, id);
    if (wasSelected) {
        emit cleared();
    }
}

std::size_t SessionRecord::addRun(Run run) {
    auto added = std::make_unique<Run>(std::move(run));
    added->id = nextId_++;
    for (RunModel& model : added->models) {
        model.id = nextModelId_++; // ids of this séance, whatever file they came from
    }
    std::size_t index = runs_.size();
    const std::size_t liveAt = liveIndex();
    const bool liveWaits = live().series->empty() && liveAt + 1 == runs_.size();
    // Before a live run that has not begun, the added run takes its place in the séance's
    // order of names and colours, and the live run the next one.
    const std::size_t slot = liveWaits ? madeRuns_ - 1 : madeRuns_;
    if (added->colour == 0) {
        added->colour = runColour(slot);
    }
    ++madeRuns_;
    if (liveWaits) {
        index = liveAt;
        Run& next = *runs_[liveAt];
        next.name = tr("Série %1").arg(madeRuns_);
        next.colour = runColour(madeRuns_ - 1);
        if (selected_ == liveAt) {
            ++selected_;
        }
    }
    runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(index), std::move(added));
    emit runAdded(index);
    if (index + 1 < runs_.size()) {
        emit runChanged(index + 1);
    }
    return index;
}

void SessionRecord::newRun() {
    if (liveSeries().empty()) {
        select(liveIndex());
        return;
    }
    const bool wasPaused = paused();
    const QString kept = fileName();
    file_.close();
    runs_.push_back(makeRun());
    liveId_ = runs_.back()->id;
    file_.setSeries(*runs_.back()->series);
    selected_ = runs_.size() - 1;
    emit runAdded(selected_);
    emit cleared();
    if (wasPaused) {
        emit pausedChanged(false);
    }
    if (!kept.isEmpty()) {
        // A new run, a new file beside the first: the recording goes on, said in the window.
        if (!saveAs(nextFreeName(kept))) {
            emit fileChanged(QString());
        }
    }
}

void SessionRecord::setNotes(std::size_t index, std::vector<RunNote> notes) {
    if (index < runs_.size()) {
        runs_[index]->notes = std::move(notes);
        emit notesChanged(index);
    }
}

std::int64_t SessionRecord::addModel(std::size_t index, RunModel model) {
    if (index >= runs_.size()) {
        return 0;
    }
    model.id = nextModelId_++;
    runs_[index]->models.push_back(std::move(model));
    emit modelAdded(index, runs_[index]->models.back().id);
    return runs_[index]->models.back().id;
}

void SessionRecord::removeModel(std::size_t index, std::int64_t id) {
    if (index >= runs_.size()) {
        return;
    }
    auto& models = runs_[index]->models;
    const auto gone = std::remove_if(models.begin(), models.end(),
                                     [id](const RunModel& m) { return m.id == id; });
    if (gone != models.end()) {
        models.erase(gone, models.end());
        emit modelRemoved(index, id);
    }
}

void SessionRecord::setMeasuredWith(const QString& source, const CircuitParameters& parameters) {
    source_ = source;
    parameters_ = parameters;
    if (live().series->empty()) {
        live().source = source;
        live().parameters = parameters;
    }
}

bool SessionRecord::saveAs(const QString& path) {
    if (!file_.saveAs(path)) {
        return false;
    }
    emit fileChanged(path);
    return true;
}

QString SessionRecord::fileName() const {
    return file_.isOpen() ? file_.fileName() : QString();
}

void SessionRecord::setPaused(bool paused) {
    if (paused != live().series->paused()) {
        live().series->setPaused(paused);
        emit pausedChanged(paused);
    }
}

void SessionRecord::take(const Reading& reading) {
    Run& run = live();
    const bool first = run.series->empty();
    if (run.series->append(reading)) {
        if (first) {
            run.started = QDateTime::currentDateTime().toString(Qt::ISODate);
        }
        emit appended();
    }
}

} // namespace thermo
