#include "acquisition/orphy_control.h"
#include "core/measurement_cycle.h"
#include "tests/support/scripted_source.h"
#include "tests/support/text_fit.h"
#include "ui/acquisition/orphy_view.h"
#include "ui/application.h"
#include "ui/display_field.h"
#include "ui/form1.h"
#include "ui/parametres.h"
#include "ui/projector_zoom.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
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

struct TableEntry {
    const char* name;
    int left, top, width, height; // twips
};

// The windows' layout tables, in twips.
constexpr TableEntry mainWindowTable[] = {
    {"Image1", 360, 120, 6885, 3435},   {"Label1", 9120, 360, 3375, 375},
    {"Label2", 8880, 960, 3495, 255},   {"Text7", 8760, 1440, 3495, 495},
    {"Label9", 12600, 1560, 855, 255},  {"Text4", 9960, 2160, 1215, 495},
    {"label4", 11880, 2280, 1455, 255}, {"Text2", 9960, 2880, 1215, 495},
    {"Label5", 11880, 3000, 1215, 255}, {"Label6", 360, 3720, 3015, 255},
    {"Label10", 4080, 3720, 3135, 255}, {"orphy1", 7440, 3960, 2535, 495},
    {"Text3", 1200, 4200, 1455, 555},   {"Text8", 4920, 4200, 1455, 555},
    {"Label7", 2400, 4800, 2535, 255},  {"Command2", 8880, 4920, 3375, 735},
    {"Text1", 2400, 5160, 2535, 555},   {"Text6", 5400, 5400, 975, 375},
    {"Text9", 5400, 5760, 975, 375},    {"Text10", 5400, 6120, 975, 375},
    {"Command1", 360, 5760, 1092, 612}, {"Label3", 12360, 6120, 1215, 255},
};
constexpr TableEntry dialogTable[] = {
    {"Label6", 240, 120, 1815, 255},   {"Text1", 240, 480, 735, 375},
    {"Label1", 1440, 480, 1575, 195},  {"Label8", 1440, 720, 2655, 255},
    {"Label7", 240, 1200, 1815, 255},  {"Text2", 240, 1560, 735, 375},
    {"Label2", 1440, 1560, 2655, 255}, {"Label4", 1440, 1800, 2655, 255},
    {"Text3", 240, 2400, 735, 375},    {"Label3", 1440, 2400, 2655, 255},
    {"Label5", 1440, 2640, 2655, 255}, {"Command1", 1440, 3360, 975, 375},
};

// A pixel coordinate is the twips coordinate times the zoom over 15, to the nearest pixel.
bool withinRounding(int pixels, int twips, double zoom) {
    return std::abs(pixels - twips * zoom / 15.0) <= 0.5;
}

QString describe(const QRect& rect) {
    return QStringLiteral("%1,%2 %3x%4")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height());
}

template <typename T = QWidget> T* control(QWidget& window, const char* name) {
    auto* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        qFatal("no control %s", name);
    }
    return widget;
}

// Every control of a table at `zoom`: where the table puts it and its 100 % font scaled.
template <std::size_t N>
void checkScaled(QWidget& window, const TableEntry (&table)[N], double zoom,
                 const std::map<QString, double>& pointsAt100) {
    for (const TableEntry& entry : table) {
        QWidget* widget = control(window, entry.name);
        const QRect rect = widget->geometry();
        QVERIFY2(withinRounding(rect.x(), entry.left, zoom) &&
                     withinRounding(rect.y(), entry.top, zoom) &&
                     withinRounding(rect.width(), entry.width, zoom) &&
                     withinRounding(rect.height(), entry.height, zoom),
                 qPrintable(QStringLiteral("%1 at %2: %3")
                                .arg(QLatin1String(entry.name))
                                .arg(zoom)
                                .arg(describe(rect))));
        const double expected = pointsAt100.at(QString::fromLatin1(entry.name)) * zoom;
        QVERIFY2(qFuzzyCompare(widget->font().pointSizeF(), expected),
                 qPrintable(QStringLiteral("%1 at %2: %3 pt instead of %4")
                                .arg(QLatin1String(entry.name))
                                .arg(zoom)
                                .arg(widget->font().pointSizeF())
                                .arg(expected)));
    }
}

template <std::size_t N>
std::map<QString, double> fontPoints(QWidget& window, const TableEntry (&table)[N]) {
    std::map<QString, double> points;
    for (const TableEntry& entry : table) {
        points[QString::fromLatin1(entry.name)] = control(window, entry.name)->font().pointSizeF();
    }
    return points;
}

