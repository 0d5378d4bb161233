#include "ui/seance/run_exports.h"

#include "core/series_text.h"
#include "ui/curve/xlsx_entry.h"
#include "ui/recording/run.h"
#include "ui/recording/save_target.h"
#include "storage/write_failure_text.h"

#include <QSaveFile>

namespace thermo {

QString exportCsv(const SessionSeries& series, CsvForm form, const QString& path) {
    if (const QString refusal = saveTargetRefusal(path); !refusal.isEmpty()) {
        return refusal;
    }
    const std::string text =
        seriesCsv(series, NumberLocale{form == CsvForm::French ? "," : "."});
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size())) {
        const QString message = writeFailureText(path, out);
        out.cancelWriting();
        return message;
    }
    return out.commit() ? QString() : writeFailureText(path, out);
}

QString exportXlsx(const std::vector<const Run*>& runs, const QString& path) {
    if (const QString refusal = saveTargetRefusal(path); !refusal.isEmpty()) {
        return refusal;
    }
    return xlsxWriter()(runs, path);
}

} // namespace thermo
