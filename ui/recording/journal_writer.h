#pragma once

#include "ui/recording/seance_file.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace thermo {

// Writes a séance journal on a thread of its own, so that the interface's thread never waits on
// the disk: it only hands over what changed (run operations, and the live run's readings one
// by one, under a mutex held for a push). Every `interval` the writer commits all that was handed
// over in one transaction, synced to the disk (SQLite's write-ahead log with synchronous=FULL):
// a killed program loses at most the last interval, a power cut that and the commit under way.
//
// A failed commit (disk full, file gone) is rolled back and retried at the next interval, so that
// nothing is lost once the cause is gone; `onFailure` is told the French cause, once a cause, on
// the writer's thread.
class JournalWriter {
public:
    using Operation = std::function<void(SeanceFile&)>;

    // The journal is created at `path` on the first commit (or continued when `create` is
    // false); `onFailure` and `onCommit` are called on the writer's thread.
    JournalWriter(std::string path, bool create, std::chrono::milliseconds interval,
                  std::function<void(const std::string&)> onFailure);
    // finish() if not done.
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // In the order given; nothing more is taken once finished.
    void push(Operation operation);
    void pushReading(std::int64_t run, std::size_t index, const Sample& sample);
    // After the next successful commit, on the writer's thread.
    void afterCommit(std::function<void()> action);

    // Commits what is pending and the last operations given here, waits for the disk, closes
    // the journal and ends the thread. Safe from any thread, more than once; true when all was
    // written.
    bool finish(std::vector<Operation> last = {});
    // Commits, now, without ending (tests, the end of a disk-full episode).
    bool flush();

    const std::string& path() const noexcept { return path_; }
    // Readings committed so far, all runs together.
    std::size_t committedReadings() const;

private:
    struct Readings {
        std::int64_t run = 0;
        std::size_t first = 0;
        std::vector<Sample> samples;
    };

    void run();
    // Moves the readings waiting into an operation; the mutex is held.
    void wrapReadings();
    bool commitPending(std::unique_lock<std::mutex>& lock);

    std::string path_;
    bool create_;
    std::chrono::milliseconds interval_;
    std::function<void(const std::string&)> onFailure_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable committed_;
    std::vector<Operation> pending_;
    Readings readings_;
    std::vector<std::function<void()>> afterCommit_;
    std::size_t pendingReadings_ = 0;
    std::size_t committedReadings_ = 0;
    std::uint64_t flushesDone_ = 0; // flush() calls answered
    std::uint64_t flushAsked_ = 0;
    bool stopping_ = false;
    bool finished_ = false;
    bool lastCommitOk_ = true;
    std::string lastFailure_;

    std::mutex fileMutex_; // the file is used by one thread at a time
    std::unique_ptr<SeanceFile> file_;
    std::thread thread_;
};

} // namespace thermo
