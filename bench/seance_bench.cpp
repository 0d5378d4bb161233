// The séance's costs, measured on the real journal, files and windows (offscreen unless
// QT_QPA_PLATFORM says otherwise):
//   - the journal at 10 Hz: processor time of the whole program (writer thread included) per
//     second measured, and the longest time the event loop was held;
//   - a séance of ten 8-hour runs (2.88 million readings) opened: time until the curve is
//     drawn, and the memory it takes against the raw readings (37 bytes each);
//   - the table of one 8-hour run scrolled from end to end, page by page: the longest frame.
#include "bench/cooling_readings.h"
#include "tests/support/event_loop_gap.h"
#include "ui/curve/curve_plot_view.h"
#include "ui/curve/curve_session.h"
#include "ui/curve/curve_window.h"
#include "ui/curve/readings_table.h"
#include "ui/application.h"
#include "ui/recording/seance_document.h"
#include "ui/recording/seance_journal.h"
#include "ui/recording/session_record.h"
#include "ui/seance/seance_actions.h"

#include <QApplication>
#include <algorithm>
#include <vector>
#include <QDir>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <optional>
#include <malloc.h>
#include <sys/resource.h>

using namespace thermo;
using namespace std::chrono;

namespace {

// Bytes the allocator has handed out and not taken back, mapped blocks included: what the
// runs, their graphs and the table really hold, whatever memory the allocator keeps aside.
std::size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto s = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return s(usage.ru_utime) + s(usage.ru_stime);
}

// The same ten readings a second into a record, with and without its journal: the difference
// is the journal's cost. The 1-ms probe that finds the event loop's gaps costs the same in both.
void journalAtTenHertz(const QString& folder, int seconds) {
    for (const bool journaled : {false, true}) {
        SessionRecord record(NumberLocale{","});
        std::optional<SeanceJournal> journal;
        if (journaled) {
            journal.emplace(record, folder);
        }
        std::size_t i = 0;
        record.take(bench::coolingReading(i++)); // the journal begins
        const double before = cpuSeconds();
        const test::EventLoopGaps gaps = test::measureEventLoopGaps(
            [&] { record.take(bench::coolingReading(i++)); }, milliseconds(seconds * 1000));
        const double used = cpuSeconds() - before;
        if (journal) {
            journal->finish();
        }
        std::printf("%s at 10 Hz for %d s: %.3f %% of a core, longest event-loop gap %.2f ms, "
                    "longest take() %.3f ms\n",
                    journaled ? "record and journal" : "record alone", seconds,
                    100.0 * used / (gaps.elapsed.count() / 1e6), gaps.longest.count() / 1000.0,
                    gaps.longestTick.count() / 1000.0);
    }
}

QString tenSchoolDays(const QString& folder) {
    SessionRecord record(NumberLocale{","});
    for (int run = 0; run < 10; ++run) {
        if (run > 0) {
            record.newRun();
        }
        for (std::size_t i = 0; i < bench::schoolDay; ++i) {
            record.take(bench::coolingReading(i));
        }
    }
    const QString path = QDir(folder).filePath("dix-journees.thermo");
    QElapsedTimer clock;
    clock.start();
    const QString failure = writeSeance(record, path);
    std::printf("ten 8-hour runs saved in %.1f s (%s), %.0f MB\n", clock.elapsed() / 1000.0,
                failure.isEmpty() ? "ok" : qPrintable(failure),
                QFileInfo(path).size() / 1e6);
    return path;
}

void openTenSchoolDays(const QString& path) {
    Application program;
    CurveWindow& window = program.curve().window();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::puts("the curve window does not show");
    }
    const std::size_t shown = heapInUse();
    QElapsedTimer clock;
    clock.start();
    program.curve().actions().open(path);
    const qint64 read = clock.elapsed();
    QApplication::processEvents();
    window.repaint();
    QApplication::processEvents();
    const qint64 drawn = clock.elapsed();
    const double raw = 2'880'000.0 * 37;
    std::printf("%zu readings in %zu runs\n", program.curve().record().readingCount(),
                program.curve().record().runCount());
    std::printf("ten 8-hour runs opened: read in %lld ms, curve drawn at %lld ms; heap "
                "%.0f MB for %.0f MB of raw readings (%.2f times)\n",
                static_cast<long long>(read), static_cast<long long>(drawn),
                static_cast<double>(heapInUse() - shown) / 1e6, raw / 1e6,
                static_cast<double>(heapInUse() - shown) / raw);

    ReadingsTable& table = program.curve().actions().table();
    table.show();
    if (!QTest::qWaitForWindowExposed(&table)) {
        std::puts("the table does not show");
    }
    QScrollBar* bar = table.view().verticalScrollBar();
    std::vector<qint64> frames;
    for (int value = 0; value <= bar->maximum(); value += bar->pageStep()) {
        QElapsedTimer frame;
        frame.start();
        bar->setValue(value);
        table.view().viewport()->repaint();
        frames.push_back(frame.nsecsElapsed());
    }
    std::sort(frames.begin(), frames.end());
    const auto at = [&frames](double share) {
        return frames[static_cast<std::size_t>(share * static_cast<double>(frames.size() - 1))] /
               1e6;
    };
    std::printf("table of %d rows scrolled end to end in %zu frames: median %.2f ms, 99 %% under "
                "%.2f ms, longest %.2f ms, %zu over 16 ms\n",
                table.model().rowCount(), frames.size(), at(0.5), at(0.99), at(1.0),
                static_cast<std::size_t>(std::count_if(frames.begin(), frames.end(),
                                                       [](qint64 f) { return f > 16'000'000; })));
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    QApplication app(argc, argv);
    setUpQtApplication();
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    journalAtTenHertz(data.path(), seconds);
    openTenSchoolDays(tenSchoolDays(data.path()));
    return 0;
}
