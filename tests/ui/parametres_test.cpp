#include "tests/support/layout_check.h"
#include "ui/application.h"
#include "ui/layout/fonts.h"
#include "ui/parameters/parametres.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace thermo;

class ParametresTest : public QObject {
    Q_OBJECT

private:
    template <typename T = QWidget> static T* control(QWidget& dialog, const char* name) {
        auto* widget = dialog.findChild<T*>(QString::fromLatin1(name));
        if (widget == nullptr) {
            qFatal("no control %s", name);
        }
        return widget;
    }

private slots:
    void initTestCase() { QVERIFY(registerEmbeddedFonts()); }

    void loadContents() {
        Application application;
        parametres& dialog = application.parametersDialog();
        QCOMPARE(dialog.objectName(), QStringLiteral("parametres"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Paramètres de la CTN"));
        QCOMPARE(dialog.size(), QSize(276, 262));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QVERIFY(!(dialog.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(dialog.palette().color(QPalette::Window), QColor(0xFFE0C0));
        QCOMPARE(dialog.font().pointSizeF(), 8.25);

        QCOMPARE(control<QLineEdit>(dialog, "Text1")->text(), QStringLiteral("10000"));
        QCOMPARE(control<QLineEdit>(dialog, "Text2")->text(), QStringLiteral("10000"));
        QCOMPARE(control<QLineEdit>(dialog, "Text3")->text(), QStringLiteral("4275"));
        QCOMPARE(control<QPushButton>(dialog, "Command1")->text(), QStringLiteral("Validation"));
        QVERIFY(!control<QPushButton>(dialog, "Command1")->autoDefault());
        QCOMPARE(control<QLabel>(dialog, "Label8")->text(),
                 QStringLiteral("Valeur nominale 10000"));
        QCOMPARE(control<QLabel>(dialog, "Label5")->text(),
                 QStringLiteral("indice de sensibilité thermique"));
        QVERIFY(application.existingMainWindow() == nullptr);
    }

    void layoutIsSound() {
        Application application;
        QCOMPARE(thermo::test::layoutFaults(application.parametersDialog()), QStringList());
    }

    void appearance_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("underlined");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("Label6") << "Label6" << true << true << QColor(Qt::black);
        // The original's red, darkened to be read at 4.5:1.
        QTest::newRow("Label7, red") << "Label7" << true << true << QColor(0xC80000);
        QTest::newRow("Label1") << "Label1" << true << false << QColor(Qt::black);
        QTest::newRow("Label4") << "Label4" << true << false << QColor(Qt::black);
    }
    void appearance() {
        QFETCH(QString, name);
        QFETCH(bool, bold);
        QFETCH(bool, underlined);
        QFETCH(QColor, colour);
        Application application;
        auto* label = control<QLabel>(application.parametersDialog(), name.toLatin1().constData());
        QCOMPARE(QFontInfo(label->font()).family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(label->font().pointSizeF(), 8.25);
        QCOMPARE(label->font().bold(), bold);
        QCOMPARE(label->font().underline(), underlined);
        QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    }

    // The parameters are free text in the system's colours, not on the window's ground.
    void fieldsAreFreeText() {
        Application application;
        parametres& dialog = application.parametersDialog();
        for (const char* name : {"Text1", "Text2", "Text3"}) {
            auto* field = control<QLineEdit>(dialog, name);
            QVERIFY(field->validator() == nullptr);
            QVERIFY(field->inputMask().isEmpty());
            QCOMPARE(field->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
            QCOMPARE(field->palette().color(QPalette::Base),
                     QApplication::palette().color(QPalette::Base));
            QCOMPARE(field->font().bold(), false);
        }
        auto* text3 = control<QLineEdit>(dialog, "Text3");
        text3->clear();
        const QString typed = QStringLiteral("4 275,5e0 ohms, environ, a verifier");
        QTest::keyClicks(text3, typed);
        QCOMPARE(text3->text(), typed);
    }

    void focusOrder() {
        Application application;
        parametres& dialog = application.parametersDialog();
        application.start();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), control(dialog, "Text1"));
        QStringList visited;
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        // "Étalonnage…" comes last.
        QCOMPARE(visited, QStringList({"Text2", "Text3", "Command1", "Command2", "Text1"}));
    }

    void enterAndEscapeDoNothing_data() {
        QTest::addColumn<QString>("focused");
        QTest::addColumn<int>("key");
        QTest::newRow("Enter in Text1") << "Text1" << int(Qt::Key_Return);
        QTest::newRow("keypad Enter in Text3") << "Text3" << int(Qt::Key_Enter);
        QTest::newRow("Escape in Text1") << "Text1" << int(Qt::Key_Escape);
        QTest::newRow("Enter on Validation") << "Command1" << int(Qt::Key_Return);
        QTest::newRow("Escape on Validation") << "Command1" << int(Qt::Key_Escape);
    }
    void enterAndEscapeDoNothing() {
        QFETCH(QString, focused);
        QFETCH(int, key);
        Application application;
        parametres& dialog = application.parametersDialog();
        application.start();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QWidget* widget = control(dialog, focused.toLatin1().constData());
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key(key));
        QVERIFY(dialog.isVisible());
        QVERIFY(application.existingMainWindow() == nullptr);
    }
};

QTEST_MAIN(ParametresTest)
#include "parametres_test.moc"
