#include "ui/curve/cursor_controls.h"

#include "core/code_conversion.h"
#include "core/number_text.h"
#include "core/slope_text.h"
#include "ui/curve/curve_window.h"
#include "ui/layout/fixed_window.h"
#include "ui/recording/session_record.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <cmath>

namespace thermo {

CursorControls::CursorControls(CurveWindow& window, CurveTools& tools)
    : QObject(&window), window_(window),
      button_(window.addToolButton("cursorsButton", tr("Curseurs"))),
      readout_(window.addReadout("cursorsReadout")) {
    button_->setCheckable(true);
    describe(button_, tr("Curseurs"),
             tr("Deux curseurs sur la courbe, à déplacer à la souris ou à poser au curseur du "
                "clavier avec les touches 1 et 2 : écart de temps, de température et pente "
                "moyenne entre eux"));
    connect(button_, &QPushButton::toggled, this,
            [&tools](bool on) { tools.setCursorPairShown(on); });
    tools.setCursorPairListener([this](CursorPairPlace place) { show(place); });
}

void CursorControls::show(CursorPairPlace place) {
    if (!place.first || !place.second) {
        readout_->clear();
        return;
    }
    const SessionSeries& series = window_.toolRun().series;
    const NumberLocale& numbers = window_.record().locale();
    const auto seconds = [&](std::size_t i) {
        return static_cast<double>(series.millis()[i]) / 1000.0;
    };
    const auto celsius = [&](std::size_t i) {
        const double c = series.column(SeriesColumn::Temperature)[i];
        return std::isnan(c) ? c : roundHalfEven(c, temperatureDecimals);
    };
    const auto reading = [&](int n, std::size_t i) {
        const double c = celsius(i);
        return tr("curseur %1 : t = %2 s, %3")
            .arg(n)
            .arg(QString::fromStdString(fixedText(seconds(i), 1, numbers)),
                 std::isnan(c) ? tr("pas de mesure")
                               : QString::fromStdString(temperatureText(c, numbers)));
    };
    QStringList parts{reading(1, *place.first), reading(2, *place.second)};
    const double dt = seconds(*place.second) - seconds(*place.first);
    const double dT = celsius(*place.second) - celsius(*place.first);
    parts << tr("Δt = %1 s").arg(QString::fromStdString(fixedText(dt, 1, numbers)));
    if (!std::isnan(dT)) {
        parts << tr("ΔT = %1 °C").arg(QString::fromStdString(fixedText(dT, 1, numbers)));
        if (dt != 0) {
            parts
                << tr("pente moyenne %1").arg(QString::fromStdString(slopeText(dT / dt, numbers)));
        }
    }
    QString text = parts.join(QStringLiteral(" ; "));
    text.front() = text.front().toUpper();
    readout_->setText(text);
    // Put with the keyboard: said. A drag would say every reading it crosses.
    if (QGuiApplication::mouseButtons() == Qt::NoButton) {
        window_.announce(text);
    }
}

} // namespace thermo
