#include "core/failure.h"
#include "tests/support/event_loop.h"
#include "tests/support/layout_check.h"
#include "tests/support/scripted_program.h"
#include "tests/support/series_readings.h"
#include "ui/curve/curve_plot_view.h"
#include "ui/curve/curve_session.h"
#include "ui/curve/curve_window.h"
#include "ui/layout/fonts.h"
#include "ui/main_window/form1.h"
#include "ui/measurement/measurement.h"
#include "ui/parameters/parametres.h"
#include "ui/recording/session_record.h"
#include "ui/seance/run_exports.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <functional>
#include <qcustomplot.h>
#include <sys/resource.h>

using namespace thermo;

namespace {

QByteArrayList fileLines(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QByteArrayList();
}
qsizetype lineCount(const QString& path) {
    return fileLines(path).size() - 1; // after the last line end
}

// Does `answer` to the next modal window of type Dialog as soon as it shows.
template <typename Dialog> void whenModal(const std::function<void(Dialog*)>& answer) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (auto* modal = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            poll->deleteLater();
            poll->stop();
            answer(modal);
        }
    });
    poll->start(10);
}

void chooseFile(const QString& path) {
    whenModal<QFileDialog>([path](QFileDialog* dialog) {
        // Typed, as a user would: selectFile() loses to the proposed name once the folder
        // is read.
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog*>(dialog)->accept(); // public there
    });
}

// Presses `button` in the next question, after keeping its text in `asked`.
void answer(const QString& button, QString& asked) {
    whenModal<QMessageBox>([button, &asked](QMessageBox* box) {
        asked = box->text();
        for (QAbstractButton* b : box->buttons()) {
            if (b->text() == button) {
                b->click();
            }
        }
    });
}

// The program validated with its defaults on a scripted source (2.5 V, 5 V: 25 °C); the
// test runs the ticks.
struct Program {
    explicit Program(const QString& recordFromStart = {}) {
        source = &test::scriptTheMeasurement(application);
        if (!recordFromStart.isEmpty()) {
            failure = application.curve().recordFromStart(recordFromStart);
        }
        application.start();
        application.parametersDialog().validate();
        form().measurement().timer().stop();
    }
    Form1& form() { return *application.existingMainWindow(); }
    SessionRecord& record() { return application.curve().record(); }
    CurveWindow& curve() {
        application.curve().showWindow();
        return *application.curve().existingWindow();
    }
    // The plot as the module draws it.
    QCustomPlot& drawn() { return *qobject_cast<QCustomPlot*>(curve().plot().widget()); }
    template <typename T = QAbstractButton> T* control(const char* name) {
        return curve().findChild<T*>(QString::fromLatin1(name));
    }
    QString text(const char* name) { return control<QLabel>(name)->text(); }
    void click(const char* name) { QTest::mouseClick(control(name), Qt::LeftButton); }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) {
            form().measurement().tick();
        }
    }

    Application application;
    test::ScriptedSource* source = nullptr;
    QString failure;
};

// n: not a number, the line breaks there; -: a point of the line.
QString breaks(const QCPGraph* graph) {
    QString out;
    for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it) {
        out += std::isnan(it->value) ? QLatin1Char('n') : QLatin1Char('-');
    }
    return out;
}

} // namespace

class CurveWindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void initTestCase() { QVERIFY(registerEmbeddedFonts()); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void savedFileIsKeptUpToDate_data() {
        QTest::addColumn<bool>("fromStart");
        QTest::newRow("Enregistrer… in the window") << false;
        QTest::newRow("--enregistrer") << true;
    }
    void savedFileIsKeptUpToDate() {
        QFETCH(bool, fromStart);
        const QString path = dir_.filePath(fromStart ? "debut.csv" : "fenetre.csv");
        Program p(fromStart ? path : QString());
        QVERIFY(p.failure.isEmpty());
        p.ticks(3);
        if (!fromStart) {
            chooseFile(path);
            p.click("saveButton");
            QCOMPARE(lineCount(path), 4);
        }
        QCOMPARE(p.text("fileLabel"),
                 QStringLiteral("Fichier : %1").arg(QFileInfo(path).fileName()));
        p.ticks(2);
        // Flushed within the second; a loaded machine may take longer, but never the whole séance.
        QTRY_COMPARE_WITH_TIMEOUT(lineCount(path), 6, 10000);
        const QByteArrayList lines = fileLines(path);
        QCOMPARE(lines[0], QByteArray("\xEF\xBB\xBFt (s),T (\xC2\xB0"
                                      "C),Uth (V),Ut (V),code EA0\r"));
        QCOMPARE(lines[1], QByteArray("0,25,2.5,5,40960\r"));
        for (const QByteArray& line : lines.mid(2, 4)) {
            QVERIFY2(line.endsWith(",25,2.5,5,40960\r"), line.constData());
        }
        QCOMPARE(p.record().file().unwrittenCount(), 0u);
    }

