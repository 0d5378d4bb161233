#include "ui/curve/curve_window.h"

#include "core/number_text.h"
#include "core/series_text.h"
#include "ui/curve/curve_plot_view.h"
#include "ui/curve/unsaved_series_question.h"
#include "ui/layout/fonts.h"
#include "ui/recording/session_record.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStandardPaths>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace thermo {

namespace {

constexpr int clientWidth = 13875;
constexpr int clientHeight = 8520;

constexpr FixedWindow::Placement placements[] = {
    {"Command1", {120, 120, 1335, 435}},  {"Command2", {1575, 120, 1335, 435}},
    {"Command3", {3030, 120, 1815, 435}}, {"Command4", {4965, 120, 1335, 435}},
    {"Command5", {6420, 120, 1335, 435}}, {"Label1", {7995, 210, 5760, 255}},
    {"Plot1", {120, 675, 13635, 6465}},   {"Check1", {120, 7290, 975, 375}},
    {"Check2", {1215, 7290, 975, 375}},   {"Command6", {2310, 7260, 1335, 435}},
    {"Label2", {3765, 7335, 6120, 255}},  {"Label3", {120, 7815, 13635, 585}},
};

// The tools row: places from the right end of the bottom row, right of the pointer's reading.
constexpr int toolTop = 7260;
constexpr int toolWidth = 1815;
constexpr int toolHeight = 435;
constexpr int toolGap = 120;
constexpr int toolsRight = 13755;
constexpr int toolsLeft = 10005;

struct Button {
    const char* name;
    const char* text;
    const char* spoken; // accessible name
    const char* description;
};
const Button buttonTable[] = {
    {"Command1", "Pause", "Pause",
     "Suspend l'enregistrement des mesures, ou le reprend ; une pause laisse un trou dans la "
     "courbe"},
    {"Command2", "Effacer", "Effacer", "Commence une nouvelle série de mesures"},
    {"Command3", "Enregistrer…", "Enregistrer",
     "Enregistre la série dans un fichier CSV, puis y ajoute chaque nouvelle mesure"},
    {"Command4", "Copier", "Copier",
     "Copie le tableau des mesures, à coller dans un tableur ou un logiciel de modélisation"},
    {"Command5", "Image…", "Image", "Enregistre la courbe en image PNG ou SVG"},
    {"Command6", "Tout voir", "Tout voir",
     "Montre toute la série et suit de nouveau les dernières mesures"},
};

const QColor failureColour(0xC0, 0x00, 0x00);

// Where a new file is proposed: beside the last one, or in the documents, named after now.
QString proposedPath(const QString& lastFile, const QString& suffix) {
    QString folder = QFileInfo(lastFile).absolutePath();
    if (lastFile.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!QDir(folder).exists()) {
            folder = QDir::homePath();
        }
    }
    const QString name =
        QStringLiteral("temperature-%1.%2")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HH'h'mm")),
                 suffix);
    return QDir(folder).filePath(name);
}

} // namespace

