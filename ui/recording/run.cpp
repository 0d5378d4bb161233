#include "ui/recording/run.h"

#include <array>

namespace thermo {

RunHeader Run::header() const {
    RunHeader h;
    h.id = static_cast<std::int64_t>(id);
    h.name = name.toStdString();
    h.colour = colour;
    h.visible = visible;
    h.source = source.toStdString();
    h.parameters = parameters;
    h.started = started.toStdString();
    return h;
}

std::uint32_t runColour(std::size_t n) {
    static const std::array<std::uint32_t, 8> palette{0xC00000, 0xE07000, 0x8000A0, 0x008080,
                                                      0x805000, 0xD00080, 0x6A6A00, 0x404080};
    return palette[n % palette.size()];
}

} // namespace thermo
