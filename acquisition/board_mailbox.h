#pragma once

#include "acquisition/analog_accumulator.h"
#include "acquisition/board_info.h"
#include "acquisition/code_source.h"

#include <array>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace thermo {

// What the thread that talks to a board leaves for the reads, which take it at once in the
// interface's thread: for EA0 and EA1 the values received and their time, and why none comes
// when none does; how the conversation stands; what the board said of itself and where it is;
// the boards like it found after it was unplugged, which only the user can tell from it.
class BoardMailbox {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int channels = 2;

    struct Values {
        double mean; // of the values since the channel's previous take, or the last one
        int last;
    };

    // The talking thread's side. How the conversation stands, with what every read says while
    // it is not Connected, or what a channel that sends nothing says while it is. Any change
    // of state drops the values: they came from a board that is gone or starting again.
    void setState(SourceState state, std::string cause);
    void post(int channel, int value, Clock::time_point at);
    // Why `channel` gives no value now, until the next value comes.
    void fail(int channel, std::string cause);
    void setBoard(BoardInfo board);
    void addLookalike(BoardInfo board);

    // The reads' side: the channel's values when the last one is no older than `staleAfter`,
    // else the status that says why there is none.
    std::variant<Values, SourceStatus> take(int channel, Clock::time_point now,
                                            Clock::duration staleAfter);
    // How the conversation stands, whatever the values.
    SourceStatus status() const;
    std::optional<BoardInfo> board() const;
    std::vector<BoardInfo> lookalikes() const;

private:
    mutable std::mutex mutex_;
    SourceState state_ = SourceState::Connecting;
    std::string cause_ = "Carte : ouverture du port";
    AnalogAccumulator values_;
    std::array<std::string, channels> channelCauses_;
    std::optional<BoardInfo> board_;
    std::vector<BoardInfo> lookalikes_;
};

} // namespace thermo
