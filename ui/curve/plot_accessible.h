#pragma once

#include <QAccessibleWidget>

namespace thermo {

class LabPlot;

// The curve as a screen reader meets it: a chart, named and described by the window, whose
// value is the temperature at the keyboard cursor and whose value text and description say
// the cursor's time and temperature as the window words them. Made for every LabPlot by a
// factory the module installs with its first plot.
class PlotAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit PlotAccessible(LabPlot& plot);

    static void install();

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text which) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant&) override {} // read only: the readings are what they are
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    LabPlot& plot_;
};

} // namespace thermo