    void failedWriteIsShownAndTheSeriesKept() {
        Program p;
        p.ticks(4);
        chooseFile(QStringLiteral("/proc/sys/serie.csv")); // refused to root too
        p.click("saveButton");
        QVERIFY2(p.curve().message().startsWith(
                     QStringLiteral("Impossible d'écrire « /proc/sys/serie.csv » : ")),
                 qPrintable(p.curve().message()));
        QCOMPARE(p.text("fileLabel"), QStringLiteral("Pas de fichier CSV"));
        QCOMPARE(p.record().file().unwrittenCount(), 4u);
        QCOMPARE(p.drawn().graph(0)->dataCount(), 4);

        const QString elsewhere = dir_.filePath("ailleurs.csv");
        chooseFile(elsewhere);
        p.click("saveButton");
        QCOMPARE(p.curve().message(), QString());
        QCOMPARE(lineCount(elsewhere), 5);
    }

    // A stick full or pulled out during a lesson recorded with --enregistrer: the curve,
    // never opened, opens to say so.
    void failedAppendOpensTheCurve() {
        const QString path = dir_.filePath("pleine.csv");
        Program p(path);
        p.ticks(2);
        QVERIFY(p.application.curve().existingWindow() == nullptr);
        rlimit unlimited{};
        getrlimit(RLIMIT_FSIZE, &unlimited);
        const rlimit limit{static_cast<rlim_t>(QFileInfo(path).size() + 10), unlimited.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limit);
        QTRY_VERIFY_WITH_TIMEOUT(p.application.curve().existingWindow() != nullptr, 10000);
        setrlimit(RLIMIT_FSIZE, &unlimited);
        QVERIFY(p.application.curve().existingWindow()->isVisible());
        QCOMPARE(p.curve().message(),
                 QStringLiteral("Impossible d'écrire « %1 » : fichier trop volumineux pour ce "
                                "support")
                     .arg(path));
        QCOMPARE(p.record().file().unwrittenCount(), 2u);
        // Said beside the window too, with a way out that loses nothing.
        const auto* notice = p.curve().findChild<QMessageBox*>("WriteFailedNotice");
        QVERIFY(notice != nullptr && notice->isVisible());
        QCOMPARE(notice->text(), p.curve().message());
        const QList<QAbstractButton*> buttons = notice->buttons();
        QVERIFY(std::any_of(buttons.begin(), buttons.end(), [](const QAbstractButton* b) {
            return b->text() == QStringLiteral("Enregistrer la séance ailleurs…");
        }));
    }

    // With the journal, the séance is kept whatever happens: "Quitter" asks nothing. Without
    // one (no data folder), runs with readings would be lost: asked, and "Annuler" keeps the
    // program open. "Nouvelle série" never loses anything.
    void lossIsAskedAboutOnlyWhenItShould_data() {
        QTest::addColumn<bool>("journal");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("ended");
        QTest::newRow("journal") << true << QString() << true;
        QTest::newRow("no journal, Annuler") << false << "Annuler" << false;
        QTest::newRow("no journal, Quitter sans enregistrer")
            << false << "Quitter sans enregistrer" << true;
    }
    void lossIsAskedAboutOnlyWhenItShould() {
        QFETCH(bool, journal);
        QFETCH(QString, button);
        QFETCH(bool, ended);
        const QByteArray data = qgetenv("XDG_DATA_HOME");
        if (!journal) {
            qputenv("XDG_DATA_HOME", "/proc/version"); // no folder can be made there
        }
        Program p;
        qputenv("XDG_DATA_HOME", data);
        p.ticks(3);
        QTest::mouseClick(p.curve().findChild<QAbstractButton*>("newRunButton"), Qt::LeftButton);
        p.ticks(2);
        QCOMPARE(p.record().runCount(), 2u);
        QCOMPARE(p.record().readingCount(), 5u);
        QString question;
        if (!button.isEmpty()) {
            answer(button, question);
        }
        // In an event loop, as in the program: an exit() with none running would end the
        // next row's dialogs at once.
        const int status = test::runEventLoop([&p] {
            if (!p.form().close()) {
                QCoreApplication::exit(1);
            }
        });
        QCOMPARE(status, ended ? 0 : 1);
        QCOMPARE(question, journal ? QString()
                                   : QStringLiteral("La séance (5 mesures) n'est enregistrée "
                                                    "nulle part."));
    }

