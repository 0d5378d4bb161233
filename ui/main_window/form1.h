#pragma once

#include "acquisition/orphy_binding.h"
#include "core/main_window_fields.h"
#include "ui/layout/fixed_window.h"
#include "ui/measurement/measurement_loop.h"

#include <functional>
#include <string>

class QLineEdit;
class QPushButton;

namespace thermo {

class DisplayField;
class OrphyControl;
class OrphyView;
class TemperatureField;

// The main window "Thermomètre avec une thermistance": the circuit picture, the conversion
// group, the two voltages, the temperature, the acquisition control and the parameter store
// (the hidden fields Text6, Text9, Text10). Its timer runs the measurement ten times a second.
class Form1 : public FixedWindow, public MainWindowFields {
    Q_OBJECT
public:
    // parametersDialog is the window that "Saisie des paramètres du montage" shows; without
    // one that button does nothing.
    explicit Form1(QWidget* parametersDialog = nullptr);
    ~Form1() override;

    std::string text(Field field) const override;
    void setText(Field field, const std::string& text) override;
    void setTemperatureFontSize(int points) override;

    void setTemperatureFieldEnabled(bool enabled);
    // Asked before "Quitter" or the frame ends the program; false keeps it running.
    void setQuitCheck(std::function<bool()> mayQuit);

    OrphyControl& acquisitionControl() noexcept;
    // What the acquisition control shows, in the rectangle of orphy1.
    OrphyView& acquisitionView() noexcept { return *orphy1_; }
    // Timer1, the cycle, and the readingTaken signal of every tick.
    MeasurementLoop& measurement() noexcept { return *measurement_; }
    MeasurementCycle& cycle() noexcept { return measurement_->cycle(); }
    QTimer& timer() noexcept { return measurement_->timer(); }

public slots:
    // What Timer1 runs: one measurement (MeasurementLoop::tick).
    void tick();

    // Projector mode: the whole window, its fonts, the fields' borders and the acquisition
    // panel at `zoom` times their size in the layout table.
    void setZoom(double zoom) override;

signals:
    // "Courbe" or its shortcut: the curve window is wanted.
    void curveAsked();

protected:
    // Closing the window from its frame ends the program, as "Quitter" does.
    void closeEvent(QCloseEvent* event) override;

private:
    bool quit();
    void showParameters();
    QLineEdit* lineField(Field field) const;

    QWidget* parametersDialog_;
    DisplayField* text2_;
    DisplayField* text3_;
    DisplayField* text4_;
    DisplayField* text7_;
    DisplayField* text8_;
    QLineEdit* text6_;
    QLineEdit* text9_;
    QLineEdit* text10_;
    TemperatureField* text1_;
    QPushButton* command1_;
    QPushButton* command2_;
    QPushButton* command3_;
    std::function<bool()> mayQuit_;
    OrphyView* orphy1_;
    OrphyBinding binding_;
    MeasurementLoop* measurement_ = nullptr;
};

} // namespace thermo
