#pragma once

#include "core/calibration.h"
#include "core/calibration_sampler.h"
#include "core/calibration_texts.h"
#include "core/number_locale.h"
#include "core/reading.h"
#include "ui/layout/laid_out_window.h"
#include "ui/measurement/measurement.h" // the Reading's meta-type, for the slot

#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace thermo {

class Measurement;
class parametres;

// The window "Étalonnage de la thermistance": the user puts the thermistor at known
// temperatures, types each one as read on a reference thermometer and takes a point; from two
// temperatures on, A and B of the program's law follow, with each point's deviation, and
// "Utiliser ces valeurs" writes them into the parameters dialog, which the user then validates
// as usual. A screen reader hears each point, A and B, and each refusal as they come. The
// thermistor's resistance comes from the measurement's readings of the last second, with the R
// typed in the dialog.
class CalibrationWindow : public LaidOutWindow {
    Q_OBJECT
public:
    // Fed by every reading of `measurement`.
    CalibrationWindow(Measurement& measurement, parametres& dialog);
    ~CalibrationWindow() override;

    const std::vector<CalibrationPoint>& points() const noexcept { return points_; }

public slots:
    // Every reading of the measurement, to average the last second of them.
    void addReading(const thermo::Reading& reading);
    // "Relever": a point at the typed reference temperature, or a refusal said in the window.
    void takePoint();
    // "Retirer le point": the point of the table's current row.
    void removePoint();
    // "Utiliser ces valeurs": A and B into the dialog's fields.
    void useValues();

protected:
    void fitToType() override;

private:
    void refit();
    void showPoints();
    void say(const QString& message);
    void announceResult(const QString& done);

    parametres& dialog_;
    NumberLocale locale_;
    CalibrationSampler sampler_;
    std::vector<CalibrationPoint> points_;
    std::optional<BParameterFit> fit_;
    std::optional<CalibrationTexts> texts_;

    QLineEdit* referenceField_;
    QPushButton* takeButton_;
    QTableWidget* pointsTable_;
    QPushButton* removeButton_;
    QLabel* aLabel_;
    QLabel* bLabel_;
    QPushButton* useButton_;
    QLabel* messageLabel_;
    QPushButton* closeButton_;
};

} // namespace thermo
