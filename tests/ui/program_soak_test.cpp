// Soak of the running program: started as main() starts it, on the X server, validated through
// the real "Validation" button, then left measuring on the simulated bench with its real timer
// while the bench's faults, temperature and supply are changed through its panel. It must keep
// completing a cycle every 100 ms, show what the bench implies on every tick, keep its memory
// flat and still end on "Quitter".
#include "acquisition/orphy_control.h"
#include "acquisition/simulated_bench.h"
#include "core/code_conversion.h"
#include "core/main_window_fields.h"
#include "core/measurement_cycle.h"
#include "core/number_text.h"
#include "ui/acquisition/orphy_view.h"
#include "ui/acquisition/source_panel.h"
#include "ui/application.h"
#include "ui/layout/fonts.h"
#include "ui/main_window/form1.h"
#include "ui/measurement/measurement.h"
#include "ui/parameters/parametres.h"

#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>

using namespace thermo;

namespace {

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define THERMO_SOAK_UNDER_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define THERMO_SOAK_UNDER_ASAN 1
#endif

// ASan's allocator keeps freed memory in quarantine: resident size says nothing there.
#ifdef THERMO_SOAK_UNDER_ASAN
constexpr bool checkMemory = false;
#else
constexpr bool checkMemory = true;
#endif

constexpr int tickMilliseconds = 100;
constexpr int stepMilliseconds = 2000;
constexpr int baselineSeconds = 10;
constexpr long allowedGrowthKiB = 1024;

// Two minutes unless THERMO_SOAK_SECONDS says otherwise.
int soakSeconds() {
    const int seconds = qEnvironmentVariableIntValue("THERMO_SOAK_SECONDS");
    return seconds > 0 ? seconds : 120;
}

// Resident size of this process, from the kernel.
long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

// Bytes the allocator has handed out and not taken back, mapped blocks included.
std::size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// What the bench is set to during one step of the soak.
struct BenchState {
    BenchFault fault;
    double celsius;
    double supply;
};

// Every failure the bench can stage and the low supply, all within the first ten seconds so
// that the memory baseline already holds whatever each of them allocates for good.
constexpr BenchState steps[] = {
    {BenchFault::None, 25.0, 5.0},
    {BenchFault::OpenThermistor, 25.0, 5.0},
    {BenchFault::ShortedThermistor, 60.0, 6.0},
    {BenchFault::Unplugged, 60.0, 6.0},
    {BenchFault::None, 40.0, 4.5},
    {BenchFault::None, 60.0, 6.0},
    {BenchFault::OpenThermistor, 0.0, 9.0},
    {BenchFault::None, 0.0, 9.0},
    {BenchFault::ShortedThermistor, 10.0, 5.0},
    {BenchFault::None, -10.0, 5.5},
    {BenchFault::Unplugged, 80.0, 5.0},
    {BenchFault::None, 80.0, 5.0},
    {BenchFault::None, 33.5, 4.8},
    {BenchFault::None, 33.5, 7.5},
};
constexpr int stepCount = static_cast<int>(std::size(steps));
// The parameters dialog is reopened on this step of every round and validated on the next.
constexpr int reopenStep = 2;

double leadingNumber(const QString& text) {
    QString number = text.section(QLatin1Char(' '), 0, 0);
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok ? value : std::nan("");
}

// What the soak saw; the figures it prints and the test's verdict come from here.
struct Results {
    int status = -1; // the event loop's: 0 from Quitter, -99 from the watchdog
    qint64 elapsedMs = 0;
    int firings = 0;   // Timer1's timeouts
    int completed = 0; // ticks that ended and showed what the bench implies
    int unwritten = 0; // ticks that ended without publishing their reading
    int caughtUp = 0;  // firings dropped for coming hard on the heels of a late tick
    int wrong = 0;     // ticks that showed something the bench does not imply
    QString firstWrong;
    qint64 longestGapMs = 0;
    int steps = 0;
    std::array<long, 32> rssKiB{}; // every ten seconds
    int samples = 0;
    long baselineKiB = -1;
    long endKiB = -1;
};

class Soak : public QObject {
public:
    explicit Soak(int seconds) : seconds_(seconds) {
        QObject::connect(&application_, &Application::mainWindowCreated, this,
                         [this](Form1* window) { watch(window); });
    }

