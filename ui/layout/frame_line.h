#pragma once

#include <QFrame>

namespace thermo {

// A straight line of a window's table, between two points in twips. Both end points are
// drawn, so the line covers them inclusively; it thickens with the zoom.
class FrameLine : public QFrame {
    Q_OBJECT
public:
    struct Ends {
        int x1, y1, x2, y2; // twips
    };

    FrameLine(const Ends& ends, QWidget* parent);

    void setZoom(double zoom);

private:
    Ends ends_;
};

} // namespace thermo
