#pragma once

#include <functional>

namespace thermo {

// The largest n in [low, high] for which fits(n) holds, where whatever fits at a size fits at
// every smaller one: the type for a text in a room. Returns low, untried, when no larger n fits.
// A halving search, so that sizing a text to a whole screen measures it a dozen times, not a
// thousand.
int largestFitting(int low, int high, const std::function<bool(int)>& fits);

} // namespace thermo
