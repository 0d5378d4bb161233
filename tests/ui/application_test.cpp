#include "acquisition/orphy_control.h"
#include "core/field_texts.h"
#include "core/main_window_fields.h"
#include "tests/support/event_loop.h"
#include "tests/support/scripted_source.h"
#include "ui/application.h"
#include "ui/layout/fonts.h"
#include "ui/main_window/form1.h"
#include "ui/measurement/measurement.h"
#include "ui/parameters/parametres.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <stdexcept>

using namespace thermo;
using thermo::test::ScriptedSource;

namespace {

// What the main window looked like the first time it was shown.
class FirstShow : public QObject {
public:
    bool seen = false;
    bool text1Enabled = false;
    bool windowEnabled = false;
    int readsBefore = -1;
    const ScriptedSource* source = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !seen) {
            auto* window = static_cast<QWidget*>(watched);
            seen = true;
            text1Enabled = window->findChild<QTextEdit*>(QStringLiteral("Text1"))->isEnabled();
            windowEnabled = window->isEnabled();
            readsBefore = source->reads();
        }
        return false;
    }
};

// Darkest grey level drawn inside a widget's border: near 0 where its text is black, far
// lighter where the text is greyed out.
int darkestInside(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    int darkest = 255;
    for (int y = 3; y < image.height() - 3; ++y) {
        for (int x = 3; x < image.width() - 3; ++x) {
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
        }
    }
    return darkest;
}

// The program as main() starts it, with the acquisition replaced as soon as the main window
// exists: EA0 40960 and EA1 49152 (2.5 V and 5 V) unless a test says otherwise.
class Started {
public:
    Started() {
        QObject::connect(&application, &Application::mainWindowCreated, [this](Form1* window) {
            ++created;
            source = &ScriptedSource::installIn(window->measurement().control());
            source->setCodes(40960, 49152);
            firstShow.source = source;
            window->installEventFilter(&firstShow);
        });
        application.start();
    }

