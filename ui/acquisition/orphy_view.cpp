#include "ui/acquisition/orphy_view.h"

#include "acquisition/orphy_control.h"
#include "ui/accessibility/accessible_roles.h"
#include "ui/accessibility/spoken_notice.h"
#include "ui/acquisition/source_menu.h"
#include "ui/acquisition/source_panel.h"

#include <QVBoxLayout>

namespace thermo {

OrphyView::OrphyView(OrphyControl& control, QWidget* parent)
    : QWidget(parent), control_(control), panel_(new SourcePanel(this)) {
    setAccessibleRole(this, QAccessible::Grouping);
    setAccessibleName(tr("Interface d'acquisition ORPHY GTS2"));
    panel_->setSource(&control_.source());
    // Direct: the panel lets go of a source before the control destroys it.
    connect(
        &control_, &OrphyControl::sourceChanged, panel_,
        [this] { panel_->setSource(&control_.source()); }, Qt::DirectConnection);
    connect(&control_, &OrphyControl::sourceUpdated, panel_, &SourcePanel::refresh);
    sources_ = new SourceMenu(control_, panel_->menu(), this);
    // A search is started from a menu that closes at once: what it does is said in the panel,
    // where the user looks, and once to a screen reader.
    auto* notice = new SpokenNotice(QStringLiteral("searchNotice"), *this);
    connect(sources_, &SourceMenu::statusChanged, this, [this, notice](const QString& status) {
        panel_->setStatus(status);
        if (!status.isEmpty()) {
            notice->say(status);
        }
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel_);
}

OrphyView::~OrphyView() {
    panel_->setSource(nullptr);
}

QSize OrphyView::sizeHint() const {
    return {169, 33};
}

void OrphyView::setZoom(double zoom) {
    // The panel takes its new size now, hidden or not, and fits its type to it.
    layout()->activate();
    panel_->setZoom(zoom);
}

} // namespace thermo
