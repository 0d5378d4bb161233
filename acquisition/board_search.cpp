#include "acquisition/board_search.h"

#include "acquisition/board_kinds.h"

#include <QThread>
#include <exception>
#include <new>

namespace thermo {

BoardSearch::BoardSearch(QObject* parent)
    : QObject(parent),
      finder_([](std::stop_token stop) { return findBoards(systemSerialPorts, stop); }) {}

BoardSearch::~BoardSearch() {
    if (thread_ != nullptr) {
        stop_.request_stop();
        thread_->wait();
        delete thread_;
    }
}

void BoardSearch::setFinder(Finder finder) {
    finder_ = std::move(finder);
}

void BoardSearch::start() {
    if (running()) {
        return;
    }
    // The search writes its own result object only; it is read here once the thread is over.
    auto result = std::make_shared<Result>();
    pending_ = result;
    stop_ = std::stop_source();
    thread_ = QThread::create([finder = finder_, result, stop = stop_.get_token()] {
        // Nothing may leave the thread: an exception there would end the program.
        const auto stopped = [&result](const char* why) {
            try {
                result->error = why;
            } catch (...) {
            }
        };
        try {
            result->boards = finder(stop);
        } catch (const std::bad_alloc&) {
            stopped("mémoire insuffisante");
        } catch (const std::exception& error) {
            stopped(error.what());
        } catch (...) {
            stopped("erreur inconnue");
        }
    });
    // Queued: QThread::finished comes from the search's own thread.
    connect(thread_, &QThread::finished, this, &BoardSearch::collect, Qt::QueuedConnection);
    thread_->start();
}

void BoardSearch::collect() {
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    result_ = std::move(*pending_);
    pending_.reset();
    emit finished();
}

} // namespace thermo
