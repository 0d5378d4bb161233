#pragma once

#include "core/number_locale.h"
#include "core/session_series.h"

#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstddef>
#include <cstdint>

namespace thermo {

// The CSV file a series is saved to and kept up to date in. "Save as" writes the series so far
// through a temporary file renamed into place, so that an existing file is replaced whole or
// not at all; from then on the new readings are appended. A one-second timer calls writeNew(),
// which hands the new lines to the system and syncs them to the disk (fdatasync): a crash or a
// power cut loses at most the last second or two. Before each write the file is checked to be
// still the one saved (same device and inode, still linked in its folder): a file deleted,
// moved away or whose disk is gone is said at once rather than written into where nobody will
// find it. A failed write stops the appends, says why in French and leaves the series in
// memory.
class SeriesFile : public QObject {
    Q_OBJECT

public:
    // The series set must outlive this object, whose destructor writes what is pending.
    explicit SeriesFile(NumberLocale locale, QObject* parent = nullptr);
    // The series saved and appended from now on; the file, if any, is closed first.
    void setSeries(SessionSeries& series);
    ~SeriesFile() override;

    // Writes the whole series to path and appends to it from now on, in place of any file
    // appended to before. On failure nothing changes but errorMessage().
    bool saveAs(const QString& path);
    // Appends the readings not yet in the file. False, with the file closed, when the write
    // fails; true when there was nothing to do.
    bool writeNew();
    // Appends what is pending and stops appending (a new series, the end of the program).
    bool close();

    bool isOpen() const { return file_.isOpen(); }
    // The file appended to, or the last one when the appends have stopped.
    QString fileName() const { return path_; }
    // The last failure in French; empty when the last save or append went well.
    QString errorMessage() const { return error_; }
    // Readings of the series that are in no file.
    std::size_t unwrittenCount() const { return series_->unwrittenCount(); }

signals:
    void writeFailed(const QString& message);

private:
    void stopAppending();
    bool fail(const QString& message);
    // Empty while the open file is still the one saved at path_; else what became of it.
    QString lostFile() const;

    SessionSeries* series_ = nullptr;
    NumberLocale locale_;
    QFile file_;
    QString path_;
    QString error_;
    qint64 goodSize_ = 0; // bytes of whole lines in the file
    quint64 device_ = 0;  // the file's identity when saved
    quint64 inode_ = 0;
    std::uint64_t generation_ = 0;
    QTimer flushTimer_;
};

} // namespace thermo
