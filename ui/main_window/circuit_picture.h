#pragma once

#include <QSvgWidget>

namespace thermo {

// The measuring set-up drawn as a vector picture, scaled to whatever rectangle it is given so
// that it stays crisp at any scale.
class CircuitPicture : public QSvgWidget {
    Q_OBJECT
public:
    explicit CircuitPicture(QWidget* parent = nullptr);
};

} // namespace thermo
