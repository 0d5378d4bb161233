#include "network/class_broker.h"
#include "network/class_host.h"
#include "network/class_model.h"
#include "ui/application.h"
#include "ui/classroom/classroom.h"
#include "ui/classroom/host_class_dialog.h"
#include "ui/classroom/join_class_dialog.h"
#include "ui/main_window/form1.h"
#include "ui/measurement/measurement.h"
#include "ui/layout/zoom_menu.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

using namespace thermo;

// The class from the main window, as the teacher and a group use it: the teacher's dialog shows
// the address and code to write on the board and the groups that came in; the group's dialog
// takes what the board says and tells how it goes, in French. The broker is a real Mosquitto.
class ClassroomDialogsTest : public QObject {
    Q_OBJECT

    template <typename T> static T* child(QWidget& dialog, const char* name) {
        T* found = dialog.findChild<T*>(name);
        if (found == nullptr) {
            qFatal("no %s", name);
        }
        return found;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void teacherAndGroupThroughTheirDialogs() {
        Application application;
        Form1& form = application.mainWindow();
        Classroom& classroom = application.classroom();
        // Both are in the main window's menu.
        emit form.customContextMenuRequested(QPoint(10, 10));
        auto* menu = form.findChild<ZoomMenu*>();
        QVERIFY(menu != nullptr);
        QVERIFY(menu->actions().contains(classroom.hostAction()));
        QVERIFY(menu->actions().contains(classroom.joinAction()));
        menu->hide();

        HostClassDialog& host = classroom.hostDialog();
        host.show();
        const int port = classroom::ClassBroker::freePort();
        child<QSpinBox>(host, "portField")->setValue(port);
        QTest::mouseClick(child<QPushButton>(host, "openButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(classroom.host().isConnected(), 30000);
        const QString code = classroom.host().displayedCode();
        QTRY_COMPARE_WITH_TIMEOUT(child<QLabel>(host, "codeLabel")->text(),
                                  "Code de la classe : " + code, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(
            child<QLabel>(host, "addressLabel")->text().endsWith(':' + QString::number(port)), 5000);

        JoinClassDialog& join = classroom.joinDialog();
        join.show();
        auto* status = child<QLabel>(join, "statusLabel");
        child<QLineEdit>(join, "addressField")->setText("127.0.0.1:" + QString::number(port));
        child<QLineEdit>(join, "codeField")->setText("ZZZ ZZZ");
        QTest::mouseClick(child<QPushButton>(join, "joinButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(status->text().contains("n'ouvre aucune classe"), 30000);

        child<QLineEdit>(join, "codeField")->setText(code);
        child<QLineEdit>(join, "nameField")->setText("Groupe 3");
        QTest::mouseClick(child<QPushButton>(join, "joinButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith("Dans la classe"), 30000);
        QVERIFY(!child<QLineEdit>(join, "codeField")->isEnabled());

        // The group's readings come from the program's measurement.
        for (int i = 0; i < 5; ++i) {
            application.measurement().tick();
        }
        auto* groups = child<QListWidget>(host, "groupsList");
        QTRY_VERIFY_WITH_TIMEOUT(groups->count() == 1 &&
                                     groups->item(0)->text().startsWith("Groupe 3 — mesure en cours"),
                                 30000);
        const classroom::ClassGroup& seen = classroom.host().model()->group(0);
        QCOMPARE(seen.source, QString("Banc simulé"));
        QCOMPARE((QStringList{seen.r, seen.a, seen.b}), (QStringList{"10000", "10000", "4275"}));

        QTest::mouseClick(child<QPushButton>(join, "leaveButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(groups->item(0)->text().contains("déconnecté depuis"), 30000);
        QVERIFY(child<QLineEdit>(join, "codeField")->isEnabled());
    }
};

QTEST_MAIN(ClassroomDialogsTest)
#include "classroom_dialogs_test.moc"
