#include "acquisition/orphy_control.h"

#include "acquisition/awaited_board.h"
#include "acquisition/board_kinds.h"
#include "acquisition/board_search.h"
#include "acquisition/simulated_bench.h"
#include "core/failure.h"

#include <QFileInfo>
#include <QTimer>
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
    BoardSearch* detection = nullptr; // while a port's kind is being found out
    AwaitedBoard* awaited = nullptr;  // the source meanwhile
    std::atomic<bool> updatePending{false};
};

OrphyControl::OrphyControl(const OrphyProperties& properties, QObject* parent)
    : QObject(parent), impl_(std::make_unique<Impl>()) {
    impl_->properties = properties;
    impl_->bench = std::make_unique<SimulatedBench>(Noise::On);
    impl_->source = impl_->bench.get();
    impl_->source->setListener([this] { notifyUpdated(); });
}

void OrphyControl::notifyUpdated() {
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
    if (impl_->detection) {
        // Abandoned: it stops in a few milliseconds, and its outcome goes nowhere.
        impl_->detection->disconnect(this);
        impl_->detection->deleteLater();
        impl_->detection = nullptr;
        impl_->awaited = nullptr;
    }
    impl_->source->setListener({});
    std::unique_ptr<CodeSource> previous = std::exchange(impl_->other, std::move(other));
    impl_->source = source;
    impl_->boardKind = kind;
    source->setListener([this] { notifyUpdated(); });
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
    std::unique_ptr<CodeSource> board = kind.open(portPath);
    if (!board) {
        throw std::invalid_argument("OrphyControl::useBoard: no source");
    }
    CodeSource* raw = board.get();
    use(raw, std::move(board), &kind);
}

void OrphyControl::usePort(const std::string& portPath) {
    auto awaited = std::make_unique<AwaitedBoard>(portPath);
    AwaitedBoard* raw = awaited.get();
    use(raw, std::move(awaited), nullptr);
    impl_->awaited = raw;
    impl_->detection = new BoardSearch(this);
    impl_->detection->setFinder([portPath](std::stop_token stop) {
        return findBoards({portPath}, searchLimitPerKind, stop);
    });
    connect(impl_->detection, &BoardSearch::finished, this, [this, portPath] {
        try {
            detected(portPath);
        } catch (const std::exception& error) {
            // Not thrown through the event loop: the reads say it.
            if (impl_->awaited) {
                impl_->awaited->setStatus({SourceState::Lost, error.what()});
            }
        }
    });
    impl_->detection->start();
}

void OrphyControl::detected(const std::string& portPath) {
    const BoardSearch::Result& result = impl_->detection->result();
    if (!result.boards.empty() && result.boards.front().kind != nullptr) {
        useBoard(*result.boards.front().kind, portPath);
        return;
    }
    const bool present = QFileInfo::exists(QString::fromStdString(portPath));
    impl_->awaited->setStatus({SourceState::Lost, present
                                                      ? "Carte : aucune carte reconnue sur ce port"
                                                      : "Carte débranchée"});
    BoardSearch* detection = impl_->detection;
    QTimer::singleShot(detectionPauseMs, detection, [detection] { detection->start(); });
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
