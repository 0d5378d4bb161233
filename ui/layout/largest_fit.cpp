#include "ui/layout/largest_fit.h"

namespace thermo {

int largestFitting(int low, int high, const std::function<bool(int)>& fits) {
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (fits(middle)) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return low;
}

} // namespace thermo
