#include "acquisition/orphy_control.h"
#include "core/failure.h"
#include "core/main_window_fields.h"
#include "tests/support/contrast_check.h"
#include "tests/support/event_loop.h"
#include "tests/support/scripted_program.h"
#include "tests/support/scripted_source.h"
#include "ui/accessibility/announcer.h"
#include "ui/application.h"
#include "ui/curve/curve_session.h"
#include "ui/curve/curve_window.h"
#include "ui/calibration/calibration_window.h"
#include "ui/main_window/form1.h"
#include "ui/main_window/giant_display.h"
#include "ui/measurement/measurement.h"
#include "ui/parameters/parametres.h"
#include "ui/recording/user_number_locale.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

using namespace thermo;
using thermo::test::ScriptedSource;

namespace {

QWidget* control(QWidget& window, const QString& name) {
    auto* widget = window.findChild<QWidget*>(name);
    if (widget == nullptr) {
        qFatal("no control %s", qPrintable(name));
    }
    return widget;
}

QString accessibleText(QWidget* widget, QAccessible::Text kind) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(kind) : QString();
}

// Presses Tab in the active window until `target` has the focus; false if it never does.
bool tabTo(QWidget* target) {
    for (int i = 0; i < 20 && QApplication::focusWidget() != target; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    return QApplication::focusWidget() == target;
}

void typeOver(const QString& text) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), text);
}

