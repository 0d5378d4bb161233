#include "acquisition/orphy_control.h"
#include "acquisition/simulated_bench.h"
#include "tests/support/scripted_source.h"
#include "ui/acquisition/orphy_view.h"
#include "ui/acquisition/source_panel.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <chrono>

using thermo::BenchFault;
using thermo::BenchModel;
using thermo::OrphyView;
using thermo::SimulatedBench;

Q_DECLARE_METATYPE(thermo::BenchFault)

// The panel the control draws, here on the simulated bench: its settings under the user's
// hand, its faults on right click, and the name of any other source.
class SourcePanelTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void showsTheBenchSettings();
    void temperatureBoxSetsTheBench();
    void supplyBoxGoesBelowTheThreshold();
    void typedValues_data();
    void typedValues();
    void faultEntries_data();
    void faultEntries();
    void entriesExcludeEachOther();
    void rightClickAnywhereOpensTheMenu();
    void showsAnotherSourceByName();
    void followsTheBenchChangedElsewhere();
    void keepsWhatTheUserIsTyping();
    void followsACoolingButNotUnderTheKeys();
    void namesEveryWidget();
    void writesDecimalsTheUsersWay();

private:
    QDoubleSpinBox* box(const char* name) const {
        return control_->findChild<QDoubleSpinBox*>(QString::fromLatin1(name));
    }
    QLabel* caption() const { return control_->findChild<QLabel*>("sourceCaption"); }
    QAction* action(const char* name) const {
        return control_->findChild<QAction*>(QString::fromLatin1(name));
    }
    std::int64_t read(std::int32_t channel) {
        return std::get<std::int64_t>(control_->control().invoke(thermo::readDispatchId, channel));
    }

    // What the source tells reaches the panel from the event loop.
    bool updated() {
        QSignalSpy updates(&control_->control(), &thermo::OrphyControl::sourceUpdated);
        return updates.wait(5000);
    }

    std::unique_ptr<thermo::OrphyControl> acquisition_;
    std::unique_ptr<OrphyView> control_;
    SimulatedBench* bench_ = nullptr;
};

void SourcePanelTest::init() {
    acquisition_ = std::make_unique<thermo::OrphyControl>(thermo::OrphyProperties::mainWindowSet());
    control_ = std::make_unique<OrphyView>(*acquisition_);
    bench_ = &control_->control().bench();
    bench_->model().setNoise(thermo::Noise::Off);
    control_->resize(control_->sizeHint());
    control_->show();
    QVERIFY(QTest::qWaitForWindowExposed(control_.get()));
}

void SourcePanelTest::cleanup() {
    control_.reset();
    acquisition_.reset();
}

void SourcePanelTest::showsTheBenchSettings() {
    QVERIFY(box("benchTemperature")->isVisible());
    QVERIFY(box("benchSupply")->isVisible());
    QCOMPARE(box("benchTemperature")->value(), 25.0);
    QCOMPARE(box("benchSupply")->value(), 5.0);
    QCOMPARE(caption()->text(), QStringLiteral("Banc simulé"));
}

void SourcePanelTest::temperatureBoxSetsTheBench() {
    box("benchTemperature")->setValue(37.5);
    QCOMPARE(bench_->temperature(), 37.5);
    QCOMPARE(read(0), 38660);

    box("benchTemperature")->setValue(500.0);
    QCOMPARE(bench_->temperature(), BenchModel::maxCelsius);
}

void SourcePanelTest::supplyBoxGoesBelowTheThreshold() {
    QDoubleSpinBox* supply = box("benchSupply");
    supply->stepBy(-1);
    QCOMPARE(bench_->supplyVoltage(), 4.95);
    supply->stepBy(-2);
    QCOMPARE(bench_->supplyVoltage(), 4.85);
    QCOMPARE(read(1), 48660);

    // Typing takes effect once the entry is confirmed.
    supply->clear();
    QTest::keyClicks(supply, QLocale().toString(4.5, 'f', 2));
    QCOMPARE(bench_->supplyVoltage(), 4.85);
    QTest::keyClick(supply, Qt::Key_Return);
    QCOMPARE(bench_->supplyVoltage(), 4.5);
}

// Typing is read whole, never cut by the range, on Enter, focus loss or after a pause.
void SourcePanelTest::typedValues_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("end"); // "Enter", "focus" or "pause"
    QTest::addColumn<double>("taken");
    QTest::newRow("100 °C with a point, focus lost") << "benchTemperature"
                                                     << "100.0"
                                                     << "focus" << 100.0;
    QTest::newRow("-50 °C is the lowest, -40") << "benchTemperature"
                                               << "-50"
                                               << "Enter" << -40.0;
    QTest::newRow("37,5 °C after a pause") << "benchTemperature"
                                           << "37,5"
                                           << "pause" << 37.5;
    QTest::newRow("4,85 V never passes through 4 V") << "benchSupply"
                                                     << "4,85"
                                                     << "pause" << 4.85;
}

