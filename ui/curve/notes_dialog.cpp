#include "ui/curve/notes_dialog.h"

#include "core/number_text.h"
#include "core/run_annotations.h"
#include "ui/curve/curve_plot_view.h"
#include "ui/curve/curve_tools.h"
#include "ui/curve/curve_window.h"
#include "ui/layout/fixed_window.h"
#include "ui/recording/session_record.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace thermo {

namespace {

constexpr int longestNote = 80; // characters: a note is read on the curve, beside others

QString noteLine(const RunNote& note) {
    return QObject::tr("%1 s : %2")
        .arg(QLocale().toString(note.seconds, 'f', 1), QString::fromStdString(note.text));
}

} // namespace

NotesTool::NotesTool(CurveWindow& window, CurveTools& tools)
    : QObject(&window), window_(window), tools_(tools) {
    QPushButton* button = window.addToolButton("notesButton", tr("Notes…"));
    describe(button, tr("Notes"),
             tr("Ajoute à la courbe un court texte à un instant, comme « couvercle retiré », ou "
                "en retire"));
    connect(button, &QPushButton::clicked, this, &NotesTool::open);
    connect(&window, &CurveWindow::toolRunChanged, this, &NotesTool::showNotes);
}

void NotesTool::open() {
    const CurveWindow::ToolRun run = window_.toolRun();
    const std::optional<std::size_t> at =
        tools_.cursor()
            ? tools_.cursor()
            : (run.series.empty() ? std::nullopt : std::optional(run.series.size() - 1));
    const double seconds = at ? static_cast<double>(run.series.millis()[*at]) / 1000.0 : 0.0;
    // Edited here, kept at each change by the séance, which has them drawn again.
    RunAnnotations annotations = run.annotations;
    const std::size_t index = window_.record().selectedIndex();
    NotesDialog dialog(annotations, seconds, &window_);
    connect(&dialog, &NotesDialog::changed, this, [this, &annotations, index](const QString& said) {
        window_.record().setNotes(index, annotations.notes);
        window_.showMessage(said, false);
    });
    dialog.exec();
}

void NotesTool::showNotes() {
    tools_.showNotes(window_.toolRun().annotations.notes);
}

NotesDialog::NotesDialog(RunAnnotations& annotations, double seconds, QWidget* parent)
    : QDialog(parent), annotations_(annotations), notes_(new QListWidget(this)),
      time_(new QDoubleSpinBox(this)), text_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("notesDialog"));
    setWindowTitle(tr("Notes de la courbe"));
    notes_->setObjectName(QStringLiteral("notesList"));
    describe(notes_, tr("Notes"), tr("Les notes de la série, par ordre de temps"));
    time_->setObjectName(QStringLiteral("noteTime"));
    time_->setRange(0, 1e7);
    time_->setDecimals(1);
    time_->setSuffix(QStringLiteral(" s"));
    time_->setValue(seconds);
    text_->setObjectName(QStringLiteral("noteText"));
    text_->setMaxLength(longestNote);
    auto* buttons = new QDialogButtonBox(this);
    addButton_ = buttons->addButton(tr("Ajouter"), QDialogButtonBox::ActionRole);
    removeButton_ = buttons->addButton(tr("Supprimer"), QDialogButtonBox::ActionRole);
    buttons->addButton(tr("Fermer"), QDialogButtonBox::RejectRole);
    addButton_->setObjectName(QStringLiteral("addNoteButton"));
    removeButton_->setObjectName(QStringLiteral("removeNoteButton"));
    addButton_->setDefault(true);

    auto* form = new QFormLayout;
    form->addRow(tr("&Temps :"), time_);
    form->addRow(tr("Te&xte :"), text_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(notes_);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(addButton_, &QPushButton::clicked, this, &NotesDialog::add);
    connect(removeButton_, &QPushButton::clicked, this, &NotesDialog::remove);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(text_, &QLineEdit::textChanged, this,
            [this](const QString& text) { addButton_->setEnabled(!text.trimmed().isEmpty()); });
    connect(notes_, &QListWidget::currentRowChanged, this,
            [this](int row) { removeButton_->setEnabled(row >= 0); });
    list();
    addButton_->setEnabled(false);
    text_->setFocus();
}

void NotesDialog::list() {
    notes_->clear();
    for (const RunNote& note : annotations_.notes) {
        notes_->addItem(noteLine(note));
    }
    removeButton_->setEnabled(notes_->currentRow() >= 0);
}

void NotesDialog::add() {
    const QString text = text_->text().trimmed();
    if (text.isEmpty()) {
        return;
    }
    const RunNote note{time_->value(), text.toStdString()};
    annotations_.addNote(note);
    list();
    text_->setFocus(); // before the button it was pressed with goes grey
    text_->clear();
    emit changed(tr("Note ajoutée à %1").arg(noteLine(note)));
}

void NotesDialog::remove() {
    const int row = notes_->currentRow();
    if (row < 0 || row >= static_cast<int>(annotations_.notes.size())) {
        return;
    }
    const QString said = tr("Note retirée : %1").arg(noteLine(annotations_.notes[row]));
    annotations_.notes.erase(annotations_.notes.begin() + row);
    list();
    notes_->setFocus();
    emit changed(said);
}

} // namespace thermo