// Every label's text shows whole in its rectangle.
bool labelsFit(QWidget& window, QString& overflowing) {
    for (QLabel* label : window.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        const QFontMetrics metrics(label->font());
        if (textWidth(label->font(), label->text()) > label->contentsRect().width() ||
            metrics.height() > label->contentsRect().height()) {
            overflowing = label->objectName();
            return false;
        }
    }
    return true;
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
        parametres& dialog = application.parametersDialog();
        Form1& form = application.mainWindow();
        const auto formPoints = fontPoints(form, mainWindowTable);
        const auto dialogPoints = fontPoints(dialog, dialogTable);
        QCOMPARE(formPoints.at("Text3"), 18.0);
        QCOMPARE(formPoints.at("Label3"), 6.75);
        QCOMPARE(dialogPoints.at("Label1"), 8.25);

        for (double zoom : {1.25, 1.5, 1.75, 2.0, 2.5, 1.0}) {
            application.zoom().reset();
            while (application.zoom().factor() < zoom) {
                application.zoom().zoomIn();
            }
            QCOMPARE(form.zoom(), zoom);
            QCOMPARE(dialog.zoom(), zoom);
            checkScaled(form, mainWindowTable, zoom, formPoints);
            checkScaled(dialog, dialogTable, zoom, dialogPoints);
            QVERIFY(withinRounding(form.width(), 13875, zoom));
            QVERIFY(withinRounding(form.height(), 6585, zoom));
            QCOMPARE(form.minimumSize(), form.maximumSize());
            QVERIFY(withinRounding(dialog.width(), 4140, zoom));
            QVERIFY(withinRounding(dialog.height(), 3930, zoom));
            QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
            QCOMPARE(form.font().pointSizeF(), 8.25 * zoom);
        }
    }

    // The frame lines, the fields' borders and margins and the acquisition panel are drawn
    // in pixels of their own; they grow too.
    void bordersLinesAndPanelScale() {
        Form1 form;
        auto* line1 = control<QFrame>(form, "Line1");
        auto* line2 = control<QFrame>(form, "Line2");
        auto* text3 = control<DisplayField>(form, "Text3");
        auto* text1 = control<QTextEdit>(form, "Text1");
        auto* spinBox = form.acquisitionView().findChild<QDoubleSpinBox*>();
        QVERIFY(spinBox != nullptr);
        const double spinBoxPoints = spinBox->font().pointSizeF();
        const int margin100 = text3->textMargins().left();

        form.setZoom(2.0);
        QCOMPARE(line1->geometry(), QRect(1024, 16, 2, 466));
        QCOMPARE(line2->geometry(), QRect(1024, 16, 786, 2));
        QCOMPARE(text3->borderWidth(), 2);
        QCOMPARE(text3->textMargins().left(), margin100 + 2);
        QCOMPARE(text1->lineWidth(), 2);
        QCOMPARE(text1->document()->documentMargin(), 2.0);
        QCOMPARE(spinBox->font().pointSizeF(), 2 * spinBoxPoints);
        QVERIFY(form.acquisitionView().geometry().contains(
            spinBox->mapTo(&form, spinBox->rect().bottomRight())));

        form.setZoom(1.0);
        QCOMPARE(line1->geometry(), QRect(512, 8, 1, 233));
        QCOMPARE(text3->borderWidth(), 1);
        QCOMPARE(text3->textMargins().left(), margin100);
        QCOMPARE(spinBox->font().pointSizeF(), spinBoxPoints);
    }

    // The temperature field's type is switched by the measurement (18 / 8 points): the
    // switch and the zoom combine whichever comes first.
    void temperatureTypeCombinesWithTheZoom() {
        Form1 form;
        ScriptedSource& source = ScriptedSource::installIn(form.acquisitionControl());
        auto* text1 = control<QTextEdit>(form, "Text1");
        source.setCodes(40960, 49152);
        form.tick();
        form.setZoom(2.0);
        QCOMPARE(text1->font().pointSizeF(), 36.0);
        source.setCodes(40960, 48000);
        form.tick();
        QCOMPARE(text1->font().pointSizeF(), 16.0);
        QVERIFY(text1->font().bold());
        form.setZoom(1.25);
        QCOMPARE(text1->font().pointSizeF(), 10.0);
        source.setCodes(40960, 49152);
        form.tick();
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

    // The shortcuts work from either window and act on both; a main window made later opens
    // at the zoom in force.
    void shortcutsFromEitherWindow() {
        Application application;
        ScriptedSource* source = nullptr;
        connect(&application, &Application::mainWindowCreated, this, [&](Form1* window) {
            source = &ScriptedSource::installIn(window->acquisitionControl());
            source->setCodes(40960, 49152);
        });
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
        QVERIFY(QTest::qWaitForWindowActive(&form));

        keyClick(form, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
        QCOMPARE(form.zoom(), 1.75);
        QCOMPARE(dialog.zoom(), 1.75);
        keyClick(form, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(form.zoom(), 1.5);
        QCOMPARE(dialog.zoom(), 1.5);

        // From the dialog while the main window waits, disabled.
        QTest::mouseClick(control(form, "Command2"), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        keyClick(dialog, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(dialog.zoom(), 1.0);
        QCOMPARE(form.zoom(), 1.0);
        QCOMPARE(form.size(), QSize(925, 439));

        // Typing in a field does not swallow the shortcuts.
        QTest::mouseClick(control(dialog, "Command1"), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(&form));
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
        Form1 form;
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
            QString overflowing;
            QVERIFY2(labelsFit(form, overflowing), qPrintable(overflowing));
            QVERIFY2(labelsFit(application.parametersDialog(), overflowing),
                     qPrintable(overflowing));

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
