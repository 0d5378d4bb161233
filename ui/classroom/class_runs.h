#pragma once

#include "network/class_model.h"
#include "ui/recording/run.h"

#include <QObject>
#include <QPointer>
#include <vector>

namespace thermo {

// The class's runs as the teacher's window draws and saves them: for each group that said who
// it is, its latest run as a séance's run, named after the group, in a colour of its own, kept
// up to date as its batches arrive. A batch that arrives late (asked for again) lies before
// readings already there: the run's readings are then made anew, in a new series, since a
// series only grows at its end.
class ClassRuns : public QObject {
    Q_OBJECT
public:
    explicit ClassRuns(QObject* parent = nullptr);

    // Follows this class from now on (null: none); the runs of the class followed before are
    // forgotten.
    void follow(classroom::ClassModel* model);
    classroom::ClassModel* model() const noexcept { return model_; }

    std::size_t count() const noexcept { return runs_.size(); }
    const Run& run(std::size_t index) const { return *runs_.at(index).run; }
    // The group's index in the class's model.
    int groupOf(std::size_t index) const { return runs_.at(index).group; }
    std::vector<const Run*> all() const;

    void setVisible(std::size_t index, bool visible);

signals:
    // A group came into the list, at `index`.
    void added(std::size_t index);
    // Its name, colour or visibility.
    void changed(std::size_t index);
    // Its run is now another series (a new run, or late readings): what drew it starts again.
    void replaced(std::size_t index);
    // Readings were added at the end of its series.
    void grew(std::size_t index);
    // The class is no longer followed, or another one is: every run is gone.
    void reset();

private:
    struct Entry {
        int group;
        std::unique_ptr<Run> run;
        std::size_t runIndex = 0; // of the group's runs, the one shown
    };

    Entry* entryOf(int group);
    void groupChanged(int group);
    void runAdded(int group, int run);
    void samplesInserted(int group, int run, int first, int count);
    void rebuild(std::size_t index, bool announce = true);

    QPointer<classroom::ClassModel> model_;
    std::vector<Entry> runs_;
};

} // namespace thermo
