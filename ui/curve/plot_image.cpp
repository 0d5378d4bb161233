#include "ui/curve/plot_image.h"

#include "storage/write_failure_text.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QSvgGenerator>
#include <qcustomplot.h>

namespace thermo {

namespace {

constexpr double pictureScale = 2.0;

bool draw(QCustomPlot& plot, QIODevice& file, bool svg) {
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

QString writeWhole(const QString& path, const std::function<bool(QIODevice&)>& draw,
                   const QString& unproduced) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return writeFailureText(path, file);
    }
    if (!draw(file) || file.error() != QFileDevice::NoError) {
        const QString message = file.error() == QFileDevice::NoError
                                    ? writeFailureText(path, unproduced)
                                    : writeFailureText(path, file);
        file.cancelWriting();
        return message;
    }
    if (!file.commit()) {
        return writeFailureText(path, file);
    }
    return {};
}

QString savePlotImage(QCustomPlot& plot, const QString& path) {
    const bool svg =
        QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0;
    return writeWhole(
        path, [&](QIODevice& file) { return draw(plot, file, svg); },
        QObject::tr("image impossible à produire"));
}

} // namespace thermo
