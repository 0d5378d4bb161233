#include "ui/calibration/calibration_window.h"

#include "core/code_conversion.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "ui/accessibility/announcer.h"
#include "ui/parameters/parametres.h"
#include "ui/recording/user_number_locale.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

namespace thermo {

namespace {

constexpr QSize sizeAt100(480, 352);

// The table's columns.
const char* const columnTitles[] = {"Référence (\u00B0C)", "Rth (\u03A9)", "Écart (\u00B0C)"};
constexpr int columnCount = static_cast<int>(std::size(columnTitles));
// Room above and below a row's line of type, at 100 %.
constexpr int rowPaddingPixels = 6;
// The reference field holds "-12,5" and more at ease.
constexpr int referenceCharacters = 8;

// Rth to the ohm and deviations to the hundredth of a degree: finer is noise. Deviations keep
// their zeros: "0,00" says how close the law comes, "0" would not.
constexpr int ohmDecimals = 0;
constexpr int deviationDecimals = 2;

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

CalibrationWindow::CalibrationWindow(Measurement& measurement, parametres& dialog)
    : LaidOutWindow("etalonnage", QStringLiteral("Étalonnage de la thermistance"), sizeAt100),
      dialog_(dialog), locale_(userNumberLocale()) {
    QLabel* placing = makeLabel(
        "placingLabel", QStringLiteral("Placez la thermistance à une température connue (glace "
                                       "fondante, pièce, eau tiède),"));
    QLabel* typing =
        makeLabel("typingLabel", QStringLiteral("tapez celle que lit le thermomètre de référence, "
                                                "puis appuyez sur « Relever »."));
    QLabel* referenceTitle =
        makeLabel("referenceTitle", QStringLiteral("Température de référence"), true);
    referenceField_ = new QLineEdit(this);
    referenceField_->setObjectName(QStringLiteral("referenceField"));
    referenceField_->setPalette(QPalette());
    referenceTitle->setBuddy(referenceField_);
    describe(referenceField_, tr("Température de référence"),
             tr("Température lue sur le thermomètre de référence, en degrés Celsius"));
    QLabel* unit = makeLabel("unitLabel", QStringLiteral("\u00B0C"), true);
    takeButton_ = makeButton("takeButton", QStringLiteral("Relever"));
    describe(takeButton_, tr("Relever"),
             tr("Ajoute un point : la température de référence et la résistance Rth moyenne de "
                "la dernière seconde"));

    pointsTable_ = new QTableWidget(0, columnCount, this);
    pointsTable_->setObjectName(QStringLiteral("pointsTable"));
    pointsTable_->setPalette(QPalette());
    QStringList titles;
    for (const char* title : columnTitles) {
        titles << QString::fromUtf8(title);
    }
    pointsTable_->setHorizontalHeaderLabels(titles);
    pointsTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    pointsTable_->verticalHeader()->hide();
    pointsTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pointsTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    pointsTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    pointsTable_->setTabKeyNavigation(false);
    describe(pointsTable_, tr("Points d'étalonnage"),
             tr("Un point par ligne : température de référence, résistance Rth de la "
                "thermistance et écart en degrés Celsius de la loi trouvée"));

    removeButton_ = makeButton("removeButton", QStringLiteral("Retirer le point"));
    describe(removeButton_, tr("Retirer le point"), tr("Retire le point choisi dans le tableau"));
    QLabel* found = makeLabel("foundTitle", QStringLiteral("Paramètres trouvés"), true);
    QFont underlined; // bold and underlined, in the window's family and size
    underlined.setBold(true);
    underlined.setUnderline(true);
    found->setFont(underlined);
    aLabel_ = makeLabel("aLabel", {}, true);
    bLabel_ = makeLabel("bLabel", {}, true);
    useButton_ = makeButton("useButton", QStringLiteral("Utiliser ces valeurs"));
    describe(useButton_, tr("Utiliser ces valeurs"),
             tr("Écrit A et B dans la fenêtre des paramètres, qu'il reste à valider"));
    messageLabel_ = makeLabel("messageLabel", {});
    QPalette red = messageLabel_->palette();
    red.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
    messageLabel_->setPalette(red);
    messageLabel_->setWordWrap(true);
    closeButton_ = makeButton("closeButton", QStringLiteral("Fermer"));
    describe(closeButton_, tr("Fermer"), tr("Ferme l'assistant d'étalonnage"));

    auto* reference = new QHBoxLayout;
    reference->addWidget(referenceField_);
    reference->addWidget(unit);
    reference->addSpacing(unit->sizeHint().width());
    reference->addWidget(takeButton_);
    reference->addStretch(1);
    auto* results = new QVBoxLayout;
    results->addWidget(found);
    results->addWidget(aLabel_);
    results->addWidget(bLabel_);
    results->addWidget(useButton_);
    results->addStretch(1);
    auto* points = new QHBoxLayout;
    points->addWidget(pointsTable_, 1);
    points->addLayout(results);
    auto* closing = new QHBoxLayout;
    closing->addWidget(removeButton_);
    closing->addStretch(1);
    closing->addWidget(closeButton_);
    auto* window = new QVBoxLayout(this);
    window->addWidget(placing);
    window->addWidget(typing);
    window->addWidget(referenceTitle);
    window->addLayout(reference);
    window->addLayout(points, 1);
    window->addLayout(closing);
    window->addWidget(messageLabel_);

    setTabOrder(referenceField_, takeButton_);
    setTabOrder(takeButton_, pointsTable_);
    setTabOrder(pointsTable_, removeButton_);
    setTabOrder(removeButton_, useButton_);
    setTabOrder(useButton_, closeButton_);

    connect(takeButton_, &QPushButton::clicked, this, &CalibrationWindow::takePoint);
    connect(removeButton_, &QPushButton::clicked, this, &CalibrationWindow::removePoint);
    connect(useButton_, &QPushButton::clicked, this, &CalibrationWindow::useValues);
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
    connect(&measurement, &Measurement::readingTaken, this, &CalibrationWindow::addReading);
    connect(pointsTable_, &QTableWidget::itemSelectionChanged, this,
            [this] { removeButton_->setEnabled(!pointsTable_->selectedItems().isEmpty()); });
    showPoints();
    setZoom(1.0);
}

CalibrationWindow::~CalibrationWindow() = default;

void CalibrationWindow::addReading(const Reading& reading) {
    sampler_.add(reading);
}

void CalibrationWindow::takePoint() {
    try {
        const double celsius =
            parseReferenceCelsius(referenceField_->text().toStdString(), locale_);
        const double ohms =
            sampler_.meanOhms(Reading::Clock::now(), dialog_.seriesText().toStdString(), locale_);
        points_.push_back({celsius, ohms});
    } catch (const Failure& failure) {
        say(QString::fromUtf8(failure.what()));
        announce(*this, messageLabel_->text());
        return;
    }
    say({});
    refit();
    showPoints();
    // Selected, not made current: a current cell would draw a screen reader's attention to
    // the table, away from "Relever" where the focus is.
    pointsTable_->selectionModel()->select(
        pointsTable_->model()->index(static_cast<int>(points_.size()) - 1, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const CalibrationPoint& point = points_.back();
    announceResult(tr("Point relevé à %1 °C, Rth vaut %2 ohms.")
                       .arg(text(numberText(point.celsius, locale_)),
                            text(numberText(roundHalfEven(point.ohms, ohmDecimals), locale_))));
}

void CalibrationWindow::removePoint() {
    const QModelIndexList selected = pointsTable_->selectionModel()->selectedRows();
    const int row = selected.isEmpty() ? -1 : selected.front().row();
    if (row < 0 || row >= static_cast<int>(points_.size())) {
        return;
    }
    points_.erase(points_.begin() + row);
    say({});
    refit();
    showPoints();
    announceResult(tr("Point retiré."));
}

// The student stays here; the dialog shows the values, which its Validation applies.
void CalibrationWindow::useValues() {
    if (texts_) {
        dialog_.setThermistorTexts(text(texts_->a), text(texts_->b));
        announce(*this, tr("A et B sont écrits dans la fenêtre « Paramètres de la CTN » : il "
                           "reste à les valider."));
    }
}

// What the points give now: A and B, or why there are none.
void CalibrationWindow::announceResult(const QString& done) {
    const QString result = texts_ ? tr("A = %1 Ω, B = %2 K.").arg(text(texts_->a), text(texts_->b))
                                  : messageLabel_->text();
    announce(*this, result.isEmpty() ? done : done + QLatin1Char(' ') + result);
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
    pointsTable_->setRowCount(static_cast<int>(points_.size()));
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const std::string cells[] = {
            numberText(points_[i].celsius, locale_),
            numberText(roundHalfEven(points_[i].ohms, ohmDecimals), locale_),
            fit_ ? fixedText(fit_->deviationsCelsius[i], deviationDecimals, locale_)
                 : std::string()};
        for (int column = 0; column < static_cast<int>(std::size(cells)); ++column) {
            auto* item = new QTableWidgetItem(text(cells[column]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            pointsTable_->setItem(static_cast<int>(i), column, item);
        }
    }
    const QString none = QStringLiteral("\u2014");
    aLabel_->setText(QStringLiteral("A = %1").arg(texts_ ? text(texts_->a) + " \u03A9" : none));
    bLabel_->setText(QStringLiteral("B = %1").arg(texts_ ? text(texts_->b) + " K" : none));
    useButton_->setEnabled(texts_.has_value());
    removeButton_->setEnabled(!pointsTable_->selectedItems().isEmpty());
}

void CalibrationWindow::say(const QString& message) {
    messageLabel_->setText(message);
    messageLabel_->setAccessibleName(message);
}

// The rows as high as their type with some room; the table wide enough for its titles, the
// reference field for a temperature, the message for the longest refusal.
void CalibrationWindow::fitToType() {
    const QFontMetrics metrics(font());
    const int rowHeight = metrics.height() + qRound(rowPaddingPixels * zoom());
    pointsTable_->verticalHeader()->setMinimumSectionSize(rowHeight);
    pointsTable_->verticalHeader()->setDefaultSectionSize(rowHeight);
    int titles = 2 * pointsTable_->frameWidth();
    for (const char* title : columnTitles) {
        titles += metrics.horizontalAdvance(QString::fromUtf8(title)) + 2 * metrics.height();
    }
    pointsTable_->setMinimumWidth(titles);
    pointsTable_->setMinimumHeight(pointsTable_->horizontalHeader()->sizeHint().height() +
                                   4 * rowHeight);
    referenceField_->setFixedWidth(
        metrics.horizontalAdvance(QLatin1Char('0')) * referenceCharacters + metrics.height());
    messageLabel_->setMinimumHeight(2 * metrics.lineSpacing());
}

} // namespace thermo
