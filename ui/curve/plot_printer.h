#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QCustomPlot;
class QWidget;

namespace thermo {

// The curve on an A4 page, landscape: `title`, the plot as it is on screen (its legend, models,
// equations and notes included) at print resolution, and `lines` below it (the run's summary).

// Asks for a printer over `over` (Qt's dialog offers a PDF file too). None when the user
// cancelled; empty when printed; else the failure in French.
std::optional<QString> printPlot(QCustomPlot& plot, QWidget* over, const QString& title,
                                 const QStringList& lines);

// The page as a PDF file, replaced whole or not at all. The failure in French, naming the file;
// empty when written.
QString printPlotToPdf(QCustomPlot& plot, const QString& path, const QString& title,
                       const QStringList& lines);

} // namespace thermo
