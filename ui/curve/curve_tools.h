#pragma once

#include "analysis/tangent.h"
#include "core/run_annotations.h"

#include <QString>
#include <QStringList>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>

class QWidget;

namespace thermo {

// One axis set by hand, or left to follow the readings.
struct AxisSetting {
    bool automatic = true;
    double lower = 0;
    double upper = 0;
    double step = 0; // between ticks; 0 lets the axis choose
};

struct AxesSettings {
    AxisSetting time; // seconds
    AxisSetting temperature;
};

// The two cursors: the readings they stand on, none while hidden.
struct CursorPairPlace {
    std::optional<std::size_t> first;
    std::optional<std::size_t> second;
};

// What a lesson does on the curve, beyond looking at it: a keyboard cursor that moves reading by
// reading, the tangent, two cursors, the models and notes of the run drawn, axes set by hand and
// a printed page. The plot draws and moves them; the windows' tools (ui/curve) give them buttons
// and words. Readings are told as indices of the series the plot draws.
class CurveTools {
public:
    virtual ~CurveTools() = default;

    // The keyboard cursor, shown while the plot has the focus; the plot's pointer listener is
    // told of its reading as of the pointer's. The arrows move it reading by reading, Page Up
    // and Page Down by ten seconds, Home and End to the ends; Shift with them extends the
    // selected range, + and − zoom around it, Escape drops the range.
    virtual std::optional<std::size_t> cursor() const = 0;

    // The tangent at the pointer, or at the keyboard cursor when it moves, from the readings
    // within `halfWidth` seconds on either side.
    virtual void setTangentShown(bool shown) = 0;
    virtual void setTangentHalfWidth(double seconds) = 0;
    virtual void setTangentListener(std::function<void(std::optional<Tangent>)> listener) = 0;

    // Two vertical cursors, dragged with the mouse; the keys 1 and 2 put them at the keyboard
    // cursor.
    virtual void setCursorPairShown(bool shown) = 0;
    virtual void setCursorPairListener(std::function<void(CursorPairPlace)> listener) = 0;

    // The run's notes; each call replaces those drawn.
    virtual void showNotes(std::span<const RunNote> notes) = 0;

    virtual AxesSettings axes() const = 0;
    virtual void setAxes(const AxesSettings& axes) = 0;

    // The curve on a page, as shown with its legend, models and notes, `lines` below it.
    // print() asks for a printer (a PDF file among them) over `over`: none when the user
    // cancelled, empty when printed, else the failure in French.
    virtual std::optional<QString> print(QWidget* over, const QString& title,
                                         const QStringList& lines) = 0;
    virtual QString printToPdf(const QString& path, const QString& title,
                               const QStringList& lines) = 0;
};

} // namespace thermo
