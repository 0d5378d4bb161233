#include "acquisition/orphy_control.h"
#include "core/main_window_fields.h"
#include "tests/support/scripted_source.h"
#include "ui/application.h"
#include "ui/main_window/form1.h"
#include "ui/measurement/measurement.h"
#include "ui/qt_translations.h"
#include "ui/recording/user_number_locale.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace thermo;
using thermo::test::ScriptedSource;

namespace {

// The texts of a menu's entries, without the shortcut Qt appends after a tab.
QStringList entries(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) {
        if (!action->isSeparator()) {
            texts << action->text().section(QLatin1Char('\t'), 0, 0);
        }
    }
    return texts;
}

QStringList buttonTexts(const QDialogButtonBox& box) {
    QStringList texts;
    for (const QAbstractButton* button : box.buttons()) {
        texts << button->text();
    }
    texts.sort();
    return texts;
}

// Right-clicks a widget and returns the entries of the menu that opens, then closes it. The
// menu may run its own event loop, so it is read from inside that loop.
QStringList rightClickMenu(QWidget* widget) {
    QStringList texts;
    QTimer reader;
    QObject::connect(&reader, &QTimer::timeout, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            texts = entries(*menu);
            menu->close();
            reader.stop();
        }
    });
    reader.start(10);
    const QPoint inside = widget->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, inside, widget->mapToGlobal(inside));
    QApplication::sendEvent(widget, &event);
    if (!QTest::qWaitFor([&texts] { return !texts.isEmpty(); }, 2000)) {
        qWarning("no menu opened");
    }
    return texts;
}

const QStringList frenchEditMenu{
    QStringLiteral("&Annuler"),          QStringLiteral("&Rétablir"), QStringLiteral("Co&uper"),
    QStringLiteral("Cop&ier"),           QStringLiteral("Co&ller"),   QStringLiteral("Supprimer"),
    QStringLiteral("Tout sélectionner"),
};

} // namespace

// Qt's own texts are French whatever the user's language, which only decides the decimal
// separator. Run under several values of LANG; THERMO_TEST_DECIMAL_POINT gives the separator
// that LANG implies.
class FrenchTest : public QObject {
    Q_OBJECT

private slots:
    // A missing catalogue must leave Qt's own English texts, checked before the program's
    // set-up installs the real one.
    void initTestCase() {
        QTemporaryDir empty;
        QVERIFY(empty.isValid());
        QVERIFY(installQtTranslations(empty.path()) == nullptr);
        QLineEdit field;
        std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
        QCOMPARE(entries(*menu).first(), QStringLiteral("&Undo"));

        setUpQtApplication();
        QCOMPARE(QApplication::font().family(), QStringLiteral("Liberation Sans"));
        QVERIFY(!QApplication::quitOnLastWindowClosed());
    }

    void fieldMenusAreFrench() {
        QLineEdit field(QStringLiteral("2,5 V"));
        std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
        QCOMPARE(entries(*menu), frenchEditMenu);
    }

    // A right click on a measurement field of the main window, read-only, opens the French
    // menu of what can be done with its value.
    void rightClickOnAMeasurementField() {
        Measurement measurement(userNumberLocale());
        Form1 form(measurement);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(rightClickMenu(form.findChild<QWidget*>(QStringLiteral("Text3"))),
                 (QStringList{QStringLiteral("Cop&ier"), QStringLiteral("Tout sélectionner")}));
    }

    void spinBoxMenuIsFrench() {
        QDoubleSpinBox box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QStringList texts = rightClickMenu(&box);
        QVERIFY2(texts.contains(QStringLiteral("&Augmenter")), qPrintable(texts.join('|')));
        QVERIFY2(texts.contains(QStringLiteral("&Diminuer")), qPrintable(texts.join('|')));
        QVERIFY(texts.contains(QStringLiteral("Cop&ier")));
    }

    void standardButtonsAreFrench() {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Thermomètre"), QString(),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        auto* buttons = box.findChild<QDialogButtonBox*>();
        QVERIFY(buttons != nullptr);
        QCOMPARE(buttonTexts(*buttons), (QStringList{"&Non", "&Oui", "Annuler"}));

        QInputDialog input;
        input.show();
        QVERIFY(QTest::qWaitForWindowExposed(&input));
        auto* inputButtons = input.findChild<QDialogButtonBox*>();
        QVERIFY(inputButtons != nullptr);
        QCOMPARE(buttonTexts(*inputButtons), (QStringList{"Annuler", "OK"}));
    }

    // The translation changes words only: numbers keep the user's decimal separator.
    void numbersFollowTheUsersLocale() {
        const QString separator = qEnvironmentVariable("THERMO_TEST_DECIMAL_POINT");
        QVERIFY2(separator.size() == 1, "THERMO_TEST_DECIMAL_POINT is not set");
        QCOMPARE(QLocale().decimalPoint(), separator);

        Measurement measurement(userNumberLocale());

        Form1 form(measurement);
        ScriptedSource::installIn(form.measurement().control()).setCodes(40960, 49152);
        form.measurement().tick();
        QCOMPARE(QString::fromStdString(form.text(Field::Text3)),
                 QStringLiteral("2") + separator + QStringLiteral("5 V"));

        QDoubleSpinBox box;
        box.setDecimals(2);
        box.setValue(4.85);
        QCOMPARE(box.text(), QStringLiteral("4") + separator + QStringLiteral("85"));
    }
};

QTEST_MAIN(FrenchTest)
#include "french_test.moc"
