#include "ui/classroom/class_window.h"

#include "network/class_host.h"
#include "network/class_model.h"
#include "ui/classroom/class_runs.h"
#include "ui/curve/curve_plot_view.h"
#include "ui/curve/run_swatch.h"
#include "ui/recording/seance_document.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

namespace thermo {

using classroom::ClassHost;
using classroom::ClassModel;

namespace {

constexpr QSize sizeAt100(1100, 640);
constexpr QSize smallestPlot(400, 250);

} // namespace

ClassWindow::ClassWindow(ClassHost& host, std::function<void(const Run&)> toCurve)
    : LaidOutWindow("LaClasse", QStringLiteral("La classe"), sizeAt100,
                    Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint),
      host_(host), toCurve_(std::move(toCurve)), runs_(new ClassRuns(this)),
      plot_(makeCurvePlot(none_, this)), list_(new QListWidget(this)),
      saveButton_(makeButton("saveClassButton", tr("Enregistrer la séance de la classe…"))),
      curveButton_(makeButton("curveButton", tr("Ouvrir dans la courbe"))),
      showAllButton_(makeButton("showAllButton", tr("Tout voir"))),
      messageLabel_(makeLabel("messageLabel", QString(), true)), states_(new QTimer(this)) {
    plot_->widget()->setObjectName(QStringLiteral("plot"));
    plot_->widget()->setMinimumSize(smallestPlot);
    plot_->widget()->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    describe(plot_->widget(), tr("Courbes de la classe"),
             tr("La température de chaque groupe depuis le début de sa série, en fonction du "
                "temps, chacun dans sa couleur"));
    list_->setObjectName(QStringLiteral("groups"));
    list_->setAccessibleName(tr("Groupes de la classe"));
    list_->setAccessibleDescription(
        tr("Chaque groupe avec son état ; la case montre ou cache sa courbe ; le groupe choisi "
           "est celui que l'on pointe et que l'on ouvre dans la courbe"));
    describe(saveButton_, tr("Enregistrer la séance de la classe"),
             tr("Enregistre une séance avec une série par groupe"));
    describe(curveButton_, tr("Ouvrir dans la courbe"),
             tr("Copie la série du groupe choisi dans la séance, pour la modéliser, l'annoter ou "
                "l'exporter dans la fenêtre de la courbe"));
    describe(showAllButton_, tr("Tout voir"),
             tr("Montre toutes les séries et suit de nouveau les dernières mesures"));
    messageLabel_->setWordWrap(true);

    auto* groupsTitle = makeLabel("groupsTitle", tr("Groupes"), true);
    groupsTitle->setBuddy(list_);
    auto* side = new QVBoxLayout;
    side->addWidget(groupsTitle);
    side->addWidget(list_, 1);
    side->addWidget(curveButton_);
    auto* top = new QHBoxLayout;
    top->addWidget(plot_->widget(), 3);
    top->addLayout(side, 1);
    auto* actions = new QHBoxLayout;
    actions->addWidget(saveButton_);
    actions->addWidget(showAllButton_);
    actions->addWidget(messageLabel_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(actions);

    connect(runs_, &ClassRuns::reset, this, &ClassWindow::fill);
    connect(runs_, &ClassRuns::added, this, [this](std::size_t index) {
        const bool was = filling_;
        filling_ = true;
        auto* item = new QListWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        list_->insertItem(int(index), item);
        if (list_->currentRow() < 0) {
            list_->setCurrentRow(int(index));
        }
        filling_ = was;
        describeRow(index);
        scheduleDraw();
    });
    connect(runs_, &ClassRuns::changed, this, [this](std::size_t index) {
        describeRow(index);
        scheduleDraw();
    });
    connect(runs_, &ClassRuns::replaced, this, &ClassWindow::scheduleDraw);
    // New readings at a run's end: the plot adds them to what it drew, without drawing anew.
    connect(runs_, &ClassRuns::grew, this, [this] {
        if (!drawPending_) {
            plot_->refresh();
        }
    });
    connect(list_, &QListWidget::itemChanged, this, &ClassWindow::itemChanged);
    connect(list_, &QListWidget::currentRowChanged, this, &ClassWindow::scheduleDraw);
    connect(saveButton_, &QPushButton::clicked, this, &ClassWindow::save);
    connect(curveButton_, &QPushButton::clicked, this, &ClassWindow::openInCurve);
    connect(showAllButton_, &QPushButton::clicked, this, [this] { plot_->showAll(); });
    connect(&host_, &ClassHost::opened, this, &ClassWindow::followClass);
    // The states age ("déconnecté depuis 12 s") without any message to say so.
    connect(states_, &QTimer::timeout, this, [this] {
        for (std::size_t i = 0; i < runs_->count(); ++i) {
            describeRow(i);
        }
    });
    states_->start(1000);
    followClass();
}

ClassWindow::~ClassWindow() = default;

void ClassWindow::followClass() {
    runs_->follow(host_.model());
}

void ClassWindow::fill() {
    filling_ = true;
    list_->clear();
    filling_ = false;
    scheduleDraw();
}

void ClassWindow::describeRow(std::size_t index) {
    QListWidgetItem* item = list_->item(int(index));
    ClassModel* model = runs_->model();
    if (item == nullptr || model == nullptr || index >= runs_->count()) {
        return;
    }
    const Run& run = runs_->run(index);
    const QString state = model->statusText(runs_->groupOf(index), ClassModel::Clock::now());
    const bool was = filling_;
    filling_ = true;
    item->setText(tr("%1 — %2").arg(run.name, state));
    item->setIcon(runSwatch(run.colour));
    item->setCheckState(run.visible ? Qt::Checked : Qt::Unchecked);
    item->setToolTip(readingsText(run.series->size()));
    item->setData(Qt::AccessibleDescriptionRole,
                  readingsText(run.series->size()) +
                      (run.visible ? tr(", montrée") : tr(", cachée")));
    filling_ = was;
}

void ClassWindow::itemChanged(QListWidgetItem* item) {
    if (!filling_) {
        runs_->setVisible(std::size_t(list_->row(item)), item->checkState() == Qt::Checked);
    }
}

// Every change of a turn of the event loop drawn once: a class reopened brings all its groups
// at once.
void ClassWindow::scheduleDraw() {
    if (!drawPending_) {
        drawPending_ = true;
        QTimer::singleShot(0, this, &ClassWindow::draw);
    }
}

void ClassWindow::draw() {
    drawPending_ = false;
    const int chosen = list_->currentRow();
    const auto trace = [this](std::size_t i) {
        const Run& run = runs_->run(i);
        return RunTrace{run.series.get(), QColor(run.colour), run.name};
    };
    std::vector<RunTrace> others;
    for (std::size_t i = 0; i < runs_->count(); ++i) {
        if (int(i) != chosen && runs_->run(i).visible) {
            others.push_back(trace(i));
        }
    }
    if (chosen >= 0 && std::size_t(chosen) < runs_->count() && runs_->run(std::size_t(chosen)).visible) {
        plot_->showRuns(trace(std::size_t(chosen)), others);
    } else {
        plot_->showRuns(RunTrace{&none_, QColor(Qt::black), QString()}, others);
    }
    curveButton_->setEnabled(chosen >= 0);
    saveButton_->setEnabled(runs_->count() > 0);
}

QString ClassWindow::saveTo(const QString& path) {
    const QString failure = writeSeance(runs_->all(), path);
    showMessage(failure.isEmpty() ? tr("Séance de la classe enregistrée dans %1 (%2 groupes).")
                                        .arg(QDir::toNativeSeparators(path))
                                        .arg(runs_->count())
                                  : failure,
                !failure.isEmpty());
    return failure;
}

void ClassWindow::save() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir(folder).exists()) {
        folder = QDir::homePath();
    }
    const QString proposed = QDir(folder).filePath(
        tr("classe-%1.thermo").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HH'h'mm"))));
    const QString path = QFileDialog::getSaveFileName(this, tr("Enregistrer la séance de la classe"),
                                                      proposed, tr("Séances (*.thermo)"));
    if (!path.isEmpty()) {
        saveTo(path.endsWith(QStringLiteral(".thermo")) ? path : path + QStringLiteral(".thermo"));
    }
}

void ClassWindow::openInCurve() {
    const int chosen = list_->currentRow();
    if (chosen >= 0 && std::size_t(chosen) < runs_->count() && toCurve_) {
        toCurve_(runs_->run(std::size_t(chosen)));
    }
}

void ClassWindow::showMessage(const QString& text, bool failure) {
    QPalette palette = messageLabel_->palette();
    palette.setColor(QPalette::WindowText, failure ? QColor(0xC0, 0, 0) : QColor(Qt::black));
    messageLabel_->setPalette(palette);
    messageLabel_->setText(text);
}

void ClassWindow::setZoom(double zoom) {
    LaidOutWindow::setZoom(zoom);
    plot_->setZoom(zoom);
}

} // namespace thermo
