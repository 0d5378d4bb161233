#pragma once

#include <string>

namespace thermo::classroom {

// A text a person may read: valid UTF-8, no control characters.
bool isReadableText(const std::string& text) noexcept;

} // namespace thermo::classroom
