#include "acquisition/board_mailbox.h"

#include <utility>

namespace thermo {

void BoardMailbox::setState(SourceState state, std::string cause) {
    std::lock_guard lock(mutex_);
    if (state != state_) {
        values_ = {};
        channelCauses_ = {};
    }
    state_ = state;
    cause_ = std::move(cause);
}

void BoardMailbox::post(int channel, int value, Clock::time_point at) {
    std::lock_guard lock(mutex_);
    values_.add(channel, value, at);
    channelCauses_.at(static_cast<std::size_t>(channel)).clear();
}

void BoardMailbox::fail(int channel, std::string cause) {
    std::lock_guard lock(mutex_);
    channelCauses_.at(static_cast<std::size_t>(channel)) = std::move(cause);
}

void BoardMailbox::setBoard(BoardInfo board) {
    std::lock_guard lock(mutex_);
    board_ = std::move(board);
}

void BoardMailbox::addLookalike(BoardInfo board) {
    std::lock_guard lock(mutex_);
    lookalikes_.push_back(std::move(board));
}

std::variant<BoardMailbox::Values, SourceStatus>
BoardMailbox::take(int channel, Clock::time_point now, Clock::duration staleAfter) {
    std::lock_guard lock(mutex_);
    if (state_ != SourceState::Connected) {
        return SourceStatus{state_, cause_};
    }
    if (values_.silent(channel, now, staleAfter)) {
        const std::string& cause = channelCauses_.at(static_cast<std::size_t>(channel));
        return SourceStatus{SourceState::Lost, cause.empty() ? cause_ : cause};
    }
    const int last = *values_.lastValue(channel);
    return Values{*values_.take(channel), last};
}

SourceStatus BoardMailbox::status() const {
    std::lock_guard lock(mutex_);
    return {state_, cause_};
}

std::optional<BoardInfo> BoardMailbox::board() const {
    std::lock_guard lock(mutex_);
    return board_;
}

std::vector<BoardInfo> BoardMailbox::lookalikes() const {
    std::lock_guard lock(mutex_);
    return lookalikes_;
}

} // namespace thermo