    // Runs side by side: a new run leaves the first on the curve in its colour; deleting the
    // selected run asks first, then the live run is drawn alone and measures on.
    void runsAreDrawnTogetherAndDeletedAfterAsking() {
        Program p;
        p.ticks(3);
        p.click("newRunButton");
        p.ticks(2);
        QCoreApplication::processEvents(); // the list draws the runs once a turn
        QCustomPlot& plot = p.drawn();
        QCOMPARE(plot.graph(0)->dataCount(), 2); // the live run, selected
        QCOMPARE(plot.graph(plot.graphCount() - 1)->dataCount(), 3);
        QCOMPARE(plot.graph(plot.graphCount() - 1)->pen().color(), QColor(0xC00000));
        p.record().select(0);
        QString asked;
        answer(QStringLiteral("Annuler"), asked);
        p.click("removeRunButton");
        QCOMPARE(asked, QStringLiteral("Supprimer la série « Série 1 » (3 mesures) ?"));
        QCOMPARE(p.record().runCount(), 2u);
        answer(QStringLiteral("Supprimer"), asked);
        p.click("removeRunButton");
        QCOMPARE(p.record().runCount(), 1u);
        p.ticks(2);
        QCOMPARE(p.record().series().size(), 4u);
        QCOMPARE(plot.graph(0)->dataCount(), 4);
        QCOMPARE(plot.graphCount(), 4); // T, Uth, Ut and the model's: no other run
    }

    // The selected run in both CSV forms, the runs as a workbook (a zip of XML sheets); a
    // device refused with its cause.
    void exportsWriteTheChosenForm() {
        Program p;
        p.ticks(2);
        const SessionSeries& series = p.record().series();
        const QString french = dir_.filePath("fr.csv"), world = dir_.filePath("int.csv"),
                      book = dir_.filePath("classeur.xlsx");
        QCOMPARE(exportCsv(series, CsvForm::French, french), QString());
        QCOMPARE(exportCsv(series, CsvForm::International, world), QString());
        QCOMPARE(fileLines(french).value(1), QByteArray("0;25;2,5;5;40960\r"));
        QCOMPARE(fileLines(world).value(1), QByteArray("0,25,2.5,5,40960\r"));
        QCOMPARE(exportXlsx({&p.record().run(0), &p.record().run(0)}, book), QString());
        QFile workbook(book);
        QVERIFY(workbook.open(QIODevice::ReadOnly));
        QCOMPARE(workbook.read(2), QByteArray("PK"));
        QCOMPARE(exportCsv(series, CsvForm::French, "/dev/null"),
                 QStringLiteral("Impossible d'écrire « /dev/null » : c'est un périphérique, pas "
                                "un fichier"));
    }

    // Failed reads and low supply are gaps of the temperature, a failed read of the voltages
    // too, and a pause breaks every line.
    void gapsAndPausesBreakTheLines() {
        Program p;
        p.control<QCheckBox>("uthCheck")->setChecked(true);
        p.ticks(2);
        p.source->failOn(0, Failure(FailureKind::AcquisitionFailed, "Interface débranchée"));
        p.ticks(1);
        p.source->setCodes(40960, 45000); // Ut 3.7 V
        p.ticks(1);
        p.source->setCodes(40960, 49152);
        p.ticks(1);
        p.click("pauseButton");
        QCOMPARE(p.control("pauseButton")->text(), QStringLiteral("Reprendre"));
        p.ticks(3);
        p.click("pauseButton");
        QCOMPARE(p.control("pauseButton")->text(), QStringLiteral("Pause"));
        p.ticks(2);

        const SessionSeries& series = p.record().series();
        QCOMPARE(series.size(), 7u);
        QCOMPARE(series.at(2).gap, Gap::Failure);
        QCOMPARE(series.at(3).gap, Gap::LowSupply);
        QVERIFY(series.at(5).afterPause);
        QCOMPARE(breaks(p.drawn().graph(0)), QStringLiteral("--nn-n--"));
        QCOMPARE(breaks(p.drawn().graph(1)), QStringLiteral("--n--n--"));
    }

