#pragma once

#include "core/number_locale.h"
#include "core/session_series.h"
#include "ui/layout/laid_out_window.h"

#include <QAbstractTableModel>

class QTableView;

namespace thermo {

class SessionRecord;

// The readings of a run as a table: t (s), T (°C), Uth (V), Ut (V), code EA0, read straight
// from the series (nothing copied), so that an 8-hour run of 288,000 rows scrolls as fast as
// a short one. Rows of the live run are added as they are measured.
class ReadingsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    ReadingsModel(const SessionSeries& series, NumberLocale locale, QObject* parent = nullptr);

    // Another run: the table starts over.
    void setSeries(const SessionSeries& series);
    // Rows measured since the last call.
    void catchUp();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The cells of rows [first, last] and columns [left, right] as tab-separated text, one
    // line a row, headed by the columns' names, numbers as the table shows them.
    QString tabText(int first, int last, int left, int right) const;

private:
    QString cell(std::size_t row, int column) const;

    const SessionSeries* series_;
    NumberLocale locale_;
    int rows_ = 0;
};

// The window "Tableau des mesures", beside the curve, on the selected run. Ctrl+C copies the
// cells chosen, to paste into a spreadsheet.
class ReadingsTable : public LaidOutWindow {
    Q_OBJECT
public:
    explicit ReadingsTable(SessionRecord& record);

    QTableView& view() noexcept { return *view_; }
    ReadingsModel& model() noexcept { return *model_; }
    // The chosen cells to the clipboard; their count.
    int copySelection();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followSelectedRun();
    void nameTitle();

    SessionRecord& record_;
    ReadingsModel* model_;
    QTableView* view_;
};

} // namespace thermo
