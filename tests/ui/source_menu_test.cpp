#include "acquisition/board_kinds.h"
#include "acquisition/orphy_binding.h"
#include "acquisition/orphy_control.h"
#include "acquisition/simulated_bench.h"
#include "core/failure.h"
#include "tests/serial/firmata_peer.h"
#include "tests/serial/pty_board.h"
#include "ui/accessibility/announcer.h"
#include "ui/acquisition/orphy_view.h"
#include "ui/acquisition/source_menu.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <optional>
#include <stdexcept>

using thermo::BoardInfo;
using thermo::OrphyControl;
using thermo::OrphyProperties;
using thermo::OrphyView;
using thermo::SourceMenu;
using thermo::test::PtyBoard;

// The choice of source in the acquisition control's menu, against a board played on a
// pseudo-terminal.
class SourceMenuTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsOnTheSimulation();
    void searchListsTheBoardsThatIdentify();
    void searchRunsAwayFromTheInterfaceThread();
    void choosingABoardMeasuresThroughItFromTheNextRead();
    void simulationComesBackAsItWasLeft();
    void boardInUseStaysListedAfterASearch();
    void saysWhenNoBoardWasFound();
    void searchThatFailsFindsNothing();
    void typedPortFindsOutTheKindOfBoard();
    void typedPortThatIsAbsentSaysSoAndIsNotKept();
    void searchSaysWhatItDoes_data();
    void searchSaysWhatItDoes();
    void quittingStopsTheSearchAndTheBoardAtOnce();
    void boardUnpluggedAndBackElsewhere_data();
    void boardUnpluggedAndBackElsewhere();

private:
    SourceMenu& menu() { return view_->sourceMenu(); }
    void searchWith(std::vector<BoardInfo> found);
    std::optional<std::int32_t> readUntilAnswer(std::int32_t channel);
    // What a read through the control gives now: the code, or the failure's message.
    QString readNow(std::int32_t channel);

    std::unique_ptr<PtyBoard> board_;
    std::unique_ptr<OrphyControl> acquisition_;
    std::unique_ptr<OrphyView> view_;
    OrphyControl* control_ = nullptr;
};

void SourceMenuTest::init() {
    board_ = std::make_unique<PtyBoard>(thermo::test::boardAnswering(
        {{"MEAS:EA0?", "39321"}, {"MEAS:EA1?", "49152"}}, "THERMOMETRE,CARTE-CTN,0042,1.0"));
    acquisition_ = std::make_unique<OrphyControl>(OrphyProperties::mainWindowSet());
    view_ = std::make_unique<OrphyView>(*acquisition_);
    control_ = &view_->control();
}

void SourceMenuTest::cleanup() {
    view_.reset();
    acquisition_.reset();
    board_.reset();
}

void SourceMenuTest::searchWith(std::vector<BoardInfo> found) {
    control_->search().setFinder([found](std::stop_token) { return found; });
    QSignalSpy finished(&menu(), &SourceMenu::searchFinished);
    menu().startSearch();
    QVERIFY(finished.wait(10000));
}

std::optional<std::int32_t> SourceMenuTest::readUntilAnswer(std::int32_t channel) {
    thermo::OrphyBinding binding(*control_);
    std::optional<std::int32_t> code;
    thermo::test::waitFor(
        [&] {
            try {
                code = binding.readChannel(channel);
            } catch (const thermo::Failure&) {
            }
            return code.has_value();
        },
        std::chrono::seconds(20));
    return code;
}

void SourceMenuTest::startsOnTheSimulation() {
    QVERIFY(menu().simulationAction()->isChecked());
    QVERIFY(menu().boardActions().isEmpty());
    QCOMPARE(menu().simulationAction()->text(), QStringLiteral("Simulation"));
    QCOMPARE(menu().searchAction()->text(), QStringLiteral("Rechercher les cartes"));
}

