#include "ui/curve/plot_image.h"

#include "storage/write_failure_text.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QSvgGenerator>
#include <qcustomplot.h>

namespace thermo {

namespace {

constexpr double pictureScale = 2.0;

bool draw(QCustomPlot& plot, QSaveFile& file, bool svg) {
    if (!svg) {
        return plot.toPixmap(0, 0, pictureScale).save(&file, "PNG");
    }
    QSvgGenerator drawing;
    drawing.setOutputDevice(&file);
    drawing.setSize(plot.size());
    drawing.setViewBox(plot.rect());
    drawing.setTitle(QObject::tr("Courbe de température"));
    QCPPainter painter;
    if (!painter.begin(&drawing)) {
        return false;
    }
    plot.toPainter(&painter, plot.width(), plot.height());
    return painter.end();
}

} // namespace

QString savePlotImage(QCustomPlot& plot, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return writeFailureText(path, file);
    }
    const bool svg =
        QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0;
    if (!draw(plot, file, svg) || file.error() != QFileDevice::NoError) {
        const QString message =
            file.error() == QFileDevice::NoError
                ? writeFailureText(path, QObject::tr("image impossible à produire"))
                : writeFailureText(path, file);
        file.cancelWriting();
        return message;
    }
    if (!file.commit()) {
        return writeFailureText(path, file);
    }
    return {};
}

} // namespace thermo
