// The curve window's side toward its tools (models, notes, tangent, cursors, axes, print):
// where they put their controls, the run they work on, and the window's one voice to a screen
// reader.
#include "ui/accessibility/spoken_notice.h"
#include "ui/curve/curve_window.h"
#include "ui/recording/kept_model.h"
#include "ui/recording/session_record.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>
#include <utility>

namespace thermo {

void CurveWindow::addToolWidget(QWidget* widget) {
    tools_->addWidget(widget);
    if (widget->focusPolicy() != Qt::NoFocus) { // a label keeps out of the Tab order
        setTabOrder(lastInFocus_, widget);
        lastInFocus_ = widget;
    }
}

QLabel* CurveWindow::addReadout(const char* name) {
    QLabel* label = makeLabel(name, QString());
    label->setWordWrap(true);
    readouts_->addWidget(label);
    return label;
}

QPushButton* CurveWindow::addActionButton(const char* name, const QString& text) {
    // The actions are the first row, their buttons before the stretch that pushes the file's
    // name to the right.
    auto* actions = qobject_cast<QBoxLayout*>(layout()->itemAt(0)->layout());
    int at = 0;
    QWidget* before = nullptr;
    while (at < actions->count() && actions->itemAt(at)->spacerItem() == nullptr) {
        before = actions->itemAt(at)->widget() ? actions->itemAt(at)->widget() : before;
        ++at;
    }
    QPushButton* button = makeButton(name, text);
    actions->insertWidget(at, button);
    if (before != nullptr) {
        setTabOrder(before, button);
    }
    return button;
}

CurveWindow::ToolRun CurveWindow::toolRun() const {
    const Run& run = record_.run(record_.selectedIndex());
    ToolRun tools{*run.series, {run.notes, {}}};
    for (const RunModel& kept : run.models) {
        if (std::optional<ModelResult> model = fittedModel(kept)) {
            tools.annotations.models.push_back(std::move(*model));
        }
    }
    return tools;
}

void CurveWindow::addModel(const ModelResult& model) {
    record_.addModel(record_.selectedIndex(), keptModel(model));
}

void CurveWindow::removeModel(std::size_t index) {
    // The index among the models drawn: those of a kind this version knows.
    const std::size_t run = record_.selectedIndex();
    for (const RunModel& kept : record_.run(run).models) {
        if (fittedModel(kept) && index-- == 0) {
            record_.removeModel(run, kept.id);
            return;
        }
    }
}

// Every message under the curve goes through here: swapping the announcer is done here alone.
void CurveWindow::announce(const QString& text) {
    notice_->say(text);
}

} // namespace thermo
