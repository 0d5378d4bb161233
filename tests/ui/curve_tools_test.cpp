#include "tests/support/curve_lesson.h"
#include "tests/support/scripted_program.h"
#include "ui/accessibility/spoken_notice.h"
#include "ui/curve/curve_plot_view.h"
#include "ui/curve/curve_session.h"
#include "ui/curve/curve_tools.h"
#include "ui/curve/curve_window.h"
#include "ui/curve/notes_dialog.h"
#include "ui/main_window/form1.h"
#include "ui/parameters/parametres.h"
#include "ui/recording/session_record.h"
#include "ui/seance/seance_keeper.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <qcustomplot.h>

using namespace thermo;

namespace {

// Counts what the mouse does anywhere in the program.
struct MouseCount : QObject {
    int events = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        const auto type = event->type();
        events += type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                  type == QEvent::MouseMove || type == QEvent::Wheel;
        return false;
    }
};

// The program validated on its scripted source, its timer stopped, five minutes of a cooling
// from 80 °C in its record.
struct Program {
    Program() {
        test::scriptTheMeasurement(application);
        application.start();
        application.parametersDialog().validate();
        application.measurement().timer().stop();
        test::recordLesson(application.curve().record(), test::cooling(80), 300);
    }
    CurveWindow& curve() { return *application.curve().existingWindow(); }
    QWidget* plot() { return curve().plot().widget(); }
    CurveTools& tools() { return *curve().plot().tools(); }
    template <typename T = QPushButton> T* control(const char* name) {
        return curve().findChild<T*>(QString::fromLatin1(name));
    }
    // A key, to whatever has the focus.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int times = 1) {
        for (int i = 0; i < times; ++i) {
            QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
        }
    }
    // Tab until `target` has the focus; false if it never comes.
    bool tabTo(QWidget* target) {
        for (int i = 0; i < 30 && QApplication::focusWidget() != target; ++i) {
            press(Qt::Key_Tab);
        }
        return QApplication::focusWidget() == target;
    }
    QAccessibleInterface* accessible(QObject* object) {
        return QAccessible::queryAccessibleInterface(object);
    }
    // The number after `before` in the text, and the one after a "±" that follows.
    static std::pair<double, double> figure(const QString& text, const QString& before) {
        const auto match = QRegularExpression(QRegularExpression::escape(before) +
                                              "(-?\\d+(?:\\.\\d+)?)(?: ± (\\d+(?:\\.\\d+)?))?")
                               .match(text);
        return {match.hasMatch() ? match.captured(1).toDouble() : NAN,
                match.captured(2).toDouble()};
    }

    Application application;
};

} // namespace

