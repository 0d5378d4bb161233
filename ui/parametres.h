#pragma once

#include "ui/fixed_window.h"

class QLineEdit;
class QPushButton;

namespace thermo {

class Application;

// The parameters dialog "Paramètres de la CTN": the program's first window, where the user
// types the series resistance R, the thermistor's resistance A at 25 °C and its B parameter.
// Validation hands the three texts, as typed, to the main window's parameter store.
class parametres : public FixedWindow {
    Q_OBJECT
public:
    // The application gives access to the main window, which the first Validation creates.
    explicit parametres(Application& application);
    ~parametres() override;

    // The R typed, validated or not: the calibration assistant measures with it.
    QString seriesText() const;
    // The calibration's A and B into their fields; the dialog shows them, to be validated.
    void setThermistorTexts(const QString& a, const QString& b);

public slots:
    void validate();

protected:
    // Once the main window exists, closing the dialog from its frame validates, so the main
    // window is never left disabled; before that, it ends the program.
    void closeEvent(QCloseEvent* event) override;

private:
    Application& application_;
    QLineEdit* text1_;
    QLineEdit* text2_;
    QLineEdit* text3_;
    QPushButton* command1_;
    QPushButton* command2_;
};

} // namespace thermo
