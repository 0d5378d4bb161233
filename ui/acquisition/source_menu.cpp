#include "ui/acquisition/source_menu.h"

#include "acquisition/board_kinds.h"
#include "acquisition/orphy_control.h"

#include <QAction>
#include <QActionGroup>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <exception>

namespace thermo {

namespace {

const char* const portProperty = "portPath";
// Set on the entries of boards a search found: they keep what the search said of them.
const char* const foundProperty = "found";
// Set on the entry of a port typed by hand once a kind of board recognised it.
const char* const recognisedProperty = "recognised";

bool knownBoard(const QAction* action) {
    return action->property(foundProperty).toBool() ||
           action->property(recognisedProperty).toBool();
}

// "/dev/ttyACM0 — carte n° 0042": the port, then what the board said of itself.
QString boardText(const BoardInfo& board) {
    QString text = QString::fromStdString(board.portPath);
    if (!board.identification.empty()) {
        text += QStringLiteral(" \u2014 ") + QString::fromStdString(board.identification);
    }
    return text;
}

} // namespace

SourceMenu::SourceMenu(OrphyControl& control, QMenu& menu, QWidget* owner)
    : QObject(owner), control_(control), menu_(menu), owner_(owner), boards_(new BoardSearch(this)),
      statusTimer_(new QTimer(this)) {
    QAction* first = menu_.actions().value(0);
    menu_.insertSection(first, tr("Source des mesures"));
    choices_ = new QActionGroup(this);
    choices_->setExclusive(true);

    simulation_ = new QAction(tr("Simulation"), choices_);
    simulation_->setObjectName(QStringLiteral("sourceSimulation"));
    simulation_->setCheckable(true);
    menu_.insertAction(first, simulation_);

    noBoard_ = new QAction(tr("Aucune carte trouvée"), this);
    noBoard_->setObjectName(QStringLiteral("sourceNoBoard"));
    noBoard_->setEnabled(false);
    noBoard_->setVisible(false);
    menu_.insertAction(first, noBoard_);

    search_ = new QAction(tr("Rechercher les cartes"), this);
    search_->setObjectName(QStringLiteral("sourceSearch"));
    search_->setToolTip(
        tr("Interroge chaque port série ; les cartes qui s'y trouvent redémarrent"));
    menu_.insertAction(first, search_);

    otherPort_ = new QAction(tr("Autre port série\u2026"), this);
    otherPort_->setObjectName(QStringLiteral("sourceOtherPort"));
    menu_.insertAction(first, otherPort_);

    connect(simulation_, &QAction::triggered, this,
            [this] { guarded([this] { control_.useSimulation(); }); });
    connect(search_, &QAction::triggered, this, [this] { guarded([this] { startSearch(); }); });
    connect(otherPort_, &QAction::triggered, this, [this] { guarded([this] { askForPort(); }); });
    connect(&control_, &OrphyControl::sourceChanged, this, &SourceMenu::updateChecks);
    connect(&control_, &OrphyControl::sourceUpdated, this, &SourceMenu::updateChecks);
    connect(boards_, &BoardSearch::finished, this, [this] { guarded([this] { searchEnded(); }); });
    statusTimer_->setSingleShot(true);
    statusTimer_->setInterval(statusShownMs);
    connect(statusTimer_, &QTimer::timeout, this, [this] { setStatus({}); });
    // Once another source is chosen, the caption it brings matters more than a search's
    // outcome; a search still running goes on saying so.
    connect(&control_, &OrphyControl::sourceChanged, this, [this] {
        if (!searching()) {
            setStatus({});
        }
    });
    updateChecks();
}

SourceMenu::~SourceMenu() = default;

QList<QAction*> SourceMenu::boardActions() const {
    QList<QAction*> boards = choices_->actions();
    boards.removeOne(simulation_);
    return boards;
}

void SourceMenu::setBoardFinder(BoardFinder finder) {
    boards_->setFinder(std::move(finder));
}

void SourceMenu::startSearch() {
    if (searching()) {
        return;
    }
    search_->setText(tr("Recherche des cartes en cours\u2026"));
    search_->setEnabled(false);
    boards_->start();
    setStatus(tr("Recherche en cours\u2026"));
}

bool SourceMenu::searching() const {
    return boards_->running();
}

void SourceMenu::searchEnded() {
    const BoardSearch::Result& result = boards_->result();
    showBoards(result.boards);
    // A search that could not be made found nothing; the entry says why.
    noBoard_->setToolTip(QString::fromStdString(result.error));
    search_->setText(tr("Rechercher les cartes"));
    search_->setEnabled(true);
    const int count = knownBoards();
    setStatus(count == 0   ? tr("Aucune carte trouvée")
              : count == 1 ? tr("1 carte trouvée")
                           : tr("%1 cartes trouvées").arg(count));
    statusTimer_->start();
    emit searchFinished();
}

// A status stands until replaced; only a search's outcome is then let go by the timer.
void SourceMenu::setStatus(const QString& status) {
    statusTimer_->stop();
    if (status != status_) {
        status_ = status;
        emit statusChanged(status_);
    }
}

void SourceMenu::showBoards(const std::vector<BoardInfo>& boards) {
    for (QAction* action : boardActions()) {
        if (!inUse(action)) {
            delete action;
        }
    }
    for (const BoardInfo& board : boards) {
        const QString path = QString::fromStdString(board.portPath);
        if (!listed(path)) {
            addBoardAction(board.kind, path, boardText(board))->setProperty(foundProperty, true);
        }
    }
    searched_ = true;
    updateChecks();
}

QAction* SourceMenu::addBoardAction(const BoardKind* kind, const QString& portPath,
                                    const QString& text) {
    auto* action = new QAction(text, choices_);
    action->setObjectName(QStringLiteral("sourceBoard"));
    action->setCheckable(true);
    action->setProperty(portProperty, portPath);
    menu_.insertAction(noBoard_, action);
    connect(action, &QAction::triggered, this,
            [this, kind, portPath] { guarded([&] { chooseBoard(kind, portPath); }); });
    return action;
}

int SourceMenu::knownBoards() const {
    const auto boards = boardActions();
    return static_cast<int>(std::count_if(boards.begin(), boards.end(), knownBoard));
}

bool SourceMenu::listed(const QString& portPath) const {
    const auto boards = boardActions();
    return std::any_of(boards.begin(), boards.end(), [&](const QAction* action) {
        return action->property(portProperty).toString() == portPath;
    });
}

// A board of no known kind (typed by hand) is found out by asking its port.
void SourceMenu::chooseBoard(const BoardKind* kind, const QString& portPath) {
    if (kind) {
        control_.useBoard(*kind, portPath.toStdString());
    } else {
        control_.usePort(portPath.toStdString());
    }
}

void SourceMenu::askForPort() {
    bool accepted = false;
    const QString path = QInputDialog::getText(
        owner_->window(), tr("Autre port série"),
        tr("Chemin du port où la carte est branchée\n(par exemple /dev/ttyUSB0) :"),
        QLineEdit::Normal, QStringLiteral("/dev/"), &accepted);
    if (accepted && !path.trimmed().isEmpty()) {
        chooseBoard(nullptr, path.trimmed());
    }
}

bool SourceMenu::inUse(const QAction* action) const {
    const std::string port = control_.source().portPath();
    return !port.empty() && action->property(portProperty).toString().toStdString() == port;
}

void SourceMenu::updateChecks() {
    const QString port = QString::fromStdString(control_.source().portPath());
    if (!port.isEmpty() && !listed(port)) {
        addBoardAction(control_.boardKind(), port, port);
    }
    // With some other source (a test's script) nothing listed is checked.
    simulation_->setChecked(control_.usingBench());
    for (QAction* action : boardActions()) {
        const bool used = inUse(action);
        if (used && control_.boardKind() != nullptr) {
            action->setProperty(recognisedProperty, true);
        }
        // A port typed by hand that no kind of board recognised is not offered once left.
        if (!used && !knownBoard(action)) {
            delete action;
            continue;
        }
        action->setChecked(used);
        // A board no search found says what it is once it has told its source.
        if (used && !action->property(foundProperty).toBool()) {
            action->setText(QString::fromStdString(control_.source().name()));
        }
    }
    noBoard_->setVisible(searched_ && knownBoards() == 0);
}

template <typename Action> void SourceMenu::guarded(const Action& action) {
    try {
        action();
    } catch (const std::exception& error) {
        tell(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        tell(tr("erreur inconnue"));
    }
}

// Said without waiting for an answer: the measurement goes on meanwhile.
void SourceMenu::tell(const QString& why) noexcept {
    try {
        auto* box = new QMessageBox(QMessageBox::Warning, tr("Source des mesures"),
                                    tr("La source des mesures n'a pas pu changer : %1").arg(why),
                                    QMessageBox::Ok, owner_->window());
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    } catch (...) {
        // Out of memory even for the box: the source in use stays, and says how it goes.
    }
}

} // namespace thermo
