#include "acquisition/code_source.h"

#include <stdexcept>

namespace thermo {

namespace {

[[noreturn]] void unknown(const std::string& key) {
    throw std::invalid_argument("CodeSource: no setting " + key);
}

} // namespace

double CodeSource::number(const std::string& key) const {
    unknown(key);
}

void CodeSource::setNumber(const std::string& key, double) {
    unknown(key);
}

std::string CodeSource::choice(const std::string& key) const {
    unknown(key);
}

void CodeSource::choose(const std::string& key, const std::string&) {
    unknown(key);
}

} // namespace thermo
