#include "ui/curve/cooling_model.h"

#include "core/code_conversion.h"
#include "core/number_text.h"
#include "core/uncertainty_text.h"
#include "ui/curve/curve_window.h"
#include "ui/recording/session_record.h"

#include <QPromise>
#include <QPushButton>
#include <QThreadPool>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace thermo {

namespace {

// Points of the drawn model: smooth at any width the plot can have.
constexpr int modelPoints = 400;

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

QString figuresText(const CoolingFit& fit, const NumberLocale& numbers) {
    const auto text = [&numbers](double value, double uncertainty) {
        return QString::fromStdString(uncertaintyText(value, uncertainty, numbers));
    };
    return QObject::tr("Tf = %1 °C   T0 = %2 °C   τ = %3 s   écart type %4 °C")
        .arg(text(fit.finalCelsius, fit.finalUncertainty),
             text(fit.initialCelsius, fit.initialUncertainty),
             text(fit.tauSeconds, fit.tauUncertainty),
             QString::fromStdString(oneDigitText(fit.rmsCelsius, numbers)));
}

} // namespace

CoolingModel::CoolingModel(CurveWindow& window)
    : QObject(&window), window_(window), plot_(window.plot()),
      button_(window.addToolButton("modelButton", tr("Modéliser"))), fitter_(coolingFitter()) {
    setButton(false);
    connect(button_, &QPushButton::clicked, this, &CoolingModel::pressed);
    connect(&watcher_, &QFutureWatcher<CoolingFitAnswer>::finished, this, &CoolingModel::fitted);
    connect(&window.record(), &SessionRecord::cleared, this, &CoolingModel::remove);
}

// A fit still running finishes on its own copy of the readings; its answer goes nowhere.
CoolingModel::~CoolingModel() = default;

void CoolingModel::pressed() {
    if (shown_) {
        remove();
    } else {
        fit();
    }
}

void CoolingModel::fit() {
    const SessionSeries& series = window_.record().series();
    auto readings = std::make_shared<Readings>(
        temperaturesIn(series, plot_.selectedTime().value_or(plot_.shownTime())));
    generation_ = series.generation();
    fittedTime_ = readings->seconds.empty()
                      ? TimeSpan{0, 0}
                      : TimeSpan{readings->seconds.front(), readings->seconds.back()};
    auto promise = std::make_shared<QPromise<CoolingFitAnswer>>();
    watcher_.setFuture(promise->future());
    promise->start();
    button_->setEnabled(false);
    say(tr("Modélisation en cours…"), false);
    QThreadPool::globalInstance()->start([promise, readings, fitter = fitter_] {
        // The temperatures as shown and saved, to a tenth of a degree: the model is that of
        // the numbers the class sees, and of the file a spreadsheet reads.
        for (double& c : readings->celsius) {
            c = roundHalfEven(c, temperatureDecimals);
        }
        promise->addResult(fitter(readings->seconds, readings->celsius));
        promise->finish();
    });
}

void CoolingModel::fitted() {
    button_->setEnabled(true);
    if (window_.record().series().generation() != generation_) {
        return; // "Effacer" came first: the readings fitted are gone
    }
    const CoolingFitAnswer answer = watcher_.result();
    if (!answer.fit) {
        say(QString::fromStdString(answer.refusal), true);
        return;
    }
    const CoolingFit& f = *answer.fit;
    std::vector<double> seconds(modelPoints);
    std::vector<double> celsius(modelPoints);
    const double t0 = fittedTime_.from;
    for (int i = 0; i < modelPoints; ++i) {
        const double t = t0 + (fittedTime_.to - t0) * i / (modelPoints - 1);
        seconds[i] = t;
        celsius[i] = f.finalCelsius +
                     (f.initialCelsius - f.finalCelsius) * std::exp(-(t - t0) / f.tauSeconds);
    }
    const NumberLocale& numbers = window_.record().locale();
    const QString figures = figuresText(f, numbers);
    plot_.showModel(seconds, celsius, tr("Modèle : %1").arg(figures));
    // The range's ends to a tenth of a second, the readings' step.
    const auto time = [&numbers](double seconds) {
        return QString::fromStdString(numberText(roundHalfEven(seconds, 1), numbers));
    };
    say(tr("Modèle de Newton de t = %1 s à %2 s : %3")
            .arg(time(fittedTime_.from), time(fittedTime_.to), figures),
        false);
    setButton(true);
}

void CoolingModel::remove() {
    plot_.clearModel();
    if (window_.message() == said_) {
        say(QString(), false);
    }
    setButton(false);
}

void CoolingModel::setButton(bool modelShown) {
    shown_ = modelShown;
    if (modelShown) {
        button_->setText(tr("Effacer le modèle"));
        describe(button_, tr("Effacer le modèle"), tr("Retire le modèle de la courbe"));
    } else {
        button_->setText(tr("Modéliser"));
        describe(button_, tr("Modéliser"),
                 tr("Ajuste la loi de refroidissement de Newton aux mesures de la plage choisie "
                    "par Maj et un glisser, sinon de la plage montrée, et la trace sur la "
                    "courbe"));
    }
}

void CoolingModel::say(const QString& text, bool failure) {
    said_ = text;
    window_.showMessage(text, failure);
}

} // namespace thermo
