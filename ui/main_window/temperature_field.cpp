#include "ui/main_window/temperature_field.h"

#include "core/reading_view.h"
#include "ui/layout/fonts.h"
#include "ui/main_window/display_field.h"

#include <QTextOption>

namespace thermo {

TemperatureField::TemperatureField(const QColor& background, QWidget* parent) : QTextEdit(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAcceptRichText(false);
    // The measurement writes it; the keyboard can still go through what it says.
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    setTabChangesFocus(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    QTextOption centred = document()->defaultTextOption();
    centred.setAlignment(Qt::AlignHCenter);
    centred.setWrapMode(QTextOption::WordWrap);
    document()->setDefaultTextOption(centred);
    setFont(sansFont(temperatureFontPoints, true));
    setPalette(measurementColours(palette(), background));
}

void TemperatureField::setZoom(double zoom) {
    const int border = measurementBorder(zoom);
    setLineWidth(border);
    document()->setDocumentMargin(border);
}

} // namespace thermo
