#pragma once

#include <QObject>
#include <QStringList>

namespace thermo {

class CurveTools;
class CurveWindow;

// The run told as text: "Résumé…" opens it in a dialog a screen reader reads line by line (the
// number of readings and the duration, the last temperature, the lowest and the highest, each
// model's result, each note); "Imprimer…" prints the curve as it is shown, with its legend,
// models and notes, and that text under it, on paper or in a PDF file.
class RunReport : public QObject {
    Q_OBJECT
public:
    RunReport(CurveWindow& window, CurveTools& tools);

    QStringList lines() const;
    void showSummary();
    void print();

private:
    CurveWindow& window_;
    CurveTools& tools_;
};

} // namespace thermo
