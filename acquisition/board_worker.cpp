#include "acquisition/board_worker.h"

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

std::optional<BoardConversation::End>
awaitGreeting(const std::function<Greeting(std::chrono::steady_clock::time_point)>& poll,
              BoardMailbox& mailbox, std::stop_token stop, std::chrono::milliseconds limit,
              const StartTexts& texts) {
    using Clock = std::chrono::steady_clock;
    mailbox.setState(SourceState::Connecting, texts.booting);
    const auto deadline = Clock::now() + limit;
    while (!stop.stop_requested()) {
        switch (poll(nextWait(deadline))) {
        case Greeting::Identified:
            return std::nullopt;
        case Greeting::Foreign:
            return BoardConversation::End::Foreign;
        case Greeting::Lost:
            mailbox.setState(SourceState::Lost, unpluggedText);
            return BoardConversation::End::Lost;
        case Greeting::Pending:
            if (Clock::now() >= deadline) {
                mailbox.setState(SourceState::Lost, texts.noAnswer);
                return BoardConversation::End::Lost;
            }
            break;
        }
    }
    return BoardConversation::End::Stopped;
}

BoardWorker::BoardWorker(std::unique_ptr<BoardConversation> conversation,
                         std::chrono::milliseconds reopenInterval)
    : conversation_(std::move(conversation)), reopenInterval_(reopenInterval) {
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
        while (conversation_->talk(mailbox_, stop) == BoardConversation::End::Lost &&
               pauseUntil(std::chrono::steady_clock::now() + reopenInterval_, stop)) {
        }
    } catch (const std::bad_alloc&) {
        give("Carte : mémoire insuffisante");
    } catch (...) {
        give("Carte : erreur interne");
    }
}

} // namespace thermo