void press(Qt::Key key) {
    QTest::keyClick(QApplication::focusWidget(), key);
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpQtApplication(); }

    // What a screen reader announces for each field and button: a French name and what the
    // control shows or does.
    void namesAndDescriptions_data() {
        QTest::addColumn<bool>("mainWindow");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("inDescription");
        const auto row = [](bool mainWindow, const char* control, const char* name,
                            const char* inDescription) {
            QTest::addRow("%s %s", mainWindow ? "Form1" : "parametres", control)
                << mainWindow << QString::fromLatin1(control) << QString::fromUtf8(name)
                << QString::fromUtf8(inDescription);
        };
        row(true, "Text3", "Tension Uth, en volts", "thermistance");
        row(true, "Text8", "Tension Ut, en volts", "alimentation");
        row(true, "Text1", "Température calculée, en degrés Celsius", "empêche de la calculer");
        row(true, "Text2", "Code décimal", "EA0 en décimal");
        row(true, "Text4", "Code hexadécimal", "EA0 en hexadécimal");
        row(true, "Text7", "Code binaire", "EA0 en binaire");
        row(true, "Command1", "Quitter", "ferme le programme");
        row(true, "Command2", "Saisie des paramètres du montage", "R, A et B");
        row(true, "Image1", "Schéma du montage", "thermistance");
        row(true, "Command3", "Courbe", "Ctrl+G");
        row(false, "Text1", "Résistance série R", "en ohms");
        row(false, "Text2", "Paramètre A", "25 °C");
        row(false, "Text3", "Paramètre B", "sensibilité thermique");
        row(false, "Command1", "Validation", "fenêtre de mesure");
    }
    void namesAndDescriptions() {
        QFETCH(bool, mainWindow);
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(QString, inDescription);
        Application application;
        QWidget& window = mainWindow ? static_cast<QWidget&>(application.mainWindow())
                                     : application.parametersDialog();
        QWidget* widget = ::control(window, control);
        QCOMPARE(accessibleText(widget, QAccessible::Name), name);
        const QString description = accessibleText(widget, QAccessible::Description);
        QVERIFY2(description.contains(inDescription), qPrintable(description));
    }

    // Every control the keyboard reaches, in both windows, the acquisition panel's included,
    // has a name of its own, and no two descriptions are the same.
    void everyFocusableControlIsNamed() {
        Application application;
        for (QWidget* window : {static_cast<QWidget*>(&application.parametersDialog()),
                                static_cast<QWidget*>(&application.mainWindow()),
                                static_cast<QWidget*>(&application.curve().window())}) {
            QSet<QString> names;
            QSet<QString> descriptions;
            for (QWidget* widget : window->findChildren<QWidget*>()) {
                // A spin box's inner line edit hands its focus, and its voice, to the spin box.
                const bool proxy = widget->focusProxy() != nullptr;
                if (widget->isHidden() || proxy || !(widget->focusPolicy() & Qt::TabFocus)) {
                    continue;
                }
                const QString name = accessibleText(widget, QAccessible::Name);
                QVERIFY2(!name.isEmpty(), qPrintable(widget->objectName()));
                QVERIFY2(!names.contains(name), qPrintable(name));
                names << name;
                const QString description = accessibleText(widget, QAccessible::Description);
                if (!description.isEmpty()) {
                    QVERIFY2(!descriptions.contains(description), qPrintable(description));
                    descriptions << description;
                }
            }
            QVERIFY(names.size() >= 4);
        }
    }

    // The labels beside the fields are announced as their labels, saying their field's name:
    // with the unit, without a colon.
    void labelsLabelTheirFields_data() {
        QTest::addColumn<bool>("mainWindow");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("label");
        QTest::newRow("Form1 Text7") << true << "Text7"
                                     << "Code binaire";
        QTest::newRow("Form1 Text4") << true << "Text4"
                                     << "Code hexadécimal";
        QTest::newRow("Form1 Text2") << true << "Text2"
                                     << "Code décimal";
        QTest::newRow("Form1 Text3") << true << "Text3"
                                     << "Tension Uth, en volts";
        QTest::newRow("Form1 Text8") << true << "Text8"
                                     << "Tension Ut, en volts";
        QTest::newRow("Form1 Text1") << true << "Text1"
                                     << "Température calculée, en degrés Celsius";
        QTest::newRow("parametres Text1") << false << "Text1"
                                          << "Résistance série R";
        QTest::newRow("parametres Text2") << false << "Text2"
                                          << "Paramètre A";
        QTest::newRow("parametres Text3") << false << "Text3"
                                          << "Paramètre B";
    }
    void labelsLabelTheirFields() {
        QFETCH(bool, mainWindow);
        QFETCH(QString, field);
        QFETCH(QString, label);
        Application application;
        QWidget& window = mainWindow ? static_cast<QWidget&>(application.mainWindow())
                                     : application.parametersDialog();
        QAccessibleInterface* accessible =
            QAccessible::queryAccessibleInterface(control(window, field));
        QVERIFY(accessible != nullptr);
        QStringList labels;
        for (const auto& [other, relation] : accessible->relations(QAccessible::Label)) {
            labels << other->text(QAccessible::Name);
        }
        QCOMPARE(labels, QStringList{label});
    }

    // A fault is told once as it starts and once as it ends; a stray reading is not told.
    void faultsAreAnnouncedOnce() {
        Measurement measurement(userNumberLocale());
        Form1 form(measurement);
        ScriptedSource& source = ScriptedSource::installIn(form.measurement().control());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSignalSpy announced(&Announcements::instance(), &Announcements::announced);
        const auto ticks = [&](int count) {
            for (int i = 0; i < count; ++i) {
                form.measurement().tick();
            }
        };
        const Failure silent(FailureKind::AcquisitionFailed, "Interface muette");
        source.setCodes(40960, 49152);
        ticks(5);
        source.failOn(0, silent);
        ticks(1);
        source.setCodes(40960, 49152);
        ticks(5);
        source.failOn(0, silent);
        ticks(20);
        source.setCodes(40960, 48000);
        ticks(10);
        source.setCodes(40960, 49152);
        ticks(10);
        QStringList told;
        for (const QList<QVariant>& said : announced) {
            told << said.first().toString();
        }
        QCOMPARE(told, (QStringList{"Interface muette", "Augmentez la tension d'alimentation",
                                    "Mesure rétablie"}));
        // Shown, in the window, where a screen reader reads it.
        QCOMPARE(control(form, QStringLiteral("announcement"))->accessibleName(),
                 QStringLiteral("Mesure rétablie"));
    }

    // Every text of every window stands out from its ground, readings live or stale, and so
    // does the focus frame; the ratios are the usual ones (#767676 is the lightest grey read
    // on white).
    void coloursStandOut() {
        QCOMPARE(qRound(contrastRatio(Qt::black, Qt::white)), 21);
        QVERIFY(contrastRatio(QColor(0x76, 0x76, 0x76), Qt::white) >= 4.5);
        QVERIFY(contrastRatio(QColor(0x77, 0x77, 0x77), Qt::white) < 4.5);

        Application application;
        Form1& form = application.mainWindow();
        ScriptedSource& source = ScriptedSource::installIn(application.measurement().control());
        source.setCodes(40960, 49152);
        application.measurement().tick();
        QStringList faults;
        const auto audit = [&faults](const QWidget& window, const QString& when) {
            for (const QString& fault : thermo::test::contrastFaults(window)) {
                faults << window.objectName() + when + QStringLiteral(", ") + fault;
            }
        };
        audit(application.parametersDialog(), {});
        audit(form, {});
        audit(application.calibrationWindow(), {});
        audit(*application.giantDisplay(), {});
        source.failOn(0, Failure(FailureKind::AcquisitionFailed, "Interface muette"));
        application.measurement().tick();
        audit(form, QStringLiteral(" en panne"));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // The whole lesson with the keyboard alone: type the parameters, validate, reopen the
    // dialog, validate again, quit.
    void keyboardOnly() {
        Application application;
        thermo::test::scriptTheMeasurement(application);
        parametres& dialog = application.parametersDialog();
        application.start();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), control(dialog, "Text1"));

        typeOver(QStringLiteral("12000"));
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control(dialog, "Text2"));
        typeOver(QStringLiteral("10000"));
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control(dialog, "Text3"));
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control(dialog, "Command1"));
        press(Qt::Key_Space);

        QVERIFY(application.existingMainWindow() != nullptr);
        Form1& form = *application.existingMainWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &form);
        QVERIFY(dialog.isHidden());
        QCOMPARE(application.measurement().parameters().r, std::string("12000"));
        form.measurement().tick();
        QCOMPARE(QString::fromStdString(form.text(Field::Text1)), QStringLiteral("21.3 °C"));

        // A reading reached by Tab is read, not selected: a screen reader says no selection.
        QVERIFY(tabTo(control(form, "Text4")));
        QVERIFY(!static_cast<QLineEdit*>(control(form, "Text4"))->hasSelectedText());
        QVERIFY(tabTo(control(form, "Command2")));
        press(Qt::Key_Space);
        QTRY_COMPARE(QApplication::activeWindow(), &dialog);
        QVERIFY(!form.isEnabled());
        QVERIFY(tabTo(control(dialog, "Text3")));
        typeOver(QStringLiteral("4275"));
        QVERIFY(tabTo(control(dialog, "Command1")));
        press(Qt::Key_Space);
        QTRY_COMPARE(QApplication::activeWindow(), &form);
        QVERIFY(form.isEnabled());

        QVERIFY(tabTo(control(form, "Command1")));
        const int status = thermo::test::runEventLoop([] { press(Qt::Key_Space); });
        QCOMPARE(status, 0);
        QVERIFY(!form.measurement().timer().isActive());
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
