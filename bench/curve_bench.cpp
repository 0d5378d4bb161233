// The curve window's drawing: a full redraw of a school day, the tick of a 2-hour series, the
// memory a school day takes with the curve shown, the tangent and a cursor following the
// pointer over a school day, and "Modéliser" on a school day. Runs on the offscreen platform
// unless QT_QPA_PLATFORM says otherwise.
#include "bench/cooling_readings.h"
#include "core/number_locale.h"
#include "ui/application.h"
#include "ui/curve/curve_plot_view.h"
#include "ui/curve/curve_tools.h"
#include "ui/curve/curve_window.h"
#include "ui/curve/model_chooser.h"
#include "ui/recording/session_record.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <benchmark/benchmark.h>
#include <cstddef>
#include <qcustomplot.h>

namespace {

using thermo::bench::coolingReading;
using thermo::bench::residentBytes;

void fill(thermo::SessionRecord& record, std::size_t readings) {
    for (std::size_t i = 0; i < readings; ++i) {
        record.take(coolingReading(i));
    }
}

bool onScreen(thermo::CurveWindow& window) {
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

void showVoltages(thermo::CurveWindow& window, bool shown) {
    window.plot().setVoltageShown(thermo::SeriesColumn::Uth, shown);
    window.plot().setVoltageShown(thermo::SeriesColumn::Ut, shown);
}

// First, while the process holds no freed memory to reuse: resident memory gained by a school day's
// record, then by showing it (the graph's points, then with Uth and Ut too).
void BM_SchoolDayMemory(benchmark::State& state) {
    double recordMb = 0;
    double curveMb = 0;
    double voltagesMb = 0;
    for (auto _ : state) {
        const std::size_t before = residentBytes();
        thermo::SessionRecord record(thermo::NumberLocale{","});
        fill(record, thermo::bench::schoolDay);
        const std::size_t filled = residentBytes();
        thermo::CurveWindow window(record);
        if (!onScreen(window)) {
            state.SkipWithError("la fenêtre ne s'affiche pas");
            return;
        }
        QCoreApplication::processEvents();
        const std::size_t shown = residentBytes();
        showVoltages(window, true);
        QCoreApplication::processEvents();
        recordMb = static_cast<double>(filled - before) / 1e6;
        curveMb = static_cast<double>(shown - filled) / 1e6;
        voltagesMb = static_cast<double>(residentBytes() - shown) / 1e6;
    }
    state.counters["record_MB"] = recordMb;
    state.counters["curve_MB"] = curveMb;
    state.counters["voltages_MB"] = voltagesMb;
}
BENCHMARK(BM_SchoolDayMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

// The whole series drawn again, as after a zoom, a pan or "Tout voir", into the window.
// Arguments: readings; 1 to draw Uth and Ut as well.
void BM_FullRedraw(benchmark::State& state) {
    thermo::SessionRecord record(thermo::NumberLocale{","});
    fill(record, static_cast<std::size_t>(state.range(0)));
    thermo::CurveWindow window(record);
    if (!onScreen(window)) {
        state.SkipWithError("la fenêtre ne s'affiche pas");
        return;
    }
    showVoltages(window, state.range(1) != 0);
    auto& plot = *qobject_cast<QCustomPlot*>(window.plot().widget());
    for (auto _ : state) {
        plot.replot(QCustomPlot::rpImmediateRefresh);
    }
    state.counters["replot_ms"] = plot.replotTime(true);
}
BENCHMARK(BM_FullRedraw)
    ->Args({thermo::bench::schoolDay, 0})
    ->Args({thermo::bench::schoolDay, 1})
    ->Args({thermo::bench::twoHours, 0})
    ->Unit(benchmark::kMillisecond);

// One tick with the curve shown: the reading kept, the graph extended, the one queued redraw
// done, as the event loop does it.
void BM_TickWithCurve(benchmark::State& state) {
    thermo::SessionRecord record(thermo::NumberLocale{","});
    std::size_t next = static_cast<std::size_t>(state.range(0));
    fill(record, next);
    thermo::CurveWindow window(record);
    if (!onScreen(window)) {
        state.SkipWithError("la fenêtre ne s'affiche pas");
        return;
    }
    for (auto _ : state) {
        record.take(coolingReading(next++));
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_TickWithCurve)->Arg(thermo::bench::twoHours)->Unit(benchmark::kMillisecond);

// The pointer dragging cursor 1 across a school day shown whole, the tangent following it: each
// move redraws the tools' layer and paints the plot, as the event loop does. Argument: the
// tangent's half-width in seconds.
void BM_PointerTools(benchmark::State& state) {
    thermo::SessionRecord record(thermo::NumberLocale{","});
    fill(record, thermo::bench::schoolDay);
    thermo::CurveWindow window(record);
    if (!onScreen(window)) {
        state.SkipWithError("la fenêtre ne s'affiche pas");
        return;
    }
    thermo::CurveTools& tools = *window.plot().tools();
    tools.setTangentHalfWidth(static_cast<double>(state.range(0)));
    tools.setTangentShown(true);
    tools.setCursorPairShown(true);
    std::size_t cursorMoves = 0;
    std::size_t tangents = 0;
    tools.setCursorPairListener([&cursorMoves](thermo::CursorPairPlace) { ++cursorMoves; });
    // Past the last reading (the axis ends on a round number) there is no tangent to draw.
    tools.setTangentListener([&tangents](std::optional<thermo::Tangent>) { ++tangents; });
    auto& plot = *qobject_cast<QCustomPlot*>(window.plot().widget());
    QCoreApplication::processEvents();
    const QRect area = plot.axisRect()->rect();
    const int y = area.center().y();
    const double first = area.left() + area.width() / 3.0; // where cursor 1 starts
    const auto send = [&plot](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, plot.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&plot, &event);
    };
    send(QEvent::MouseButtonPress, QPointF(first, y), Qt::LeftButton);
    double slowestMs = 0;
    int x = area.left() + 1;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        send(QEvent::MouseMove, QPointF(x, y), Qt::LeftButton);
        QCoreApplication::processEvents(); // the paint
        slowestMs = std::max(slowestMs, static_cast<double>(clock.nsecsElapsed()) / 1e6);
        x = x + 7 < area.right() ? x + 7 : area.left() + 1;
    }
    send(QEvent::MouseButtonRelease, QPointF(x, y), Qt::NoButton);
    const auto iterations = static_cast<std::size_t>(state.iterations());
    if (cursorMoves < iterations || tangents < iterations) {
        state.SkipWithError("le curseur ou la tangente n'a pas suivi le pointeur");
    }
    state.counters["slowest_ms"] = slowestMs;
}
BENCHMARK(BM_PointerTools)->Arg(5)->Arg(60)->Unit(benchmark::kMillisecond);

// "Modéliser" on a school day shown whole: how long the press holds the interface's thread
// (the readings copied, the fit handed to a worker), and how long until the model is drawn.
void BM_ModelSchoolDay(benchmark::State& state) {
    thermo::SessionRecord record(thermo::NumberLocale{","});
    fill(record, thermo::bench::schoolDay);
    thermo::CurveWindow window(record);
    new thermo::ModelChooser(window);
    if (!onScreen(window)) {
        state.SkipWithError("la fenêtre ne s'affiche pas");
        return;
    }
    auto* button = window.findChild<QPushButton*>(QStringLiteral("modelButton"));
    double pressMs = 0;
    double answerMs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        button->click();
        pressMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        while (window.message().startsWith(QStringLiteral("Modélisation en cours"))) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        answerMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        if (!window.message().startsWith(QStringLiteral("Modèle"))) {
            state.SkipWithError(qPrintable(window.message()));
            return;
        }
        window.findChild<QPushButton*>(QStringLiteral("clearModelsButton"))->click();
    }
    state.counters["press_ms"] = pressMs;
    state.counters["model_ms"] = answerMs;
}
BENCHMARK(BM_ModelSchoolDay)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    thermo::setUpQtApplication();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
