// The program as main() starts it, validated at once, with its curve window open on a series
// already 2 hours long that then grows live on the simulated bench. Prints the program's CPU
// time and the intervals between ticks over the measured seconds, the redraws done, and the
// X server's CPU time when THERMO_XSERVER_PID names it. bench/measure_curve.sh runs it.
//   curve_live [SECONDS=30] [READINGS BEFORE=72000]
#include "bench/cooling_readings.h"
#include "ui/application.h"
#include "ui/curve/curve_plot_view.h"
#include "ui/curve/curve_session.h"
#include "ui/curve/curve_window.h"
#include "ui/main_window/form1.h"
#include "ui/measurement/measurement.h"
#include "ui/parameters/parametres.h"
#include "ui/recording/session_record.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int settleSeconds = 3;

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// CPU seconds of every thread of a process so far; 0 when it cannot be read.
double cpuSecondsOf(const QString& pid) {
    double total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        std::ifstream stat(tasks.filePath(task + QStringLiteral("/schedstat")).toStdString());
        double ns = 0;
        stat >> ns;
        total += ns / 1e9;
    }
    return total;
}

// Counts the plot's paint events while measuring.
class PaintCounter : public QObject {
public:
    PaintCounter(QWidget* widget, const bool& measuring, int& count)
        : measuring_(measuring), count_(count) {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && measuring_) {
            ++count_;
        }
        return false;
    }

private:
    const bool& measuring_;
    int& count_;
};

long peakKib() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::stoi(argv[1]) : 30;
    const std::size_t before = argc > 2 ? std::stoul(argv[2]) : thermo::bench::twoHours;
    thermo::setUpQtApplication();
    thermo::Application program;
    program.start();
    program.parametersDialog().validate();

    // The series so far ends now, one reading every 100 ms, so that the live ones follow on.
    const auto now = thermo::Reading::Clock::now();
    const auto start = now - std::chrono::milliseconds(100 * before);
    thermo::SessionRecord& record = program.curve().record();
    for (std::size_t i = 0; i < before; ++i) {
        thermo::Reading r = thermo::bench::coolingReading(i);
        r.time = start + (r.time - thermo::Reading::Clock::time_point{});
        record.take(r);
    }
    program.curve().showWindow();

    std::vector<double> intervals;
    thermo::Reading::Clock::time_point last{};
    bool measuring = false;
    int redraws = 0;
    QObject::connect(&program.mainWindow().measurement(), &thermo::Measurement::readingTaken,
                     [&](const thermo::Reading& r) {
                         if (measuring && last != thermo::Reading::Clock::time_point{}) {
                             intervals.push_back(
                                 std::chrono::duration<double, std::milli>(r.time - last).count());
                         }
                         last = r.time;
                     });
    PaintCounter paints(program.curve().window().plot().widget(), measuring, redraws);

    const QString server = qEnvironmentVariable("THERMO_XSERVER_PID");
    double cpu0 = 0;
    double server0 = 0;
    QTimer::singleShot(settleSeconds * 1000, [&] {
        measuring = true;
        cpu0 = processCpuSeconds();
        server0 = server.isEmpty() ? 0 : cpuSecondsOf(server);
    });
    QTimer::singleShot((settleSeconds + seconds) * 1000, [&] {
        const double cpu = (processCpuSeconds() - cpu0) / seconds * 100;
        const double serverCpu =
            server.isEmpty() ? 0 : (cpuSecondsOf(server) - server0) / seconds * 100;
        std::sort(intervals.begin(), intervals.end());
        const auto outside = std::count_if(intervals.begin(), intervals.end(),
                                           [](double ms) { return ms < 80 || ms > 120; });
        const double median = intervals.empty() ? 0 : intervals[intervals.size() / 2];
        std::printf("série : %zu mesures au départ, %zu à la fin\n", before,
                    record.series().size());
        std::printf("CPU du programme : %.3f %% d'un cœur sur %d s\n", cpu, seconds);
        if (!server.isEmpty()) {
            std::printf("CPU du serveur X : %.3f %% d'un cœur\n", serverCpu);
        }
        std::printf("intervalles entre mesures : %zu, médiane %.1f ms, de %.1f à %.1f ms, "
                    "%td hors de 100 ± 20 ms\n",
                    intervals.size(), median, intervals.empty() ? 0 : intervals.front(),
                    intervals.empty() ? 0 : intervals.back(), outside);
        std::printf("dessins de la courbe : %d pour %zu mesures\n", redraws, intervals.size() + 1);
        std::printf("mémoire résidente maximale : %ld Kio\n", peakKib());
        QCoreApplication::exit(cpu < 3 && outside == 0 ? 0 : 1);
    });
    return QApplication::exec();
}
