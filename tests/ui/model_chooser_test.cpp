#include "core/model_result.h"
#include "tests/support/curve_lesson.h"
#include "ui/curve/curve_plot_view.h"
#include "ui/curve/curve_session.h"
#include "ui/curve/curve_window.h"
#include "ui/layout/projector_zoom.h"
#include "ui/measurement/measurement.h"
#include "ui/recording/session_record.h"
#include "ui/recording/user_number_locale.h"
#include "ui/seance/seance_keeper.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <cmath>
#include <qcustomplot.h>

using namespace thermo;

namespace {

// The law of the bench set from 25 to 80 °C at t = 60 s, and left to cool from t = 63 s.
double benchJump(double t) {
    return t < 60 ? 25.0 : test::cooling(80, 63)(t);
}

// Ten minutes of a law in the curve window of a session without a main window.
struct Lesson {
    Lesson(const QLocale& numbers, const test::Law& law)
        : locale((QLocale::setDefault(numbers), numbers)) {
        test::recordLesson(session.record(), law);
        session.showWindow();
        plot().replot();
    }
    ~Lesson() { QLocale::setDefault(QLocale::c()); }
    CurveWindow& curve() { return session.window(); }
    QCustomPlot& plot() { return *qobject_cast<QCustomPlot*>(curve().plot().widget()); }
    template <typename T = QPushButton> T* control(const char* name) {
        return curve().findChild<T*>(QString::fromLatin1(name));
    }
    QString message() { return curve().message(); }
    // Shift and a drag from `from` to `to` seconds.
    void pick(double from, double to) {
        const int y = plot().axisRect()->center().y();
        const auto at = [&](double t) { return QPoint(plot().xAxis->coordToPixel(t), y); };
        QTest::mousePress(&plot(), Qt::LeftButton, Qt::ShiftModifier, at(from));
        QTest::mouseMove(&plot(), at(to));
        QTest::mouseRelease(&plot(), Qt::LeftButton, Qt::ShiftModifier, at(to));
    }
    // The law chosen, "Modéliser", then the answer.
    void model(ModelKind kind) {
        auto* choice = control<QComboBox>("modelChoice");
        choice->setCurrentIndex(choice->findData(static_cast<int>(kind)));
        QTest::mouseClick(control("modelButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!message().startsWith("Modélisation en cours"), 20000);
    }
    bool saidInRed() {
        return control<QLabel>("messageLabel")->palette().color(QPalette::WindowText) ==
               QColor(0xC0, 0x00, 0x00);
    }
    QList<const QCPGraph*> drawnModels() {
        QList<const QCPGraph*> models;
        for (int i = 0; i < plot().graphCount(); ++i) {
            if (plot().graph(i)->visible() && plot().graph(i)->name().startsWith("Modèle")) {
                models << plot().graph(i);
            }
        }
        return models;
    }
    QStringList equationsDrawn() {
        QStringList texts;
        for (int i = 0; i < plot().itemCount(); ++i) {
            if (auto* text = qobject_cast<QCPItemText*>(plot().item(i));
                text != nullptr && text->text().startsWith("T = ")) {
                texts << text->text();
            }
        }
        return texts;
    }
    // The number after `before` in the message, and the one after the "±" that follows.
    std::pair<double, double> figure(const QString& before) {
        const QString number = QStringLiteral("(-?\\d+(?:\\%1\\d+)?)").arg(locale.decimalPoint());
        const auto match = QRegularExpression(QRegularExpression::escape(before) + number +
                                              "(?: ± " + number + ")?")
                               .match(message());
        const auto at = [&](int i) { return locale.toDouble(match.captured(i)); };
        return {match.hasMatch() ? at(1) : NAN, at(2)};
    }

    QLocale locale;
    ProjectorZoom zoom;
    Measurement measurement{userNumberLocale()};
    SeanceKeeper keeper{measurement.record()};
    CurveSession session{zoom, measurement, keeper};
};

using Truth = QList<double>;

} // namespace

Q_DECLARE_METATYPE(thermo::test::Law)
Q_DECLARE_METATYPE(thermo::ModelKind)

class ModelChooserTest : public QObject {
    Q_OBJECT

private slots:
    // The time shown, or picked with Shift and a drag: the law within three standard
    // uncertainties of each parameter, t0 where the range begins; what the readings do not
    // support is refused in red, with its reason, and nothing is drawn.
    void modelsTheTimeShownOrPicked_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<test::Law>("law");
        QTest::addColumn<double>("from"); // the time picked; none when `to` is 0
        QTest::addColumn<double>("to");
        QTest::addColumn<ModelKind>("kind");
        QTest::addColumn<QString>("said"); // the start of the message
        QTest::addColumn<double>("start"); // the first reading fitted, beyond the pick
        QTest::addColumn<Truth>("truth");
        const QLocale french(QLocale::French, QLocale::France);
        QTest::newRow("Newton shown, decimal comma")
            << french << test::cooling(80) << 0.0 << 0.0 << ModelKind::Newton
            << "Modèle 1 : Loi de Newton de t = 0,0 s" << 0.0 << Truth{20, 0, 120};
        QTest::newRow("Newton picked after the plateau")
            << QLocale::c() << test::cooling(80, 60) << 90.0 << 500.0 << ModelKind::Newton
            << "Modèle 1 : Loi de Newton de t = " << 90.0 << Truth{20, 0, 120};
        QTest::newRow("exponential picked")
            << QLocale::c() << test::cooling(80, 60) << 90.0 << 500.0 << ModelKind::Exponential
            << "Modèle 1 : Exponentielle de t = " << 90.0 << Truth{0, -1.0 / 120, 20};
        QTest::newRow("affine on ten seconds")
            << french << test::cooling(80) << 100.0 << 110.0 << ModelKind::Affine
            << "Modèle 1 : Affine de t = " << 100.0 << Truth{};
        QTest::newRow("picked too short")
            << QLocale::c() << test::cooling(80, 60) << 200.0 << 203.0 << ModelKind::Newton
            << "Plage trop courte" << 0.0 << Truth{};
        QTest::newRow("flat") << french << test::cooling(20) << 0.0 << 0.0 << ModelKind::Linear
                              << "Plage trop plate" << 0.0 << Truth{};
        // "Tout voir" then "Modéliser" over the bench's jump and the cooling after it.
        QTest::newRow("Newton beside the bench's jump")
            << french << test::Law(benchJump) << 0.0 << 0.0 << ModelKind::Newton
            << "Saut de 25,0 à 80,0 °C à t = 60,0 s ; le modèle est ajusté sans lui, de t = 63,"
            << 63.5 << Truth{20, 0, 120};
        QTest::newRow("a line beside the bench's jump")
            << QLocale::c() << test::Law(benchJump) << 0.0 << 0.0 << ModelKind::Affine
            << "Saut de 25.0 à 80.0 °C à t = 60.0 s ; sans lui, de t = 63." << 0.0 << Truth{};
    }
    void modelsTheTimeShownOrPicked() {
        QFETCH(QLocale, locale);
        QFETCH(test::Law, law);
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(ModelKind, kind);
        QFETCH(QString, said);
        QFETCH(double, start);
        QFETCH(Truth, truth);
        Lesson lesson(locale, law);
        if (to > 0) {
            lesson.pick(from, to);
        }
        lesson.model(kind);
        QVERIFY2(lesson.message().startsWith(said), qPrintable(lesson.message()));
        const bool refused = !lesson.message().contains("Modèle 1 :");
        QVERIFY(!refused || lesson.message().contains("refusé") ||
                lesson.message().contains("Plage"));
        QCOMPARE(lesson.saidInRed(), refused);
        QCOMPARE(lesson.drawnModels().size(), refused ? 0 : 1);
        if (refused) {
            return;
        }
        const ModelResult model = lesson.curve().toolRun().annotations.models.at(0);
        QVERIFY2(std::abs(model.fromSeconds - std::max(from, start)) < 1,
                 qPrintable(lesson.message()));
        // T0, or a + c, is the temperature where the model starts.
        if (kind == ModelKind::Newton) {
            truth[1] = law(model.t0Seconds);
        } else if (kind == ModelKind::Exponential) {
            truth[0] = law(model.t0Seconds) - truth[2];
        }
        const std::vector<std::string> names = modelParameterNames(kind);
        for (qsizetype i = 0; i < truth.size(); ++i) {
            const auto [value, uncertainty] =
                lesson.figure(QString::fromStdString(names[i]) + " = ");
            QVERIFY2(uncertainty > 0 && std::abs(value - truth[i]) <= 3 * uncertainty,
                     qPrintable(lesson.message()));
        }
        QVERIFY(std::abs(lesson.figure("écart type ").first - 0.06) < 0.03);
        QCOMPARE(lesson.equationsDrawn(), QStringList{QString::fromStdString(model.equation)});
        QVERIFY(lesson.message().contains(QString::fromStdString(model.equation)));
        QCOMPARE(lesson.drawnModels().front()->data()->begin()->key, model.fromSeconds);
    }

