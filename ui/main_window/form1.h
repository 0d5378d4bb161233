#pragma once

#include "core/main_window_fields.h"
#include "ui/layout/fixed_window.h"

#include <functional>
#include <string>

class QLineEdit;
class QPushButton;

namespace thermo {

class DisplayField;
class Measurement;
class OrphyView;
class TemperatureField;
struct CircuitParameters;
struct Reading;

// The main window "Thermomètre avec une thermistance": the circuit picture, the conversion
// group, the two voltages, the temperature and the acquisition control, as the program's
// measurement writes them ten times a second. The hidden fields Text6, Text9 and Text10 show
// the parameters in force, as they were validated.
class Form1 : public FixedWindow, public MainWindowFields {
    Q_OBJECT
public:
    // The window is the field set of `measurement` for as long as it exists. parametersDialog
    // is the window that "Saisie des paramètres du montage" shows; without one that button
    // does nothing.
    explicit Form1(Measurement& measurement, QWidget* parametersDialog = nullptr);
    ~Form1() override;

    std::string text(Field field) const override;
    void setText(Field field, const std::string& text) override;
    void setTemperatureFontSize(int points) override;

    void setTemperatureFieldEnabled(bool enabled);
    // Asked before "Quitter" or the frame ends the program; false keeps it running.
    void setQuitCheck(std::function<bool()> mayQuit);

    Measurement& measurement() noexcept { return measurement_; }
    // What the acquisition control shows, in the rectangle of orphy1.
    OrphyView& acquisitionView() noexcept { return *orphy1_; }

public slots:
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
    // The hidden fields mirror the parameters in force.
    void mirrorParameters(const CircuitParameters& parameters);
    // What readingView says beyond the texts the measurement writes: which values are stale.
    void showStaleness(const Reading& reading);

    Measurement& measurement_;
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
};

} // namespace thermo
