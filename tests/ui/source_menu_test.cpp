#include "acquisition/board_kinds.h"
#include "acquisition/orphy_binding.h"
#include "acquisition/orphy_control.h"
#include "acquisition/serial/board_discovery.h"
#include "acquisition/simulated_bench.h"
#include "core/failure.h"
#include "tests/serial/pty_board.h"
#include "ui/acquisition/orphy_view.h"
#include "ui/acquisition/source_menu.h"

#include <QAction>
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

private:
    SourceMenu& menu() { return view_->sourceMenu(); }
    void searchWith(std::vector<BoardInfo> found);
    std::optional<std::int32_t> readUntilAnswer(std::int32_t channel);

    std::unique_ptr<PtyBoard> board_;
    std::unique_ptr<OrphyView> view_;
    OrphyControl* control_ = nullptr;
};

void SourceMenuTest::init() {
    board_ = std::make_unique<PtyBoard>(thermo::test::boardAnswering(
        {{"MEAS:EA0?", "39321"}, {"MEAS:EA1?", "49152"}}, "THERMOMETRE,CARTE-CTN,0042,1.0"));
    view_ = std::make_unique<OrphyView>(OrphyProperties::mainWindowSet());
    control_ = &view_->control();
}

void SourceMenuTest::cleanup() {
    view_.reset();
    board_.reset();
}

void SourceMenuTest::searchWith(std::vector<BoardInfo> found) {
    menu().setBoardFinder([found] { return found; });
    QSignalSpy finished(&menu(), &SourceMenu::searchFinished);
    menu().startSearch();
    QVERIFY(finished.wait(2000));
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
        std::chrono::seconds(3));
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
    menu().setBoardFinder([path] { return thermo::probeBoards({path, "/dev/absent-port"}); });
    QSignalSpy finished(&menu(), &SourceMenu::searchFinished);
    menu().startSearch();
    QVERIFY(menu().searching());
    QVERIFY(!menu().searchAction()->isEnabled());
    QVERIFY(finished.wait(5000));
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
    menu().setBoardFinder([&searchThread] {
        searchThread = QThread::currentThread();
        return std::vector<BoardInfo>{};
    });
    QSignalSpy finished(&menu(), &SourceMenu::searchFinished);
    menu().startSearch();
    QVERIFY(finished.wait(2000));
    QVERIFY(searchThread != nullptr);
    QVERIFY(searchThread != QThread::currentThread());
}

void SourceMenuTest::choosingABoardMeasuresThroughItFromTheNextRead() {
    searchWith({BoardInfo{board_->path(), "", "0042", "1.0", "carte n\u00B0 0042",
                          &thermo::boardKinds().front()}});
    menu().boardActions()[0]->trigger();
    QCOMPARE(control_->source().portPath(), board_->path());
    QCOMPARE(control_->boardKind(), &thermo::boardKinds().front());
    QVERIFY(menu().boardActions()[0]->isChecked());
    QVERIFY(!menu().simulationAction()->isChecked());
    QCOMPARE(readUntilAnswer(0), std::optional<std::int32_t>(39321));
    QCOMPARE(readUntilAnswer(1), std::optional<std::int32_t>(49152));
}

void SourceMenuTest::simulationComesBackAsItWasLeft() {
    control_->bench().setTemperature(31.5);
    control_->bench().setFault(thermo::BenchFault::ShortedThermistor);
    control_->useBoard(thermo::boardKinds().front(), board_->path());
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
    control_->useBoard(thermo::boardKinds().front(), board_->path());
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
                          &thermo::boardKinds().front()}});
    QVERIFY(!none->isVisible());
}

// An error in the search comes back as its outcome, never thrown inside the interface's loop.
void SourceMenuTest::searchThatFailsFindsNothing() {
    menu().setBoardFinder(
        []() -> std::vector<BoardInfo> { throw std::runtime_error("ports illisibles"); });
    QSignalSpy finished(&menu(), &SourceMenu::searchFinished);
    menu().startSearch();
    QVERIFY(finished.wait(2000));
    const auto* none = view_->findChild<QAction*>(QStringLiteral("sourceNoBoard"));
    QVERIFY(none->isVisible());
    QCOMPARE(none->toolTip(), QStringLiteral("ports illisibles"));
    QVERIFY(menu().searchAction()->isEnabled());
    QVERIFY(menu().simulationAction()->isChecked());
}

QTEST_MAIN(SourceMenuTest)
#include "source_menu_test.moc"
