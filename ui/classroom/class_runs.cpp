#include "ui/classroom/class_runs.h"

#include "network/class_model.h"

#include <QDateTime>

namespace thermo {

using classroom::ClassGroup;
using classroom::ClassModel;
using classroom::GroupRun;

ClassRuns::ClassRuns(QObject* parent) : QObject(parent) {}

void ClassRuns::follow(ClassModel* model) {
    if (model_) {
        disconnect(model_, nullptr, this, nullptr);
    }
    model_ = model;
    runs_.clear();
    emit reset();
    if (model == nullptr) {
        return;
    }
    // A closed class takes its model with it: its runs go with it, never read after.
    connect(model, &QObject::destroyed, this, [this] {
        runs_.clear();
        emit reset();
    });
    connect(model, &ClassModel::groupAdded, this, &ClassRuns::groupChanged);
    connect(model, &ClassModel::groupChanged, this, &ClassRuns::groupChanged);
    connect(model, &ClassModel::runAdded, this, &ClassRuns::runAdded);
    connect(model, &ClassModel::samplesInserted, this, &ClassRuns::samplesInserted);
    for (int i = 0; i < model->groupCount(); ++i) {
        groupChanged(i);
    }
}

std::vector<const Run*> ClassRuns::all() const {
    std::vector<const Run*> runs;
    for (const Entry& entry : runs_) {
        runs.push_back(entry.run.get());
    }
    return runs;
}

void ClassRuns::setVisible(std::size_t index, bool visible) {
    Run& run = *runs_.at(index).run;
    if (run.visible != visible) {
        run.visible = visible;
        emit changed(index);
    }
}

ClassRuns::Entry* ClassRuns::entryOf(int group) {
    for (Entry& entry : runs_) {
        if (entry.group == group) {
            return &entry;
        }
    }
    return nullptr;
}

void ClassRuns::groupChanged(int group) {
    const ClassGroup& seen = model_->group(group);
    // An account heard only in messages that were dropped is not a group of the class.
    if (seen.name.isEmpty() && seen.runs.empty()) {
        return;
    }
    const QString name = seen.name.isEmpty() ? tr("Groupe sans nom") : seen.name;
    Entry* entry = entryOf(group);
    if (entry == nullptr) {
        auto run = std::make_unique<Run>();
        run->id = runs_.size() + 1;
        run->colour = runColour(runs_.size());
        runs_.push_back({group, std::move(run), 0});
        entry = &runs_.back();
        const std::size_t index = runs_.size() - 1;
        if (!seen.runs.empty()) {
            entry->runIndex = seen.runs.size() - 1;
            rebuild(index, false);
        }
        entry->run->name = name;
        entry->run->source = seen.source;
        entry->run->parameters = {seen.r.toStdString(), seen.a.toStdString(), seen.b.toStdString()};
        emit added(index);
        return;
    }
    Run& run = *entry->run;
    const CircuitParameters parameters{seen.r.toStdString(), seen.a.toStdString(),
                                       seen.b.toStdString()};
    if (run.name != name || run.source != seen.source || run.parameters != parameters) {
        run.name = name;
        run.source = seen.source;
        run.parameters = parameters;
        emit changed(std::size_t(entry - runs_.data()));
    }
}

void ClassRuns::runAdded(int group, int run) {
    if (entryOf(group) == nullptr) {
        groupChanged(group);
    }
    Entry* entry = entryOf(group);
    // The group's latest run is the one shown: the one its program measures now.
    if (entry != nullptr && std::size_t(run) >= entry->runIndex) {
        entry->runIndex = std::size_t(run);
        rebuild(std::size_t(entry - runs_.data()));
    }
}

void ClassRuns::samplesInserted(int group, int run, int first, int count) {
    Entry* entry = entryOf(group);
    if (entry == nullptr) {
        runAdded(group, run);
        return;
    }
    if (std::size_t(run) != entry->runIndex) {
        return;
    }
    const std::size_t index = std::size_t(entry - runs_.data());
    SessionSeries& series = *entry->run->series;
    if (std::size_t(first) != series.size()) {
        rebuild(index);
        return;
    }
    const GroupRun& source = model_->group(group).runs.at(std::size_t(run));
    for (int i = first; i < first + count; ++i) {
        series.restore(source.samples.at(std::size_t(i)));
    }
    emit grew(index);
}

void ClassRuns::rebuild(std::size_t index, bool announce) {
    Entry& entry = runs_.at(index);
    const ClassGroup& group = model_->group(entry.group);
    if (entry.runIndex >= group.runs.size()) {
        return;
    }
    const GroupRun& source = group.runs[entry.runIndex];
    auto series = std::make_shared<SessionSeries>();
    series->reserve(source.samples.size());
    for (const Sample& sample : source.samples) {
        series->restore(sample);
    }
    entry.run->series = std::move(series);
    entry.run->started = QDateTime::fromMSecsSinceEpoch(source.startedAt).toString(Qt::ISODate);
    if (announce) {
        emit replaced(index);
    }
}

} // namespace thermo
