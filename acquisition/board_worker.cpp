#include "acquisition/board_worker.h"

#include "acquisition/board_session.h"

#include <QThread>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>

namespace thermo {

bool pauseUntil(std::chrono::steady_clock::time_point until, std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any wakeUp;
    std::unique_lock lock(mutex);
    wakeUp.wait_until(lock, stop, until, [] { return false; });
    return !stop.stop_requested();
}

BoardWorker::BoardWorker(std::string portPath, std::vector<const BoardKind*> kinds,
                         const BoardTiming& timing, PortLister ports)
    : portPath_(std::move(portPath)), kinds_(std::move(kinds)), timing_(timing),
      ports_(std::move(ports)) {
    thread_.reset(QThread::create([this, stop = stop_.get_token()] { run(stop); }));
    thread_->start();
}

BoardWorker::~BoardWorker() {
    stop_.request_stop();
    thread_->wait();
}

void BoardWorker::run(std::stop_token stop) noexcept {
    const auto give = [this](const char* cause) {
        try {
            mailbox_.setState(SourceState::Lost, cause);
        } catch (...) {
            // Out of memory even for the message: the reads keep the cause they had.
        }
    };
    try {
        BoardSession(portPath_, kinds_, timing_, ports_, mailbox_).run(stop);
    } catch (const std::bad_alloc&) {
        give("Carte : mémoire insuffisante");
    } catch (...) {
        give("Carte : erreur interne");
    }
}

} // namespace thermo
