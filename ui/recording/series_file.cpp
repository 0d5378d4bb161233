#include "ui/recording/series_file.h"

#include "core/series_text.h"
#include "storage/write_failure_text.h"

#include <QSaveFile>
#include <string>
#include <utility>

namespace thermo {

namespace {

constexpr int flushIntervalMs = 1000;

// Writes all of data unless the device refuses; a short count is retried so that a full disk
// shows as its error rather than as a silently shorter line.
bool writeAll(QFileDevice& device, const std::string& data) {
    qint64 done = 0;
    const auto size = static_cast<qint64>(data.size());
    while (done < size) {
        const qint64 n = device.write(data.data() + done, size - done);
        if (n <= 0) {
            return false;
        }
        done += n;
    }
    return true;
}

} // namespace

SeriesFile::SeriesFile(SessionSeries& series, NumberLocale locale, QObject* parent)
    : QObject(parent), series_(series), locale_(std::move(locale)) {
    flushTimer_.setInterval(flushIntervalMs);
    connect(&flushTimer_, &QTimer::timeout, this, &SeriesFile::writeNew);
}

SeriesFile::~SeriesFile() {
    // The program is ending: what can still be written is; nobody is left to be told.
    QSignalBlocker quiet(this);
    close();
}

bool SeriesFile::saveAs(const QString& path) {
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        return fail(writeFailureText(path, out));
    }
    const std::string text = seriesCsv(series_, locale_);
    if (!writeAll(out, text)) {
        const QString message = writeFailureText(path, out);
        out.cancelWriting();
        return fail(message);
    }
    if (!out.commit()) {
        return fail(writeFailureText(path, out));
    }

    // The new file holds every reading: nothing pending goes to the old one.
    stopAppending();
    series_.markWritten(series_.size());
    generation_ = series_.generation();
    path_ = path;
    error_.clear();
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        return fail(writeFailureText(path, file_));
    }
    goodSize_ = file_.size();
    flushTimer_.start();
    return true;
}

bool SeriesFile::writeNew() {
    if (!file_.isOpen()) {
        return true;
    }
    if (series_.generation() != generation_) {
        // The series was cleared under the file: its readings belong to a new series.
        stopAppending();
        return true;
    }
    const std::size_t from = series_.writtenCount();
    if (from == series_.size()) {
        return true;
    }
    const std::string lines = seriesCsvLines(series_, from, locale_);
    if (!writeAll(file_, lines)) {
        const QString message = file_.error() == QFileDevice::NoError
                                    ? writeFailureText(path_, QStringLiteral("écriture incomplète"))
                                    : writeFailureText(path_, file_);
        // Cut a partial line off, so that the file ends on the last whole reading.
        file_.resize(goodSize_);
        stopAppending();
        return fail(message);
    }
    goodSize_ += static_cast<qint64>(lines.size());
    series_.markWritten(series_.size());
    return true;
}

bool SeriesFile::close() {
    const bool written = writeNew();
    stopAppending();
    return written;
}

void SeriesFile::stopAppending() {
    file_.close();
    flushTimer_.stop();
}

bool SeriesFile::fail(const QString& message) {
    error_ = message;
    emit writeFailed(message);
    return false;
}

} // namespace thermo