    // The time axis in seconds, in minutes past ten; numbers with the user's separator; the
    // reading under the pointer; the wheel stops the following, "Tout voir" brings it back.
    void viewOfALongSeries_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<int>("readings");
        QTest::addColumn<QString>("timeAxis");
        QTest::newRow("5 min, decimal point") << QLocale::c() << 3000 << "Temps (s)";
        QTest::newRow("20 min, decimal comma")
            << QLocale(QLocale::French, QLocale::France) << 12000 << "Temps (min)";
    }
    void viewOfALongSeries() {
        QFETCH(QLocale, locale);
        QFETCH(int, readings);
        QFETCH(QString, timeAxis);
        QLocale::setDefault(locale);
        Program p;
        for (int i = 0; i < readings; ++i) {
            p.record().take(test::measured(i * 100, 20 + 1.2 * i / readings, 2.5, 5, 40960));
        }
        CurvePlotView& view = p.curve().plot();
        QCustomPlot& plot = p.drawn();
        plot.replot();
        QCOMPARE(plot.xAxis->label(), timeAxis);
        QVERIFY(view.following());
        QVERIFY(plot.xAxis->range().upper >= (readings - 1) / 10.0);
        const QString separator = locale.decimalPoint();
        QVERIFY(plot.yAxis->tickVectorLabels().join(' ').contains(separator));

        const QPoint middle = plot.axisRect()->rect().center();
        QTest::mouseMove(&plot, middle + QPoint(5, 5)); // a move even where the last row left it
        QTest::mouseMove(&plot, middle);
        const QRegularExpression reading(
            QStringLiteral("^t = \\d+(\\%1\\d+)? s {5}T = 2\\d(\\%1\\d)? "
                           "°C$")
                .arg(separator));
        QVERIFY2(reading.match(p.text("pointerLabel")).hasMatch(),
                 qPrintable(p.text("pointerLabel")));

        QWheelEvent wheel(middle, plot.mapToGlobal(middle), {}, {0, 120}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&plot, &wheel);
        QVERIFY(!view.following());
        QVERIFY(plot.xAxis->range().upper < (readings - 1) / 10.0);
        p.ticks(1);
        QVERIFY(!view.following());
        p.click("showAllButton");
        QVERIFY(view.following());
        QVERIFY(plot.xAxis->range().upper >= (readings - 1) / 10.0);
    }

    // "Image…": PNG at twice the plot's size or SVG, by the name's ending; a refusal is said.
    void imageIsSavedAsNamed_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("PNG") << "$dir/courbe.png";
        QTest::newRow("SVG") << "$dir/courbe.svg";
        QTest::newRow("refused") << "/proc/sys/courbe.png";
    }
    void imageIsSavedAsNamed() {
        QFETCH(QString, path);
        path.replace(QStringLiteral("$dir"), dir_.path());
        Program p;
        p.ticks(3);
        chooseFile(path);
        p.click("imageButton");
        const QSize size = p.curve().plot().widget()->size();
        if (path.startsWith(QStringLiteral("/proc"))) {
            QVERIFY2(p.curve().message().startsWith(
                         QStringLiteral("Impossible d'écrire « %1 » : ").arg(path)),
                     qPrintable(p.curve().message()));
        } else if (path.endsWith(QStringLiteral(".png"))) {
            QCOMPARE(QImage(path).size(), size * 2);
        } else {
            QCOMPARE(QSvgRenderer(path).viewBox().size(), size);
        }
    }

    // Nothing is drawn for a hidden curve; showing it catches up.
    void hiddenCurveDrawsNothing() {
        Program p;
        QCustomPlot& plot = p.drawn();
        QCoreApplication::processEvents(); // the runs' list draws them once the window shows
        QCoreApplication::processEvents(); // and the plot redraws
        p.curve().hide();
        QSignalSpy redraws(&plot, &QCustomPlot::afterReplot);
        p.ticks(5);
        QCoreApplication::processEvents();
        QCOMPARE(redraws.count(), 0);
        QCOMPARE(plot.graph(0)->dataCount(), 0);
        p.curve();
        QCOMPARE(plot.graph(0)->dataCount(), 5);
    }

    void layoutHoldsAtEveryZoom() {
        Program p;
        CurveWindow& curve = p.curve();
        curve.addToolButton("otherToolButton", QStringLiteral("Outil"));
        for (const char* model : {"Modéliser", "Effacer le modèle"}) {
            p.control("modelButton")->setText(QString::fromUtf8(model));
            for (double zoom : ProjectorZoom::steps) {
                curve.setZoom(zoom);
                const QStringList faults = test::layoutFaults(curve);
                QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral(", "))));
            }
        }
    }
};

QTEST_MAIN(CurveWindowTest)
#include "curve_window_test.moc"
