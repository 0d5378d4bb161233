#pragma once

namespace thermo {

// Makes the program's embedded files (circuit picture, fonts) reachable under ":/". The
// resources live in a static library, so they must be pulled in explicitly; safe to repeat.
void initEmbeddedResources();

} // namespace thermo