void SourceMenuTest::searchListsTheBoardsThatIdentify() {
    const std::string path = board_->path();
    control_->search().setFinder([path](std::stop_token) {
        return thermo::findBoards({path, "/dev/absent-port"});
    });
    QSignalSpy finished(&menu(), &SourceMenu::searchFinished);
    menu().startSearch();
    QVERIFY(menu().searching());
    QVERIFY(!menu().searchAction()->isEnabled());
    QVERIFY(finished.wait(10000));
    QVERIFY(menu().searchAction()->isEnabled());
    const auto boards = menu().boardActions();
    QCOMPARE(boards.size(), 1);
    QCOMPARE(boards[0]->text(),
             QString::fromStdString(path) + QStringLiteral(" \u2014 carte n\u00B0 0042"));
    QVERIFY(!boards[0]->isChecked());
    QVERIFY(menu().simulationAction()->isChecked());
}

void SourceMenuTest::searchRunsAwayFromTheInterfaceThread() {
    QThread* searchThread = nullptr;
    control_->search().setFinder([&searchThread](std::stop_token) {
        searchThread = QThread::currentThread();
        return std::vector<BoardInfo>{};
    });
    QSignalSpy finished(&menu(), &SourceMenu::searchFinished);
    menu().startSearch();
    QVERIFY(finished.wait(10000));
    QVERIFY(searchThread != nullptr);
    QVERIFY(searchThread != QThread::currentThread());
}

void SourceMenuTest::choosingABoardMeasuresThroughItFromTheNextRead() {
    searchWith({BoardInfo{board_->path(), "", "0042", "1.0", "carte n\u00B0 0042",
                          thermo::boardKinds().front()}});
    menu().boardActions()[0]->trigger();
    QCOMPARE(control_->source().portPath(), board_->path());
    QCOMPARE(control_->boardKind(), thermo::boardKinds().front());
    QVERIFY(menu().boardActions()[0]->isChecked());
    QVERIFY(!menu().simulationAction()->isChecked());
    QCOMPARE(readUntilAnswer(0), std::optional<std::int32_t>(39321));
    QCOMPARE(readUntilAnswer(1), std::optional<std::int32_t>(49152));
}

void SourceMenuTest::simulationComesBackAsItWasLeft() {
    control_->bench().setTemperature(31.5);
    control_->bench().setFault(thermo::BenchFault::ShortedThermistor);
    control_->useBoard(*thermo::boardKinds().front(), board_->path());
    QVERIFY(!control_->usingBench());
    menu().simulationAction()->trigger();
    QVERIFY(control_->usingBench());
    QCOMPARE(control_->bench().temperature(), 31.5);
    QCOMPARE(control_->bench().fault(), thermo::BenchFault::ShortedThermistor);
    QVERIFY(menu().simulationAction()->isChecked());
    QVERIFY(!menu().boardActions()[0]->isChecked());
}

void SourceMenuTest::boardInUseStaysListedAfterASearch() {
    // The board in use holds its port, so a search cannot open it and does not find it.
    control_->useBoard(*thermo::boardKinds().front(), board_->path());
    searchWith({});
    const auto boards = menu().boardActions();
    QCOMPARE(boards.size(), 1);
    QVERIFY(boards[0]->isChecked());
}

void SourceMenuTest::saysWhenNoBoardWasFound() {
    searchWith({});
    const auto* none = view_->findChild<QAction*>(QStringLiteral("sourceNoBoard"));
    QVERIFY(none);
    QVERIFY(none->isVisible());
    QVERIFY(!none->isEnabled());
    searchWith({BoardInfo{board_->path(), "", "0042", "1.0", "carte n\u00B0 0042",
                          thermo::boardKinds().front()}});
    QVERIFY(!none->isVisible());
}

