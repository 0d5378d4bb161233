#include "ui/recording/session_record.h"

#include <utility>

namespace thermo {

SessionRecord::SessionRecord(NumberLocale locale, QObject* parent)
    : QObject(parent), locale_(std::move(locale)), file_(series_, locale_) {
    connect(&file_, &SeriesFile::writeFailed, this, [this](const QString& message) {
        emit writeFailed(message);
        if (!file_.isOpen()) {
            emit fileChanged(QString());
        }
    });
}

SessionRecord::~SessionRecord() = default;

bool SessionRecord::saveAs(const QString& path) {
    if (!file_.saveAs(path)) {
        return false;
    }
    emit fileChanged(path);
    return true;
}

QString SessionRecord::fileName() const {
    return file_.isOpen() ? file_.fileName() : QString();
}

void SessionRecord::setPaused(bool paused) {
    if (paused != series_.paused()) {
        series_.setPaused(paused);
        emit pausedChanged(paused);
    }
}

void SessionRecord::clear() {
    const bool hadFile = file_.isOpen();
    const bool wasPaused = series_.paused();
    file_.close();
    series_.clear(); // not paused any more
    emit cleared();
    if (wasPaused) {
        emit pausedChanged(false);
    }
    if (hadFile) {
        emit fileChanged(QString());
    }
}

void SessionRecord::take(const Reading& reading) {
    if (series_.append(reading)) {
        emit appended();
    }
}

} // namespace thermo
