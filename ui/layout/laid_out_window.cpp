#include "ui/layout/laid_out_window.h"

#include "ui/layout/fonts.h"
#include "ui/layout/scaled_layout.h"
#include "ui/layout/screen_fit.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <cmath>

namespace thermo {

namespace {

// Room around and between the controls at 100 %, as Qt's usual.
constexpr int marginPixels = 9;
constexpr int spacingPixels = 6;
// A button is two lines of its type high and has a line's room on either side of its text, as
// the table windows' buttons.
constexpr double buttonLines = 2.0;

int scaled(int pixels, double zoom) {
    return static_cast<int>(std::lround(pixels * zoom));
}

} // namespace

LaidOutWindow::LaidOutWindow(const char* objectName, const QString& title, QSize sizeAt100,
                             Qt::WindowFlags frameButtons)
    : QWidget(nullptr, windowFrame(frameButtons)), title_(title), sizeAt100_(sizeAt100) {
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(title);
    // A screen reader says the title without the zoom, which the program announces itself.
    setAccessibleName(title);
    giveWindowGround(*this);
    setFont(sansFont(8.25));
    resize(sizeAt100);
}

QLabel* LaidOutWindow::makeLabel(const char* name, const QString& text, bool bold) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    if (bold) {
        // Only the weight: the family and the size follow the window's, zoom included.
        QFont weight;
        weight.setBold(true);
        label->setFont(weight);
    }
    return label;
}

QPushButton* LaidOutWindow::makeButton(const char* name, const QString& text) {
    return plainButton(*this, name, text);
}

void LaidOutWindow::setZoom(double zoom) {
    const double before = zoom_;
    const QSize sizeBefore = size(); // the layouts below may enlarge the window at once
    zoom_ = zoom;
    setFont(zoomedFont(sansFont(8.25), zoom));
    setWindowTitle(zoomedTitle(title_, zoom));
    for (QLayout* layout : findChildren<QLayout*>()) {
        if (layout->parentWidget() != this) {
            continue; // a control's own layout
        }
        if (layout == this->layout()) {
            layout->setContentsMargins(QMargins() + scaled(marginPixels, zoom));
        }
        layout->setSpacing(scaled(spacingPixels, zoom));
    }
    for (QPushButton* button : findChildren<QPushButton*>()) {
        const QFontMetrics metrics(button->font());
        button->setMinimumSize(metrics.horizontalAdvance(button->text()) + 2 * metrics.height(),
                               static_cast<int>(buttonLines * metrics.height()));
    }
    fitToType();
    if (layout() != nullptr) {
        layout()->activate();
    }
    // As much larger as the type, within the screen, yet never so small that a text is cut.
    const QSize frame = frameGeometry().size() - size();
    const QSize scaled = (sizeBefore * (zoom / before))
                             .expandedTo(sizeAt100_ * zoom)
                             .boundedTo(availableArea(*this).size() - frame);
    resize(scaled.expandedTo(minimumSizeHint()));
    if (layout() != nullptr) {
        layout()->activate();
    }
    if (isVisible()) {
        keepOnScreen(*this);
    }
}

} // namespace thermo