void SourcePanelTest::typedValues() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, end);
    QFETCH(double, taken);
    QDoubleSpinBox* typedIn = this->box(box.toLatin1().constData());
    const double before = bench_->number(box.toStdString());
    QList<double> seen;
    connect(typedIn, &QDoubleSpinBox::valueChanged, this, [&seen](double value) { seen << value; });
    typedIn->selectAll();
    QTest::keyClicks(typedIn, typed);
    QCOMPARE(bench_->number(box.toStdString()), before);
    if (end == QLatin1String("Enter")) {
        QTest::keyClick(typedIn, Qt::Key_Return);
    } else if (end == QLatin1String("focus")) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(typedIn, &out);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 1, 10000);
    }
    QCOMPARE(bench_->number(box.toStdString()), taken);
    QCOMPARE(seen, QList<double>{taken});
}

void SourcePanelTest::faultEntries_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("text");
    QTest::addColumn<BenchFault>("fault");
    QTest::addColumn<QString>("caption");

    QTest::newRow("coupure") << "faultOpenThermistor"
                             << "Thermistance coupée" << BenchFault::OpenThermistor
                             << "Banc simulé : coupure";
    QTest::newRow("court-circuit")
        << "faultShortedThermistor"
        << "Thermistance en court-circuit" << BenchFault::ShortedThermistor
        << "Banc simulé : court-circuit";
    QTest::newRow("débranchée") << "faultUnplugged"
                                << "Interface débranchée" << BenchFault::Unplugged
                                << "Banc simulé : débranché";
    QTest::newRow("normal") << "faultNone"
                            << "Montage normal" << BenchFault::None << "Banc simulé";
}

void SourcePanelTest::faultEntries() {
    QFETCH(QString, action);
    QFETCH(QString, text);
    QFETCH(BenchFault, fault);
    QFETCH(QString, caption);

    if (fault == BenchFault::None) {
        bench_->setFault(BenchFault::Unplugged);
    }
    QAction* entry = control_->findChild<QAction*>(action);
    QVERIFY(entry);
    QCOMPARE(entry->text(), text);
    QVERIFY(entry->isCheckable());
    entry->trigger();
    QCOMPARE(bench_->fault(), fault);
    QVERIFY(entry->isChecked());
    QVERIFY(updated());
    QCOMPARE(this->caption()->text(), caption);
    // Red while a fault is staged.
    const bool red = this->caption()->palette().color(QPalette::Text) == QColor(0xC00000);
    QCOMPARE(red, fault != BenchFault::None);
}

void SourcePanelTest::entriesExcludeEachOther() {
    QVERIFY(action("faultNone")->isChecked());
    action("faultShortedThermistor")->trigger();
    action("faultOpenThermistor")->trigger();
    QCOMPARE(bench_->fault(), BenchFault::OpenThermistor);
    int checked = 0;
    for (const char* name :
         {"faultNone", "faultOpenThermistor", "faultShortedThermistor", "faultUnplugged"}) {
        checked += action(name)->isChecked();
    }
    QCOMPARE(checked, 1);
    QCOMPARE(read(0), read(1));
}

