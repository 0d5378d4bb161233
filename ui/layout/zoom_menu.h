#pragma once

#include <QList>
#include <QMenu>

class QActionGroup;

namespace thermo {

class ProjectorZoom;

// The context menu of a window's ground: the scale in force, the steps that fit the screen,
// "Ajuster à l'écran" and the keys that do the same, then whatever the window adds.
class ZoomMenu : public QMenu {
    Q_OBJECT
public:
    ZoomMenu(ProjectorZoom& zoom, QWidget& window, QList<QAction*> extra = {});

    // Opens the menu on a right click on `window` wherever no control has a menu of its own;
    // it is made the first time.
    static void attachTo(QWidget& window, ProjectorZoom& zoom, QList<QAction*> extra = {});

private:
    void fill();

    ProjectorZoom& zoom_;
    QList<QAction*> extra_;
    QActionGroup* choices_ = nullptr;
};

} // namespace thermo
