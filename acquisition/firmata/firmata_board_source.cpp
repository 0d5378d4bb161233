#include "acquisition/firmata/firmata_board_source.h"

#include "acquisition/firmata/analog_code.h"
#include "acquisition/firmata/firmata_conversation.h"

#include <stdexcept>

namespace thermo {

namespace {

constexpr double lowReference = 3.3;

} // namespace

const BoardKind& FirmataBoardSource::kind() {
    static const BoardKind firmata =
        kindOf<FirmataConversation, FirmataBoardSource>("Carte Firmata");
    return firmata;
}

FirmataBoardSource::FirmataBoardSource(std::string portPath, const BoardTiming& timing,
                                       PortLister ports)
    : BoardSource(std::move(portPath), kind(), timing, std::move(ports)),
      reference_(firmata::defaultReference) {}

FirmataBoardSource::FirmataBoardSource(std::unique_ptr<BoardWorker> worker)
    : BoardSource(std::move(worker)), reference_(firmata::defaultReference) {}

std::string FirmataBoardSource::name() const {
    const auto identified = board();
    return (identified ? identified->identification : std::string("Carte Firmata")) + " sur " +
           portPath();
}

// An Uno's converter has 10 bits; the board says how many its own has before its first report.
std::int32_t FirmataBoardSource::code(const BoardMailbox::Values& values,
                                      const std::optional<BoardInfo>& board) const {
    const int bits = board && board->converterBits > 0 ? board->converterBits : 10;
    return firmata::interfaceCode(values.mean, bits, reference_);
}

std::vector<ChoiceSetting> FirmataBoardSource::choiceSettings() const {
    return {{referenceKey,
             "Tension de référence du convertisseur",
             "Clic droit : tension de référence, celle qui alimente la carte",
             {{reference5V, "Vref 5 V", ""}, {reference3V3, "Vref 3,3 V", ""}}}};
}

std::string FirmataBoardSource::choice(const std::string& key) const {
    if (key != referenceKey) {
        return CodeSource::choice(key);
    }
    return reference_ == lowReference ? reference3V3 : reference5V;
}

void FirmataBoardSource::choose(const std::string& key, const std::string& choiceKey) {
    if (key != referenceKey || (choiceKey != reference5V && choiceKey != reference3V3)) {
        CodeSource::choose(key, choiceKey);
        return;
    }
    reference_ = choiceKey == reference3V3 ? lowReference : firmata::defaultReference;
    notifyChanged();
}

} // namespace thermo
