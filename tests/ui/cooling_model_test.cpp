#include "tests/support/series_readings.h"
#include "ui/curve/curve_plot_view.h"
#include "ui/curve/curve_session.h"
#include "ui/seance/seance_keeper.h"
#include "ui/curve/curve_window.h"
#include "ui/layout/projector_zoom.h"
#include "ui/measurement/measurement.h"
#include "ui/recording/session_record.h"
#include "ui/recording/user_number_locale.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <qcustomplot.h>
#include <random>

using namespace thermo;

namespace {

constexpr double room = 20.0;
constexpr double tau = 120.0;

// Ten readings a second for 10 min: held at `initial`, then from `plateau` seconds on cooling
// toward the room, with the bench's scatter; every 50th tick fails.
struct Lesson {
    Lesson(const QLocale& numbers, double initial, double plateau)
        : locale((QLocale::setDefault(numbers), numbers)) {
        std::mt19937 random(7);
        std::normal_distribution<double> noise(0.0, 0.05);
        for (int i = 0; i < 6000; ++i) {
            const double above =
                (initial - room) * std::exp(-std::max(0.0, i / 10.0 - plateau) / tau);
            const Reading r = test::measured(i * 100, room + above + noise(random), 2.5, 5, 40960);
            session.record().take(i % 50 == 49 ? test::readFailed(i * 100) : r);
        }
        session.showWindow();
        plot().replot();
    }
    ~Lesson() { QLocale::setDefault(QLocale::c()); }
    CurveWindow& curve() { return session.window(); }
    QCustomPlot& plot() { return *qobject_cast<QCustomPlot*>(curve().plot().widget()); }
    QPushButton* button() { return curve().findChild<QPushButton*>("modelButton"); }
    // "Modéliser", then the answer.
    void model() {
        QTest::mouseClick(button(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(button()->isEnabled(), 20000);
    }
    const QCPGraph* drawnModel() {
        const QCPGraph* last = plot().graph(plot().graphCount() - 1);
        return last->visible() && last->name().startsWith("Modèle") ? last : nullptr;
    }
    // The number after `before` in the message, and the one after the "±" that follows.
    std::pair<double, double> figure(const QString& before) {
        const QString number = QStringLiteral("(-?\\d+(?:\\%1\\d+)?)").arg(locale.decimalPoint());
        const auto match =
            QRegularExpression(before + number + "(?: ± " + number + ")?").match(curve().message());
        const auto at = [&](int i) { return locale.toDouble(match.captured(i)); };
        return {match.hasMatch() ? at(1) : NAN, at(2)};
    }

    QLocale locale;
    ProjectorZoom zoom;
    Measurement measurement{userNumberLocale()};
    SeanceKeeper keeper{measurement.record()};
    CurveSession session{zoom, measurement, keeper};
};

} // namespace

class CoolingModelTest : public QObject {
    Q_OBJECT

private slots:
    // The time shown, or picked with Shift and a drag: the lesson's law within three standard
    // uncertainties, T0 taken where the range begins; too short or flat, a refusal and no model.
    void modelsTheTimeShownOrPicked_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("initial");
        QTest::addColumn<double>("plateau");
        QTest::addColumn<double>("from"); // the time picked; none when `to` is 0
        QTest::addColumn<double>("to");
        QTest::addColumn<QString>("refusal");
        const QLocale french(QLocale::French, QLocale::France);
        QTest::newRow("shown, decimal comma") << french << 80.0 << 0.0 << 0.0 << 0.0 << "";
        QTest::newRow("picked after the plateau")
            << QLocale::c() << 80.0 << 60.0 << 90.0 << 500.0 << "";
        QTest::newRow("picked too short")
            << QLocale::c() << 80.0 << 60.0 << 200.0 << 203.0 << "Plage trop courte";
        QTest::newRow("flat") << french << room << 0.0 << 0.0 << 0.0 << "Plage trop plate";
    }
    void modelsTheTimeShownOrPicked() {
        QFETCH(QLocale, locale);
        QFETCH(double, initial);
        QFETCH(double, plateau);
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(QString, refusal);
        Lesson lesson(locale, initial, plateau);
        if (to > 0) {
            QCustomPlot& plot = lesson.plot();
            const int y = plot.axisRect()->center().y();
            const auto at = [&](double t) { return QPoint(plot.xAxis->coordToPixel(t), y); };
            QTest::mousePress(&plot, Qt::LeftButton, Qt::ShiftModifier, at(from));
            QTest::mouseMove(&plot, at(to));
            QTest::mouseRelease(&plot, Qt::LeftButton, Qt::ShiftModifier, at(to));
        }
        lesson.model();
        if (!refusal.isEmpty()) {
            QVERIFY2(lesson.curve().message().startsWith(refusal),
                     qPrintable(lesson.curve().message()));
            QVERIFY(lesson.drawnModel() == nullptr);
            return;
        }
        const double t0 = lesson.figure("de t = ").first;
        QVERIFY2(std::abs(t0 - from) < 1, qPrintable(lesson.curve().message()));
        const double truth[] = {room, room + (initial - room) * std::exp(-(t0 - plateau) / tau),
                                tau};
        const char* names[] = {"Tf = ", "T0 = ", "τ = "};
        for (int i = 0; i < 3; ++i) {
            const auto [value, uncertainty] = lesson.figure(QString::fromUtf8(names[i]));
            QVERIFY2(uncertainty > 0 && std::abs(value - truth[i]) <= 3 * uncertainty,
                     qPrintable(lesson.curve().message()));
        }
        QVERIFY(std::abs(lesson.figure("écart type ").first - 0.05) < 0.02);
        const QCPGraph* model = lesson.drawnModel();
        QVERIFY(model != nullptr && std::abs(model->data()->begin()->key - t0) <= 0.05);
        QVERIFY(std::abs(model->data()->begin()->value - truth[1]) < 0.1);
    }

    void modelGoesAwayOnASecondPressAndOnANewRun() {
        Lesson lesson(QLocale::c(), 80.0, 0.0);
        lesson.model();
        QCOMPARE(lesson.button()->text(), QStringLiteral("Effacer le modèle"));
        QTest::mouseClick(lesson.button(), Qt::LeftButton);
        QVERIFY(lesson.drawnModel() == nullptr);
        QCOMPARE(lesson.curve().message(), QString());

        lesson.model();
        QVERIFY(lesson.drawnModel() != nullptr);
        QTemporaryDir dir;
        QVERIFY(lesson.session.record().saveAs(dir.filePath("serie.csv"))); // nothing to ask
        QTest::mouseClick(lesson.curve().findChild<QPushButton*>("newRunButton"), Qt::LeftButton);
        QVERIFY(lesson.drawnModel() == nullptr);
        QCOMPARE(lesson.button()->text(), QStringLiteral("Modéliser"));
    }
};

QTEST_MAIN(CoolingModelTest)
#include "cooling_model_test.moc"
