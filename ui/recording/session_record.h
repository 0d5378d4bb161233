#pragma once

#include "core/number_locale.h"
#include "core/reading.h"
#include "core/session_series.h"
#include "ui/recording/run.h"
#include "ui/recording/series_file.h"

#include <QObject>
#include <QString>
#include <cstddef>
#include <memory>
#include <vector>

namespace thermo {

// The séance's record: its runs, every reading of the live run from the first Validation on
// (whether or not the curve is ever looked at), the runs read back from files, and the CSV file
// the live run is kept in once the user (or --enregistrer) names one. One run is selected: the
// curve's tools (model, pointer, table) work on it. The curve window, the journal and the
// program's end work on this record; where the readings come from is not its business.
class SessionRecord : public QObject {
    Q_OBJECT
public:
    explicit SessionRecord(NumberLocale locale, QObject* parent = nullptr);
    ~SessionRecord() override;

    // The selected run's readings.
    const SessionSeries& series() const noexcept { return *runs_[selected_]->series; }
    const SessionSeries& liveSeries() const noexcept { return *live().series; }
    const NumberLocale& locale() const noexcept { return locale_; }

    std::size_t runCount() const noexcept { return runs_.size(); }
    const Run& run(std::size_t index) const { return *runs_.at(index); }
    std::size_t liveIndex() const noexcept;
    std::size_t selectedIndex() const noexcept { return selected_; }
    // Readings of all the runs.
    std::size_t readingCount() const noexcept;

    void select(std::size_t index);
    void setRunName(std::size_t index, const QString& name);
    void setRunColour(std::size_t index, std::uint32_t colour);
    void setRunVisible(std::size_t index, bool visible);
    // The live run removed is replaced by a new, empty one.
    void removeRun(std::size_t index);
    // A run read back from a file, shown beside the others; it gets a new id and, unless it
    // has one, the next colour. Returns its index.
    std::size_t addRun(Run run);
    // "Nouvelle série": the live run ends and the next begins, selected. An empty live run
    // stays the live run. The CSV file kept up to date goes on in a new file, suffixed.
    void newRun();
    // The notes pinned on a run (time in seconds, text), all at once: they replace the former
    // ones. Kept in the journal and in the séance file.
    void setNotes(std::size_t index, std::vector<RunNote> notes);
    // A model fitted on a run, kept with it; returns its id in the séance.
    std::int64_t addModel(std::size_t index, RunModel model);
    void removeModel(std::size_t index, std::int64_t id);

    // What the next readings are measured with: the live run's, until it has readings.
    void setMeasuredWith(const QString& source, const CircuitParameters& parameters);

    // Writes the live run so far to path and appends every new reading to it. On failure the
    // run stays as it was, writeFailed says why and the file appended to before, if any,
    // keeps being appended to.
    bool saveAs(const QString& path);
    // The last failure to write, in French; empty after a success.
    QString errorMessage() const { return file_.errorMessage(); }
    // The file being appended to; empty when there is none.
    QString fileName() const;
    SeriesFile& file() noexcept { return file_; }

    // While paused, readings are not kept; the next one after resuming starts a new segment.
    void setPaused(bool paused);
    bool paused() const noexcept { return liveSeries().paused(); }

public slots:
    void take(const thermo::Reading& reading);

signals:
    // One reading kept in the live run.
    void appended();
    // Another run is selected (a new run, a click in the list, the selected run removed):
    // what was drawn or fitted on the former one no longer applies.
    void cleared();
    void runAdded(std::size_t index);
    // The run that was at `index`, of that id, is gone.
    void runRemoved(std::size_t index, std::uint64_t id);
    // Its name, colour or visibility.
    void runChanged(std::size_t index);
    // Its notes replaced; a model added to it or removed.
    void notesChanged(std::size_t index);
    void modelAdded(std::size_t index, std::int64_t id);
    void modelRemoved(std::size_t index, std::int64_t id);
    void pausedChanged(bool paused);
    // A file is now appended to, or (empty) none any more.
    void fileChanged(const QString& path);
    void writeFailed(const QString& message);

private:
    Run& live() const noexcept { return *runs_[liveIndex()]; }
    std::unique_ptr<Run> makeRun();

    NumberLocale locale_;
    std::vector<std::unique_ptr<Run>> runs_;
    std::uint64_t liveId_ = 0;
    std::size_t selected_ = 0;
    std::uint64_t nextId_ = 1;
    std::int64_t nextModelId_ = 1;
    std::size_t madeRuns_ = 0; // for the names and colours of new runs
    QString source_;
    CircuitParameters parameters_ = CircuitParameters::defaults();
    SeriesFile file_; // destroyed first: it writes what is pending of the live run
};

} // namespace thermo
