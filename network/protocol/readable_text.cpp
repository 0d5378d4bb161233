#include "network/protocol/readable_text.h"

namespace thermo::classroom {

bool isReadableText(const std::string& text) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned char c = *p;
        std::size_t more = 0;
        char32_t point = 0;
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7F) {
                return false;
            }
            ++p;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            more = 1;
            point = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2;
            point = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3;
            point = c & 0x07;
        } else {
            return false;
        }
        if (static_cast<std::size_t>(end - p) <= more) {
            return false;
        }
        for (std::size_t i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80) {
                return false;
            }
            point = (point << 6) | (p[i] & 0x3F);
        }
        // Overlong forms, UTF-16 halves, past U+10FFFF, and the C1 controls.
        constexpr char32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (point < least[more] || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF ||
            (point >= 0x80 && point < 0xA0)) {
            return false;
        }
        p += more + 1;
    }
    return true;
}

} // namespace thermo::classroom
