#include "ui/curve/runs_list.h"

#include "ui/accessibility/spoken_notice.h"
#include "ui/curve/curve_plot_view.h"
#include "ui/curve/run_swatch.h"
#include "ui/curve/curve_window.h"
#include "ui/recording/session_record.h"
#include "ui/version.h"

#include <QColorDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace thermo {

RunsList::RunsList(CurveWindow& window)
    : QWidget(&window), window_(window), record_(window.record()) {
    setObjectName(QStringLiteral("runsList"));
    auto* title = new QLabel(tr("Séries"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("runs"));
    list_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    list_->setAccessibleName(tr("Séries de la séance"));
    list_->setAccessibleDescription(
        tr("La série choisie est celle que l'on modélise et pointe ; la case montre ou cache la "
           "série ; F2 change son nom"));
    title->setBuddy(list_);
    newRunButton_ = new QPushButton(tr("Nouvelle série"), this);
    newRunButton_->setObjectName(QStringLiteral("newRunButton"));
    newRunButton_->setAccessibleDescription(
        tr("Termine la série en cours et en commence une autre ; les séries précédentes restent "
           "sur la courbe"));
    colourButton_ = new QPushButton(tr("Couleur…"), this);
    colourButton_->setObjectName(QStringLiteral("colourButton"));
    colourButton_->setAccessibleDescription(tr("Change la couleur de la série choisie"));
    removeButton_ = new QPushButton(tr("Supprimer"), this);
    removeButton_->setObjectName(QStringLiteral("removeRunButton"));
    removeButton_->setAccessibleDescription(tr("Supprime la série choisie, après confirmation"));
    for (QPushButton* button : {newRunButton_, colourButton_, removeButton_}) {
        button->setAutoDefault(false);
    }
    notice_ = new SpokenNotice(QStringLiteral("runsNotice"), *this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(title);
    layout->addWidget(list_, 1);
    layout->addWidget(newRunButton_);
    auto* row = new QHBoxLayout;
    row->addWidget(colourButton_);
    row->addWidget(removeButton_);
    layout->addLayout(row);

    fill();
    connect(list_, &QListWidget::itemChanged, this, &RunsList::itemChanged);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!filling_ && row >= 0) {
            record_.select(static_cast<std::size_t>(row));
        }
    });
    connect(newRunButton_, &QPushButton::clicked, this, [this] {
        record_.newRun();
        announce(tr("Nouvelle série : %1").arg(record_.run(record_.liveIndex()).name));
    });
    connect(colourButton_, &QPushButton::clicked, this, &RunsList::recolourChosen);
    connect(removeButton_, &QPushButton::clicked, this, &RunsList::removeChosen);
    connect(&record_, &SessionRecord::runAdded, this, [this](std::size_t index) {
        insert(index);
        showRuns();
    });
    connect(&record_, &SessionRecord::runRemoved, this, [this](std::size_t index, std::uint64_t) {
        const bool was = filling_;
        filling_ = true;
        delete list_->takeItem(static_cast<int>(index));
        filling_ = was;
        showRuns();
        drawRuns(); // now: the plot must not keep the readings of a run that is gone
    });
    connect(&record_, &SessionRecord::runChanged, this, [this](std::size_t index) {
        describeRow(index);
        showRuns();
    });
    connect(&record_, &SessionRecord::cleared, this, &RunsList::showRuns);
    // The count of the live run, now and then: a row's text changes once a second at most.
    auto* counts = new QTimer(this);
    connect(counts, &QTimer::timeout, this, [this] { describeRow(record_.liveIndex()); });
    counts->start(1000);
    showRuns();
}

void RunsList::fill() {
    filling_ = true;
    list_->clear();
    for (std::size_t i = 0; i < record_.runCount(); ++i) {
        insert(i);
    }
    filling_ = false;
}

void RunsList::insert(std::size_t index) {
    const bool was = filling_;
    filling_ = true;
    auto* item = new QListWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable |
                   Qt::ItemIsUserCheckable);
    list_->insertItem(static_cast<int>(index), item);
    filling_ = was;
    describeRow(index);
}

