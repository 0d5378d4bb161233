#include "ui/acquisition/source_menu.h"

#include "acquisition/board_kinds.h"
#include "acquisition/orphy_control.h"

#include <QAction>
#include <QActionGroup>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <exception>

namespace thermo {

SourceMenu::SourceMenu(OrphyControl& control, QMenu& menu, QWidget* owner)
    : QObject(owner), control_(control), menu_(menu), owner_(owner),
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
    connect(&control_, &OrphyControl::boardsChanged, this, &SourceMenu::render);
    connect(&control_, &OrphyControl::sourceChanged, this, &SourceMenu::render);
    connect(&control_.search(), &BoardSearch::finished, this,
            [this] { guarded([this] { searchEnded(); }); });
    connect(&control_, &OrphyControl::boardFollowed, this, [this](const QString& port) {
        setStatus(tr("Carte retrouvée sur %1").arg(port), true);
    });
    connect(&control_, &OrphyControl::lookalikeFound, this,
            [this](const BoardInfo& board) { guarded([&] { askAbout(board); }); });
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
    render();
}

SourceMenu::~SourceMenu() = default;

QList<QAction*> SourceMenu::boardActions() const {
    QList<QAction*> boards = choices_->actions();
    boards.removeOne(simulation_);
    return boards;
}

void SourceMenu::startSearch() {
    if (searching()) {
        return;
    }
    search_->setText(tr("Recherche des cartes en cours\u2026"));
    search_->setEnabled(false);
    control_.search().start();
    setStatus(tr("Recherche en cours\u2026"));
}

bool SourceMenu::searching() const {
    return control_.search().running();
}

void SourceMenu::searchEnded() {
    // A search that could not be made found nothing; the entry says why.
    noBoard_->setToolTip(QString::fromStdString(control_.search().result().error));
    search_->setText(tr("Rechercher les cartes"));
    search_->setEnabled(true);
    searched_ = true;
    render();
    const int count = control_.boards().knownCount();
    setStatus(count == 0   ? tr("Aucune carte trouvée")
              : count == 1 ? tr("1 carte trouvée")
                           : tr("%1 cartes trouvées").arg(count),
              true);
    emit searchFinished();
}

void SourceMenu::setStatus(const QString& status, bool forAWhile) {
    statusTimer_->stop();
    if (status != status_) {
        status_ = status;
        emit statusChanged(status_);
    }
    if (forAWhile) {
        statusTimer_->start();
    }
}

// One action for each entry of the list, in its order.
void SourceMenu::render() {
    const auto& entries = control_.boards().entries();
    QList<QAction*> actions = boardActions();
    while (actions.size() > static_cast<qsizetype>(entries.size())) {
        delete actions.takeLast();
    }
    while (actions.size() < static_cast<qsizetype>(entries.size())) {
        auto* action = new QAction(choices_);
        action->setObjectName(QStringLiteral("sourceBoard"));
        action->setCheckable(true);
        menu_.insertAction(noBoard_, action);
        connect(
            action, &QAction::triggered, this,
            [this, entry = static_cast<int>(actions.size())] { guarded([&] { choose(entry); }); });
        actions.append(action);
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        actions[static_cast<qsizetype>(i)]->setText(QString::fromStdString(entries[i].text));
        actions[static_cast<qsizetype>(i)]->setChecked(control_.boards().inUse(entries[i]));
    }
    // With some other source (a test's script) nothing listed is checked.
    simulation_->setChecked(control_.usingBench());
    noBoard_->setVisible(searched_ && control_.boards().knownCount() == 0);
}

// A board of no known kind (typed by hand) is found out by asking its port.
void SourceMenu::choose(int entry) {
    const BoardInfo board = control_.boards().entries().at(static_cast<std::size_t>(entry)).board;
    if (board.kind) {
        control_.useBoard(*board.kind, board.portPath);
    } else {
        control_.usePort(board.portPath);
    }
}

void SourceMenu::askForPort() {
    bool accepted = false;
    const QString path = QInputDialog::getText(
        owner_->window(), tr("Autre port série"),
        tr("Chemin du port où la carte est branchée\n(par exemple /dev/ttyUSB0) :"),
        QLineEdit::Normal, QStringLiteral("/dev/"), &accepted);
    if (accepted && !path.trimmed().isEmpty()) {
        control_.usePort(path.trimmed().toStdString());
    }
}

// Asked without waiting for the answer: the measurement goes on meanwhile.
void SourceMenu::askAbout(const BoardInfo& lookalike) {
    const QString port = QString::fromStdString(lookalike.portPath);
    const QString status = tr("Carte semblable sur %1").arg(port);
    setStatus(status);
    auto* box = new QMessageBox(
        QMessageBox::Question, tr("Carte semblable"),
        tr("La carte en service a été débranchée, et une carte semblable est apparue sur %1 "
           "(%2). Sans numéro de série, rien ne dit si c'est la même carte.\n\n"
           "Lire les mesures sur %1 ?")
            .arg(port, QString::fromStdString(lookalike.identification)),
        QMessageBox::Yes | QMessageBox::No, owner_->window());
    box->setObjectName(QStringLiteral("lookalikeQuestion"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box->button(QMessageBox::Yes), &QPushButton::clicked, this,
            [this, kind = lookalike.kind, path = lookalike.portPath] {
                guarded([&] { control_.useBoard(*kind, path); });
            });
    connect(box, &QMessageBox::finished, this, [this, status] {
        if (status_ == status) {
            setStatus({});
        }
    });
    box->open();
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
