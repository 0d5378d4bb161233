#pragma once

#include "ui/layout/frame_line.h"
#include "ui/layout/scaled_layout.h"
#include "ui/layout/twips.h"

#include <QColor>
#include <QWidget>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class QLabel;
class QPushButton;

namespace thermo {

// What the program's two windows share: a client area of fixed size laid out from a table in
// twips, the ground colour every label shares, the default font, and the projector zoom that
// scales all of it.
class FixedWindow : public QWidget {
    Q_OBJECT
public:
    struct Placement {
        const char* name; // the control's object name
        TwipsRect twips;
    };
    struct Line {
        const char* name;
        FrameLine::Ends ends;
    };

    ~FixedWindow() override;

    double zoom() const noexcept { return layout_->zoom(); }
    // The client area at 100 %, from the table.
    QSize clientTwips() const noexcept { return layout_->clientTwips(); }
    // Where the window's table puts a control, if it is in the table.
    std::optional<TwipsRect> tableRect(const QWidget* control) const {
        return layout_->twips(control);
    }

public slots:
    // Projector mode: the whole window and its fonts at `zoom` times their size in the table;
    // away from 100 %, the title says the scale and the key that brings it back.
    virtual void setZoom(double zoom);

protected:
    // `frameButtons` adds to the title bar's close button.
    FixedWindow(const char* objectName, const QString& title, int clientWidthTwips,
                int clientHeightTwips, Qt::WindowFlags frameButtons = {});

    // A label on the window's ground, its text from the top.
    QLabel* addLabel(const char* name, const QString& text, const QFont& font,
                     const QColor& colour = Qt::black, Qt::Alignment alignment = Qt::AlignLeft);
    // Neither the Enter nor the Escape button: the windows have none.
    QPushButton* addButton(const char* name, const QString& text);
    void addLines(std::span<const Line> lines);
    // Puts the window's controls, found by their names, where the table says.
    void place(std::span<const Placement> table);
    ScaledLayout& scaledLayout() noexcept { return *layout_; }

private:
    std::unique_ptr<ScaledLayout> layout_;
    std::vector<FrameLine*> lines_;
    QString title_;
};

// What the program's windows share, laid out from a table or not: the title bar's buttons,
// the ground colour every label shares, and the title that says the projector zoom.
Qt::WindowFlags windowFrame(Qt::WindowFlags frameButtons);
void giveWindowGround(QWidget& window);
QString zoomedTitle(const QString& title, double zoom);
// A button of the window that is neither the Enter nor the Escape button: the windows have
// none.
QPushButton* plainButton(QWidget& window, const char* name, const QString& text);

// What a screen reader says of a control: its name, then what it shows.
void describe(QWidget* control, const QString& name, const QString& description);

} // namespace thermo