CurveWindow::CurveWindow(SessionRecord& record)
    : FixedWindow("Courbe", QStringLiteral("Courbe de température"), clientWidth, clientHeight,
                  Qt::WindowMinimizeButtonHint),
      record_(record), plot_(makeCurvePlot(record.series(), this)) {
    plot_->widget()->setObjectName(QStringLiteral("Plot1"));
    describe(plot_->widget(), tr("Courbe de température"),
             tr("La température mesurée depuis le début de la série, en fonction du temps. La "
                "molette et un glisser changent l'intervalle de temps montré."));

    std::vector<QPushButton*> buttons;
    for (const Button& b : buttonTable) {
        buttons.push_back(addButton(b.name, QString::fromUtf8(b.text)));
        describe(buttons.back(), QString::fromUtf8(b.spoken), QString::fromUtf8(b.description));
    }
    command1_ = buttons[0];
    QPushButton* command6 = buttons[5];

    const QFont regular = sansFont(8.25);
    check1_ = new QCheckBox(tr("Uth"), this);
    check1_->setObjectName(QStringLiteral("Check1"));
    check2_ = new QCheckBox(tr("Ut"), this);
    check2_->setObjectName(QStringLiteral("Check2"));
    describe(check1_, tr("Montrer Uth"),
             tr("Ajoute la tension aux bornes de la thermistance, en volts, sur l'axe de droite"));
    describe(check2_, tr("Montrer Ut"),
             tr("Ajoute la tension d'alimentation, en volts, sur l'axe de droite"));

    label1_ = addLabel("Label1", QString(), regular, Qt::black, Qt::AlignRight);
    label2_ = addLabel("Label2", QString(), regular);
    label3_ = addLabel("Label3", QString(), sansFont(8.25, true), failureColour);
    label3_->setWordWrap(true);
    describe(label2_, tr("Mesure sous le pointeur"), tr("Temps et température du point visé"));
    describe(label3_, tr("Message"), tr("Ce qui s'est passé en enregistrant ou en copiant"));

    place(placements);
    setZoom(1.0);

    QWidget* order[] = {buttons[0], buttons[1], buttons[2], buttons[3],
                        buttons[4], check1_,    check2_,    command6};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    lastInFocus_ = command6;

    connect(command1_, &QPushButton::clicked, this, &CurveWindow::togglePause);
    connect(buttons[1], &QPushButton::clicked, this, &CurveWindow::clearSeries);
    connect(buttons[2], &QPushButton::clicked, this, [this] { saveAs(); });
    connect(buttons[3], &QPushButton::clicked, this, &CurveWindow::copyTable);
    connect(buttons[4], &QPushButton::clicked, this, &CurveWindow::saveImage);
    connect(command6, &QPushButton::clicked, this, [this] { plot_->showAll(); });
    connect(check1_, &QCheckBox::toggled, this,
            [this](bool on) { plot_->setVoltageShown(SeriesColumn::Uth, on); });
    connect(check2_, &QCheckBox::toggled, this,
            [this](bool on) { plot_->setVoltageShown(SeriesColumn::Ut, on); });
    plot_->setPointerListener([this](std::optional<std::size_t> index) { showReading(index); });

    connect(&record_, &SessionRecord::appended, this, [this] { plot_->refresh(); });
    connect(&record_, &SessionRecord::cleared, this, [this] {
        plot_->refresh();
        showReading(std::nullopt);
    });
    connect(&record_, &SessionRecord::pausedChanged, this, &CurveWindow::updatePauseButton);
    connect(&record_, &SessionRecord::fileChanged, this, &CurveWindow::updateFileName);
    connect(&record_, &SessionRecord::writeFailed, this,
            [this](const QString& text) { showMessage(text, true); });
    updatePauseButton();
    updateFileName();
}

CurveWindow::~CurveWindow() = default;

QPushButton* CurveWindow::addToolButton(const char* name, const QString& text) {
    const int left = toolsRight - (tools_ + 1) * toolWidth - tools_ * toolGap;
    if (left < toolsLeft) {
        throw std::logic_error("CurveWindow: no room left for another tool");
    }
    QPushButton* button = addButton(name, text);
    scaledLayout().add(button, {left, toolTop, toolWidth, toolHeight});
    scaledLayout().apply(zoom());
    button->show();
    setTabOrder(lastInFocus_, button);
    lastInFocus_ = button;
    ++tools_;
    return button;
}

void CurveWindow::setZoom(double zoom) {
    FixedWindow::setZoom(zoom);
    plot_->setZoom(zoom);
}

void CurveWindow::changeEvent(QEvent* event) {
    FixedWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        plot_->refresh(); // back from the taskbar: catch up
    }
}

void CurveWindow::togglePause() {
    record_.setPaused(!record_.paused());
}

void CurveWindow::updatePauseButton() {
    command1_->setText(record_.paused() ? tr("Reprendre") : tr("Pause"));
}

void CurveWindow::updateFileName() {
    const QString path = record_.fileName();
    label1_->setText(path.isEmpty() ? tr("Série non enregistrée")
                                    : tr("Fichier : %1").arg(QFileInfo(path).fileName()));
    label1_->setToolTip(QDir::toNativeSeparators(path));
    describe(label1_, tr("Fichier de la série"),
             path.isEmpty() ? tr("aucun") : QDir::toNativeSeparators(path));
}

