#pragma once

#include <QWidget>

namespace thermo {

class OrphyControl;
class SourceMenu;
class SourcePanel;

// The acquisition control as the main window shows it in its rectangle: the source's panel,
// with the choice of source at the top of its right-click menu. The control is the
// measurement's and outlives the view.
class OrphyView : public QWidget {
    Q_OBJECT
public:
    explicit OrphyView(OrphyControl& control, QWidget* parent = nullptr);
    ~OrphyView() override;

    OrphyControl& control() noexcept { return control_; }
    SourceMenu& sourceMenu() noexcept { return *sources_; }

    // 2535 x 495 twips, the control's rectangle in the main window.
    QSize sizeHint() const override;
    // Projector mode: type and margins grow with the main window.
    void setZoom(double zoom);

private:
    OrphyControl& control_;
    SourcePanel* panel_;
    SourceMenu* sources_;
};

} // namespace thermo
