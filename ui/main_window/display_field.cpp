#include "ui/main_window/display_field.h"

#include "ui/layout/fonts.h"
#include "ui/layout/twips.h"

#include <QFocusEvent>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <qdrawutil.h>

namespace thermo {

namespace {
// At 100 %: one pixel of border inside two of margin.
constexpr int borderTwips = 15;
constexpr int marginTwips = 30;
// What QLineEdit always keeps on each side of its text.
constexpr int qtLineEditMargin = 2;
// Light enough to tell from the black of a live value, dark enough to be read on every field's
// ground (3:1 at least on the voltages' blue, for large type).
const QColor staleColour(0x66, 0x66, 0x66);
} // namespace

DisplayField::DisplayField(const QColor& background, QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setReadOnly(true);
    setAlignment(Qt::AlignCenter);
    setFont(sansFont(18, true));
    usual_ = measurementColours(palette(), background);
    setPalette(usual_);
}

QPalette measurementColours(QPalette colours, const QColor& ground) {
    colours.setColor(QPalette::Base, ground);
    // The window is disabled while the parameters are edited, yet it goes on measuring: the
    // readings stay as legible as ever.
    colours.setColor(QPalette::Disabled, QPalette::Text,
                     colours.color(QPalette::Active, QPalette::Text));
    return colours;
}

int measurementBorder(double zoom) {
    return std::max(1, toPixels(borderTwips, zoom));
}

void DisplayField::setStale(bool stale) {
    if (stale == stale_) {
        return;
    }
    stale_ = stale;
    QPalette colours = usual_;
    if (stale) {
        liveDescription_ = accessibleDescription();
        setAccessibleDescription(
            tr("Ancienne valeur : la dernière mesure a échoué. %1").arg(liveDescription_));
    } else {
        setAccessibleDescription(liveDescription_);
    }
    if (stale) {
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            colours.setColor(group, QPalette::Text, staleColour);
        }
    }
    setPalette(colours);
}

void DisplayField::setZoom(double zoom) {
    border_ = measurementBorder(zoom);
    const int extra = std::max(0, toPixels(marginTwips, zoom) - qtLineEditMargin);
    setTextMargins(extra, 0, extra, 0);
    update();
}

void DisplayField::paintEvent(QPaintEvent* event) {
    {
        // Some styles leave a frameless line edit's edge unpainted.
        QPainter ground(this);
        ground.fillRect(rect(), palette().brush(QPalette::Base));
    }
    QLineEdit::paintEvent(event);
    QPainter border(this);
    qDrawShadePanel(&border, rect(), palette(), true, border_);
}

// Reached by Tab, a line edit selects its whole text: a screen reader would say that
// selection first ("9FFF sélectionné", a value already gone), then the field and its value,
// and "désélectionné" as the focus leaves. A reading is read, not selected.
void DisplayField::focusInEvent(QFocusEvent* event) {
    QFocusEvent unselected(event->type(), Qt::OtherFocusReason);
    QLineEdit::focusInEvent(&unselected);
}

} // namespace thermo
