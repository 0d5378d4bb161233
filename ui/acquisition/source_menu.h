#pragma once

#include "acquisition/board_info.h"
#include "acquisition/board_search.h"

#include <QList>
#include <QObject>
#include <functional>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QTimer;

namespace thermo {

struct BoardKind;
class OrphyControl;

// The choice of where the codes come from, at the top of the acquisition control's context
// menu: the simulated bench, the boards found by the last search, the search itself, and a
// port typed by hand, whose kind of board is found out; such a port stays listed once a kind
// recognised it, or while it is in use. A choice takes effect from the next read.
class SourceMenu : public QObject {
    Q_OBJECT
public:
    using BoardFinder = BoardSearch::Finder;

    // `owner` is the widget the menu opens from, and the parent of the port's input dialog.
    SourceMenu(OrphyControl& control, QMenu& menu, QWidget* owner);
    ~SourceMenu() override;

    QAction* simulationAction() const noexcept { return simulation_; }
    QAction* searchAction() const noexcept { return search_; }
    QAction* otherPortAction() const noexcept { return otherPort_; }
    QList<QAction*> boardActions() const;

    // Searching opens every serial port, which resets the boards on them: it runs only when
    // the user asks, away from the interface's thread. Tests give their own finder.
    void setBoardFinder(BoardFinder finder);
    void startSearch();
    bool searching() const;
    // Lists these boards, keeping the board in use even if the search could not open it.
    void showBoards(const std::vector<BoardInfo>& boards);

    // How long a search's outcome is said, unless the source changes first.
    static constexpr int statusShownMs = 5000;

signals:
    void searchFinished();
    // What the search is doing or found, for the user to read where the measurement is shown;
    // empty once there is nothing to say.
    void statusChanged(const QString& status);

private:
    bool listed(const QString& portPath) const;
    // The boards listed that are known to be boards: found by a search, or recognised.
    int knownBoards() const;
    // The board action whose port the control reads from now.
    bool inUse(const QAction* action) const;
    QAction* addBoardAction(const BoardKind* kind, const QString& portPath, const QString& text);
    void chooseBoard(const BoardKind* kind, const QString& portPath);
    void askForPort();
    void updateChecks();
    void searchEnded();
    void setStatus(const QString& status);
    // Runs a slot's work; whatever it throws is told to the user, never thrown through Qt.
    template <typename Action> void guarded(const Action& action);
    void tell(const QString& why) noexcept;

    OrphyControl& control_;
    QMenu& menu_;
    QActionGroup* choices_;
    QAction* simulation_;
    QAction* noBoard_;
    QAction* search_;
    QAction* otherPort_;
    QWidget* owner_;
    BoardSearch* boards_;
    bool searched_ = false;
    QString status_;
    QTimer* statusTimer_;
};

} // namespace thermo