class CurveToolsTest : public QObject {
    Q_OBJECT

private slots:
    // The cooling lesson without the mouse: Ctrl+G opens the curve, Tab reaches the plot, the
    // keys move its cursor (told to a screen reader as the plot's value and description) and
    // pick a range, Tab reaches the law and "Modéliser", Space fits: the focus stays on the
    // button it was pressed with, and the result is said.
    void keyboardPathFromCtrlGToAModel() {
        Program program;
        MouseCount mouse;
        qApp->installEventFilter(&mouse);
        Form1& form = *program.application.existingMainWindow();
        QApplication::setActiveWindow(&form);
        QTest::keyClick(&form, Qt::Key_G, Qt::ControlModifier);
        QTRY_VERIFY(program.application.curve().existingWindow() != nullptr &&
                    program.curve().isVisible());
        QApplication::setActiveWindow(&program.curve());
        QCOMPARE(program.accessible(&program.curve())->role(), QAccessible::Window);
        QVERIFY(program.tabTo(program.plot()));
        QAccessibleInterface* plot = program.accessible(program.plot());
        QCOMPARE(plot->role(), QAccessible::Chart);
        QVERIFY(plot->state().focused);

        const struct {
            int key;
            int times;
            const char* said;
        } moves[] = {{Qt::Key_Home, 1, "t = 0 s, T = "},
                     {Qt::Key_Right, 1, "t = 0.1 s, T = "},
                     {Qt::Key_PageUp, 3, "t = 30.1 s, T = "},
                     {Qt::Key_Left, 1, "t = 30 s, T = "},
                     {Qt::Key_End, 1, "t = 299.9 s, T : pas de mesure"}}; // a failed tick
        for (const auto& move : moves) {
            program.press(move.key, Qt::NoModifier, move.times);
            const QString description = plot->text(QAccessible::Description);
            QVERIFY2(description.startsWith(QString::fromUtf8(move.said)), qPrintable(description));
            const QVariant value = plot->valueInterface()->currentValue();
            QCOMPARE(description.section("T = ", 1).section(" °C", 0, 0).toDouble(),
                     value.isValid() ? value.toDouble() : 0.0);
            QCOMPARE(plot->text(QAccessible::Value), description);
        }
        // + zooms around the cursor, − back out to the whole series, followed again.
        auto& drawn = *qobject_cast<QCustomPlot*>(program.plot());
        const QCPRange whole = drawn.xAxis->range();
        program.press(Qt::Key_Plus);
        QCOMPARE(drawn.xAxis->range().size(), whole.size() / 2);
        QVERIFY(drawn.xAxis->range().contains(299.9) && !program.curve().plot().following());
        program.press(Qt::Key_Minus, Qt::NoModifier, 2);
        QVERIFY(program.curve().plot().following() && drawn.xAxis->range() == whole);
        program.press(Qt::Key_Home);
        program.press(Qt::Key_PageUp, Qt::NoModifier, 3);
        program.press(Qt::Key_PageUp, Qt::ShiftModifier, 20); // 30 s to 230 s
        QVERIFY(program.curve().plot().selectedTime().has_value());

        auto* choice = program.control<QComboBox>("modelChoice");
        QVERIFY(program.tabTo(choice));
        const auto labels = program.accessible(choice)->relations(QAccessible::Label);
        QVERIFY(!labels.isEmpty() && labels[0].first->text(QAccessible::Name) == "Modèle :");
        QVERIFY(program.tabTo(program.control("modelButton")));
        program.press(Qt::Key_Space);
        QVERIFY(program.curve().message().startsWith("Modélisation en cours"));
        QTRY_VERIFY_WITH_TIMEOUT(program.curve().message().startsWith("Modèle 1"), 20000);
        QVERIFY2(program.curve().message().startsWith(
                     "Modèle 1 : Loi de Newton de t = 30.0 s à 230.0 s, t0 = 30.0 s : T = "),
                 qPrintable(program.curve().message()));
        QCOMPARE(QApplication::focusWidget(), program.control("modelButton"));
        QAccessibleInterface* message = program.accessible(program.control<QLabel>("messageLabel"));
        QCOMPARE(message->text(QAccessible::Name), program.curve().message());
        QCOMPARE(program.curve().findChild<SpokenNotice*>()->said(), program.curve().message());
        QCOMPARE(mouse.events, 0);
        qApp->removeEventFilter(&mouse);

        // The pause button says what it would do now.
        program.control("pauseButton")->click();
        QCOMPARE(program.accessible(program.control("pauseButton"))->text(QAccessible::Name),
                 QStringLiteral("Reprendre"));
    }

