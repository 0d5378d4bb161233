#include "ui/curve/model_chooser.h"

#include "core/code_conversion.h"
#include "ui/curve/curve_plot_view.h"
#include "ui/curve/curve_window.h"
#include "ui/layout/fixed_window.h"
#include "ui/recording/session_record.h"

#include <QComboBox>
#include <QLabel>
#include <QPromise>
#include <QPushButton>
#include <QThreadPool>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace thermo {

namespace {

struct Readings {
    std::vector<double> seconds;
    std::vector<double> celsius;
};

// The temperatures of `time`, gaps left out.
Readings temperaturesIn(const SessionSeries& series, TimeSpan time) {
    const auto millisOf = [](double seconds) {
        // Far beyond any series; keeps the conversion to whole milliseconds defined.
        constexpr double farthest = 1e15;
        return static_cast<std::int64_t>(std::clamp(seconds * 1000.0, -farthest, farthest));
    };
    const IndexRange range = series.between(millisOf(time.from), millisOf(time.to));
    const auto millis = series.millis();
    const auto celsius = series.column(SeriesColumn::Temperature);
    Readings r;
    r.seconds.reserve(range.size());
    r.celsius.reserve(range.size());
    for (std::size_t i = range.first; i < range.last; ++i) {
        if (std::isfinite(celsius[i])) {
            r.seconds.push_back(static_cast<double>(millis[i]) / 1000.0);
            r.celsius.push_back(celsius[i]);
        }
    }
    return r;
}

} // namespace

ModelChooser::ModelChooser(CurveWindow& window)
    : QObject(&window), window_(window), choice_(new QComboBox(&window)), fitter_(modelFitter()) {
    choice_->setObjectName(QStringLiteral("modelChoice"));
    for (const ModelKind kind : modelKinds) {
        choice_->addItem(QString::fromStdString(modelKindName(kind)), static_cast<int>(kind));
    }
    // A screen reader names a list by its label: "Modèle", then the law chosen.
    auto* label = new QLabel(tr("Modèle :"), &window);
    label->setBuddy(choice_);
    window.addToolWidget(label);
    window.addToolWidget(choice_);
    fitButton_ = window.addToolButton("modelButton", tr("Modéliser"));
    clearButton_ = window.addToolButton("clearModelsButton", tr("Effacer les modèles"));
    describeChoice();
    describe(
        fitButton_, tr("Modéliser"),
        tr("Ajuste la loi choisie aux mesures de la plage sélectionnée (Maj et un glisser, ou "
           "Maj et les flèches sur la courbe), sinon de la plage montrée, et la trace avec son "
           "équation"));
    describe(clearButton_, tr("Effacer les modèles"), tr("Retire les modèles de la courbe"));
    clearButton_->setEnabled(false);
    connect(choice_, &QComboBox::currentIndexChanged, this, &ModelChooser::describeChoice);
    connect(fitButton_, &QPushButton::clicked, this, &ModelChooser::fit);
    connect(clearButton_, &QPushButton::clicked, this, &ModelChooser::clear);
    connect(&watcher_, &QFutureWatcher<ModelAnswer>::finished, this, &ModelChooser::fitted);
    connect(&window, &CurveWindow::toolRunChanged, this, &ModelChooser::showModels);
}

// A fit still running finishes on its own copy of the readings; its answer goes nowhere.
ModelChooser::~ModelChooser() = default;

void ModelChooser::describeChoice() {
    const auto kind = static_cast<ModelKind>(choice_->currentData().toInt());
    describe(choice_, tr("Modèle"), QString::fromStdString(modelLaw(kind)));
    choice_->setToolTip(QString::fromStdString(modelLaw(kind)));
}

void ModelChooser::fit() {
    if (fitting_) {
        return; // the answer to the last press comes first
    }
    const CurveWindow::ToolRun run = window_.toolRun();
    CurvePlotView& plot = window_.plot();
    auto readings = std::make_shared<Readings>(
        temperaturesIn(run.series, plot.selectedTime().value_or(plot.shownTime())));
    runId_ = selectedRunId();
    generation_ = run.series.generation();
    auto promise = std::make_shared<QPromise<ModelAnswer>>();
    watcher_.setFuture(promise->future());
    promise->start();
    fitting_ = true;
    window_.showMessage(tr("Modélisation en cours…"), false);
    const auto kind = static_cast<ModelKind>(choice_->currentData().toInt());
    QThreadPool::globalInstance()->start(
        [promise, readings, kind, locale = window_.record().locale(), fitter = fitter_] {
            // As shown and saved, to a tenth of a degree: the model is that of the numbers the
            // class sees and of the file a spreadsheet reads. Here, off the interface's thread:
            // a school day takes tens of milliseconds to round.
            for (double& c : readings->celsius) {
                c = roundHalfEven(c, temperatureDecimals);
            }
            promise->addResult(fitter(kind, readings->seconds, readings->celsius, locale));
            promise->finish();
        });
}

void ModelChooser::fitted() {
    fitting_ = false;
    const CurveWindow::ToolRun run = window_.toolRun();
    if (selectedRunId() != runId_ || run.series.generation() != generation_) {
        return; // another run, or the readings fitted are gone
    }
    ModelAnswer answer = watcher_.result();
    if (!answer.fit) {
        window_.showMessage(QString::fromStdString(answer.refusal), true);
        return;
    }
    ModelResult& model = answer.fit->model;
    const NumberLocale& numbers = window_.record().locale();
    model.equation = modelEquation(model, numbers);
    const std::size_t kept = std::min(run.annotations.models.size(), mostModels - 1);
    if (run.annotations.models.size() >= mostModels) {
        window_.removeModel(0);
    }
    window_.addModel(model); // drawn when the séance says it has it
    QString said = tr("Modèle %1 : %2")
                       .arg(kept + 1)
                       .arg(QString::fromStdString(modelResultText(model, numbers)));
    if (!answer.fit->remark.empty()) {
        said = QString::fromStdString(answer.fit->remark) + QStringLiteral(". ") + said;
    }
    window_.showMessage(said, false);
}

void ModelChooser::clear() {
    for (std::size_t n = window_.toolRun().annotations.models.size(); n > 0; --n) {
        window_.removeModel(n - 1);
    }
    window_.showMessage(tr("Modèles effacés."), false);
}

std::uint64_t ModelChooser::selectedRunId() const {
    const SessionRecord& record = window_.record();
    return record.run(record.selectedIndex()).id;
}

void ModelChooser::showModels() {
    const std::vector<ModelResult>& models = window_.toolRun().annotations.models;
    window_.plot().showModels(models);
    // Never the button that has the focus: it would send the focus elsewhere.
    if (!clearButton_->hasFocus()) {
        clearButton_->setEnabled(!models.empty());
    }
}

} // namespace thermo
