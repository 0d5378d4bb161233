#include "core/field_texts.h"

namespace thermo {

std::string FieldTexts::text(Field field) const {
    const auto found = texts_.find(field);
    return found == texts_.end() ? std::string() : found->second;
}

void FieldTexts::setText(Field field, const std::string& text) {
    texts_[field] = text;
}

} // namespace thermo
