#include "acquisition/port_probe.h"

#include "acquisition/board_conversation.h"
#include "acquisition/board_kinds.h"
#include "acquisition/board_recognition.h"

#include <algorithm>
#include <memory>

namespace thermo {

namespace {

constexpr std::chrono::milliseconds pollSlice{5};

// One port of the search: opened, listened to and asked by every kind.
class PortProbe {
public:
    PortProbe(const std::string& path, const std::vector<const BoardKind*>& kinds) : line_(path) {
        for (const BoardKind* kind : kinds) {
            conversations_.push_back(kind->converse({}));
            kinds_.push_back(kind);
        }
    }
    bool open() { return line_.open(conversations_.front()->baudRate()); }
    void start() {
        std::vector<BoardConversation*> asked;
        for (const auto& conversation : conversations_) {
            asked.push_back(conversation.get());
        }
        recognition_ = std::make_unique<BoardRecognition>(line_, std::move(asked));
    }
    Greeting poll(SerialLine::Clock::time_point until) { return recognition_->poll(until); }
    BoardInfo board() const {
        const BoardConversation* answered = recognition_->answered();
        BoardInfo board = answered->board();
        board.portPath = line_.portPath();
        for (std::size_t i = 0; i < conversations_.size(); ++i) {
            if (conversations_[i].get() == answered) {
                board.kind = kinds_[i];
            }
        }
        return board;
    }

private:
    SerialLine line_;
    std::vector<std::unique_ptr<BoardConversation>> conversations_;
    std::vector<const BoardKind*> kinds_;
    std::unique_ptr<BoardRecognition> recognition_;
};

} // namespace

std::vector<BoardInfo> probePorts(const std::vector<std::string>& portPaths,
                                  const std::vector<const BoardKind*>& kinds,
                                  std::chrono::milliseconds limit, std::stop_token stop) {
    using Clock = SerialLine::Clock;
    const auto deadline = Clock::now() + limit;
    std::vector<std::unique_ptr<PortProbe>> pending;
    for (const std::string& path : portPaths) {
        auto probe = std::make_unique<PortProbe>(path, kinds);
        if (!kinds.empty() && probe->open()) {
            probe->start();
            pending.push_back(std::move(probe));
        }
    }
    std::vector<BoardInfo> boards;
    while (!pending.empty() && Clock::now() < deadline && !stop.stop_requested()) {
        std::erase_if(pending, [&](const std::unique_ptr<PortProbe>& probe) {
            switch (probe->poll(std::min(deadline, Clock::now() + pollSlice))) {
            case Greeting::Identified:
                boards.push_back(probe->board());
                return true;
            case Greeting::Foreign:
            case Greeting::Lost:
                return true;
            case Greeting::Pending:
                break;
            }
            return false;
        });
    }
    std::sort(boards.begin(), boards.end(),
              [](const BoardInfo& a, const BoardInfo& b) { return a.portPath < b.portPath; });
    return boards;
}

} // namespace thermo
