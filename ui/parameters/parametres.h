#pragma once

#include "ui/layout/fixed_window.h"

#include <QString>
#include <array>

class QLineEdit;
class QPushButton;

namespace thermo {

class Application;
class Form1;

// The parameters dialog "Paramètres de la CTN": the program's first window, where the user
// types the series resistance R, the thermistor's resistance A at 25 °C and its B parameter.
// Validation hands the three texts, as typed, to the program's measurement.
class parametres : public FixedWindow {
    Q_OBJECT
public:
    // The application gives access to the main window, which the first Validation creates.
    explicit parametres(Application& application);
    ~parametres() override;

    // The R typed, validated or not: the calibration assistant measures with it.
    QString seriesText() const;
    // The calibration's A and B into their fields; the dialog shows them, to be validated,
    // without taking the keyboard focus.
    void setThermistorTexts(const QString& a, const QString& b);

public slots:
    void validate();

protected:
    // Once the main window exists, closing the dialog from its frame abandons the edit: the
    // fields go back to what was validated last and the main window is enabled again. Before
    // that, it ends the program.
    void closeEvent(QCloseEvent* event) override;
    // Opens with the focus on R, above the main window and centred on it.
    void showEvent(QShowEvent* event) override;

private:
    std::array<QLineEdit*, 3> fields() const { return {text1_, text2_, text3_}; }
    void returnTo(Form1& mainWindow);

    Application& application_;
    QLineEdit* text1_;
    QLineEdit* text2_;
    QLineEdit* text3_;
    QPushButton* command1_;
    QPushButton* command2_;
    std::array<QString, 3> validated_; // R, A, B as the last Validation handed them over
};

} // namespace thermo
