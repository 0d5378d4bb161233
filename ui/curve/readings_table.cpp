#include "ui/curve/readings_table.h"

#include "core/code_conversion.h"
#include "core/number_text.h"
#include "ui/recording/session_record.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>
#include <QVBoxLayout>
#include <climits>
#include <cmath>

namespace thermo {

namespace {

const char* const columnNames[] = {"t (s)", "T (°C)", "Uth (V)", "Ut (V)", "code EA0"};
constexpr int columns = 5;
constexpr QSize sizeAt100(460, 560);

} // namespace

ReadingsModel::ReadingsModel(const SessionSeries& series, NumberLocale locale, QObject* parent)
    : QAbstractTableModel(parent), series_(&series), locale_(std::move(locale)),
      rows_(static_cast<int>(std::min<std::size_t>(series.size(), INT_MAX))) {}

void ReadingsModel::setSeries(const SessionSeries& series) {
    beginResetModel();
    series_ = &series;
    rows_ = static_cast<int>(std::min<std::size_t>(series.size(), INT_MAX));
    endResetModel();
}

void ReadingsModel::catchUp() {
    const int now = static_cast<int>(std::min<std::size_t>(series_->size(), INT_MAX));
    if (now > rows_) {
        beginInsertRows({}, rows_, now - 1);
        rows_ = now;
        endInsertRows();
    }
}

int ReadingsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int ReadingsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns;
}

QString ReadingsModel::cell(std::size_t row, int column) const {
    const auto number = [this](double x) {
        return std::isfinite(x) ? QString::fromStdString(numberText(x, locale_)) : QString();
    };
    switch (column) {
    case 0:
        return number(static_cast<double>(series_->millis()[row]) / 1000.0);
    case 1: {
        const double c = series_->column(SeriesColumn::Temperature)[row];
        return std::isfinite(c) ? number(roundHalfEven(c, temperatureDecimals)) : QString();
    }
    case 2:
        return number(series_->column(SeriesColumn::Uth)[row]);
    case 3:
        return number(series_->column(SeriesColumn::Ut)[row]);
    default: {
        const Sample s = series_->at(row);
        return s.code ? QString::number(*s.code) : QString();
    }
    }
}

QVariant ReadingsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        return cell(static_cast<std::size_t>(index.row()), index.column());
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant ReadingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Horizontal) {
        return section >= 0 && section < columns ? QString::fromUtf8(columnNames[section])
                                                 : QVariant();
    }
    return section + 1;
}

QString ReadingsModel::tabText(int first, int last, int left, int right) const {
    QStringList lines;
    QStringList header;
    for (int c = left; c <= right; ++c) {
        header << QString::fromUtf8(columnNames[c]);
    }
    lines << header.join(QLatin1Char('\t'));
    for (int r = first; r <= last && r < rows_; ++r) {
        QStringList row;
        for (int c = left; c <= right; ++c) {
            row << cell(static_cast<std::size_t>(r), c);
        }
        lines << row.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

ReadingsTable::ReadingsTable(SessionRecord& record)
    : LaidOutWindow("Tableau", tr("Tableau des mesures"), sizeAt100,
                    Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint),
      record_(record), model_(new ReadingsModel(record.series(), record.locale(), this)),
      view_(new QTableView(this)) {
    view_->setObjectName(QStringLiteral("readingsView"));
    view_->setModel(model_);
    // Every row the same height, known without asking the rows: scrolling 288,000 rows costs
    // what scrolling a screenful does.
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
    view_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    view_->setAlternatingRowColors(true);
    view_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    describe(view_, tr("Tableau des mesures"),
             tr("Une ligne par mesure de la série choisie ; Ctrl+C copie les cellules choisies"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
    connect(&record_, &SessionRecord::appended, this, [this] {
        if (&record_.series() == &record_.liveSeries()) {
            model_->catchUp();
        }
    });
    connect(&record_, &SessionRecord::cleared, this, &ReadingsTable::followSelectedRun);
    connect(&record_, &SessionRecord::runChanged, this, &ReadingsTable::nameTitle);
    view_->installEventFilter(this);
    followSelectedRun();
    setZoom(1.0);
}

void ReadingsTable::followSelectedRun() {
    nameTitle();
    model_->setSeries(record_.series());
}

void ReadingsTable::nameTitle() {
    setWindowTitle(tr("Tableau des mesures : %1").arg(record_.run(record_.selectedIndex()).name));
}

int ReadingsTable::copySelection() {
    const QItemSelection chosen = view_->selectionModel()->selection();
    if (chosen.isEmpty()) {
        return 0;
    }
    const QItemSelectionRange range = chosen.first();
    QApplication::clipboard()->setText(
        model_->tabText(range.top(), range.bottom(), range.left(), range.right()));
    return range.height();
}

// Before the view, which would copy the current cell alone.
bool ReadingsTable::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        copySelection();
        return true;
    }
    return LaidOutWindow::eventFilter(watched, event);
}

} // namespace thermo
