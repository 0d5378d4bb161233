#pragma once

#include "acquisition/board_info.h"

#include <QObject>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

class QThread;

namespace thermo {

// A search for boards on a thread of its own: opening the ports and waiting for the boards to
// start takes seconds, and resets every board it opens, so it runs only when asked.
class BoardSearch : public QObject {
    Q_OBJECT
public:
    // Asked to stop when the search is abandoned; it then returns what it has found so far.
    using Finder = std::function<std::vector<BoardInfo>(std::stop_token stop)>;

    struct Result {
        std::vector<BoardInfo> boards;
        std::string error; // what stopped the search, if something did; the boards are then none
    };

    // Searches the system's serial ports with findBoards() until told otherwise.
    explicit BoardSearch(QObject* parent = nullptr);
    // Stops a search still running, which takes a few milliseconds: it polls its ports in
    // such slices.
    ~BoardSearch() override;

    void setFinder(Finder finder);
    // Does nothing while a search is running.
    void start();
    bool running() const noexcept { return thread_ != nullptr; }
    // The last search's outcome, once finished() was emitted.
    const Result& result() const noexcept { return result_; }

signals:
    // In the thread the search was started from.
    void finished();

private:
    void collect();

    Finder finder_;
    QThread* thread_ = nullptr;
    std::stop_source stop_;
    std::shared_ptr<Result> pending_;
    Result result_;
};

} // namespace thermo
