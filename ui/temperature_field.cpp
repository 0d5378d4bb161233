#include "ui/temperature_field.h"

#include "core/measurement_cycle.h"
#include "ui/fonts.h"
#include "ui/twips.h"

#include <QTextOption>
#include <algorithm>

namespace thermo {

namespace {
constexpr int borderTwips = 15; // one pixel at 100 %
} // namespace

TemperatureField::TemperatureField(const QColor& background, QWidget* parent) : QTextEdit(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAcceptRichText(false);
    setTabChangesFocus(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    QTextOption centred = document()->defaultTextOption();
    centred.setAlignment(Qt::AlignHCenter);
    centred.setWrapMode(QTextOption::WordWrap);
    document()->setDefaultTextOption(centred);
    setFont(sansFont(temperatureFontPoints, true));
    QPalette colours = palette();
    colours.setColor(QPalette::Base, background);
    // Disabled until the first Validation, and the readings stay as legible as ever.
    colours.setColor(QPalette::Disabled, QPalette::Text,
                     colours.color(QPalette::Active, QPalette::Text));
    setPalette(colours);
}

void TemperatureField::setZoom(double zoom) {
    const int border = std::max(1, toPixels(borderTwips, zoom));
    setLineWidth(border);
    document()->setDocumentMargin(border);
}

} // namespace thermo
