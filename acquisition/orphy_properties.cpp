#include "acquisition/orphy_properties.h"

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

} // namespace thermo
