#include "acquisition/orphy_control.h"
#include "core/failure.h"
#include "core/measurement_cycle.h"
#include "core/thermistor.h"
#include "tests/support/layout_check.h"
#include "tests/support/scripted_source.h"
#include "tests/support/text_fit.h"
#include "ui/acquisition/orphy_view.h"
#include "ui/layout/fonts.h"
#include "ui/main_window/display_field.h"
#include "ui/main_window/form1.h"
#include "ui/measurement/measurement.h"
#include "ui/recording/user_number_locale.h"
#include "ui/version.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleFactory>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QTimer>
#include <algorithm>
#include <memory>

using namespace thermo;
using thermo::test::ScriptedSource;
using thermo::test::textWidth;
using thermo::test::usableTextWidth;

namespace {

const QString lowSupply = QString::fromUtf8(lowSupplyMessage);

// What the core says for a failing temperature, worded where the failure is raised.
QString failureMessage(double uth, double ut, const char* r, const char* a, const char* b) {
    try {
        thermistorTemperature(uth, ut, r, a, b);
    } catch (const Failure& failure) {
        return QString::fromUtf8(failure.what());
    }
    return {};
}

// Validation with another B, R and A as they were.
void validateB(Measurement& measurement, const QString& b) {
    CircuitParameters parameters = measurement.parameters();
    parameters.b = b.toStdString();
    measurement.setParameters(parameters);
}

} // namespace

class Form1Test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Measurement> measurement_; // anew for each test

    template <typename T = QWidget> T* control(Form1& form, const char* name) {
        auto* widget = form.findChild<T*>(QString::fromLatin1(name));
        if (widget == nullptr) {
            qFatal("no control %s", name);
        }
        return widget;
    }
    QString shown(Form1& form, Field field) { return QString::fromStdString(form.text(field)); }
    QFont temperatureFont(Form1& form) { return control<QTextEdit>(form, "Text1")->font(); }