    const Results& results() const { return results_; }
    Form1* mainWindow() const { return form_; }

    // Starts the program and validates its parameters; false if a window is missing.
    bool start() {
        application_.start();
        parametres& dialog = application_.parametersDialog();
        if (!QTest::qWaitForWindowExposed(&dialog)) {
            return false;
        }
        validation_ = dialog.findChild<QPushButton*>(QStringLiteral("Command1"));
        QTest::mouseClick(validation_, Qt::LeftButton);
        clock_.start();
        form_ = application_.existingMainWindow();
        if (form_ == nullptr) {
            return false;
        }
        panel_ = form_->acquisitionView().findChild<SourcePanel*>();
        bench_ = &form_->measurement().control().bench();
        return panel_ != nullptr;
    }

    // Lets the program measure inside the application's event loop until Quitter ends it.
    void run() {

        QTimer stepper;
        QObject::connect(&stepper, &QTimer::timeout, this, [this] { nextStep(); });
        stepper.start(stepMilliseconds);
        QTimer sampler;
        sampler.setTimerType(Qt::PreciseTimer);
        QObject::connect(&sampler, &QTimer::timeout, this, [this] { sample(); });
        sampler.start(baselineSeconds * 1000);
        // Precise: a coarse timer may fire up to 5 % early.
        QTimer::singleShot(seconds_ * 1000, Qt::PreciseTimer, this, [this, &stepper, &sampler] {
            stepper.stop();
            sampler.stop();
            finish();
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(-99); });
        watchdog.start(seconds_ * 1000 + 30000);
        results_.status = QCoreApplication::exec();
    }

private:
    void watch(Form1* window) {
        // Every tick that ends publishes its reading once its fields are written.
        QObject::connect(&window->measurement(), &Measurement::readingTaken, this,
                         [this] { ++readings_; });
        // Connected after Form1's own handler, so it runs once the tick is over.
        QObject::connect(&window->measurement().timer(), &QTimer::timeout, this,
                         [this] { afterTick(); });
    }

    QString shown(Field field) const { return QString::fromStdString(form_->text(field)); }

    // What is wrong with the window after a tick on the bench as it is now; empty if nothing.
    QString checkDisplay() const {
        const QString text1 = shown(Field::Text1);
        const bool temperatureShown = text1.endsWith(QString::fromUtf8(temperatureSuffix));
        if (bench_->fault() == BenchFault::Unplugged) {
            // Nothing was read, so no temperature can be shown.
            return temperatureShown || text1.isEmpty()
                       ? QStringLiteral("unplugged, yet Text1 is \"%1\"").arg(text1)
                       : QString();
        }
        const int code = shown(Field::Text2).toInt();
        const int expected = BenchModel::codeOf(bench_->model().thermistorVoltage());
        if (std::abs(code - expected) > BenchModel::noiseLimitCodes) {
            return QStringLiteral("EA0 %1, bench %2").arg(code).arg(expected);
        }
        if (std::abs(leadingNumber(shown(Field::Text3)) - voltageOf(code)) > 1e-9 ||
            shown(Field::Text4).toStdString() != hexText(std::to_string(code)) ||
            shown(Field::Text7).toStdString() != binaryText(code)) {
            return QStringLiteral("texts of EA0 %1: %2 %3 %4")
                .arg(code)
                .arg(shown(Field::Text3), shown(Field::Text4), shown(Field::Text7));
        }
        const double ut = leadingNumber(shown(Field::Text8));
        // The noise and the code's rounding, then the text's rounding to the millivolt.
        const double tolerance = (BenchModel::noiseLimitCodes + 1) / codesPerVolt + 0.0005;
        if (!(std::abs(ut - bench_->supplyVoltage()) <= tolerance)) {
            return QStringLiteral("Ut %1 for %2 V")
                .arg(shown(Field::Text8))
                .arg(bench_->supplyVoltage());
        }
        if (bench_->supplyVoltage() < 4.9) {
            return text1 == QString::fromUtf8(lowSupplyMessage) ? QString() : text1;
        }
        if (bench_->fault() != BenchFault::None) {
            // A cut or shorted thermistor leaves a divider the noise can still tip either way:
            // a message or an absurd temperature are both what the circuit gives.
            return text1.isEmpty() ? QStringLiteral("Text1 empty") : QString();
        }
        const double celsius = leadingNumber(text1);
        return temperatureShown && std::abs(celsius - bench_->temperature()) <= 0.5
                   ? QString()
                   : QStringLiteral("%1 for %2 °C").arg(text1).arg(bench_->temperature());
    }

