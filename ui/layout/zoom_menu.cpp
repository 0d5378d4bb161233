#include "ui/layout/zoom_menu.h"

#include "ui/accessibility/first_menu_item.h"
#include "ui/layout/projector_zoom.h"

#include <QAction>
#include <QActionGroup>
#include <cmath>

namespace thermo {

namespace {

bool same(double a, double b) {
    return std::lround(a * 100) == std::lround(b * 100);
}

} // namespace

ZoomMenu::ZoomMenu(ProjectorZoom& zoom, QWidget& window, QList<QAction*> extra)
    : QMenu(&window), zoom_(zoom), extra_(std::move(extra)) {
    setObjectName(QStringLiteral("zoomMenu"));
    setAccessibleName(tr("Taille d'affichage"));
    // Built as it opens: what fits depends on the screen the window is on now.
    connect(this, &QMenu::aboutToShow, this, &ZoomMenu::fill);
    startOnFirstItem(*this);
    fill();
}

void ZoomMenu::attachTo(QWidget& window, ProjectorZoom& zoom, QList<QAction*> extra) {
    window.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&window, &QWidget::customContextMenuRequested, &window,
                     [&window, &zoom, extra](const QPoint& where) {
                         auto* menu =
                             window.findChild<ZoomMenu*>(QString(), Qt::FindDirectChildrenOnly);
                         if (menu == nullptr) {
                             menu = new ZoomMenu(zoom, window, extra);
                         }
                         menu->popup(window.mapToGlobal(where));
                     });
}

void ZoomMenu::fill() {
    // The menu's own entries go; the window's, owned elsewhere, stay.
    clear();
    delete choices_;
    choices_ = new QActionGroup(this);
    addSection(tr("Taille d'affichage : %1").arg(percentText(zoom_.factor())));
    for (double step : zoom_.fittingSteps()) {
        QAction* action =
            addAction(percentText(step), this, [this, step] { zoom_.setFactor(step); });
        action->setActionGroup(choices_);
        action->setCheckable(true);
        action->setChecked(same(step, zoom_.factor()));
    }
    const double room = zoom_.room();
    if (std::isfinite(room)) {
        QAction* fit = addAction(tr("Ajuster à l'écran (%1)").arg(percentText(room)), &zoom_,
                                 &ProjectorZoom::fitScreen);
        fit->setObjectName(QStringLiteral("zoomFit"));
        fit->setActionGroup(choices_);
        fit->setCheckable(true);
        fit->setChecked(same(room, zoom_.factor()));
    }
    addSeparator();
    addAction(tr("Agrandir\tCtrl++"), &zoom_, &ProjectorZoom::zoomIn);
    addAction(tr("Réduire\tCtrl+\u2212"), &zoom_, &ProjectorZoom::zoomOut);
    addAction(tr("Taille normale (100\u00A0%)\tCtrl+0"), &zoom_, &ProjectorZoom::reset);
    if (!extra_.isEmpty()) {
        addSeparator();
        addActions(extra_);
    }
}

} // namespace thermo
