#include "acquisition/orphy_control.h"
#include "core/measurement_cycle.h"
#include "tests/support/layout_check.h"
#include "tests/support/scripted_program.h"
#include "tests/support/scripted_source.h"
#include "tests/support/text_fit.h"
#include "ui/acquisition/orphy_view.h"
#include "ui/application.h"
#include "ui/layout/projector_zoom.h"
#include "ui/layout/twips.h"
#include "ui/main_window/display_field.h"
#include "ui/main_window/form1.h"
#include "ui/measurement/measurement.h"
#include "ui/parameters/parametres.h"
#include "ui/recording/user_number_locale.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <cmath>
#include <map>
#include <memory>

using namespace thermo;
using thermo::test::ScriptedSource;
using thermo::test::textWidth;
using thermo::test::usableTextWidth;

namespace {

// A coordinate in pixels at 100 %, times the zoom, within what rounding the twips of both allows.
bool scaledFrom(int pixels, int pixelsAt100, double zoom) {
    return std::abs(pixels - pixelsAt100 * zoom) <= 0.5 + 0.5 * zoom;
}

QString describe(const QRect& rect) {
    return QStringLiteral("%1,%2 %3x%4")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height());
}

// Each control's rectangle and type at 100 %.
struct Control {
    QWidget* widget;
    QRect rect;
    double points;
};

QList<Control> controlsAt100(QWidget& window) {
    QList<Control> controls;
    for (QWidget* widget : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!widget->isWindow() && !thermo::test::isDecoration(widget)) {
            controls.push_back({widget, widget->geometry(), widget->font().pointSizeF()});
        }
    }
    return controls;
}

// Every control at `zoom`: where it was at 100 % scaled, its type scaled, the layout sound.
void checkScaled(FixedWindow& window, const QList<Control>& at100, double zoom) {
    for (const Control& control : at100) {
        const QRect rect = control.widget->geometry();
        QVERIFY2(scaledFrom(rect.x(), control.rect.x(), zoom) &&
                     scaledFrom(rect.y(), control.rect.y(), zoom) &&
                     scaledFrom(rect.width(), control.rect.width(), zoom) &&
                     scaledFrom(rect.height(), control.rect.height(), zoom),
                 qPrintable(QStringLiteral("%1 at %2: %3, %4 at 100 %")
                                .arg(control.widget->objectName())
                                .arg(zoom)
                                .arg(describe(rect), describe(control.rect))));
        QVERIFY2(qFuzzyCompare(control.widget->font().pointSizeF(), control.points * zoom),
                 qPrintable(QStringLiteral("%1 at %2: %3 pt instead of %4")
                                .arg(control.widget->objectName())
                                .arg(zoom)
                                .arg(control.widget->font().pointSizeF())
                                .arg(control.points * zoom)));
    }
    const QStringList faults = thermo::test::layoutFaults(window);
    QVERIFY2(faults.isEmpty(), qPrintable(QString::number(zoom) + QStringLiteral(": ") +
                                          faults.join(QStringLiteral("; "))));
}

template <typename T = QWidget> T* control(QWidget& window, const char* name) {
    auto* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        qFatal("no control %s", name);
    }
    return widget;
}

// Qt's offscreen screen is small: tests that scale past it give the zoom more room.
void roomForEveryStep(Application& application) {
    application.zoom().setRoom([] { return ProjectorZoom::steps.back(); });
}

void keyClick(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = window.focusWidget() ? window.focusWidget() : &window;
    QTest::keyClick(target, key, modifiers);
}

} // namespace

class ProjectorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        setUpQtApplication();
        QCOMPARE(ProjectorZoom::steps.front(), 1.0);
        QCOMPARE(ProjectorZoom::steps.back(), 2.5);
    }

    // Geometry and type of every control follow the zoom together, in both windows; the
    // fixed window sizes too.
    void everyControlScales() {
        Application application;
        roomForEveryStep(application);
        parametres& dialog = application.parametersDialog();
        Form1& form = application.mainWindow();
        const QList<Control> formAt100 = controlsAt100(form);
        const QList<Control> dialogAt100 = controlsAt100(dialog);
        const QSize formSize = form.size();
        const QSize dialogSize = dialog.size();

        for (double zoom : {1.25, 1.5, 1.75, 2.0, 2.5, 1.0}) {
            application.zoom().reset();
            while (application.zoom().factor() < zoom) {
                application.zoom().zoomIn();
            }
            QCOMPARE(form.zoom(), zoom);
            QCOMPARE(dialog.zoom(), zoom);
            checkScaled(form, formAt100, zoom);
            checkScaled(dialog, dialogAt100, zoom);
            for (const auto& [window, at100] : {std::pair<QWidget*, QSize>(&form, formSize),
                                                std::pair<QWidget*, QSize>(&dialog, dialogSize)}) {
                QVERIFY(scaledFrom(window->width(), at100.width(), zoom));
                QVERIFY(scaledFrom(window->height(), at100.height(), zoom));
                QCOMPARE(window->minimumSize(), window->maximumSize());
                QCOMPARE(window->font().pointSizeF(), 8.25 * zoom);
            }
        }
    }

    // The frame lines, the fields' borders and margins and the acquisition panel are drawn
    // in pixels of their own; they grow too.
    void bordersLinesAndPanelScale() {
        Measurement measurement(userNumberLocale());
        Form1 form(measurement);
        auto* line1 = control<QFrame>(form, "Line1");
        auto* line2 = control<QFrame>(form, "Line2");
        auto* text3 = control<DisplayField>(form, "Text3");
        auto* text1 = control<QTextEdit>(form, "Text1");
        const int margin100 = text3->textMargins().left();

        form.setZoom(2.0);
        QCOMPARE(line1->geometry(), QRect(1024, 16, 2, 466));
        QCOMPARE(line2->geometry(), QRect(1024, 16, 786, 2));
        QCOMPARE(text3->borderWidth(), 2);
        QCOMPARE(text3->textMargins().left(), margin100 + 2);
        QCOMPARE(text1->lineWidth(), 2);
        QCOMPARE(text1->document()->documentMargin(), 2.0);

        form.setZoom(1.0);
        QCOMPARE(line1->geometry(), QRect(512, 8, 1, 233));
        QCOMPARE(text3->borderWidth(), 1);
        QCOMPARE(text3->textMargins().left(), margin100);
    }

    // At every zoom the bench frame's type beats its old 7.5 pt, its texts whole inside it.
    void benchFrameIsReadableAtEveryZoom() {
        Measurement measurement(userNumberLocale());
        Form1 form(measurement);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* caption = form.acquisitionView().findChild<QLabel*>(QStringLiteral("sourceCaption"));
        for (double zoom : ProjectorZoom::steps) {
            form.setZoom(zoom);
            QApplication::processEvents();
            const QRect shown = form.acquisitionView().geometry();
            QVERIFY(textWidth(caption->font(), QStringLiteral("Banc simulé : court-circuit")) <=
                    caption->width());
            for (auto* box : form.acquisitionView().findChildren<QDoubleSpinBox*>()) {
                QVERIFY(box->font().pointSizeF() >= 9.5 * zoom);
                QVERIFY(shown.contains(QRect(box->mapTo(&form, QPoint()), box->size())));
                const QLineEdit* edit = box->findChild<QLineEdit*>();
                for (double value : {box->minimum(), box->maximum()}) {
                    const QString text = box->textFromValue(value) + box->suffix();
                    QVERIFY2(textWidth(box->font(), text) <= edit->width() - 4, qPrintable(text));
                }
                QVERIFY(QFontMetrics(box->font()).height() <= edit->height());
            }
        }
    }

    // The temperature field's type is switched by the measurement (18 / 8 points): the
    // switch and the zoom combine whichever comes first.
    void temperatureTypeCombinesWithTheZoom() {
        Measurement measurement(userNumberLocale());
        Form1 form(measurement);
        ScriptedSource& source = ScriptedSource::installIn(form.measurement().control());
        auto* text1 = control<QTextEdit>(form, "Text1");
        source.setCodes(40960, 49152);
        form.measurement().tick();
        form.setZoom(2.0);
        QCOMPARE(text1->font().pointSizeF(), 36.0);
        source.setCodes(40960, 48000);
        form.measurement().tick();
        QCOMPARE(text1->font().pointSizeF(), 16.0);
        QVERIFY(text1->font().bold());
        form.setZoom(1.25);
        QCOMPARE(text1->font().pointSizeF(), 10.0);
        source.setCodes(40960, 49152);
        form.measurement().tick();
        QCOMPARE(text1->font().pointSizeF(), 22.5);
        form.setZoom(1.0);
        QCOMPARE(text1->font().pointSize(), temperatureFontPoints);
    }

    void stepsStopAtTheLimits() {
        ProjectorZoom zoom;
        QSignalSpy changes(&zoom, &ProjectorZoom::factorChanged);
        zoom.zoomOut();
        QCOMPARE(zoom.factor(), 1.0);
        QCOMPARE(changes.count(), 0);

        QList<double> seen;
        for (int i = 0; i < 8; ++i) {
            zoom.zoomIn();
            seen << zoom.factor();
        }
        QCOMPARE(seen, (QList<double>{1.25, 1.5, 1.75, 2.0, 2.5, 2.5, 2.5, 2.5}));
        QCOMPARE(changes.count(), 5);
        zoom.zoomOut();
        QCOMPARE(zoom.factor(), 2.0);
        zoom.reset();
        QCOMPARE(zoom.factor(), 1.0);
        QCOMPARE(changes.count(), 7);
        QCOMPARE(changes.last().first().toDouble(), 1.0);
    }

    // Only the steps that fit are offered; fitting takes the largest scale, any value.
    void stepsThatFit_data() {
        QTest::addColumn<double>("room");
        QTest::addColumn<QList<double>>("zoomingIn");
        QTest::addColumn<double>("fitted");
        QTest::addColumn<double>("inFromFitted");
        QTest::addColumn<double>("outFromFitted");
        QTest::newRow("1920 x 1200, no frame")
            << 2.07 << QList<double>{1.25, 1.5, 1.75, 2.0, 2.0} << 2.07 << 2.07 << 2.0;
        // 100 % is always offered: Ctrl+0 goes there in any case.
        QTest::newRow("smaller than the window")
            << 0.86 << QList<double>{1.0} << 0.86 << 1.0 << 0.86;
    }
    void stepsThatFit() {
        QFETCH(double, room);
        QFETCH(QList<double>, zoomingIn);
        QFETCH(double, fitted);
        QFETCH(double, inFromFitted);
        QFETCH(double, outFromFitted);
        ProjectorZoom zoom;
        zoom.setRoom([room] { return room; });
        QList<double> seen;
        for (qsizetype i = 0; i < zoomingIn.size(); ++i) {
            zoom.zoomIn();
            seen << zoom.factor();
        }
        QCOMPARE(seen, zoomingIn);
        zoom.fitScreen();
        QCOMPARE(zoom.factor(), fitted);
        zoom.zoomIn();
        QCOMPARE(zoom.factor(), inFromFitted);
        zoom.fitScreen();
        zoom.zoomOut();
        QCOMPARE(zoom.factor(), outFromFitted);
    }

    // Fitted, the main window lies on the screen, 1 % more would not; the title says so.
    void fittedWindowsStayOnTheScreen() {
        Application application;
        Form1& form = application.mainWindow();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.move(300, 250);
        const QRect screen = form.screen()->availableGeometry();
        application.zoom().fitScreen();
        const double fitted = form.zoom();
        QVERIFY(screen.contains(form.frameGeometry()));
        QVERIFY(toPixels(13875, fitted + 0.01) > screen.width());
        QVERIFY(form.windowTitle().endsWith(percentText(fitted) +
                                            QStringLiteral(" (Ctrl+0 : 100\u00A0%)")));
    }

    // The shortcuts work from either window and act on both; a main window made later opens
    // at the zoom in force.
    void shortcutsFromEitherWindow() {
        Application application;
        roomForEveryStep(application);
        thermo::test::scriptTheMeasurement(application);
        parametres& dialog = application.parametersDialog();
        application.start();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));

        keyClick(dialog, Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(dialog.zoom(), 1.25);
        keyClick(dialog, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(dialog.zoom(), 1.5);
        QCOMPARE(control(dialog, "Text1")->width(), 74); // 735 twips at 150 %

        QTest::mouseClick(control(dialog, "Command1"), Qt::LeftButton);
        Form1& form = *application.existingMainWindow();
        QCOMPARE(form.zoom(), 1.5);
        QTRY_COMPARE(QApplication::activeWindow(), &form);

        keyClick(form, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
        QCOMPARE(form.zoom(), 1.75);
        QCOMPARE(dialog.zoom(), 1.75);
        keyClick(form, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(form.zoom(), 1.5);
        QCOMPARE(dialog.zoom(), 1.5);

        // From the dialog while the main window waits, disabled.
        QTest::mouseClick(control(form, "Command2"), Qt::LeftButton);
        QTRY_COMPARE(QApplication::activeWindow(), &dialog);
        keyClick(dialog, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(dialog.zoom(), 1.0);
        QCOMPARE(form.zoom(), 1.0);
        QCOMPARE(form.size(), QSize(925, 439));

        // Typing in a field does not swallow the shortcuts.
        QTest::mouseClick(control(dialog, "Command1"), Qt::LeftButton);
        QTRY_COMPARE(QApplication::activeWindow(), &form);
        control(form, "Text3")->setFocus();
        keyClick(form, Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(form.zoom(), 1.25);
        keyClick(form, Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
        keyClick(form, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(form.zoom(), 1.0);
        QCOMPARE(dialog.zoom(), 1.0);
    }

    // Menus open as windows of their own: the fields' menus and the bench's grow too, and
    // are back to normal once the program is gone.
    void menusFollowTheZoom() {
        const double normal = QApplication::font("QMenu").pointSizeF();
        {
            Application application;
            roomForEveryStep(application);
            Form1& form = application.mainWindow();
            application.zoom().zoomIn();
            application.zoom().zoomIn();
            std::unique_ptr<QMenu> fieldMenu(
                control<QLineEdit>(form, "Text2")->createStandardContextMenu());
            fieldMenu->ensurePolished(); // as showing it does
            QCOMPARE(fieldMenu->font().pointSizeF(), 1.5 * normal);
            auto* benchMenu = form.acquisitionView().findChild<QMenu*>();
            QVERIFY(benchMenu != nullptr);
            benchMenu->ensurePolished();
            QCOMPARE(benchMenu->font().pointSizeF(), 1.5 * normal);
            application.zoom().reset();
            QCOMPARE(benchMenu->font().pointSizeF(), normal);
            application.zoom().zoomIn();
        }
        QCOMPARE(QApplication::font("QMenu").pointSizeF(), normal);
    }

    // At the largest zoom the longest texts still show whole.
    void textsFitAtTheLargestZoom_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("Text7, sixteen digits") << "Text7"
                                               << "1000000000000000";
        QTest::newRow("Text4, 8888") << "Text4"
                                     << "8888";
        QTest::newRow("Text2, 38888") << "Text2"
                                      << "38888";
        QTest::newRow("Text3, -9,999 V") << "Text3"
                                         << "-9,999 V";
        QTest::newRow("Text8, -8,888 V") << "Text8"
                                         << "-8,888 V";
    }
    void textsFitAtTheLargestZoom() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        Measurement measurement(userNumberLocale());
        Form1 form(measurement);
        form.setZoom(ProjectorZoom::steps.back());
        auto* field = control<QLineEdit>(form, name.toLatin1().constData());
        QVERIFY2(textWidth(field->font(), text) <= usableTextWidth(*field),
                 qPrintable(QStringLiteral("%1 px of text, %2 px of room")
                                .arg(textWidth(field->font(), text))
                                .arg(usableTextWidth(*field))));
    }

    void temperatureAndLabelsFitAtEveryZoom() {
        Application application;
        Form1& form = application.mainWindow();
        form.setTemperatureFieldEnabled(true);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* text1 = control<QTextEdit>(form, "Text1");
        for (double zoom : ProjectorZoom::steps) {
            form.setZoom(zoom);
            application.parametersDialog().setZoom(zoom);
            QCOMPARE(thermo::test::layoutFaults(form), QStringList());
            QCOMPARE(thermo::test::layoutFaults(application.parametersDialog()), QStringList());

            form.setTemperatureFontSize(messageFontPoints);
            form.setText(Field::Text1, lowSupplyMessage);
            QTextLayout* layout = text1->document()->firstBlock().layout();
            QCOMPARE(layout->lineCount(), 2);
            QVERIFY(text1->document()->size().height() <= text1->viewport()->height());

            form.setTemperatureFontSize(temperatureFontPoints);
            form.setText(Field::Text1, "-12,3 °C");
            QCOMPARE(text1->document()->firstBlock().layout()->lineCount(), 1);
            QVERIFY(text1->document()->size().height() <= text1->viewport()->height());
        }
    }
};

QTEST_MAIN(ProjectorTest)
#include "projector_test.moc"