    void afterTick() {
        if (!counting_) {
            return;
        }
        ++results_.firings;
        const qint64 now = clock_.elapsed();
        if (lastTickMs_ >= 0) {
            results_.longestGapMs = std::max(results_.longestGapMs, now - lastTickMs_);
        }
        lastTickMs_ = now;
        const bool written = readings_ > readingsAtLastTick_;
        readingsAtLastTick_ = readings_;
        if (!written) {
            // Qt fires at once after a late tick, to catch up; the measurement takes no reading
            // then, half a period after the last one.
            ++(now - lastWrittenMs_ < tickMilliseconds ? results_.caughtUp : results_.unwritten);
            return;
        }
        lastWrittenMs_ = now;
        QString problem = checkDisplay();
        if (!problem.isEmpty()) {
            problem += QStringLiteral(" (bench: fault %1, %2 °C, %3 V)")
                           .arg(static_cast<int>(bench_->fault()))
                           .arg(bench_->temperature())
                           .arg(bench_->supplyVoltage());
        }
        if (problem.isEmpty()) {
            ++results_.completed;
        } else if (results_.wrong++ == 0) {
            results_.firstWrong = problem;
        }
    }

    void nextStep() {
        const int step = ++results_.steps % stepCount;
        const BenchState& state = steps[step];
        panel_->findChild<QDoubleSpinBox*>(QStringLiteral("benchTemperature"))
            ->setValue(state.celsius);
        panel_->findChild<QDoubleSpinBox*>(QStringLiteral("benchSupply"))->setValue(state.supply);
        panel_
            ->findChild<QAction*>(
                QString::fromStdString(SimulatedBench::faultChoiceKey(state.fault)))
            ->trigger();
        if (step == reopenStep) {
            QTest::mouseClick(form_->findChild<QPushButton*>(QStringLiteral("Command2")),
                              Qt::LeftButton);
        } else if (step == reopenStep + 1) {
            QTest::mouseClick(validation_, Qt::LeftButton);
        }
    }

    void sample() {
        const long rss = residentKiB();
        if (results_.samples < static_cast<int>(results_.rssKiB.size())) {
            results_.rssKiB[static_cast<std::size_t>(results_.samples)] = rss;
        }
        if (results_.samples++ == 0) {
            results_.baselineKiB = rss;
        }
    }

    void finish() {
        counting_ = false;
        results_.elapsedMs = clock_.elapsed();
        results_.endKiB = residentKiB();
        if (application_.parametersDialog().isVisible()) {
            QTest::mouseClick(validation_, Qt::LeftButton);
        }
        // The end of the lesson as a user ends it; exec() returns 0 only if Quitter works.
        QTimer::singleShot(0, this, [this] {
            QTest::mouseClick(form_->findChild<QPushButton*>(QStringLiteral("Command1")),
                              Qt::LeftButton);
        });
    }

    int seconds_;
    Application application_;
    Form1* form_ = nullptr;
    SourcePanel* panel_ = nullptr;
    SimulatedBench* bench_ = nullptr;
    QPushButton* validation_ = nullptr;
    QElapsedTimer clock_;
    bool counting_ = true;
    int readings_ = 0;
    int readingsAtLastTick_ = 0;
    qint64 lastTickMs_ = -1;
    qint64 lastWrittenMs_ = -1'000'000;
    Results results_;
};

} // namespace

