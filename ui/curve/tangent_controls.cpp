#include "ui/curve/tangent_controls.h"

#include "core/number_text.h"
#include "core/slope_text.h"
#include "ui/curve/curve_plot_view.h"
#include "ui/curve/curve_tools.h"
#include "ui/curve/curve_window.h"
#include "ui/layout/fixed_window.h"
#include "ui/recording/session_record.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>

namespace thermo {

namespace {
// What the tangent adds to the plot's description, after the cursor's reading.
const QString slopePart = QStringLiteral(" ; tangente ");
} // namespace

TangentControls::TangentControls(CurveWindow& window, CurveTools& tools)
    : QObject(&window), window_(window), tools_(tools),
      button_(window.addToolButton("tangentButton", tr("Tangente"))),
      width_(new QDoubleSpinBox(&window)), readout_(window.addReadout("tangentReadout")) {
    button_->setCheckable(true);
    describe(button_, tr("Tangente"),
             tr("Trace la tangente à la courbe au point visé ou au curseur du clavier, et donne "
                "sa pente"));
    width_->setObjectName(QStringLiteral("tangentWidth"));
    width_->setRange(0.5, 600);
    width_->setDecimals(1);
    width_->setSingleStep(0.5);
    width_->setValue(5);
    width_->setPrefix(QStringLiteral("± "));
    width_->setSuffix(QStringLiteral(" s"));
    describe(width_, tr("Demi-largeur de la tangente"),
             tr("La pente vient des mesures prises jusqu'à cette durée avant et après le point ; "
                "élargissez sur une courbe bruitée"));
    window.addToolWidget(width_);
    connect(button_, &QPushButton::toggled, this, [this](bool on) { tools_.setTangentShown(on); });
    connect(width_, &QDoubleSpinBox::valueChanged, this,
            [this](double seconds) { tools_.setTangentHalfWidth(seconds); });
    tools.setTangentHalfWidth(width_->value());
    tools.setTangentListener([this](std::optional<Tangent> tangent) { show(tangent); });
}

void TangentControls::show(std::optional<Tangent> tangent) {
    QWidget* plot = window_.plot().widget();
    const QString description = plot->accessibleDescription().section(slopePart, 0, 0);
    if (!button_->isChecked()) {
        readout_->clear();
        plot->setAccessibleDescription(description);
        return;
    }
    if (!tangent) {
        readout_->setText(tr("Tangente : trop peu de mesures autour de ce point"));
        return;
    }
    const NumberLocale& numbers = window_.record().locale();
    const QString slope =
        QString::fromStdString(slopeText(tangent->slope, tangent->slopeUncertainty, numbers));
    readout_->setText(tr("Tangente à t = %1 s : T = %2, pente %3, d'après %4 mesures sur ± %5 s")
                          .arg(QString::fromStdString(fixedText(tangent->seconds, 1, numbers)),
                               QString::fromStdString(temperatureText(tangent->celsius, numbers)),
                               slope)
                          .arg(tangent->readings)
                          .arg(QString::fromStdString(numberText(width_->value(), numbers))));
    plot->setAccessibleDescription(description + slopePart + tr("pente %1").arg(slope));
}

} // namespace thermo
