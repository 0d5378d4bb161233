#pragma once

#include "core/number_locale.h"
#include "ui/accessibility/spoken_temperature.h"

#include <QWidget>
#include <chrono>

class QAction;
class QLabel;

namespace thermo {

class Form1;
class Measurement;
struct Reading;

// The temperature alone, as large as the screen allows, for the class to read from the back
// of the room: F11 on the main window opens it over the whole screen, Escape (or F11) leaves.
// It shows what the temperature field shows, the low-supply message and failures included,
// on the main window's colours; the measurement goes on as usual behind it. A screen reader
// hears what it shows as it opens and whenever the space bar (or Enter) asks, and by itself a
// temperature that truly changed, every five seconds at most.
class GiantDisplay : public QWidget {
    Q_OBJECT
public:
    static constexpr SpokenValue::Pace pace{1, 0.025, std::chrono::seconds(5)};

    GiantDisplay(Measurement& measurement, Form1& mainWindow);

    // "Affichage géant", for the main window's context menu.
    QAction* openAction() const noexcept { return open_; }
    QString text() const;

public slots:
    void open();
    void leave();
    void showReading(const thermo::Reading& reading);
    // Says what the display shows.
    void sayValue();

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Once it has the focus, a screen reader says its name, then what it shows.
    bool event(QEvent* event) override;

private:
    void setValue(const QString& text);
    void fitText();

    Measurement& measurement_;
    Form1& mainWindow_;
    NumberLocale locale_;
    QLabel* title_;
    QLabel* value_;
    QAction* open_;
    SpokenTemperature spoken_;
    bool opening_ = false;
};

} // namespace thermo