void SourcePanelTest::rightClickAnywhereOpensTheMenu() {
    const QList<QWidget*> targets{caption(), box("benchTemperature"),
                                  box("benchSupply")->findChild<QLineEdit*>()};
    for (QWidget* target : targets) {
        QVERIFY(target);
        QWidget* popup = nullptr;
        // The menu runs its own loop; look at it from inside, then close it.
        QTimer::singleShot(0, this, [&popup] {
            popup = QApplication::activePopupWidget();
            if (popup) {
                popup->close();
            }
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                                target->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(target, &event);
        QVERIFY2(popup, qPrintable(target->objectName()));
        QCOMPARE(popup->objectName(), QStringLiteral("acquisitionMenu"));
    }
}

void SourcePanelTest::showsAnotherSourceByName() {
    control_->control().setSource(std::make_unique<thermo::test::ScriptedSource>("Carte série"));
    QCOMPARE(caption()->text(), QStringLiteral("Carte série"));
    QVERIFY(!box("benchTemperature"));
    QVERIFY(!box("benchSupply"));
    QVERIFY(!action("faultUnplugged"));

    // Finer than the boxes show, to catch a rounded value written back.
    bench_->setTemperature(30.04);
    bench_->setSupplyVoltage(4.837);
    bench_->setFault(BenchFault::ShortedThermistor);
    control_->control().useSimulation();
    QVERIFY(box("benchTemperature")->isVisible());
    QCOMPARE(box("benchTemperature")->value(), 30.0);
    QCOMPARE(box("benchSupply")->value(), 4.84);
    QVERIFY(action("faultShortedThermistor")->isChecked());
    QCOMPARE(caption()->text(), QStringLiteral("Banc simulé : court-circuit"));
    // Showing the bench's settings again must not write them back changed.
    QCOMPARE(bench_->temperature(), 30.04);
    QCOMPARE(bench_->supplyVoltage(), 4.837);
}

// Changes made elsewhere reach the panel from the event loop, all at once, never inside the
// call that made them (a read, in a cooling).
void SourcePanelTest::followsTheBenchChangedElsewhere() {
    QSignalSpy updates(&control_->control(), &thermo::OrphyControl::sourceUpdated);
    bench_->setTemperature(-12.5);
    bench_->setSupplyVoltage(6.0);
    bench_->setFault(BenchFault::OpenThermistor);
    QCOMPARE(box("benchTemperature")->value(), 25.0);
    QVERIFY(updates.wait(5000));
    QCOMPARE(updates.count(), 1);
    QCOMPARE(box("benchTemperature")->value(), -12.5);
    QCOMPARE(box("benchSupply")->value(), 6.0);
    QVERIFY(action("faultOpenThermistor")->isChecked());
    QCOMPARE(caption()->text(), QStringLiteral("Banc simulé : coupure"));
}

// A change of something else does not wipe an entry not yet confirmed.
void SourcePanelTest::keepsWhatTheUserIsTyping() {
    QDoubleSpinBox* supply = box("benchSupply");
    supply->setFocus();
    supply->clear();
    QTest::keyClicks(supply, QStringLiteral("4"));
    action("faultOpenThermistor")->trigger();
    QVERIFY(updated());
    QVERIFY2(supply->text().startsWith(QLatin1Char('4')), qPrintable(supply->text()));
    QCOMPARE(bench_->supplyVoltage(), 5.0);
}

// The temperature box follows a cooling, but not under the user's keys.
void SourcePanelTest::followsACoolingButNotUnderTheKeys() {
    auto now = std::chrono::steady_clock::now();
    bench_->model().setClock([&now] { return now; });
    action("courseCooling")->trigger(); // from 25 °C
    now += BenchModel::relaxationTime;
    read(0);
    QVERIFY(updated());
    QDoubleSpinBox* temperature = box("benchTemperature");
    QCOMPARE(temperature->value(), 21.8); // 20 + 5 / e
    temperature->setFocus();
    temperature->clear();
    QTest::keyClicks(temperature, QStringLiteral("3"));
    now += BenchModel::relaxationTime;
    read(0);
    QVERIFY(updated());
    QTest::keyClick(temperature, Qt::Key_Return);
    QCOMPARE(bench_->temperature(), 3.0);
}

void SourcePanelTest::namesEveryWidget() {
    auto* panel = control_->findChild<thermo::SourcePanel*>();
    QVERIFY(panel);
    QList<QWidget*> widgets = panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    widgets.prepend(panel);
    QCOMPARE(widgets.size(), 5); // panel, caption, menu, two spin boxes
    for (QWidget* widget : widgets) {
        QVERIFY2(!widget->objectName().isEmpty(), widget->metaObject()->className());
        QVERIFY2(!widget->accessibleName().isEmpty(), qPrintable(widget->objectName()));
    }
    const auto* menu = panel->findChild<QMenu*>("acquisitionMenu");
    QVERIFY(menu);
    int faults = 0;
    for (QAction* entry : menu->actions()) {
        if (entry->isSeparator()) {
            continue; // the section titles
        }
        QVERIFY2(!entry->objectName().isEmpty(), qPrintable(entry->text()));
        faults += entry->objectName().startsWith(QLatin1String("fault")) ? 1 : 0;
    }
    QCOMPARE(faults, 4);
    QVERIFY(!box("benchTemperature")->toolTip().isEmpty());
    QVERIFY(!box("benchSupply")->toolTip().isEmpty());
}

void SourcePanelTest::writesDecimalsTheUsersWay() {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    thermo::OrphyControl acquisition(thermo::OrphyProperties::mainWindowSet());
    OrphyView control(acquisition);
    QLocale::setDefault(saved);
    const auto* temperature = control.findChild<QDoubleSpinBox*>("benchTemperature");
    const auto* supply = control.findChild<QDoubleSpinBox*>("benchSupply");
    QCOMPARE(temperature->text(), QStringLiteral("25,0 °C"));
    QCOMPARE(supply->text(), QStringLiteral("5,00 V"));
}

QTEST_MAIN(SourcePanelTest)
#include "source_panel_test.moc"
