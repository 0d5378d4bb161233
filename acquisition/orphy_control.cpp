#include "acquisition/orphy_control.h"

#include "acquisition/bench_panel.h"
#include "acquisition/serial/serial_board_source.h"
#include "acquisition/simulated_bench.h"
#include "acquisition/source_menu.h"
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
    std::unique_ptr<CodeSource> source;
    std::unique_ptr<SimulatedBench> parkedBench;
    BenchPanel* panel = nullptr;
    SourceMenu* sources = nullptr;
};

OrphyControl::OrphyControl(const OrphyProperties& properties, QWidget* parent)
    : QWidget(parent), impl_(std::make_unique<Impl>()) {
    setAccessibleName(tr("Interface d'acquisition ORPHY GTS2"));
    impl_->properties = properties;
    impl_->source = std::make_unique<SimulatedBench>(Noise::On);
    impl_->panel = new BenchPanel(this);
    impl_->panel->setSource(impl_->source.get());
    impl_->sources = new SourceMenu(*this, impl_->panel->menu());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(impl_->panel);
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

void OrphyControl::setSource(std::unique_ptr<CodeSource> source) {
    if (!source) {
        throw std::invalid_argument("OrphyControl::setSource: null source");
    }
    // The panel lets go of the old source before it is destroyed.
    impl_->panel->setSource(source.get());
    std::unique_ptr<CodeSource> previous = std::exchange(impl_->source, std::move(source));
    if (auto* bench = dynamic_cast<SimulatedBench*>(previous.get())) {
        previous.release();
        impl_->parkedBench.reset(bench);
    }
    emit sourceChanged();
}

void OrphyControl::useSimulation() {
    if (simulatedBench()) {
        return;
    }
    std::unique_ptr<SimulatedBench> bench = std::move(impl_->parkedBench);
    if (!bench) {
        bench = std::make_unique<SimulatedBench>(Noise::On);
    }
    setSource(std::move(bench));
}

void OrphyControl::useBoard(const std::string& portPath) {
    setSource(std::make_unique<SerialBoardSource>(portPath));
}

SourceMenu& OrphyControl::sourceMenu() noexcept {
    return *impl_->sources;
}

CodeSource& OrphyControl::source() noexcept {
    return *impl_->source;
}

SimulatedBench* OrphyControl::simulatedBench() noexcept {
    return dynamic_cast<SimulatedBench*>(impl_->source.get());
}

void OrphyControl::refreshPanel() {
    impl_->panel->refresh();
}

QSize OrphyControl::sizeHint() const {
    return {169, 33};
}

} // namespace thermo
