#pragma once

#include <QIcon>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace thermo {

// A run's colour as a small framed square, for the lists that name runs.
QIcon runSwatch(std::uint32_t rgb);
// "1 mesure", "12 345 mesures".
QString readingsText(std::size_t n);

} // namespace thermo