    // The tangent's slope at the keyboard cursor, the two cursors put with 1 and 2, a note
    // pinned at the cursor, the summary and the printed page with it, axes set by hand.
    void labToolsReadTheCurve() {
        QLocale::setDefault(QLocale::c());
        Program program;
        program.application.curve().showWindow();
        QApplication::setActiveWindow(&program.curve());
        program.plot()->setFocus();
        program.control("tangentButton")->click();
        program.press(Qt::Key_Home);
        program.press(Qt::Key_PageUp, Qt::NoModifier, 12); // t = 120 s
        const QString tangent = program.control<QLabel>("tangentReadout")->text();
        const auto [slope, uncertainty] = Program::figure(tangent, "pente ");
        const double truth = -60.0 / 120 * std::exp(-1.0);
        QVERIFY2(uncertainty > 0 && std::abs(slope - truth) <= 4 * uncertainty,
                 qPrintable(tangent));
        QVERIFY(program.plot()->accessibleDescription().contains("tangente pente "));

        program.control("cursorsButton")->click();
        program.press('1');
        program.press(Qt::Key_PageUp, Qt::NoModifier, 6); // t = 180 s
        program.press('2');
        const QString cursors = program.control<QLabel>("cursorsReadout")->text();
        QVERIFY2(cursors.contains("Δt = 60.0 s"), qPrintable(cursors));
        const double change = 60 * (std::exp(-1.5) - std::exp(-1.0));
        QVERIFY2(std::abs(Program::figure(cursors, "ΔT = ").first - change) <= 0.25,
                 qPrintable(cursors));
        QVERIFY2(std::abs(Program::figure(cursors, "pente moyenne ").first - change / 60) <= 0.005,
                 qPrintable(cursors));

        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<NotesDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            dialog->findChild<QLineEdit*>("noteText")->setText("couvercle retiré");
            dialog->findChild<QPushButton*>("addNoteButton")->click();
            dialog->reject();
        });
        program.control("notesButton")->click();
        QCOMPARE(program.curve().toolRun().annotations.notes.size(), std::size_t{1});
        QCOMPARE(program.curve().toolRun().annotations.notes[0].seconds, 180.0);
        auto& drawn = *qobject_cast<QCustomPlot*>(program.plot());
        const auto drawnTexts = [&drawn] {
            QStringList texts;
            for (int i = 0; i < drawn.itemCount(); ++i) {
                if (auto* text = qobject_cast<QCPItemText*>(drawn.item(i));
                    text && text->visible()) {
                    texts << text->text();
                }
            }
            return texts;
        };
        QVERIFY(drawnTexts().contains("couvercle retiré"));

        // The note and a model are kept with their run in the séance file, and come back on
        // the curve when the run is opened again from it.
        program.control("modelButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(program.curve().message().startsWith("Modèle 1"), 20000);
        const RunAnnotations made = program.curve().toolRun().annotations;
        QCOMPARE(made.models.size(), std::size_t{1});
        QTemporaryDir folder;
        SeanceKeeper& seance = program.application.seance();
        SessionRecord& record = program.application.curve().record();
        QCOMPARE(seance.save(folder.filePath("lecon.thermo")), QString());
        record.newRun();
        QVERIFY(!drawnTexts().contains("couvercle retiré"));
        QCOMPARE(seance.open(folder.filePath("lecon.thermo")), QString());
        const RunAnnotations reopened = program.curve().toolRun().annotations;
        QCOMPARE(record.run(record.selectedIndex()).series->size(), std::size_t{3000});
        QCOMPARE(reopened.notes.size(), std::size_t{1});
        QCOMPARE(reopened.notes[0].seconds, 180.0);
        QCOMPARE(reopened.models.size(), std::size_t{1});
        QCOMPARE(reopened.models[0].kind, ModelKind::Newton);
        QCOMPARE(reopened.models[0].t0Seconds, made.models[0].t0Seconds);
        QCOMPARE(reopened.models[0].parameters[2].value, made.models[0].parameters[2].value);
        QVERIFY(drawnTexts().contains("couvercle retiré"));
        QVERIFY(drawnTexts().contains(QString::fromStdString(made.models[0].equation)));
        QCOMPARE(program.control("clearModelsButton")->isEnabled(), true);

        const QString pdf = folder.filePath("courbe.pdf");
        QCOMPARE(program.tools().printToPdf(pdf, "Courbe", {"Note à t = 180.0 s"}), QString());
        QFile page(pdf);
        QVERIFY(page.open(QIODevice::ReadOnly) && page.read(5) == "%PDF-" && page.size() > 20000);
        QVERIFY(program.tools().printToPdf(folder.filePath("absent/courbe.pdf"), "", {}) != "");

        program.tools().setAxes({{false, 100, 200, 20}, {false, 0, 100, 10}});
        program.application.curve().record().take(test::measured(300'000, 25, 2.5, 5, 40960));
        program.curve().plot().refresh();
        QCOMPARE(drawn.xAxis->range(), QCPRange(100, 200));
        QCOMPARE(drawn.yAxis->range(), QCPRange(0, 100));
        program.control("showAllButton")->click();
        QVERIFY(program.tools().axes().time.automatic &&
                program.tools().axes().temperature.automatic);
        QCOMPARE(drawn.xAxis->range().lower, 0.0);
        QVERIFY(drawn.yAxis->range().upper < 90);
    }
};

QTEST_MAIN(CurveToolsTest)
#include "curve_tools_test.moc"
