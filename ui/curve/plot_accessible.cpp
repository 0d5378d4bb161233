#include "ui/curve/plot_accessible.h"

#include "ui/curve/lab_plot.h"

namespace thermo {

PlotAccessible::PlotAccessible(LabPlot& plot)
    : QAccessibleWidget(&plot, QAccessible::Chart), plot_(plot) {}

void PlotAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory([](const QString&, QObject* object) -> QAccessibleInterface* {
            auto* plot = qobject_cast<LabPlot*>(object);
            return plot != nullptr ? new PlotAccessible(*plot) : nullptr;
        });
        return true;
    }();
    Q_UNUSED(installed);
}

void* PlotAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QString PlotAccessible::text(QAccessible::Text which) const {
    if (which == QAccessible::Value) {
        return plot_.cursor() ? widget()->accessibleDescription() : QString();
    }
    return QAccessibleWidget::text(which);
}

QVariant PlotAccessible::currentValue() const {
    const std::optional<double> celsius = plot_.cursorCelsius();
    return celsius ? QVariant(*celsius) : QVariant();
}

QVariant PlotAccessible::maximumValue() const {
    const std::optional<Extent> extent = plot_.temperatureExtent();
    return extent ? QVariant(extent->max) : QVariant();
}

QVariant PlotAccessible::minimumValue() const {
    const std::optional<Extent> extent = plot_.temperatureExtent();
    return extent ? QVariant(extent->min) : QVariant();
}

QVariant PlotAccessible::minimumStepSize() const {
    return 0.1; // the temperature's tenth of a degree
}

} // namespace thermo