// An error in the search comes back as its outcome, never thrown inside the interface's loop.
void SourceMenuTest::searchThatFailsFindsNothing() {
    control_->search().setFinder([](std::stop_token) -> std::vector<BoardInfo> {
        throw std::runtime_error("ports illisibles");
    });
    QSignalSpy finished(&menu(), &SourceMenu::searchFinished);
    menu().startSearch();
    QVERIFY(finished.wait(10000));
    const auto* none = view_->findChild<QAction*>(QStringLiteral("sourceNoBoard"));
    QVERIFY(none->isVisible());
    QCOMPARE(none->toolTip(), QStringLiteral("ports illisibles"));
    QVERIFY(menu().searchAction()->isEnabled());
    QVERIFY(menu().simulationAction()->isChecked());
}

QString SourceMenuTest::readNow(std::int32_t channel) {
    try {
        return QString::number(thermo::OrphyBinding(*control_).readChannel(channel));
    } catch (const thermo::Failure& failure) {
        return QString::fromUtf8(failure.what());
    }
}

// Typed by hand (or given on the command line), a port is recognised on its first opening (an
// Uno restarts at each); the board's own source takes over on that same opening, and its entry
// says what it is.
void SourceMenuTest::typedPortFindsOutTheKindOfBoard() {
    using namespace std::chrono_literals;
    thermo::test::FirmataPeer firmata({.bits = 10, .restartsOnOpen = true, .bootTime = 200ms});
    firmata.setValues(0, {512});
    thermo::test::OpenCounter opens(firmata.path());
    const QString path = QString::fromStdString(firmata.path());
    control_->usePort(firmata.path());
    QCOMPARE(QString::fromStdString(control_->source().name()), "Carte sur " + path);
    QCOMPARE(readNow(0), QStringLiteral("Carte : reconnaissance en cours"));
    QVERIFY(menu().boardActions().value(0) && menu().boardActions()[0]->isChecked());

    QTRY_COMPARE_WITH_TIMEOUT(readNow(0), QStringLiteral("40968"), 10000);
    QCOMPARE(control_->boardKind(), thermo::boardKinds()[1]);
    QCOMPARE(opens.count(), 1);
    QCOMPARE(menu().boardActions().size(), 1);
    // Its name comes with its status, from the event loop.
    QTRY_COMPARE_WITH_TIMEOUT(menu().boardActions()[0]->text(),
                              "Arduino Firmata 2.5 (StandardFirmata) sur " + path, 5000);
    // Recognised, it stays on offer once left.
    menu().simulationAction()->trigger();
    QCOMPARE(menu().boardActions().size(), 1);
}

void SourceMenuTest::typedPortThatIsAbsentSaysSoAndIsNotKept() {
    control_->usePort("/dev/absent-port");
    QTRY_COMPARE(readNow(1), QStringLiteral("Carte débranchée"));
    QCOMPARE(control_->source().status().state, thermo::SourceState::Lost);
    QCOMPARE(menu().boardActions().size(), 1); // listed while in use
    menu().simulationAction()->trigger();
    QVERIFY(menu().boardActions().isEmpty());
}

// In the panel where the user looks, and once to a screen reader: the search running, then
// what it found, until another source is chosen or for a few seconds.
void SourceMenuTest::searchSaysWhatItDoes_data() {
    QTest::addColumn<int>("found");
    QTest::addColumn<QString>("said");
    QTest::newRow("none, for a few seconds") << 0 << "Aucune carte trouvée";
    QTest::newRow("one, until another source") << 1 << "1 carte trouvée";
    QTest::newRow("two, until another source") << 2 << "2 cartes trouvées";
}

