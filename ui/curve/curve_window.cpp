#include "ui/curve/curve_window.h"

#include "core/number_text.h"
#include "core/series_text.h"
#include "ui/curve/curve_plot_view.h"
#include "ui/recording/session_record.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <cmath>
#include <vector>

namespace thermo {

namespace {

// The window's first size, and room for the plot to be read from afar.
constexpr QSize sizeAt100(925, 568);
constexpr QSize smallestPlot(400, 250);

struct Button {
    const char* name;
    const char* text;
    const char* spoken; // accessible name
    const char* description;
};
const Button buttonTable[] = {
    {"pauseButton", "Pause", "Pause",
     "Suspend l'enregistrement des mesures, ou le reprend ; une pause laisse un trou dans la "
     "courbe"},
    {"saveButton", "Enregistrer…", "Enregistrer",
     "Enregistre la série en cours dans un fichier CSV, puis y ajoute chaque nouvelle mesure"},
    {"copyButton", "Copier", "Copier",
     "Copie le tableau des mesures, à coller dans un tableur ou un logiciel de modélisation"},
    {"imageButton", "Image…", "Image", "Enregistre la courbe en image PNG ou SVG"},
    {"showAllButton", "Tout voir", "Tout voir",
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
    : LaidOutWindow("Courbe", QStringLiteral("Courbe de température"), sizeAt100,
                    Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint),
      record_(record), plot_(makeCurvePlot(record.series(), this)) {
    plot_->widget()->setObjectName(QStringLiteral("plot"));
    plot_->widget()->setMinimumSize(smallestPlot);
    plot_->widget()->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    describe(plot_->widget(), tr("Courbe de température"),
             tr("La température mesurée depuis le début de la série, en fonction du temps. La "
                "molette et un glisser changent l'intervalle de temps montré."));

    std::vector<QPushButton*> buttons;
    for (const Button& b : buttonTable) {
        buttons.push_back(makeButton(b.name, QString::fromUtf8(b.text)));
        describe(buttons.back(), QString::fromUtf8(b.spoken), QString::fromUtf8(b.description));
    }
    pauseButton_ = buttons[0];
    QPushButton* showAllButton = buttons[4];

    uthCheck_ = new QCheckBox(tr("Uth"), this);
    uthCheck_->setObjectName(QStringLiteral("uthCheck"));
    utCheck_ = new QCheckBox(tr("Ut"), this);
    utCheck_->setObjectName(QStringLiteral("utCheck"));
    describe(uthCheck_, tr("Montrer Uth"),
             tr("Ajoute la tension aux bornes de la thermistance, en volts, sur l'axe de droite"));
    describe(utCheck_, tr("Montrer Ut"),
             tr("Ajoute la tension d'alimentation, en volts, sur l'axe de droite"));

    fileLabel_ = makeLabel("fileLabel", QString());
    fileLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    pointerLabel_ = makeLabel("pointerLabel", QString());
    messageLabel_ = makeLabel("messageLabel", QString(), true);
    messageLabel_->setWordWrap(true);
    describe(pointerLabel_, tr("Mesure sous le pointeur"),
             tr("Temps et température du point visé"));
    describe(messageLabel_, tr("Message"), tr("Ce qui s'est passé en enregistrant ou en copiant"));

    auto* actions = new QHBoxLayout;
    for (std::size_t i = 0; i < 4; ++i) {
        actions->addWidget(buttons[i]);
    }
    actions->addStretch(1);
    actions->addWidget(fileLabel_);
    auto* view = new QHBoxLayout;
    view->addWidget(uthCheck_);
    view->addWidget(utCheck_);
    view->addWidget(showAllButton);
    view->addWidget(pointerLabel_, 1);
    tools_ = new QHBoxLayout;
    view->addLayout(tools_);
    auto* window = new QVBoxLayout(this);
    window->addLayout(actions);
    plotRow_ = new QHBoxLayout;
    plotRow_->addWidget(plot_->widget(), 1);
    window->addLayout(plotRow_, 1);
    window->addLayout(view);
    window->addWidget(messageLabel_);
    showMessage(QString(), false);

    QWidget* order[] = {buttons[0], buttons[1], buttons[2], buttons[3],
                        uthCheck_,  utCheck_,   showAllButton};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    lastInFocus_ = showAllButton;

    connect(pauseButton_, &QPushButton::clicked, this, &CurveWindow::togglePause);
    connect(buttons[1], &QPushButton::clicked, this, [this] { saveAs(); });
    connect(buttons[2], &QPushButton::clicked, this, &CurveWindow::copyTable);
    connect(buttons[3], &QPushButton::clicked, this, &CurveWindow::saveImage);
    connect(showAllButton, &QPushButton::clicked, this, [this] { plot_->showAll(); });
    connect(uthCheck_, &QCheckBox::toggled, this,
            [this](bool on) { plot_->setVoltageShown(SeriesColumn::Uth, on); });
    connect(utCheck_, &QCheckBox::toggled, this,
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
    setZoom(1.0);
}

CurveWindow::~CurveWindow() = default;

void CurveWindow::addBesidePlot(QWidget* widget) {
    plotRow_->addWidget(widget);
}

QPushButton* CurveWindow::addToolButton(const char* name, const QString& text) {
    QPushButton* button = makeButton(name, text);
    tools_->addWidget(button);
    setTabOrder(lastInFocus_, button);
    lastInFocus_ = button;
    return button;
}

void CurveWindow::setZoom(double zoom) {
    LaidOutWindow::setZoom(zoom);
    plot_->setZoom(zoom);
}

// Two lines for a message, shown or not, so that the plot does not jump when one comes.
void CurveWindow::fitToType() {
    messageLabel_->setMinimumHeight(2 * QFontMetrics(messageLabel_->font()).lineSpacing());
}

void CurveWindow::changeEvent(QEvent* event) {
    LaidOutWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        plot_->refresh(); // back from the taskbar: catch up
    }
}

void CurveWindow::togglePause() {
    record_.setPaused(!record_.paused());
}

void CurveWindow::updatePauseButton() {
    pauseButton_->setText(record_.paused() ? tr("Reprendre") : tr("Pause"));
}

void CurveWindow::updateFileName() {
    const QString path = record_.fileName();
    fileLabel_->setText(path.isEmpty() ? tr("Pas de fichier CSV")
                                       : tr("Fichier : %1").arg(QFileInfo(path).fileName()));
    fileLabel_->setToolTip(QDir::toNativeSeparators(path));
    describe(fileLabel_, tr("Fichier de la série"),
             path.isEmpty() ? tr("aucun") : QDir::toNativeSeparators(path));
}

bool CurveWindow::saveAs(QWidget* over) {
    QString path = QFileDialog::getSaveFileName(
        over ? over : this, tr("Enregistrer la série en cours, tenue à jour"),
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
    QPalette colours = messageLabel_->palette();
    colours.setColor(QPalette::WindowText, failure ? failureColour : QColor(Qt::black));
    messageLabel_->setPalette(colours);
    messageLabel_->setText(text);
}

QString CurveWindow::message() const {
    return messageLabel_->text();
}

void CurveWindow::showReading(std::optional<std::size_t> index) {
    const SessionSeries& series = record_.series();
    if (!index || *index >= series.size()) {
        pointerLabel_->clear();
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
    if (uthCheck_->isChecked()) {
        parts << tr("Uth = %1").arg(volts(s.uth));
    }
    if (utCheck_->isChecked()) {
        parts << tr("Ut = %1").arg(volts(s.ut));
    }
    pointerLabel_->setText(parts.join(QStringLiteral("     ")));
}

} // namespace thermo
