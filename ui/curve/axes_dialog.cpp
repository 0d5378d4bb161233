#include "ui/curve/axes_dialog.h"

#include "ui/curve/curve_plot_view.h"
#include "ui/curve/curve_window.h"
#include "ui/layout/fixed_window.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace thermo {

AxesTool::AxesTool(CurveWindow& window, CurveTools& tools)
    : QObject(&window), window_(window), tools_(tools) {
    QPushButton* button = window.addToolButton("axesButton", tr("Axes…"));
    describe(button, tr("Axes"),
             tr("Fixe à la main le minimum, le maximum et le pas des axes du temps et de la "
                "température"));
    connect(button, &QPushButton::clicked, this, &AxesTool::open);
}

void AxesTool::open() {
    AxesDialog dialog(tools_.axes(), &window_);
    if (dialog.exec() == QDialog::Accepted) {
        tools_.setAxes(dialog.settings());
    }
}

AxesDialog::AxesDialog(const AxesSettings& axes, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("axesDialog"));
    setWindowTitle(tr("Axes de la courbe"));
    time_ = makeAxis("time", tr("Temps"), QStringLiteral(" s"), axes.time);
    temperature_ =
        makeAxis("temperature", tr("Température"), QStringLiteral(" °C"), axes.temperature);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Annuler"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(time_.box);
    layout->addWidget(temperature_.box);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    check();
}

AxesDialog::Axis AxesDialog::makeAxis(const char* name, const QString& title, const QString& unit,
                                      const AxisSetting& setting) {
    Axis axis{new QGroupBox(title, this), new QCheckBox(tr("Automatique"), this),
              new QDoubleSpinBox(this), new QDoubleSpinBox(this), new QDoubleSpinBox(this)};
    axis.automatic->setObjectName(QStringLiteral("%1Automatic").arg(QLatin1String(name)));
    axis.automatic->setChecked(setting.automatic);
    const struct {
        QDoubleSpinBox* box;
        const char* suffix;
        double value;
    } fields[] = {{axis.lower, "Lower", setting.lower},
                  {axis.upper, "Upper", setting.upper},
                  {axis.step, "Step", setting.step}};
    for (const auto& f : fields) {
        f.box->setObjectName(QLatin1String(name) + QLatin1String(f.suffix));
        f.box->setRange(f.box == axis.step ? 0 : -1e6, 1e7);
        f.box->setDecimals(1);
        f.box->setSuffix(unit);
        f.box->setValue(f.value);
        connect(f.box, &QDoubleSpinBox::valueChanged, this, &AxesDialog::check);
        if (f.box != axis.step) { // a step by hand holds on an automatic range too
            f.box->setEnabled(!setting.automatic);
            connect(axis.automatic, &QCheckBox::toggled, f.box, &QWidget::setDisabled);
        }
    }
    connect(axis.automatic, &QCheckBox::toggled, this, &AxesDialog::check);
    auto* form = new QFormLayout(axis.box);
    form->addRow(axis.automatic);
    form->addRow(tr("Minimum :"), axis.lower);
    form->addRow(tr("Maximum :"), axis.upper);
    form->addRow(tr("Pas (0 : automatique) :"), axis.step);
    return axis;
}

AxisSetting AxesDialog::read(const Axis& axis) {
    return {axis.automatic->isChecked(), axis.lower->value(), axis.upper->value(),
            axis.step->value()};
}

AxesSettings AxesDialog::settings() const {
    return {read(time_), read(temperature_)};
}

void AxesDialog::check() {
    const auto valid = [](const AxisSetting& a) { return a.automatic || a.lower < a.upper; };
    ok_->setEnabled(valid(read(time_)) && valid(read(temperature_)));
}

} // namespace thermo