void SourceMenuTest::searchSaysWhatItDoes() {
    QFETCH(int, found);
    QFETCH(QString, said);
    const auto* caption = view_->findChild<QLabel*>(QStringLiteral("sourceCaption"));
    QSignalSpy announced(&thermo::Announcements::instance(), &thermo::Announcements::announced);
    std::vector<BoardInfo> boards;
    for (int i = 0; i < found; ++i) {
        boards.push_back(
            {"/dev/board" + std::to_string(i), "", "", "", "", thermo::boardKinds()[0]});
    }
    control_->search().setFinder([boards](std::stop_token) { return boards; });
    QSignalSpy finished(&menu(), &SourceMenu::searchFinished);
    menu().startSearch();
    const QStringList statuses{QStringLiteral("Recherche en cours\u2026"), said};
    for (const QString& status : statuses) {
        QCOMPARE(caption->text(), status);
        QCOMPARE(announced.takeLast().first().toString(), status);
        QVERIFY(!finished.isEmpty() || finished.wait(10000));
    }
    if (found > 0) {
        control_->usePort("/dev/absent-port");
        QCOMPARE(caption->text(), QStringLiteral("Carte sur /dev/absent-port"));
    }
    QTRY_COMPARE_WITH_TIMEOUT(caption->text(), QString::fromStdString(control_->source().name()),
                              SourceMenu::statusShownMs + 1000);
    // Nothing is said as the status goes.
    QVERIFY(announced.isEmpty());
}

void SourceMenuTest::quittingStopsTheSearchAndTheBoardAtOnce() {
    PtyBoard mute([](const std::string&) { return std::vector<PtyBoard::Reply>{}; });
    control_->useBoard(*thermo::boardKinds().front(), board_->path());
    const std::string path = mute.path();
    control_->search().setFinder([path](std::stop_token stop) {
        return thermo::findBoards({path}, std::chrono::seconds(10), stop);
    });
    menu().startSearch();
    QVERIFY(menu().searching());
    QElapsedTimer clock;
    clock.start();
    view_.reset();
    qInfo("Control and menu gone in %lld ms, with a search and a board running",
          static_cast<long long>(clock.elapsed()));
    // Waiting for the search would take its 10 s; a loaded machine takes far less than that.
    QVERIFY(clock.elapsed() < 1500);
}

// The board in use and a spare are unplugged; one like them comes back on another port: with
// its number it is followed, without it may be the spare, and the user says.
void SourceMenuTest::boardUnpluggedAndBackElsewhere_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("said");
    QTest::newRow("numbered, followed") << "0042"
                                        << "Carte retrouvée sur ";
    QTest::newRow("anonymous, asked about") << ""
                                            << "Carte semblable sur ";
}

void SourceMenuTest::boardUnpluggedAndBackElsewhere() {
    QFETCH(QString, number);
    QFETCH(QString, said);
    const auto make = [&] {
        return std::make_unique<PtyBoard>(thermo::test::boardAnswering(
            {{"MEAS:EA0?", "39321"}}, "THERMOMETRE,CARTE-CTN," + number.toStdString() + ",1.0"));
    };
    auto used = make(), spare = make(), back = make();
    thermo::test::PluggedPorts ports;
    control_->setPorts(ports.lister());
    const std::string usedPath = ports.plug(used->path()), sparePath = ports.plug(spare->path());
    control_->usePort(usedPath);
    QVERIFY(readUntilAnswer(0));

    ports.unplug(usedPath);
    used.reset();
    QTRY_COMPARE_WITH_TIMEOUT(readNow(0), QStringLiteral("Carte débranchée"), 20000);
    ports.unplug(sparePath);
    spare.reset();
    QVERIFY(thermo::test::lookingAgain(ports));
    const QString path = QString::fromStdString(ports.plug(back->path()));
    const auto* caption = view_->findChild<QLabel*>(QStringLiteral("sourceCaption"));
    // The measurement's reads bring what the board's thread found.
    QTRY_COMPARE_WITH_TIMEOUT((readNow(0), caption->text()), said + path, 20000);
    if (auto* question = view_->findChild<QMessageBox*>(QStringLiteral("lookalikeQuestion"))) {
        QCOMPARE(readNow(0), QStringLiteral("Carte débranchée"));
        question->button(QMessageBox::Yes)->click();
    }
    QCOMPARE(readUntilAnswer(0), std::optional<std::int32_t>(39321));
    QCOMPARE(QString::fromStdString(control_->source().portPath()), path);
    QVERIFY(menu().boardActions().last()->isChecked());
}

QTEST_MAIN(SourceMenuTest)
#include "source_menu_test.moc"
