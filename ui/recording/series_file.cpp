#include "ui/recording/series_file.h"

#include "core/series_text.h"
#include "storage/write_failure_text.h"
#include "ui/recording/save_target.h"

#include <QSaveFile>
#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
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

SeriesFile::SeriesFile(NumberLocale locale, QObject* parent)
    : QObject(parent), locale_(std::move(locale)) {
    flushTimer_.setInterval(flushIntervalMs);
    connect(&flushTimer_, &QTimer::timeout, this, &SeriesFile::writeNew);
}

SeriesFile::~SeriesFile() {
    // The program is ending: what can still be written is; nobody is left to be told.
    QSignalBlocker quiet(this);
    close();
}

void SeriesFile::setSeries(SessionSeries& series) {
    close();
    series_ = &series;
}

bool SeriesFile::saveAs(const QString& path) {
    if (const QString refusal = saveTargetRefusal(path); !refusal.isEmpty()) {
        return fail(refusal);
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        return fail(writeFailureText(path, out));
    }
    const std::string text = seriesCsv(*series_, locale_);
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
    series_->markWritten(series_->size());
    generation_ = series_->generation();
    path_ = path;
    error_.clear();
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        return fail(writeFailureText(path, file_));
    }
    goodSize_ = file_.size();
    struct stat status {};
    if (::fstat(file_.handle(), &status) != 0) {
        return fail(writeFailureText(path, systemFailureCause(errno)));
    }
    device_ = status.st_dev;
    inode_ = status.st_ino;
    flushTimer_.start();
    return true;
}

QString SeriesFile::lostFile() const {
    struct stat open {};
    if (::fstat(file_.handle(), &open) != 0 || open.st_nlink == 0) {
        return tr("le fichier a été supprimé ou son support retiré");
    }
    struct stat named {};
    if (::stat(QFile::encodeName(path_).constData(), &named) != 0) {
        return errno == ENOENT ? tr("le fichier a été supprimé ou déplacé")
                               : tr("son dossier n'est plus accessible (support retiré ?)");
    }
    if (named.st_dev != device_ || named.st_ino != inode_) {
        return tr("un autre fichier a pris sa place (fichier ou dossier déplacé)");
    }
    return {};
}

bool SeriesFile::writeNew() {
    if (!file_.isOpen()) {
        return true;
    }
    if (series_->generation() != generation_) {
        // The series was cleared under the file: its readings belong to a new series.
        stopAppending();
        return true;
    }
    const std::size_t from = series_->writtenCount();
    if (from == series_->size()) {
        return true;
    }
    if (const QString lost = lostFile(); !lost.isEmpty()) {
        stopAppending();
        return fail(writeFailureText(path_, lost));
    }
    const std::string lines = seriesCsvLines(*series_, from, locale_);
    if (!writeAll(file_, lines)) {
        const QString message = file_.error() == QFileDevice::NoError
                                    ? writeFailureText(path_, QStringLiteral("écriture incomplète"))
                                    : writeFailureText(path_, file_);
        // Cut a partial line off, so that the file ends on the last whole reading.
        file_.resize(goodSize_);
        stopAppending();
        return fail(message);
    }
    // On the disk, not only in the system's cache: a power cut then loses only what came after.
    if (::fdatasync(file_.handle()) != 0) {
        const QString message = writeFailureText(path_, systemFailureCause(errno));
        stopAppending();
        return fail(message);
    }
    goodSize_ += static_cast<qint64>(lines.size());
    series_->markWritten(series_->size());
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
