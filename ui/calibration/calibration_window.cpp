#include "ui/calibration/calibration_window.h"

#include "core/code_conversion.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "ui/layout/fonts.h"
#include "ui/parameters/parametres.h"
#include "ui/recording/user_number_locale.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>
#include <iterator>

namespace thermo {

namespace {

constexpr int clientWidth = 7200;
constexpr int clientHeight = 5280;

// The window's layout in twips; the controls are found by their object names.
constexpr FixedWindow::Placement placements[] = {
    {"Label3", {240, 120, 6720, 255}},     {"Label4", {240, 375, 6720, 255}},
    {"Label1", {240, 780, 2415, 255}},     {"Text1", {240, 1080, 975, 375}},
    {"Label2", {1275, 1140, 375, 255}},    {"Command1", {1800, 1080, 1215, 375}},
    {"Grid1", {240, 1620, 4455, 2655}},    {"Label5", {4920, 1620, 2040, 255}},
    {"Label6", {4920, 1980, 2040, 255}},   {"Label7", {4920, 2280, 2040, 255}},
    {"Command3", {4920, 2700, 2040, 375}}, {"Command2", {240, 4395, 1695, 375}},
    {"Label9", {240, 4905, 6720, 255}},    {"Command4", {5745, 4395, 1215, 375}},
};

// The table's columns and their widths in twips.
struct Column {
    const char* title;
    int width;
};
constexpr Column columns[] = {
    {"Référence (\u00B0C)", 1485}, {"Rth (\u03A9)", 1485}, {"Écart (\u00B0C)", 1425}};

// Room above and below a row's line of type.
constexpr int rowPaddingTwips = 90;

// Rth to the ohm and deviations to the hundredth of a degree: finer is noise. Deviations keep
// their zeros: "0,00" says how close the law comes, "0" would not.
constexpr int ohmDecimals = 0;
constexpr int deviationDecimals = 2;

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

CalibrationWindow::CalibrationWindow(parametres& dialog)
    : FixedWindow("etalonnage", QStringLiteral("Étalonnage de la thermistance"), clientWidth,
                  clientHeight),
      dialog_(dialog), locale_(userNumberLocale()) {
    const QFont regular = sansFont(8.25);
    const QFont bold = sansFont(8.25, true);
    QFont heading = bold;
    heading.setUnderline(true);

    addLabel("Label3",
             QStringLiteral("Placez la thermistance à une température connue (glace fondante, "
                            "pièce, eau tiède),"),
             regular);
    addLabel("Label4",
             QStringLiteral("tapez celle que lit le thermomètre de référence, puis appuyez sur "
                            "« Relever »."),
             regular);
    QLabel* label1 = addLabel("Label1", QStringLiteral("Température de référence"), bold);
    text1_ = new QLineEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setPalette(QPalette());
    label1->setBuddy(text1_);
    describe(text1_, tr("Température de référence"),
             tr("Température lue sur le thermomètre de référence, en degrés Celsius"));
    addLabel("Label2", QStringLiteral("\u00B0C"), bold);
    command1_ = addButton("Command1", QStringLiteral("Relever"));
    describe(command1_, tr("Relever"),
             tr("Ajoute un point : la température de référence et la résistance Rth moyenne de "
                "la dernière seconde"));

    grid1_ = new QTableWidget(0, static_cast<int>(std::size(columns)), this);
    grid1_->setObjectName(QStringLiteral("Grid1"));
    grid1_->setPalette(QPalette());
    QStringList titles;
    for (const Column& column : columns) {
        titles << QString::fromUtf8(column.title);
    }
    grid1_->setHorizontalHeaderLabels(titles);
    grid1_->verticalHeader()->hide();
    grid1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid1_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid1_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid1_->setTabKeyNavigation(false);
    describe(grid1_, tr("Points d'étalonnage"),
             tr("Un point par ligne : température de référence, résistance Rth de la "
                "thermistance et écart en degrés Celsius de la loi trouvée"));

    command2_ = addButton("Command2", QStringLiteral("Retirer le point"));
    describe(command2_, tr("Retirer le point"), tr("Retire le point choisi dans le tableau"));
    addLabel("Label5", QStringLiteral("Paramètres trouvés"), heading);
    label6_ = addLabel("Label6", {}, bold);
    label7_ = addLabel("Label7", {}, bold);
    command3_ = addButton("Command3", QStringLiteral("Utiliser ces valeurs"));
    describe(command3_, tr("Utiliser ces valeurs"),
             tr("Écrit A et B dans la fenêtre des paramètres, qu'il reste à valider"));
    message_ = addLabel("Label9", {}, regular, QColor(0xC0, 0x00, 0x00));
    command4_ = addButton("Command4", QStringLiteral("Fermer"));
    describe(command4_, tr("Fermer"), tr("Ferme l'assistant d'étalonnage"));

    place(placements);
    setZoom(1.0);

    setTabOrder(text1_, command1_);
    setTabOrder(command1_, grid1_);
    setTabOrder(grid1_, command2_);
    setTabOrder(command2_, command3_);
    setTabOrder(command3_, command4_);

    connect(command1_, &QPushButton::clicked, this, &CalibrationWindow::takePoint);
    connect(command2_, &QPushButton::clicked, this, &CalibrationWindow::removePoint);
    connect(command3_, &QPushButton::clicked, this, &CalibrationWindow::useValues);
    connect(command4_, &QPushButton::clicked, this, &QWidget::close);
    connect(grid1_, &QTableWidget::itemSelectionChanged, this,
            [this] { command2_->setEnabled(!grid1_->selectedItems().isEmpty()); });
    showPoints();
}

CalibrationWindow::~CalibrationWindow() = default;

void CalibrationWindow::addReading(const Reading& reading) {
    sampler_.add(reading);
}

void CalibrationWindow::takePoint() {
    try {
        const double celsius = parseReferenceCelsius(text1_->text().toStdString(), locale_);
        const double ohms =
            sampler_.meanOhms(Reading::Clock::now(), dialog_.seriesText().toStdString(), locale_);
        points_.push_back({celsius, ohms});
    } catch (const Failure& failure) {
        say(QString::fromUtf8(failure.what()));
        return;
    }
    say({});
    refit();
    showPoints();
    grid1_->selectRow(static_cast<int>(points_.size()) - 1);
}

void CalibrationWindow::removePoint() {
    const int row = grid1_->currentRow();
    if (row < 0 || row >= static_cast<int>(points_.size())) {
        return;
    }
    points_.erase(points_.begin() + row);
    say({});
    refit();
    showPoints();
}

void CalibrationWindow::useValues() {
    if (texts_) {
        dialog_.setThermistorTexts(text(texts_->a), text(texts_->b));
    }
}

void CalibrationWindow::refit() {
    fit_.reset();
    texts_.reset();
    if (points_.empty()) {
        return;
    }
    try {
        fit_ = fitBParameter(points_);
        texts_ = calibrationTexts(*fit_, locale_);
    } catch (const Failure& failure) {
        fit_.reset();
        say(QString::fromUtf8(failure.what()));
    }
}

void CalibrationWindow::showPoints() {
    grid1_->setRowCount(static_cast<int>(points_.size()));
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const std::string cells[] = {
            numberText(points_[i].celsius, locale_),
            numberText(roundHalfEven(points_[i].ohms, ohmDecimals), locale_),
            fit_ ? fixedText(fit_->deviationsCelsius[i], deviationDecimals, locale_)
                 : std::string()};
        for (int column = 0; column < static_cast<int>(std::size(cells)); ++column) {
            auto* item = new QTableWidgetItem(text(cells[column]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grid1_->setItem(static_cast<int>(i), column, item);
        }
    }
    const QString none = QStringLiteral("\u2014");
    label6_->setText(QStringLiteral("A = %1").arg(texts_ ? text(texts_->a) + " \u03A9" : none));
    label7_->setText(QStringLiteral("B = %1").arg(texts_ ? text(texts_->b) + " K" : none));
    command3_->setEnabled(texts_.has_value());
    command2_->setEnabled(!grid1_->selectedItems().isEmpty());
}

void CalibrationWindow::say(const QString& message) {
    message_->setText(message);
    message_->setAccessibleName(message);
}

void CalibrationWindow::setZoom(double zoom) {
    FixedWindow::setZoom(zoom);
    for (int column = 0; column < static_cast<int>(std::size(columns)); ++column) {
        grid1_->setColumnWidth(column, toPixels(columns[column].width, zoom));
    }
    const int rowHeight = QFontMetrics(grid1_->font()).height() + toPixels(rowPaddingTwips, zoom);
    grid1_->verticalHeader()->setMinimumSectionSize(rowHeight);
    grid1_->verticalHeader()->setDefaultSectionSize(rowHeight);
}

} // namespace thermo