bool CurveWindow::saveAs(QWidget* over) {
    QString path = QFileDialog::getSaveFileName(
        over ? over : this, tr("Enregistrer la série"),
        proposedPath(record_.fileName(), QStringLiteral("csv")), tr("Tableau CSV (*.csv)"));
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".csv");
    }
    if (!record_.saveAs(path)) {
        return false; // said by writeFailed
    }
    showMessage(QString(), false);
    return true;
}

bool CurveWindow::mayLoseSeries(const QString& discardText, QWidget* over) {
    if (record_.unsavedCount() == 0) {
        return true;
    }
    QWidget* parent = over ? over : this;
    switch (askAboutUnsavedSeries(parent, record_.series().size(), record_.unsavedCount(),
                                  discardText)) {
    case UnsavedSeriesAnswer::Save:
        return saveAs(parent);
    case UnsavedSeriesAnswer::Discard:
        return true;
    case UnsavedSeriesAnswer::Cancel:
        break;
    }
    return false;
}

void CurveWindow::clearSeries() {
    if (mayLoseSeries(tr("Effacer sans enregistrer"))) {
        record_.clear();
        showMessage(QString(), false);
    }
}

void CurveWindow::copyTable() {
    const SessionSeries& series = record_.series();
    QApplication::clipboard()->setText(
        QString::fromStdString(seriesTabText(series, record_.locale())));
    const QString count = QLocale(QLocale::French).toString(static_cast<qulonglong>(series.size()));
    showMessage((series.size() > 1 ? tr("%1 mesures copiées : elles se collent dans un tableur.")
                                   : tr("%1 mesure copiée : elle se colle dans un tableur."))
                    .arg(count),
                false);
}

void CurveWindow::saveImage() {
    QString filter = tr("Image PNG (*.png)");
    const QString svgFilter = tr("Dessin SVG (*.svg)");
    QString path =
        QFileDialog::getSaveFileName(this, tr("Enregistrer l'image de la courbe"),
                                     proposedPath(record_.fileName(), QStringLiteral("png")),
                                     filter + QStringLiteral(";;") + svgFilter, &filter);
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += filter == svgFilter ? QStringLiteral(".svg") : QStringLiteral(".png");
    }
    const QString failure = plot_->saveImage(path);
    showMessage(failure.isEmpty() ? tr("Image enregistrée : %1").arg(QDir::toNativeSeparators(path))
                                  : failure,
                !failure.isEmpty());
}

void CurveWindow::showMessage(const QString& text, bool failure) {
    QPalette colours = label3_->palette();
    colours.setColor(QPalette::WindowText, failure ? failureColour : QColor(Qt::black));
    label3_->setPalette(colours);
    label3_->setText(text);
}

QString CurveWindow::message() const {
    return label3_->text();
}

void CurveWindow::showReading(std::optional<std::size_t> index) {
    const SessionSeries& series = record_.series();
    if (!index || *index >= series.size()) {
        label2_->clear();
        return;
    }
    const NumberLocale& numbers = record_.locale();
    const Sample s = series.at(*index);
    QStringList parts{tr("t = %1 s")
                          .arg(QString::fromStdString(
                              numberText(static_cast<double>(s.millis) / 1000.0, numbers)))};
    switch (s.gap) {
    case Gap::None:
        parts << tr("T = %1").arg(QString::fromStdString(temperatureText(s.celsius, numbers)));
        break;
    case Gap::LowSupply:
        parts << tr("T : alimentation trop faible");
        break;
    case Gap::Failure:
        parts << tr("T : pas de mesure");
        break;
    }
    const auto volts = [&numbers](double v) {
        return std::isnan(v) ? QStringLiteral("–")
                             : QString::fromStdString(voltageText(v, numbers));
    };
    if (check1_->isChecked()) {
        parts << tr("Uth = %1").arg(volts(s.uth));
    }
    if (check2_->isChecked()) {
        parts << tr("Ut = %1").arg(volts(s.ut));
    }
    label2_->setText(parts.join(QStringLiteral("     ")));
}

} // namespace thermo
