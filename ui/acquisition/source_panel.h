#pragma once

#include "acquisition/source_settings.h"

#include <QFrame>
#include <vector>

class QActionGroup;
class QDoubleSpinBox;
class QHBoxLayout;
class QLabel;
class QMenu;
class QVBoxLayout;

namespace thermo {

class CodeSource;

// What the acquisition control shows in its small rectangle: the name of the source of codes
// and whatever settings the source describes, its numbers as spin boxes and its choices in the
// right-click menu, without knowing which source it is.
class SourcePanel : public QFrame {
    Q_OBJECT
public:
    explicit SourcePanel(QWidget* parent = nullptr);

    // The panel does not own the source; the caller replaces it before destroying it.
    void setSource(CodeSource* source);
    // Shows the source's settings again after they changed elsewhere.
    void refresh();
    // Shown in place of the source's name while it is not empty (what a search is doing).
    void setStatus(const QString& status);

    // The right-click menu; the choice of source goes at its top.
    QMenu& menu() const noexcept { return *menu_; }

    // Projector mode: the panel's margins grow with the main window, and its type with its
    // size.
    void setZoom(double zoom);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void clearSettings();
    void addNumber(const NumberSetting& setting);
    void addChoices(const ChoiceSetting& setting);
    void updateCaption();
    QStringList possibleCaptions() const;
    void fitType();
    static bool valuesFit(const QDoubleSpinBox& box, const QFont& font, const QSize& size);

    CodeSource* source_ = nullptr;
    QString status_;
    QLabel* caption_;
    QMenu* menu_;
    QVBoxLayout* layout_;
    QHBoxLayout* settings_;
    std::vector<QDoubleSpinBox*> numbers_;
    std::vector<QActionGroup*> choices_;
    std::vector<QAction*> menuEntries_; // the choices' titles and entries
};

} // namespace thermo
