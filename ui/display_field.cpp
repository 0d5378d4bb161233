#include "ui/display_field.h"

#include "ui/fonts.h"

#include <QPainter>
#include <QPalette>
#include <qdrawutil.h>

namespace thermo {

DisplayField::DisplayField(const QColor& background, QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setAlignment(Qt::AlignCenter);
    setFont(sansFont(18, true));
    QPalette colours = palette();
    colours.setColor(QPalette::Base, background);
    // The window is disabled while the parameters are edited, yet it goes on measuring: the
    // readings stay as legible as ever.
    colours.setColor(QPalette::Disabled, QPalette::Text,
                     colours.color(QPalette::Active, QPalette::Text));
    setPalette(colours);
}

void DisplayField::paintEvent(QPaintEvent* event) {
    {
        // Some styles leave a frameless line edit's edge unpainted.
        QPainter ground(this);
        ground.fillRect(rect(), palette().brush(QPalette::Base));
    }
    QLineEdit::paintEvent(event);
    QPainter border(this);
    qDrawShadePanel(&border, rect(), palette(), true, 1);
}

} // namespace thermo