class ProgramSoak : public QObject {
    Q_OBJECT

private:
    qint64 fontHeapBytes_ = 0;

private slots:
    void initTestCase() {
        // The platform the classroom PC runs, not the offscreen stand-in.
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        // The font database reads the system's fonts on first use; what comes after that is
        // what registering the program's own fonts keeps.
        QVERIFY(!QFontDatabase::families().isEmpty());
        const std::size_t heapBefore = heapInUse();
        QVERIFY(registerEmbeddedFonts());
        fontHeapBytes_ = static_cast<qint64>(heapInUse()) - static_cast<qint64>(heapBefore);
        QApplication::setFont(sansFont(8.25));
        QApplication::setQuitOnLastWindowClosed(false);
    }

    // The three embedded fonts weigh 1.2 MB; a copy of them would stay on the heap all lesson.
    void embeddedFontsAreUsedInPlace() {
        if (!checkMemory) {
            QSKIP("ASan's allocator does not report the heap through mallinfo2");
        }
        qInfo("heap kept by registering the embedded fonts: %lld KiB", fontHeapBytes_ / 1024);
        QVERIFY(fontHeapBytes_ < 256 * 1024);
    }

    void measuresWithoutFailingOrGrowing() {
        const int seconds = soakSeconds();
        QVERIFY2(seconds > baselineSeconds, "the soak must outlast its memory baseline");
        Soak soak(seconds);
        QVERIFY(soak.start());
        soak.run();
        const Results& seen = soak.results();

        const qint64 expected = seen.elapsedMs / tickMilliseconds;
        qInfo("%d s: %d cycles completed of %lld expected (%.1f %%), %d timer firings (%d to "
              "catch up, dropped), longest gap %lld ms, %d bench changes",
              seconds, seen.completed, expected, 100.0 * seen.completed / double(expected),
              seen.firings, seen.caughtUp, seen.longestGapMs, seen.steps);
        QString trace;
        for (int i = 0; i < std::min<int>(seen.samples, int(seen.rssKiB.size())); ++i) {
            trace += QStringLiteral(" %1").arg(seen.rssKiB[static_cast<std::size_t>(i)]);
        }
        qInfo("VmRSS every %d s (KiB):%s; end %ld KiB, growth from %d s: %ld KiB", baselineSeconds,
              qPrintable(trace), seen.endKiB, baselineSeconds, seen.endKiB - seen.baselineKiB);

        // 0 comes from Quitter (or a window's frame); the watchdog ends with -99.
        QCOMPARE(seen.status, 0);
        QVERIFY(!soak.mainWindow()->measurement().timer().isActive());
        QVERIFY2(seen.wrong == 0, qPrintable(QStringLiteral("%1 ticks showed a wrong display, "
                                                            "the first: %2")
                                                 .arg(seen.wrong)
                                                 .arg(seen.firstWrong)));
        QCOMPARE(seen.unwritten, 0);
        QVERIFY(seen.elapsedMs >= seconds * 1000);
        QVERIFY2(seen.completed * 100 >= expected * 95, "fewer than 95 % of the ticks");
        QVERIFY(seen.steps >= seconds * 1000 / stepMilliseconds - 1);
        if (checkMemory) {
            QVERIFY(seen.baselineKiB > 0 && seen.endKiB > 0);
            QVERIFY2(std::abs(seen.endKiB - seen.baselineKiB) <= allowedGrowthKiB,
                     "resident size moved by more than 1 MiB after the first ten seconds");
        }
    }
};

int main(int argc, char* argv[]) {
    // Without an X server there is nothing to soak: say so and fail, never pass quietly.
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fputs("FAIL: DISPLAY is not set; this soak needs an X server (./test.sh starts "
                   "Xvfb; by hand: xvfb-run -a ctest -R ui.soak)\n",
                   stderr);
        return EXIT_FAILURE;
    }
    // QtTest stops any test function after five minutes; a longer soak needs longer.
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT")) {
        qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number((soakSeconds() + 60) * 1000));
    }
    QApplication application(argc, argv);
    ProgramSoak soak;
    return QTest::qExec(&soak, argc, argv);
}

#include "program_soak_test.moc"
