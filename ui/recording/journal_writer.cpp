#include "ui/recording/journal_writer.h"

#include "core/failure.h"

#include <exception>
#include <utility>

namespace thermo {

JournalWriter::JournalWriter(std::string path, bool create, std::chrono::milliseconds interval,
                             std::function<void(const std::string&)> onFailure)
    : path_(std::move(path)), create_(create), interval_(interval),
      onFailure_(std::move(onFailure)), thread_([this] { run(); }) {}

JournalWriter::~JournalWriter() {
    finish();
}

void JournalWriter::push(Operation operation) {
    const std::lock_guard lock(mutex_);
    if (stopping_) {
        return;
    }
    wrapReadings();
    pending_.push_back(std::move(operation));
}

void JournalWriter::pushReading(std::int64_t run, std::size_t index, const Sample& sample) {
    const std::lock_guard lock(mutex_);
    if (stopping_) {
        return;
    }
    if (readings_.run != run || readings_.first + readings_.samples.size() != index) {
        wrapReadings();
        readings_.run = run;
        readings_.first = index;
    }
    readings_.samples.push_back(sample);
    ++pendingReadings_;
}

void JournalWriter::afterCommit(std::function<void()> action) {
    const std::lock_guard lock(mutex_);
    afterCommit_.push_back(std::move(action));
}

void JournalWriter::wrapReadings() {
    if (readings_.samples.empty()) {
        return;
    }
    pending_.push_back([r = std::move(readings_)](SeanceFile& file) {
        file.appendReadings(r.run, r.first, r.samples);
    });
    readings_ = Readings{};
}

bool JournalWriter::flush() {
    std::unique_lock lock(mutex_);
    if (stopping_) {
        return lastCommitOk_;
    }
    const std::uint64_t ticket = ++flushAsked_;
    wake_.notify_all();
    committed_.wait(lock, [&] { return flushesDone_ >= ticket || finished_; });
    return lastCommitOk_;
}

bool JournalWriter::finish(std::vector<Operation> last) {
    {
        const std::lock_guard lock(mutex_);
        if (!stopping_) {
            wrapReadings();
            for (Operation& operation : last) {
                pending_.push_back(std::move(operation));
            }
            stopping_ = true;
            wake_.notify_all();
        }
    }
    // Whichever thread comes first waits for the writer; the others find it done.
    static std::mutex joining;
    {
        const std::lock_guard join(joining);
        if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) {
            thread_.join();
        }
    }
    const std::lock_guard lock(mutex_);
    return lastCommitOk_ && pending_.empty();
}

std::size_t JournalWriter::committedReadings() const {
    const std::lock_guard lock(mutex_);
    return committedReadings_;
}

void JournalWriter::run() {
    std::unique_lock lock(mutex_);
    // Commits begin every interval, however long the last one took: a sync slowed by a busy
    // disk then delays the next commit by what it overran, not by a whole interval more, and a
    // killed program still loses about one interval.
    auto next = std::chrono::steady_clock::now() + interval_;
    for (;;) {
        wake_.wait_until(lock, next,
                         [this] { return stopping_ || flushAsked_ > flushesDone_; });
        next = std::chrono::steady_clock::now() + interval_;
        const bool last = stopping_;
        const std::uint64_t asked = flushAsked_;
        commitPending(lock);
        flushesDone_ = asked;
        committed_.notify_all();
        if (last) {
            break;
        }
    }
    finished_ = true;
    committed_.notify_all();
    lock.unlock();
    const std::lock_guard file(fileMutex_);
    file_.reset();
}

bool JournalWriter::commitPending(std::unique_lock<std::mutex>& lock) {
    wrapReadings();
    if (pending_.empty()) {
        return true;
    }
    std::vector<Operation> operations;
    operations.swap(pending_);
    const std::size_t readings = pendingReadings_;
    lock.unlock();

    std::string failure;
    {
        const std::lock_guard file(fileMutex_);
        try {
            if (!file_) {
                file_ = std::make_unique<SeanceFile>(
                    path_, create_ ? SeanceFile::Mode::Create : SeanceFile::Mode::Write, true);
                create_ = false;
            }
            file_->begin();
            try {
                for (Operation& operation : operations) {
                    operation(*file_);
                }
                file_->commit();
            } catch (...) {
                file_->rollback();
                throw;
            }
        } catch (const Failure& error) {
            failure = error.what();
        } catch (const std::exception& error) {
            failure = error.what();
        }
    }

    lock.lock();
    if (!failure.empty()) {
        // Kept, in order, before what came since: the next round tries again.
        operations.insert(operations.end(), std::make_move_iterator(pending_.begin()),
                          std::make_move_iterator(pending_.end()));
        pending_.swap(operations);
        const bool news = lastCommitOk_ || failure != lastFailure_;
        lastCommitOk_ = false;
        lastFailure_ = failure;
        if (news && onFailure_) {
            lock.unlock();
            onFailure_(failure);
            lock.lock();
        }
        return false;
    }
    lastCommitOk_ = true;
    lastFailure_.clear();
    committedReadings_ += readings;
    pendingReadings_ -= readings;
    std::vector<std::function<void()>> actions;
    actions.swap(afterCommit_);
    lock.unlock();
    for (const auto& action : actions) {
        action();
    }
    lock.lock();
    return true;
}

} // namespace thermo
