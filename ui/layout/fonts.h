#pragma once

#include <QFont>

namespace thermo {

inline constexpr const char* sansFamily = "Liberation Sans";   // in place of "MS Sans Serif"
inline constexpr const char* serifFamily = "Liberation Serif"; // in place of "MS Serif"

// Registers the embedded Liberation fonts with Qt once; later calls only return the first
// result. True when all of them were registered.
bool registerEmbeddedFonts();

// Fonts of the window tables, in points; bold is weight 700.
QFont sansFont(double points, bool bold = false);
QFont serifFont(double points);

} // namespace thermo
