#include "acquisition/board_search.h"

#include "acquisition/board_kinds.h"

#include <QThread>
#include <exception>

namespace thermo {

BoardSearch::BoardSearch(QObject* parent) : QObject(parent), finder_([] { return findBoards(); }) {}

BoardSearch::~BoardSearch() {
    if (thread_ != nullptr) {
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
    thread_ = QThread::create([finder = finder_, result] {
        try {
            result->boards = finder();
        } catch (const std::exception& error) {
            result->error = error.what();
        } catch (...) {
            result->error = "erreur inconnue";
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
