#pragma once

#include "core/reading.h"
#include "network/group_link.h"
#include "network/sent_batches.h"

#include <QString>
#include <cmath>

namespace thermo::test {

// A group of the class without its windows: its readings, a beaker cooling from `hot` °C,
// go straight to its link, as the measurement's signal would hand them.
struct SimulatedGroup {
    SimulatedGroup(const QString& accountsFolder, double hot)
        : link(store, accountsFolder), hot(hot) {}

    void tick() {
        Reading r;
        r.time = Reading::Clock::now();
        const double t = fed / 10.0;
        r.celsius = 20 + (hot - 20) * std::exp(-t / 600);
        r.code = 40000 + fed % 1000;
        r.uth = std::round((r.code.value() - 32768) / 3.2768) / 1000;
        r.ut = 5.0;
        link.take(r);
        ++fed;
    }

    classroom::SentBatchesInMemory store;
    classroom::GroupLink link;
    double hot;
    int fed = 0;
};

} // namespace thermo::test
