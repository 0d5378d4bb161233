#include "acquisition/orphy_control.h"

#include "acquisition/awaited_board.h"
#include "acquisition/board_kinds.h"
#include "acquisition/simulated_bench.h"
#include "core/failure.h"

#include <atomic>
#include <stdexcept>
#include <utility>

namespace thermo {

struct OrphyControl::Impl {
    OrphyProperties properties;
    std::unique_ptr<SimulatedBench> bench;
    std::unique_ptr<CodeSource> other; // the source in use when it is not the bench
    const BoardKind* boardKind = nullptr;
    CodeSource* source = nullptr;
    AwaitedBoard* awaited = nullptr; // while the kind of the board on a port is found out
    PortLister ports = systemSerialPorts;
    BoardSearch* search = nullptr;
    BoardList boards;
    // The source the list was last brought up to date with, where it was, and how many of
    // its lookalikes were told.
    const CodeSource* listed = nullptr;
    std::string listedPort;
    std::size_t lookalikesTold = 0;
    std::atomic<bool> updatePending{false};
};

OrphyControl::OrphyControl(const OrphyProperties& properties, QObject* parent)
    : QObject(parent), impl_(std::make_unique<Impl>()) {
    impl_->properties = properties;
    impl_->bench = std::make_unique<SimulatedBench>(Noise::On);
    impl_->source = impl_->bench.get();
    impl_->source->setListener([this] { notifyUpdated(); });
    impl_->search = new BoardSearch(this);
    setPorts(systemSerialPorts);
    connect(impl_->search, &BoardSearch::finished, this, [this] {
        impl_->boards.merge(impl_->search->result().boards);
        emit boardsChanged();
    });
    // Queued when the source tells from another thread.
    connect(this, &OrphyControl::sourceUpdated, this, &OrphyControl::refreshBoards);
}

void OrphyControl::notifyUpdated() {
    // A source may tell from its board's thread, or from inside a tick: the panels hear of it
    // once, from the event loop.
    if (!impl_->updatePending.exchange(true)) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                impl_->updatePending = false;
                emit sourceUpdated();
            },
            Qt::QueuedConnection);
    }
}

OrphyControl::~OrphyControl() = default;

const OrphyProperties& OrphyControl::properties() const noexcept {
    return impl_->properties;
}

AutomationValue OrphyControl::invoke(std::int32_t dispatchId, std::int32_t argument) {
    if (dispatchId != readDispatchId) {
        throw Failure(FailureKind::AcquisitionFailed, "Acquisition : méthode inconnue");
    }
    try {
        // Once recognised, the board's own source reads it from this call on.
        if (impl_->awaited && impl_->awaited->recognised()) {
            const BoardKind* kind = impl_->awaited->recognised();
            std::unique_ptr<CodeSource> board = impl_->awaited->takeOver();
            CodeSource* raw = board.get();
            use(raw, std::move(board), kind);
        }
        return impl_->source->read(argument);
    } catch (const Failure& failure) {
        if (failure.kind() == FailureKind::AcquisitionFailed) {
            throw;
        }
    } catch (...) {
    }
    // Whatever went wrong inside the source, for the caller the call failed.
    throw Failure(FailureKind::AcquisitionFailed, "Acquisition : la lecture a échoué");
}

void OrphyControl::use(CodeSource* source, std::unique_ptr<CodeSource> other,
                       const BoardKind* kind) {
    impl_->awaited = nullptr;
    impl_->source->setListener({});
    std::unique_ptr<CodeSource> previous = std::exchange(impl_->other, std::move(other));
    impl_->source = source;
    impl_->boardKind = kind;
    source->setListener([this] { notifyUpdated(); });
    refreshBoards();
    emit sourceChanged();
}

void OrphyControl::setSource(std::unique_ptr<CodeSource> source) {
    if (!source) {
        throw std::invalid_argument("OrphyControl::setSource: null source");
    }
    CodeSource* raw = source.get();
    use(raw, std::move(source), nullptr);
}

void OrphyControl::useSimulation() {
    if (!usingBench()) {
        use(impl_->bench.get(), nullptr, nullptr);
    }
}

void OrphyControl::useBoard(const BoardKind& kind, const std::string& portPath) {
    std::unique_ptr<CodeSource> board = openBoard(kind, portPath, {}, impl_->ports);
    CodeSource* raw = board.get();
    use(raw, std::move(board), &kind);
}

void OrphyControl::usePort(const std::string& portPath) {
    auto awaited = std::make_unique<AwaitedBoard>(portPath, BoardTiming{}, impl_->ports);
    AwaitedBoard* raw = awaited.get();
    use(raw, std::move(awaited), nullptr);
    impl_->awaited = raw;
}

void OrphyControl::setPorts(PortLister ports) {
    impl_->ports = std::move(ports);
    impl_->search->setFinder(
        [ports = impl_->ports](std::stop_token stop) { return findBoards(ports, stop); });
}

const BoardList& OrphyControl::boards() const noexcept {
    return impl_->boards;
}

BoardSearch& OrphyControl::search() noexcept {
    return *impl_->search;
}

// In this thread, after each change of the source or of what it says.
void OrphyControl::refreshBoards() {
    const std::string port = impl_->source->portPath();
    const bool sameSource = impl_->listed == impl_->source;
    if (!sameSource) {
        impl_->lookalikesTold = 0;
    }
    const std::vector<BoardList::Entry> before = impl_->boards.entries();
    const bool followed =
        sameSource && !impl_->listedPort.empty() && !port.empty() && port != impl_->listedPort;
    if (followed) {
        impl_->boards.follow(port);
    }
    impl_->boards.use(port, impl_->boardKind, impl_->source->name());
    impl_->listed = impl_->source;
    impl_->listedPort = port;
    if (impl_->boards.entries() != before) {
        emit boardsChanged();
    }
    if (followed) {
        emit boardFollowed(QString::fromStdString(port));
    }
    const std::vector<BoardInfo> lookalikes = impl_->source->lookalikes();
    for (; impl_->lookalikesTold < lookalikes.size(); ++impl_->lookalikesTold) {
        emit lookalikeFound(lookalikes[impl_->lookalikesTold]);
    }
}

CodeSource& OrphyControl::source() noexcept {
    return *impl_->source;
}

SimulatedBench& OrphyControl::bench() noexcept {
    return *impl_->bench;
}

bool OrphyControl::usingBench() const noexcept {
    return impl_->source == impl_->bench.get();
}

const BoardKind* OrphyControl::boardKind() const noexcept {
    return impl_->boardKind;
}

} // namespace thermo
