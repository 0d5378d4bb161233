#include "ui/curve/plot_printer.h"

#include "ui/curve/plot_image.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <qcustomplot.h>

namespace thermo {

namespace {

// The plot is drawn as a picture this many pixels wide, whatever its width on screen: sharp on
// paper, its type as large beside the lines as on a screen of that width.
constexpr int plotWidth = 1100;

QPageLayout a4Landscape() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                       QPageLayout::Millimeter);
}

bool paint(QCustomPlot& plot, QPagedPaintDevice& page, const QString& title,
           const QStringList& lines) {
    QPainter painter;
    if (!painter.begin(&page)) {
        return false;
    }
    const int resolution = page.logicalDpiX();
    const QRect area(QPoint(0, 0), page.pageLayout().paintRectPixels(resolution).size());
    QFont font = plot.font();
    font.setPointSizeF(11);
    QFont heading = font;
    heading.setPointSizeF(15);
    heading.setBold(true);
    painter.setFont(heading);
    const int titleHeight = painter.fontMetrics().height() * 3 / 2;
    painter.drawText(QRect(area.left(), area.top(), area.width(), titleHeight),
                     Qt::AlignLeft | Qt::AlignTop, title);
    painter.setFont(font);
    const int lineHeight = painter.fontMetrics().lineSpacing();
    const int textHeight = lineHeight * (static_cast<int>(lines.size()) + 1);
    // The plot in the room left, in its on-screen proportions unless the page is too short.
    const int room = area.height() - titleHeight - textHeight;
    const double aspect = plot.height() > 0 ? double(plot.height()) / plot.width() : 0.6;
    const int height = std::min(room, int(area.width() * aspect));
    const int width = std::min(area.width(), int(height / aspect));
    const QPixmap picture = plot.toPixmap(plotWidth, int(plotWidth * aspect), 2.0);
    painter.drawPixmap(QRect(area.left(), area.top() + titleHeight, width, height), picture);
    int y = area.top() + titleHeight + height + lineHeight;
    for (const QString& line : lines) {
        painter.drawText(QRect(area.left(), y, area.width(), lineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         painter.fontMetrics().elidedText(line, Qt::ElideRight, area.width()));
        y += lineHeight;
    }
    return painter.end();
}

} // namespace

QString printPlotToPdf(QCustomPlot& plot, const QString& path, const QString& title,
                       const QStringList& lines) {
    return writeWhole(
        path,
        [&](QIODevice& file) {
            QPdfWriter pdf(&file);
            pdf.setPageLayout(a4Landscape());
            pdf.setResolution(300);
            pdf.setTitle(title);
            pdf.setCreator(QStringLiteral("Thermomètre"));
            return paint(plot, pdf, title, lines); // the writer finishes the file as it goes
        },
        QObject::tr("page impossible à produire"));
}

std::optional<QString> printPlot(QCustomPlot& plot, QWidget* over, const QString& title,
                                 const QStringList& lines) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(a4Landscape());
    printer.setDocName(title);
    QPrintDialog dialog(&printer, over);
    dialog.setWindowTitle(QObject::tr("Imprimer la courbe"));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    // A PDF file is written as every file of the program is: whole or not at all.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        return printPlotToPdf(plot, printer.outputFileName(), title, lines);
    }
    if (!paint(plot, printer, title, lines)) {
        return QObject::tr("Impression impossible : l'imprimante « %1 » n'a pas accepté la page")
            .arg(printer.printerName());
    }
    return QString();
}

} // namespace thermo