    // Two models stand together, each with its equation on the plot; copying the table leaves
    // them; "Effacer les modèles" takes them away, and a new run has none.
    void severalModelsStayUntilTakenAway() {
        Lesson lesson(QLocale::c(), test::cooling(80));
        lesson.model(ModelKind::Newton);
        lesson.pick(100, 110);
        lesson.model(ModelKind::Affine);
        QVERIFY2(lesson.message().startsWith("Modèle 2 : Affine"), qPrintable(lesson.message()));
        const std::vector<ModelResult> models = lesson.curve().toolRun().annotations.models;
        QCOMPARE(models.size(), std::size_t{2});
        QCOMPARE(lesson.drawnModels().size(), 2);
        QCOMPARE(lesson.drawnModels().at(1)->name(), QStringLiteral("Modèle 2 : Affine"));
        QCOMPARE(lesson.equationsDrawn(),
                 (QStringList{QString::fromStdString(models[0].equation),
                              QString::fromStdString(models[1].equation)}));
        QTest::mouseClick(lesson.control("copyButton"), Qt::LeftButton);
        QCOMPARE(lesson.drawnModels().size(), 2);
        QCOMPARE(lesson.equationsDrawn().size(), 2);

        QTest::mouseClick(lesson.control("clearModelsButton"), Qt::LeftButton);
        QVERIFY(lesson.drawnModels().isEmpty() && lesson.equationsDrawn().isEmpty());
        lesson.model(ModelKind::Affine);
        QCOMPARE(lesson.drawnModels().size(), 1);
        lesson.session.record().newRun();
        QVERIFY(lesson.curve().toolRun().annotations.models.empty());
        QVERIFY(lesson.drawnModels().isEmpty());
        lesson.session.record().select(0); // the first run, with its model
        QCOMPARE(lesson.drawnModels().size(), 1);
    }
};

QTEST_MAIN(ModelChooserTest)
#include "model_chooser_test.moc"
