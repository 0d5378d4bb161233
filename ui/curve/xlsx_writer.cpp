#include "ui/curve/xlsx_entry.h"

#include "core/code_conversion.h"
#include "ui/recording/run.h"
#include "storage/write_failure_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <xlsxwriter.h>

namespace thermo {

namespace {

constexpr int longestSheetName = 31;

// A sheet name Excel accepts: no []:*?/\, at most 31 characters, unique in the workbook.
QString sheetName(const QString& name, QSet<QString>& taken) {
    QString clean;
    for (const QChar c : name) {
        clean += QStringLiteral("[]:*?/\\").contains(c) ? QLatin1Char('_') : c;
    }
    clean = clean.trimmed().left(longestSheetName);
    if (clean.isEmpty()) {
        clean = QObject::tr("Série");
    }
    QString unique = clean;
    for (int n = 2; taken.contains(unique.toLower()); ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        unique = clean.left(longestSheetName - suffix.size()) + suffix;
    }
    taken.insert(unique.toLower());
    return unique;
}

void writeNumber(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t column, double x) {
    if (std::isfinite(x)) {
        worksheet_write_number(sheet, row, column, x, nullptr);
    }
}

} // namespace

QString writeXlsx(const std::vector<const Run*>& runs, const QString& path) {
    const QFileInfo target(path);
    const QString temporary = target.absoluteDir().filePath(
        QStringLiteral(".%1.%2.tmp").arg(target.fileName()).arg(QCoreApplication::applicationPid()));
    lxw_workbook* book = workbook_new(QFile::encodeName(temporary).constData());
    if (book == nullptr) {
        return writeFailureText(path, QObject::tr("mémoire insuffisante"));
    }
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    const char* headers[] = {"t (s)", "T (°C)", "Uth (V)", "Ut (V)", "code EA0"};
    QSet<QString> taken;
    for (const Run* run : runs) {
        lxw_worksheet* sheet =
            workbook_add_worksheet(book, sheetName(run->name, taken).toUtf8().constData());
        for (lxw_col_t c = 0; c < 5; ++c) {
            worksheet_write_string(sheet, 0, c, headers[c], bold);
        }
        worksheet_freeze_panes(sheet, 1, 0);
        const SessionSeries& series = *run->series;
        const auto celsius = series.column(SeriesColumn::Temperature);
        const auto uth = series.column(SeriesColumn::Uth);
        const auto ut = series.column(SeriesColumn::Ut);
        for (std::size_t i = 0; i < series.size(); ++i) {
            const auto row = static_cast<lxw_row_t>(i + 1);
            writeNumber(sheet, row, 0, static_cast<double>(series.millis()[i]) / 1000.0);
            if (std::isfinite(celsius[i])) {
                writeNumber(sheet, row, 1, roundHalfEven(celsius[i], temperatureDecimals));
            }
            writeNumber(sheet, row, 2, uth[i]);
            writeNumber(sheet, row, 3, ut[i]);
            if (const auto code = series.at(i).code) {
                writeNumber(sheet, row, 4, *code);
            }
        }
    }
    const lxw_error closed = workbook_close(book);
    if (closed != LXW_NO_ERROR) {
        QFile::remove(temporary);
        return writeFailureText(path, QString::fromUtf8(lxw_strerror(closed)));
    }
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        QFile::remove(temporary);
        return writeFailureText(path, systemFailureCause(error));
    }
    return {};
}

} // namespace thermo
