#pragma once

#include "acquisition/board_info.h"
#include "acquisition/board_mailbox.h"
#include "acquisition/greeting.h"

#include <algorithm>
#include <chrono>
#include <stop_token>
#include <string>
#include <string_view>

namespace thermo {

class SerialLine;

struct BoardTiming {
    // A code older than this is no measurement: the read fails with the cause the talking
    // thread saw last.
    std::chrono::milliseconds staleAfter{500};
    // Pause before opening again a port that went away, or whose board never said who it is;
    // also between two looks for a board that was unplugged.
    std::chrono::milliseconds reopenInterval{1000};
    // Opening its port restarts an Uno: the time its board has to say who it is.
    std::chrono::milliseconds bootTimeout{3000};
    // How long a board has to answer one request.
    std::chrono::milliseconds answerTimeout{250};
};

// No wait on a port in the talking threads is longer than this, so that they stop quickly.
inline constexpr std::chrono::milliseconds waitSlice{20};

// The end of the next wait on a port, on the way to `deadline`.
inline std::chrono::steady_clock::time_point
nextWait(std::chrono::steady_clock::time_point deadline) {
    return std::min(deadline, std::chrono::steady_clock::now() + waitSlice);
}

// False when `stop` came first.
bool pauseUntil(std::chrono::steady_clock::time_point until, std::stop_token stop);

inline constexpr const char* unpluggedText = "Carte débranchée";

// What the reads say while a board starts: its port is open but it has not said who it is
// yet; it said nothing valid within the time it had.
struct StartTexts {
    const char* booting;
    const char* noAnswer;
};

// A conversation with a board of one kind, held in its worker's thread. On a port just
// opened, it first hears the board's greeting, which the board gives by itself after the
// restart that the opening causes, or when asked; the port may be at another kind's speed
// meanwhile, so what comes may be noise. Once the board said who it is, the conversation
// talks with it on the same open port until it is lost.
class BoardConversation {
public:
    // Lost: the port went away, or the board never said who it is.
    // Foreign: the device is something else; it is not asked again.
    enum class End { Lost, Foreign, Stopped };

    virtual ~BoardConversation() = default;

    virtual int baudRate() const = 0;
    virtual StartTexts startTexts() const = 0;
    // A new opening of the port: what was heard before is forgotten.
    virtual void restart() = 0;
    // Takes what came on the port: Identified once the board said who it is, Foreign for a
    // device that answered as something else, Pending otherwise.
    virtual Greeting hear(std::string_view bytes) = 0;
    // Something of this kind's protocol came since the last question: a board of this kind
    // is likely there.
    virtual bool heardItsProtocol() const = 0;
    // The bytes that ask the board who it is, to be sent at baudRate().
    virtual std::string question() = 0;
    // Once Identified: what the board said of itself (its port is the caller's to fill in).
    virtual BoardInfo board() const = 0;
    // Once Foreign: what the reads say of the device.
    virtual std::string foreignCause() const = 0;

    // Talks with the identified board on its open port, keeping the mailbox up to date, the
    // state it ends in included.
    virtual End talk(SerialLine& line, BoardMailbox& mailbox, std::stop_token stop) = 0;
};

} // namespace thermo
