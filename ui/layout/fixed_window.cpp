#include "ui/layout/fixed_window.h"

#include "ui/layout/fonts.h"
#include "ui/layout/projector_zoom.h"

#include <QLabel>
#include <QPushButton>
#include <stdexcept>

namespace thermo {

namespace {
const QColor groundColour(0xFF, 0xE0, 0xC0);
} // namespace

FixedWindow::FixedWindow(const char* objectName, const QString& title, int clientWidthTwips,
                         int clientHeightTwips, Qt::WindowFlags frameButtons)
    : QWidget(nullptr, windowFrame(frameButtons)),
      layout_(std::make_unique<ScaledLayout>(*this, clientWidthTwips, clientHeightTwips,
                                             sansFont(8.25))),
      title_(title) {
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(title);
    // A screen reader says the title without the zoom, which the program announces itself.
    setAccessibleName(title);
    giveWindowGround(*this);
}

Qt::WindowFlags windowFrame(Qt::WindowFlags frameButtons) {
    return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowCloseButtonHint | frameButtons;
}

void giveWindowGround(QWidget& window) {
    window.setAutoFillBackground(true);
    QPalette colours = window.palette();
    colours.setColor(QPalette::Window, groundColour);
    window.setPalette(colours);
}

QString zoomedTitle(const QString& title, double zoom) {
    return zoom == 1.0 ? title
                       : FixedWindow::tr("%1 — %2 (Ctrl+0 : 100 %)").arg(title, percentText(zoom));
}

FixedWindow::~FixedWindow() = default;

QLabel* FixedWindow::addLabel(const char* name, const QString& text, const QFont& font,
                              const QColor& colour, Qt::Alignment alignment) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignTop);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, colour);
    label->setPalette(colours);
    return label;
}

QPushButton* FixedWindow::addButton(const char* name, const QString& text) {
    return plainButton(*this, name, text);
}

QPushButton* plainButton(QWidget& window, const char* name, const QString& text) {
    auto* button = new QPushButton(text, &window);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

void FixedWindow::addLines(std::span<const Line> lines) {
    for (const Line& line : lines) {
        auto* frame = new FrameLine(line.ends, this);
        frame->setObjectName(QString::fromLatin1(line.name));
        lines_.push_back(frame);
    }
}

void FixedWindow::place(std::span<const Placement> table) {
    for (const Placement& placement : table) {
        auto* control =
            findChild<QWidget*>(QString::fromLatin1(placement.name), Qt::FindDirectChildrenOnly);
        if (control == nullptr) {
            throw std::logic_error(std::string("FixedWindow: no control ") + placement.name);
        }
        layout_->add(control, placement.twips);
    }
}

void FixedWindow::setZoom(double zoom) {
    layout_->apply(zoom);
    for (FrameLine* line : lines_) {
        line->setZoom(zoom);
    }
    setWindowTitle(zoomedTitle(title_, zoom));
}

void describe(QWidget* control, const QString& name, const QString& description) {
    control->setAccessibleName(name);
    control->setAccessibleDescription(description);
}

} // namespace thermo
