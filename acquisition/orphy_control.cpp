#include "acquisition/orphy_control.h"

#include "acquisition/board_kinds.h"
#include "acquisition/simulated_bench.h"
#include "acquisition/source_menu.h"
#include "acquisition/source_panel.h"
#include "core/failure.h"

#include <QVBoxLayout>
#include <stdexcept>
#include <utility>

namespace thermo {

namespace {

std::string padded(std::string text, std::size_t size, char filler) {
    text.resize(size, filler);
    return text;
}

} // namespace

OrphyProperties OrphyProperties::mainWindowSet() {
    OrphyProperties set;
    set.extentX = 4471;
    set.extentY = 873;
    set.voie = 1;
    set.backColor = 0x80000005;
    set.calibre = 0;
    set.nomGrandeur = padded("tension", 50, ' ');
    set.nomUnite = padded("V", 20, ' ');
    set.valGrandeur = 5.0836181640625f;
    set.nomSymbole = padded("U", 20, ' ');
    set.version = padded("7.13", 20, ' ');
    set.rom = padded("ORPHY GTS2 V1.25\n\r", 200, '\0');
    return set;
}

struct OrphyControl::Impl {
    OrphyProperties properties;
    std::unique_ptr<SimulatedBench> bench;
    std::unique_ptr<CodeSource> other; // the source in use when it is not the bench
    const BoardKind* boardKind = nullptr;
    CodeSource* source = nullptr;
    SourcePanel* panel = nullptr;
    SourceMenu* sources = nullptr;
};

OrphyControl::OrphyControl(const OrphyProperties& properties, QWidget* parent)
    : QWidget(parent), impl_(std::make_unique<Impl>()) {
    setAccessibleName(tr("Interface d'acquisition ORPHY GTS2"));
    impl_->properties = properties;
    impl_->bench = std::make_unique<SimulatedBench>(Noise::On);
    impl_->panel = new SourcePanel(this);
    connect(this, &OrphyControl::sourceUpdated, impl_->panel, &SourcePanel::refresh);
    use(impl_->bench.get());
    impl_->sources = new SourceMenu(*this, impl_->panel->menu());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(impl_->panel);
}

OrphyControl::~OrphyControl() {
    impl_->panel->setSource(nullptr);
}

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

// The panel and the listener let go of the source before it is replaced or destroyed.
void OrphyControl::use(CodeSource* source) {
    if (impl_->source != nullptr) {
        impl_->source->setListener({});
    }
    impl_->source = source;
    source->setListener([this] { emit sourceUpdated(); });
    impl_->panel->setSource(source);
}

void OrphyControl::setSource(std::unique_ptr<CodeSource> source) {
    if (!source) {
        throw std::invalid_argument("OrphyControl::setSource: null source");
    }
    use(source.get());
    impl_->other = std::move(source);
    impl_->boardKind = nullptr;
    emit sourceChanged();
}

void OrphyControl::useSimulation() {
    if (usingBench()) {
        return;
    }
    use(impl_->bench.get());
    impl_->other.reset();
    impl_->boardKind = nullptr;
    emit sourceChanged();
}

void OrphyControl::useBoard(const BoardKind& kind, const std::string& portPath) {
    std::unique_ptr<CodeSource> board = kind.open(portPath);
    if (!board) {
        throw std::invalid_argument("OrphyControl::useBoard: no source");
    }
    use(board.get());
    impl_->other = std::move(board);
    impl_->boardKind = &kind;
    emit sourceChanged();
}

const BoardKind* OrphyControl::boardKind() const noexcept {
    return impl_->boardKind;
}

SourceMenu& OrphyControl::sourceMenu() noexcept {
    return *impl_->sources;
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

void OrphyControl::setZoom(double zoom) {
    impl_->panel->setZoom(zoom);
}

QSize OrphyControl::sizeHint() const {
    return {169, 33};
}

} // namespace thermo