    parametres& dialog() { return application.parametersDialog(); }
    Form1& form() { return *application.existingMainWindow(); }
    QLineEdit* dialogField(const char* name) {
        return dialog().findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    QString shown(Field field) { return QString::fromStdString(form().text(field)); }
    // A hidden field of the main window, where the parameters in force are mirrored.
    QString stored(const char* name) {
        return form().findChild<QLineEdit*>(QString::fromLatin1(name))->text();
    }
    QWidget* formControl(const char* name) {
        return form().findChild<QWidget*>(QString::fromLatin1(name));
    }

    void retype(const char* name, const QString& text) {
        QLineEdit* field = dialogField(name);
        QTest::mouseClick(field, Qt::LeftButton);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }
    void validate() {
        QTest::mouseClick(dialog().findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
    }
    void reopen() { QTest::mouseClick(formControl("Command2"), Qt::LeftButton); }

    Application application;
    ScriptedSource* source = nullptr;
    FirstShow firstShow;
    int created = 0;
};

} // namespace

class ApplicationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(registerEmbeddedFonts());
        QApplication::setQuitOnLastWindowClosed(false); // as main() does
    }

    // thermometre --port: the main window's control reads that port from its creation on.
    void givenPortIsReadFromTheStart() {
        Application application;
        application.readFromPort(QStringLiteral("/dev/absent-port"));
        OrphyControl& control = application.mainWindow().measurement().control();
        QCOMPARE(control.source().portPath(), std::string("/dev/absent-port"));
    }

    void startShowsTheDialogAlone() {
        Started program;
        QVERIFY(QTest::qWaitForWindowActive(&program.dialog()));
        QVERIFY(program.application.existingMainWindow() == nullptr);
        QCOMPARE(program.dialogField("Text1")->text(), QStringLiteral("10000"));
        QCOMPARE(program.dialogField("Text2")->text(), QStringLiteral("10000"));
        QCOMPARE(program.dialogField("Text3")->text(), QStringLiteral("4275"));
        QCOMPARE(QApplication::focusWidget(), program.dialogField("Text1"));
        QCOMPARE(QApplication::topLevelWidgets().size(), 1);
    }

    void validationWithDefaultsShowsTheMainWindow() {
        Started program;
        program.validate();
        QCOMPARE(program.created, 1);
        QVERIFY(program.firstShow.seen);
        QVERIFY(program.firstShow.text1Enabled);
        QVERIFY(program.firstShow.windowEnabled);
        QCOMPARE(program.firstShow.readsBefore, 0); // nothing measured during Validation
        QVERIFY(program.form().isVisible());
        QVERIFY(!program.dialog().isVisible());
        QCOMPARE(program.stored("Text6"), QStringLiteral("10000"));
        QCOMPARE(program.stored("Text9"), QStringLiteral("10000"));
        QCOMPARE(program.stored("Text10"), QStringLiteral("4275"));
        QVERIFY(program.form().measurement().timer().isActive());

        program.form().measurement().tick();
        QCOMPARE(program.shown(Field::Text1), QStringLiteral("25 °C"));
    }

    void typedResistanceChangesOnlyText6() {
        Started program;
        program.retype("Text1", QStringLiteral("12000"));
        program.validate();
        QCOMPARE(program.stored("Text6"), QStringLiteral("12000"));
        QCOMPARE(program.stored("Text9"), QStringLiteral("10000"));
        QCOMPARE(program.stored("Text10"), QStringLiteral("4275"));
        QCOMPARE(program.dialogField("Text1")->text(), QStringLiteral("12000"));
        program.form().measurement().tick();
        QCOMPARE(program.shown(Field::Text1), QStringLiteral("21.3 °C"));

        program.reopen();
        QVERIFY(program.dialog().isVisible());
        QCOMPARE(program.dialogField("Text1")->text(), QStringLiteral("12000"));
    }

    // While the dialog is open the main window takes no input but keeps measuring, with the
    // parameters validated last.
    void measurementGoesOnWhileTheDialogIsOpen() {
        Started program;
        program.validate();
        program.form().measurement().tick();
        program.reopen();
        QVERIFY(program.dialog().isVisible());
        QVERIFY(!program.form().isEnabled());
        QVERIFY(program.form().isVisible());
        QVERIFY(program.form().measurement().timer().isActive());

        program.retype("Text1", QStringLiteral("12000"));
        program.source->setCodes(39322, 49152);
        program.form().measurement().tick();
        QCOMPARE(program.shown(Field::Text2), QStringLiteral("39322"));
        QCOMPARE(program.shown(Field::Text1), QStringLiteral("33.7 °C"));
        QCOMPARE(program.stored("Text6"), QStringLiteral("10000"));
        for (const char* name : {"Text2", "Text1"}) {
            QVERIFY2(darkestInside(program.formControl(name)) < 64, name);
        }

        program.source->setCodes(40960, 49152);
        QTRY_COMPARE_WITH_TIMEOUT(program.shown(Field::Text2), QStringLiteral("40960"), 10000);

        program.validate();
        QVERIFY(program.form().isEnabled());
        program.source->setCodes(39322, 49152);
        program.form().measurement().tick();
        QCOMPARE(program.shown(Field::Text1), QStringLiteral("29.7 °C"));
    }

    void emptyBIsAcceptedAndReportedOnTheNextTick() {
        Started program;
        program.retype("Text3", QString());
        program.validate();
        QVERIFY(program.form().isVisible());
        QCOMPARE(program.stored("Text10"), QString());
        program.form().measurement().tick();
        QCOMPARE(program.shown(Field::Text3), QStringLiteral("2.5 V"));
        QVERIFY2(program.shown(Field::Text1).contains(QStringLiteral("B")),
                 qPrintable(program.shown(Field::Text1)));
        QVERIFY(program.form().measurement().timer().isActive());

        program.reopen();
        program.retype("Text3", QStringLiteral("4275"));
        program.validate();
        program.form().measurement().tick();
        QCOMPARE(program.shown(Field::Text1), QStringLiteral("25 °C"));
    }

    void secondValidationResetsNothing() {
        Started program;
        program.validate();
        program.source->setCodes(39322, 49152);
        program.form().measurement().tick();
        Form1* first = &program.form();
        const int timerId = program.form().measurement().timer().timerId();

        program.reopen();
        program.source->setCodes(40960, 48000); // not read again before the next tick
        program.validate();
        QCOMPARE(&program.form(), first);
        QCOMPARE(program.created, 1);
        QCOMPARE(program.form().measurement().timer().timerId(), timerId);
        QCOMPARE(program.form().measurement().cycle().NUth(), 39322);
        QCOMPARE(program.form().measurement().cycle().R(), std::string("10000"));
        QCOMPARE(program.shown(Field::Text2), QStringLiteral("39322"));
        QCOMPARE(program.shown(Field::Text1), QStringLiteral("33.7 °C"));
        QCOMPARE(program.stored("Text6"), QStringLiteral("10000"));
    }

    void closingTheDialogBeforeValidationEndsTheProgram() {
        Started program;
        const int status = thermo::test::runEventLoop([&] { program.dialog().close(); });
        QCOMPARE(status, 0);
        QVERIFY(program.application.existingMainWindow() == nullptr);
    }

    // ✕ abandons the edit: the fields go back to what was validated last.
    void closingTheReopenedDialogCancels() {
        Started program;
        program.retype("Text2", QStringLiteral("12000"));
        program.validate();
        program.reopen();
        program.retype("Text2", QStringLiteral("10000"));
        program.retype("Text3", QStringLiteral("4000"));
        QVERIFY(program.dialog().close());
        QVERIFY(!program.dialog().isVisible());
        QVERIFY(program.form().isEnabled());
        QVERIFY(program.form().isVisible());
        QCOMPARE(program.stored("Text9"), QStringLiteral("12000"));
        QCOMPARE(program.stored("Text10"), QStringLiteral("4275"));
        QCOMPARE(program.dialogField("Text2")->text(), QStringLiteral("12000"));
        QCOMPARE(program.dialogField("Text3")->text(), QStringLiteral("4275"));
    }

    // Reopened: transient for the main window, centred on it, the focus on R.
    void reopenedDialogIsAboveTheMainWindow() {
        Started program;
        program.validate();
        program.dialogField("Text3")->setFocus();
        program.reopen();
        QTRY_COMPARE(QApplication::activeWindow(), &program.dialog());
        QCOMPARE(program.dialog().windowHandle()->transientParent(), program.form().windowHandle());
        QCOMPARE(program.dialog().frameGeometry().center(),
                 program.form().frameGeometry().center());
        QCOMPARE(QApplication::focusWidget(), program.dialogField("Text1"));
    }

    // The parameters as a French teacher types them, seen where the temperature shows.
    void typedParametersInTheTemperatureField_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("R with a grouping space") << "Text1"
                                                 << "10 000"
                                                 << "25 °C";
        QTest::newRow("A with a no-break space")
            << "Text2" << QStringLiteral("12\u00A0000") << "28.8 °C";
        QTest::newRow("negative B refused") << "Text3"
                                            << "-4275"
                                            << "Le paramètre B doit être positif";
    }
    void typedParametersInTheTemperatureField() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Started program;
        program.retype(field.toLatin1().constData(), typed);
        program.validate();
        program.form().measurement().tick();
        QCOMPARE(program.shown(Field::Text1), shown);
    }

    // A defect (an error that is not a Failure) stops measuring, is shown once and ends the
    // program with a non-zero status.
    void defectEndsTheProgram() {
        Started program;
        program.validate();
        class DefectiveFields : public FieldTexts {
        public:
            void setText(Field field, const std::string& text) override {
                if (field == Field::Text8) {
                    throw std::logic_error("champ Text8 introuvable");
                }
                FieldTexts::setText(field, text);
            }
        } defective;
        Measurement& measurement = program.application.measurement();
        measurement.setFields(&defective);
        QStringList boxes;
        QTimer boxCloser;
        connect(&boxCloser, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes << box->text();
                QCOMPARE(box->icon(), QMessageBox::Critical);
                box->accept();
            }
        });
        boxCloser.start(10);

        const int status = thermo::test::runEventLoop([&] { measurement.tick(); });
        measurement.setFields(&program.form());
        QCOMPARE(status, 1);
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes.first().contains(QStringLiteral("champ Text8 introuvable")),
                 qPrintable(boxes.first()));
    }

    void closingTheMainWindowEndsTheProgram() {
        Started program;
        program.validate();
        const int status = thermo::test::runEventLoop([&] { program.form().close(); });
        QCOMPARE(status, 0);
        QVERIFY(!program.form().measurement().timer().isActive());
    }

    void quitterEndsTheProgramWhileTheDialogIsHidden() {
        Started program;
        program.validate();
        QVERIFY(program.dialog().isHidden());
        const int status = thermo::test::runEventLoop(
            [&] { QTest::mouseClick(program.formControl("Command1"), Qt::LeftButton); });
        QCOMPARE(status, 0);
        QVERIFY(!program.form().measurement().timer().isActive());
    }
};

QTEST_MAIN(ApplicationTest)
#include "application_test.moc"