private slots:
    void initTestCase() { QVERIFY(registerEmbeddedFonts()); }
    void init() { measurement_ = std::make_unique<Measurement>(userNumberLocale()); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void loadContents() {
        Form1 form(*measurement_);
        QCOMPARE(form.objectName(), QStringLiteral("Form1"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Thermomètre avec une thermistance"));
        // The hidden fields mirror the parameters in force, the defaults at first.
        QCOMPARE(control<QLineEdit>(form, "Text6")->text(), QStringLiteral("10000"));
        QCOMPARE(control<QLineEdit>(form, "Text9")->text(), QStringLiteral("10000"));
        QCOMPARE(control<QLineEdit>(form, "Text10")->text(), QStringLiteral("4275"));
        measurement_->setParameters({"12000", "10 000", ""});
        QCOMPARE(control<QLineEdit>(form, "Text6")->text(), QStringLiteral("12000"));
        QCOMPARE(control<QLineEdit>(form, "Text9")->text(), QStringLiteral("10 000"));
        QCOMPARE(control<QLineEdit>(form, "Text10")->text(), QString());
        for (const char* name : {"Text6", "Text9", "Text10"}) {
            QVERIFY2(control(form, name)->isHidden(), name);
            QCOMPARE(control(form, name)->focusPolicy(), Qt::NoFocus);
        }
        for (Field field :
             {Field::Text1, Field::Text2, Field::Text3, Field::Text4, Field::Text7, Field::Text8}) {
            QVERIFY(form.text(field).empty());
        }
        QVERIFY(!control(form, "Text1")->isEnabled());
        QCOMPARE(control<QPushButton>(form, "Command1")->text(), QStringLiteral("Quitter"));
        QCOMPARE(control<QPushButton>(form, "Command2")->text(),
                 QStringLiteral("Saisie des paramètres du montage"));
        QCOMPARE(control<QLabel>(form, "Label3")->text(),
                 QStringLiteral("Thermomètre %1").arg(QLatin1String(programVersion)));

        QCOMPARE(measurement_->findChild<QTimer*>(QStringLiteral("Timer1")),
                 &measurement_->timer());
        QCOMPARE(measurement_->timer().interval(), 100);
        QCOMPARE(measurement_->cycle().NUth(), 0);

        const OrphyProperties& properties = form.measurement().control().properties();
        QCOMPARE(form.acquisitionView().objectName(), QStringLiteral("orphy1"));
        QCOMPARE(properties.extentX, 4471);
        QCOMPARE(properties.voie, 1);
        QCOMPARE(properties.version.size(), std::size_t{20});
    }

    void windowFrame() {
        Form1 form(*measurement_);
        QCOMPARE(form.size(), QSize(925, 439));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
        for (const char* name : {"Command1", "Command2"}) {
            auto* button = control<QPushButton>(form, name);
            QVERIFY(!button->isDefault());
            QVERIFY(!button->autoDefault());
        }
    }

    void layoutIsSound() {
        Form1 form(*measurement_);
        QCOMPARE(thermo::test::layoutFaults(form), QStringList());
    }

    // The four lines close the frame of the conversion group: each end touches another line.
    void frameIsClosed() {
        Form1 form(*measurement_);
        QList<QRect> lines;
        for (const char* name : {"Line1", "Line2", "Line3", "Line4"}) {
            lines << control(form, name)->geometry();
        }
        for (const QRect& line : lines) {
            QVERIFY(line.width() == 1 || line.height() == 1);
            for (const QPoint& end : {line.topLeft(), line.bottomRight()}) {
                const auto touching =
                    std::count_if(lines.begin(), lines.end(),
                                  [&](const QRect& r) { return r != line && r.contains(end); });
                QCOMPARE(touching, 1);
            }
        }
    }

    void appearance_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("family");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QPalette::ColorRole>("role");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<Qt::Alignment>("alignment");
        const QString sans = QStringLiteral("Liberation Sans");
        const Qt::Alignment centred = Qt::AlignHCenter;
        QTest::newRow("Text7") << "Text7" << sans << 18.0 << true << QPalette::Base
                               << QColor(0xFFFFC0) << centred;
        QTest::newRow("Text4") << "Text4" << sans << 18.0 << true << QPalette::Base
                               << QColor(0xFFFFC0) << centred;
        QTest::newRow("Text8") << "Text8" << sans << 18.0 << true << QPalette::Base
                               << QColor(0xC0C0FF) << centred;
        QTest::newRow("Text1") << "Text1" << sans << 18.0 << true << QPalette::Base
                               << QColor(0xFFC0FF) << centred;
        QTest::newRow("Label1") << "Label1" << sans << 8.25 << true << QPalette::WindowText
                                << QColor(Qt::black) << Qt::Alignment(Qt::AlignLeft);
        QTest::newRow("Label2") << "Label2" << sans << 8.25 << true << QPalette::WindowText
                                << QColor(0xC00000) << Qt::Alignment(Qt::AlignLeft);
        QTest::newRow("Label9") << "Label9" << sans << 8.25 << false << QPalette::WindowText
                                << QColor(Qt::black) << Qt::Alignment(Qt::AlignLeft);
        QTest::newRow("Label6") << "Label6" << sans << 9.75 << true << QPalette::WindowText
                                << QColor(0x0000FF) << Qt::Alignment(Qt::AlignLeft);
        // The original's red, darkened to be read at 4.5:1.
        QTest::newRow("Label7") << "Label7" << sans << 9.75 << true << QPalette::WindowText
                                << QColor(0xC80000) << centred;
        QTest::newRow("Label3") << "Label3" << QStringLiteral("Liberation Serif") << 6.75 << false
                                << QPalette::WindowText << QColor(Qt::black) << centred;
        QTest::newRow("Command1") << "Command1" << sans << 8.25 << false << QPalette::Button
                                  << QColor(0xFFFFFF) << Qt::Alignment();
    }
    void appearance() {
        QFETCH(QString, name);
        QFETCH(QString, family);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(QPalette::ColorRole, role);
        QFETCH(QColor, colour);
        QFETCH(Qt::Alignment, alignment);
        Form1 form(*measurement_);
        QCOMPARE(form.palette().color(QPalette::Window), QColor(0xFFE0C0));
        QCOMPARE(form.font().pointSizeF(), 8.25);

        QWidget* widget = control(form, name.toLatin1().constData());
        QCOMPARE(QFontInfo(widget->font()).family(), family);
        QCOMPARE(widget->font().pointSizeF(), points);
        QCOMPARE(widget->font().weight(), bold ? QFont::Bold : QFont::Normal);
        QCOMPARE(widget->palette().color(role), colour);
        Qt::Alignment actual;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            actual = label->alignment();
        } else if (auto* field = qobject_cast<QLineEdit*>(widget)) {
            actual = field->alignment();
        } else if (auto* text1 = qobject_cast<QTextEdit*>(widget)) {
            actual = text1->document()->defaultTextOption().alignment();
        }
        QCOMPARE(actual & Qt::AlignHorizontal_Mask, alignment);
    }

    void circuitPicture() {
        Form1 form(*measurement_);
        auto* picture = control<QSvgWidget>(form, "Image1");
        QVERIFY(picture->renderer()->isValid());
        // Drawn at its own proportions: the rectangle is 459 x 229 pixels.
        QCOMPARE(picture->renderer()->defaultSize(), QSize(459, 229));
    }

    // The longest text each field can be given must show whole at 100 % scale, whatever the
    // widget style's own frame would take.
    void textsFitTheirFields_data() {
        QTest::addColumn<QString>("style");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        for (const char* style : {"Fusion", "Windows"}) {
            const auto row = [style](const char* label) {
                return &(QTest::addRow("%s, %s", style, label) << QString::fromLatin1(style));
            };
            *row("sixteen binary digits") << "Text7"
                                          << "1111111111111111";
            *row("widest binary digits") << "Text7"
                                         << "1000000000000000";
            *row("hexadecimal FFFF") << "Text4"
                                     << "FFFF";
            *row("hexadecimal 8888") << "Text4"
                                     << "8888";
            *row("decimal 65535") << "Text2"
                                  << "65535";
            *row("decimal 38888") << "Text2"
                                  << "38888";
            *row("Uth -10 V") << "Text3"
                              << "-10 V";
            *row("Uth -9.999 V") << "Text3"
                                 << "-9.999 V";
            *row("Uth -9,999 V") << "Text3"
                                 << "-9,999 V";
            *row("Uth -8,888 V") << "Text3"
                                 << "-8,888 V";
            *row("Ut -9,999 V") << "Text8"
                                << "-9,999 V";
        }
    }
    void textsFitTheirFields() {
        QFETCH(QString, style);
        QFETCH(QString, name);
        QFETCH(QString, text);
        Form1 form(*measurement_);
        auto* field = control<QLineEdit>(form, name.toLatin1().constData());
        std::unique_ptr<QStyle> widgetStyle(QStyleFactory::create(style));
        QVERIFY(widgetStyle);
        field->setStyle(widgetStyle.get());
        QVERIFY2(textWidth(field->font(), text) <= usableTextWidth(*field),
                 qPrintable(QStringLiteral("%1 px of text, %2 px of room")
                                .arg(textWidth(field->font(), text))
                                .arg(usableTextWidth(*field))));
        field->setStyle(nullptr);
    }

    void temperatureFieldFits_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("lines");
        QTest::newRow("low-supply message, two lines") << lowSupply << 8 << 2;
        QTest::newRow("negative temperature") << "-12,3 °C" << 18 << 1;
        QTest::newRow("hot temperature") << "124,9 °C" << 18 << 1;
    }
    void temperatureFieldFits() {
        QFETCH(QString, text);
        QFETCH(int, points);
        QFETCH(int, lines);
        Form1 form(*measurement_);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.setTemperatureFontSize(points);
        form.setText(Field::Text1, text.toStdString());

        auto* text1 = control<QTextEdit>(form, "Text1");
        QTextDocument* document = text1->document();
        QCOMPARE(document->textWidth(), qreal(text1->viewport()->width()));
        QTextLayout* layout = document->firstBlock().layout();
        QCOMPARE(layout->lineCount(), lines);
        const qreal room = document->textWidth() - 2 * document->documentMargin();
        for (int i = 0; i < layout->lineCount(); ++i) {
            QVERIFY(layout->lineAt(i).naturalTextWidth() <= room);
        }
        QVERIFY2(document->size().height() <= text1->viewport()->height(),
                 qPrintable(QStringLiteral("%1 px of text, %2 px of room")
                                .arg(document->size().height())
                                .arg(text1->viewport()->height())));
    }

    void focusOrder() {
        Form1 form(*measurement_);
        // The bench's boxes are made anew when it comes back; Tab still finds them.
        form.measurement().control().setSource(std::make_unique<ScriptedSource>());
        form.measurement().control().useSimulation();
        form.setTemperatureFieldEnabled(true);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        control(form, "Text2")->setFocus();

        // "Quitter" last: a key pressed once too often does not end the lesson.
        QStringList visited;
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, QStringList({"Text3", "Text4", "Text7", "Text8", "Text1", "Command2",
                                       "Command3", "Command1"}));
        // Round the circle: the acquisition control's two inputs, then Text2 again.
        for (int i = 0; i < 10; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focused = QApplication::focusWidget();
            if (focused->objectName() == QStringLiteral("Text2")) {
                QCOMPARE(i, 2);
                return;
            }
            QVERIFY2(form.acquisitionView().isAncestorOf(focused),
                     qPrintable(focused->objectName()));
        }
        QFAIL("Tab never came back to Text2");
    }

    void enterAndEscapePressNoButton() {
        Form1 form(*measurement_);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QSignalSpy quitter(control<QPushButton>(form, "Command1"), &QAbstractButton::clicked);
        QSignalSpy parameters(control<QPushButton>(form, "Command2"), &QAbstractButton::clicked);
        control(form, "Text2")->setFocus();
        QTest::keyClick(control(form, "Text2"), Qt::Key_Return);
        QTest::keyClick(control(form, "Text2"), Qt::Key_Escape);
        QCOMPARE(quitter.count(), 0);
        QCOMPARE(parameters.count(), 0);
        QVERIFY(form.isVisible());
    }

    void measurement_data() {
        QTest::addColumn<bool>("french");
        QTest::addColumn<int>("ea0");
        QTest::addColumn<int>("ea1");
        QTest::addColumn<QStringList>("fields"); // Text3, Text2, Text4, Text7, Text8, Text1
        QTest::addColumn<int>("points");
        const QString message = lowSupply;
        QTest::newRow("worked example")
            << false << 40960 << 49152
            << QStringList{"2.5 V", "40960", "A000", "1010000000000000", "5 V", "25 °C"} << 18;
        QTest::newRow("worked example, decimal comma")
            << true << 40960 << 49152
            << QStringList{"2,5 V", "40960", "A000", "1010000000000000", "5 V", "25 °C"} << 18;
        QTest::newRow("2 V, 33.7 °C, decimal comma")
            << true << 39322 << 49152
            << QStringList{"2 V", "39322", "999A", "1001100110011010", "5 V", "33,7 °C"} << 18;
        QTest::newRow("0 V, low supply")
            << false << 32768 << 48823
            << QStringList{"0 V", "32768", "8000", "1000000000000000", "4.9 V", message} << 8;
        QTest::newRow("-10 V, low supply")
            << false << 0 << 48823 << QStringList{"-10 V", "0", "0", "0", "4.9 V", message} << 8;
        QTest::newRow("10 V, low supply")
            << false << 65535 << 48823
            << QStringList{"10 V", "65535", "FFFF", "1111111111111111", "4.9 V", message} << 8;
        QTest::newRow("0.3125 V rounds to even")
            << false << 33792 << 0
            << QStringList{"0.312 V", "33792", "8400", "1000010000000000", "-10 V", message} << 8;
        QTest::newRow("0.3125 V rounds to even, decimal comma")
            << true << 33792 << 0
            << QStringList{"0,312 V", "33792", "8400", "1000010000000000", "-10 V", message} << 8;
        QTest::newRow("EA1 48824 is 4.9 V")
            << false << 40960 << 48824
            << QStringList{"2.5 V", "40960", "A000", "1010000000000000", "4.9 V", message} << 8;
        QTest::newRow("EA1 48825 is 4.9 V")
            << false << 40960 << 48825
            << QStringList{"2.5 V", "40960", "A000", "1010000000000000", "4.9 V", message} << 8;
        QTest::newRow("EA1 48826 is 4.901 V")
            << false << 40960 << 48826
            << QStringList{"2.5 V", "40960", "A000", "1010000000000000", "4.901 V", "24.2 °C"}
            << 18;
    }
    void measurement() {
        QFETCH(bool, french);
        QFETCH(int, ea0);
        QFETCH(int, ea1);
        QFETCH(QStringList, fields);
        QFETCH(int, points);
        if (french) {
            QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        }
        Measurement measurement(userNumberLocale());
        Form1 form(measurement);
        ScriptedSource::installIn(form.measurement().control()).setCodes(ea0, ea1);
        form.measurement().tick();

        const QStringList actual{shown(form, Field::Text3), shown(form, Field::Text2),
                                 shown(form, Field::Text4), shown(form, Field::Text7),
                                 shown(form, Field::Text8), shown(form, Field::Text1)};
        QCOMPARE(actual, fields);
        QCOMPARE(temperatureFont(form).pointSize(), points);
        QVERIFY(temperatureFont(form).bold());
        QCOMPARE(form.measurement().cycle().NUth(), ea0);
    }

    void temperatureFontFollowsTheSupply() {
        Form1 form(*measurement_);
        ScriptedSource& source = ScriptedSource::installIn(form.measurement().control());
        const int supplies[] = {48826, 48825, 48826, 48823};
        const int expectedPoints[] = {18, 8, 18, 8};
        for (int i = 0; i < 4; ++i) {
            source.setCodes(40960, supplies[i]);
            form.measurement().tick();
            QCOMPARE(temperatureFont(form).pointSize(), expectedPoints[i]);
            QVERIFY(temperatureFont(form).bold());
            QCOMPARE(shown(form, Field::Text1) == lowSupply, expectedPoints[i] == 8);
        }
    }

    void failureShownInTemperatureField_data() {
        QTest::addColumn<int>("ea0");
        QTest::addColumn<int>("ea1");
        QTest::addColumn<QString>("parameterB");
        QTest::addColumn<int>("silentChannel"); // -1: the interface answers
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("fields"); // Text3, Text2, Text8 after the failing tick
        // The tick before the failing one shows 2.5 V, 40960 and 5 V.
        QTest::newRow("shorted thermistor, Uth 0 V")
            << 32768 << 49152 << "4275" << -1 << failureMessage(0, 5, "10000", "10000", "4275")
            << QStringList{"0 V", "32768", "5 V"};
        QTest::newRow("Uth = Ut") << 49152 << 49152 << "4275" << -1
                                  << failureMessage(5, 5, "10000", "10000", "4275")
                                  << QStringList{"5 V", "49152", "5 V"};
        QTest::newRow("B not a number")
            << 39322 << 49152 << "abc" << -1 << failureMessage(2, 5, "10000", "10000", "abc")
            << QStringList{"2 V", "39322", "5 V"};
        QTest::newRow("B empty") << 39322 << 49152 << "" << -1
                                 << failureMessage(2, 5, "10000", "10000", "")
                                 << QStringList{"2 V", "39322", "5 V"};
        QTest::newRow("EA0 does not answer") << 39322 << 49152 << "4275" << 0 << "Interface muette"
                                             << QStringList{"2.5 V", "40960", "5 V"};
        QTest::newRow("EA1 does not answer") << 39322 << 49152 << "4275" << 1 << "Interface muette"
                                             << QStringList{"2 V", "39322", "5 V"};
    }
    void failureShownInTemperatureField() {
        QFETCH(int, ea0);
        QFETCH(int, ea1);
        QFETCH(QString, parameterB);
        QFETCH(int, silentChannel);
        QFETCH(QString, message);
        QFETCH(QStringList, fields);
        QVERIFY(!message.isEmpty());
        Form1 form(*measurement_);
        ScriptedSource& source = ScriptedSource::installIn(form.measurement().control());
        QSignalSpy readings(&form.measurement(), &Measurement::readingTaken);
        measurement_->start(); // a failure must not stop it
        source.setCodes(40960, 49152);
        form.measurement().tick();
        QCOMPARE(shown(form, Field::Text1), QStringLiteral("25 °C"));

        source.setCodes(ea0, ea1);
        if (silentChannel >= 0) {
            source.failOn(silentChannel,
                          Failure(FailureKind::AcquisitionFailed, "Interface muette"));
        }
        validateB(*measurement_, parameterB);
        form.measurement().tick();
        QCOMPARE(shown(form, Field::Text1), message);
        QCOMPARE(temperatureFont(form).pointSize(), messageFontPoints);
        QVERIFY(temperatureFont(form).bold());
        QCOMPARE((QStringList{shown(form, Field::Text3), shown(form, Field::Text2),
                              shown(form, Field::Text8)}),
                 fields);
        QVERIFY(form.measurement().timer().isActive());
        // Published once a tick, the failing one with what the temperature field says.
        QCOMPARE(readings.count(), 2);
        const auto failed = readings.last().first().value<Reading>();
        QVERIFY(failed.failure && !failed.hasTemperature());
        QCOMPARE(QString::fromStdString(failed.failure->message), message);

        // Once the cause is gone the next tick measures again.
        source.setCodes(40960, 49152);
        validateB(*measurement_, QStringLiteral("4275"));
        form.measurement().tick();
        QCOMPARE(shown(form, Field::Text1), QStringLiteral("25 °C"));
        QCOMPARE(temperatureFont(form).pointSize(), temperatureFontPoints);
    }

    void nonNumericParameterIsHarmlessOnLowSupply() {
        Form1 form(*measurement_);
        ScriptedSource::installIn(form.measurement().control()).setCodes(40960, 48825);
        measurement_->setParameters({"abc", "10000", "4275"});
        form.measurement().tick();
        QCOMPARE(shown(form, Field::Text1), lowSupply);
    }

    void failureMessagesFitTheTemperatureField_data() {
        QTest::addColumn<QString>("message");
        QTest::newRow("short circuit") << failureMessage(0, 5, "10000", "10000", "4275");
        QTest::newRow("Uth = Ut") << failureMessage(5, 5, "10000", "10000", "4275");
        QTest::newRow("R not a number") << failureMessage(2, 5, "x", "10000", "4275");
        QTest::newRow("A zero") << failureMessage(2, 5, "10000", "0", "4275");
        QTest::newRow("Uth > Ut") << failureMessage(5, 4.95, "10000", "10000", "4275");
    }
    void failureMessagesFitTheTemperatureField() {
        QFETCH(QString, message);
        Form1 form(*measurement_);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.setTemperatureFontSize(messageFontPoints);
        form.setText(Field::Text1, message.toStdString());
        auto* text1 = control<QTextEdit>(form, "Text1");
        QVERIFY2(text1->document()->size().height() <= text1->viewport()->height(),
                 qPrintable(message));
    }

    // Written only on change (a written line edit moves its cursor); stale values in grey.
    void writesAndGreys_data() {
        QTest::addColumn<int>("silentBefore"); // -1: the interface answers
        QTest::addColumn<int>("ea0");
        QTest::addColumn<int>("ea1");
        QTest::addColumn<int>("silent");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QStringList>("greyed");
        const QStringList all{"Text3", "Text2", "Text4", "Text7", "Text8"};
        QTest::newRow("same codes") << -1 << 40960 << 49152 << -1 << QStringList() << QStringList();
        QTest::newRow("one code more, same volts")
            << -1 << 40961 << 49152 << -1 << QStringList{"Text2", "Text4", "Text7"}
            << QStringList();
        QTest::newRow("EA0 silent") << -1 << 40960 << 49152 << 0 << QStringList{"Text1"} << all;
        QTest::newRow("EA1 silent")
            << -1 << 40960 << 49152 << 1 << QStringList{"Text1"} << QStringList{"Text8"};
        QTest::newRow("EA0 back, written at last")
            << 0 << 40960 << 49152 << -1 << all + QStringList{"Text1"} << QStringList();
    }
    void writesAndGreys() {
        QFETCH(int, silentBefore);
        QFETCH(int, ea0);
        QFETCH(int, ea1);
        QFETCH(int, silent);
        QFETCH(QStringList, written);
        QFETCH(QStringList, greyed);
        Form1 form(*measurement_);
        form.setEnabled(false);
        ScriptedSource& source = ScriptedSource::installIn(form.measurement().control());
        for (const bool last : {false, true}) {
            source.setCodes(last ? ea0 : 40960, last ? ea1 : 49152);
            if (const int channel = last ? silent : silentBefore; channel >= 0) {
                source.failOn(channel, Failure(FailureKind::AcquisitionFailed, "Muette"));
            }
            for (auto* field : form.findChildren<DisplayField*>()) {
                field->setCursorPosition(0);
            }
            QSignalSpy temperatureWrites(control<QTextEdit>(form, "Text1"),
                                         &QTextEdit::textChanged);
            form.measurement().tick();
            QStringList writes;
            QStringList greys;
            for (const char* name : {"Text3", "Text2", "Text4", "Text7", "Text8"}) {
                auto* field = control<DisplayField>(form, name);
                if (field->cursorPosition() != 0) {
                    writes << QString::fromLatin1(name);
                }
                if (qGray(field->palette().color(QPalette::Disabled, QPalette::Text).rgb()) > 100) {
                    greys << QString::fromLatin1(name);
                }
            }
            if (!temperatureWrites.isEmpty()) {
                writes << QStringLiteral("Text1");
            }
            if (last) {
                QCOMPARE(writes, written);
                QCOMPARE(greys, greyed);
            }
        }
    }

    void realTimerMeasures() {
        Form1 form(*measurement_);
        ScriptedSource::installIn(form.measurement().control()).setCodes(40960, 49152);
        measurement_->start();
        QVERIFY(form.text(Field::Text2).empty());
        QTRY_COMPARE_WITH_TIMEOUT(shown(form, Field::Text2), QStringLiteral("40960"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(shown(form, Field::Text1), QStringLiteral("25 °C"), 10000);
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
