// The teacher's "La classe" with five groups cooling side by side, for the README's picture:
// the real program's window and its own broker, five groups fed ten minutes of a cooling each
// (with and without a lid, small and large beakers), then measuring on live. Shown until it
// is ended (or for THERMO_PICTURE_SECONDS); "prêt" on the standard output once every group's
// run is in, for `import -window root`.
#include "network/class_broker.h"
#include "network/class_host.h"
#include "network/group_link.h"
#include "network/sent_batches.h"
#include "ui/application.h"
#include "ui/classroom/class_runs.h"
#include "ui/classroom/class_window.h"
#include "ui/classroom/classroom.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

using namespace thermo;

namespace {

struct Beaker {
    const char* name;
    double hot;
    double tauSeconds; // Newton's time constant
};

constexpr Beaker beakers[] = {
    {"Groupe 1 (couvercle)", 72, 900},   {"Groupe 2 (sans couvercle)", 70, 480},
    {"Groupe 3 (petit bécher)", 65, 300}, {"Groupe 4 (grand bécher)", 68, 1300},
    {"Groupe 5 (agité)", 74, 380},
};

// A group measuring on its own clock, a tenth of a second a reading.
struct Group {
    Group(const QString& folder, const Beaker& beaker) : link(store, folder), beaker(beaker) {}

    void tick() {
        Reading r;
        r.time = Reading::Clock::time_point(std::chrono::milliseconds(100 * fed));
        const double t = fed / 10.0;
        r.celsius = 21 + (beaker.hot - 21) * std::exp(-t / beaker.tauSeconds) +
                    0.05 * std::sin(fed * 0.7);
        r.uth = 2.0;
        r.ut = 5.0;
        r.code = 39322;
        link.take(r);
        ++fed;
    }

    classroom::SentBatchesInMemory store;
    classroom::GroupLink link;
    Beaker beaker;
    int fed = 0;
};

} // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    setUpQtApplication();
    QTemporaryDir dir;
    Application application;
    Classroom& classroom = application.classroom();
    classroom::HostSettings settings;
    settings.port = 0;
    settings.bindAddress = QStringLiteral("127.0.0.1");
    if (const QString failure = classroom.host().open(settings); !failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 1;
    }
    ClassWindow& window = classroom.classWindow();
    window.resize(1180, 700);
    window.move(20, 20);
    window.show();

    std::vector<std::unique_ptr<Group>> groups;
    QTimer live;
    QObject::connect(&classroom.host(), &classroom::ClassHost::statusChanged, [&] {
        if (!groups.empty() || !classroom.host().isConnected()) {
            return;
        }
        const QString address =
            QStringLiteral("127.0.0.1:%1").arg(classroom.host().broker()->port());
        for (const Beaker& beaker : beakers) {
            groups.push_back(std::make_unique<Group>(dir.filePath(beaker.name), beaker));
            groups.back()->link.join(address, classroom.host().displayedCode(),
                                     QString::fromUtf8(beaker.name));
        }
    });
    // Once all are in: ten minutes of readings at once, then a reading a tenth of a second.
    QTimer start;
    QObject::connect(&start, &QTimer::timeout, [&] {
        for (auto& group : groups) {
            if (group->link.phase() != classroom::GroupLink::Phase::Joined) {
                return;
            }
        }
        if (groups.empty()) {
            return;
        }
        start.stop();
        for (int i = 0; i < 6000; ++i) {
            for (auto& group : groups) {
                group->tick();
            }
        }
        live.start(100);
    });
    start.start(200);
    QObject::connect(&live, &QTimer::timeout, [&] {
        bool whole = window.runs().count() == groups.size();
        for (std::size_t i = 0; whole && i < groups.size(); ++i) {
            whole = window.runs().run(i).series->size() + 2 >= std::size_t(groups[i]->fed);
        }
        for (auto& group : groups) {
            group->tick();
        }
        static bool said = false;
        if (whole && !said) {
            said = true;
            std::printf("prêt\n");
            std::fflush(stdout);
        }
    });
    const int seconds = qEnvironmentVariableIntValue("THERMO_PICTURE_SECONDS");
    if (seconds > 0) {
        QTimer::singleShot(seconds * 1000, &qt, &QCoreApplication::quit);
    }
    return qt.exec();
}