void RunsList::describeRow(std::size_t index) {
    QListWidgetItem* item = list_->item(static_cast<int>(index));
    if (item == nullptr || index >= record_.runCount()) {
        return;
    }
    const Run& run = record_.run(index);
    const bool was = filling_;
    filling_ = true;
    item->setText(run.name);
    item->setIcon(runSwatch(run.colour));
    item->setCheckState(run.visible ? Qt::Checked : Qt::Unchecked);
    const QString live = index == record_.liveIndex() ? tr(", en cours") : QString();
    item->setToolTip(readingsText(run.series->size()) + live);
    item->setData(Qt::AccessibleDescriptionRole,
                  readingsText(run.series->size()) + live +
                      (run.visible ? tr(", montrée") : tr(", cachée")));
    filling_ = was;
}

void RunsList::itemChanged(QListWidgetItem* item) {
    if (filling_) {
        return;
    }
    const auto index = static_cast<std::size_t>(list_->row(item));
    record_.setRunVisible(index, item->checkState() == Qt::Checked);
    if (item->text().trimmed().isEmpty()) {
        describeRow(index); // a name cannot be empty: the former one comes back
    } else {
        record_.setRunName(index, item->text());
    }
}

void RunsList::removeChosen() {
    const int row = list_->currentRow();
    if (row < 0) {
        return;
    }
    const Run& run = record_.run(static_cast<std::size_t>(row));
    QMessageBox question(QMessageBox::Warning, QString::fromUtf8(programName),
                         tr("Supprimer la série « %1 » (%2) ?")
                             .arg(run.name, readingsText(run.series->size())),
                         QMessageBox::NoButton, &window_);
    question.setObjectName(QStringLiteral("RemoveRunQuestion"));
    question.setInformativeText(tr("Ses mesures ne seront plus dans la séance."));
    QPushButton* remove = question.addButton(tr("Supprimer"), QMessageBox::DestructiveRole);
    QPushButton* keep = question.addButton(tr("Annuler"), QMessageBox::RejectRole);
    question.setDefaultButton(keep);
    question.setEscapeButton(keep);
    question.exec();
    if (question.clickedButton() == remove) {
        const QString name = run.name;
        record_.removeRun(static_cast<std::size_t>(row));
        announce(tr("Série « %1 » supprimée").arg(name));
    }
}

void RunsList::recolourChosen() {
    const int row = list_->currentRow();
    if (row < 0) {
        return;
    }
    const QColor colour =
        QColorDialog::getColor(QColor(record_.run(static_cast<std::size_t>(row)).colour),
                               &window_, tr("Couleur de la série"));
    if (colour.isValid()) {
        record_.setRunColour(static_cast<std::size_t>(row), colour.rgb() & 0xFFFFFFu);
    }
}

// What the list says to a screen reader, from this one place.
void RunsList::announce(const QString& words) {
    notice_->say(words);
}

// The plot draws the selected run, and the others that are shown: once for all the changes
// of a turn of the event loop (the ten runs of a séance opened are drawn once, not ten times).
void RunsList::showRuns() {
    if (!redrawPending_) {
        redrawPending_ = true;
        QTimer::singleShot(0, this, &RunsList::drawRuns);
    }
    const bool was = filling_;
    filling_ = true;
    list_->setCurrentRow(static_cast<int>(record_.selectedIndex()));
    filling_ = was;
}

void RunsList::drawRuns() {
    redrawPending_ = false;
    const std::size_t selected = record_.selectedIndex();
    const auto trace = [this](std::size_t i) {
        const Run& run = record_.run(i);
        return RunTrace{run.series.get(), QColor(run.colour), run.name};
    };
    std::vector<RunTrace> others;
    for (std::size_t i = 0; i < record_.runCount(); ++i) {
        if (i != selected && record_.run(i).visible) {
            others.push_back(trace(i));
        }
    }
    window_.plot().showRuns(trace(selected), others);
}

} // namespace thermo
