#include "ui/curve/run_swatch.h"

#include <QColor>
#include <QLocale>
#include <QObject>
#include <QPainter>
#include <QPixmap>

namespace thermo {

QIcon runSwatch(std::uint32_t rgb) {
    QPixmap square(16, 16);
    square.fill(QColor(rgb));
    QPainter frame(&square);
    frame.setPen(Qt::black);
    frame.drawRect(0, 0, 15, 15);
    return QIcon(square);
}

QString readingsText(std::size_t n) {
    const QLocale french(QLocale::French, QLocale::France);
    return n > 1 ? QObject::tr("%1 mesures").arg(french.toString(static_cast<qulonglong>(n)))
                 : QObject::tr("%1 mesure").arg(n);
}

} // namespace thermo
