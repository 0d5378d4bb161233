#pragma once

#include "core/number_locale.h"
#include "core/reading.h"
#include "core/session_series.h"
#include "ui/recording/series_file.h"

#include <QObject>
#include <QString>
#include <cstddef>

namespace thermo {

// The session's record: every reading from the first Validation on, whether or not the curve
// is ever looked at, and the CSV file it is kept in once the user (or --enregistrer) names
// one. The curve window works on it; the program asks about it before it ends.
class SessionRecord : public QObject {
    Q_OBJECT
public:
    explicit SessionRecord(NumberLocale locale, QObject* parent = nullptr);
    ~SessionRecord() override;

    const SessionSeries& series() const noexcept { return series_; }
    const NumberLocale& locale() const noexcept { return locale_; }

    // Writes the series so far to path and appends every new reading to it. On failure the
    // series stays as it was, writeFailed says why and the file appended to before, if any,
    // keeps being appended to.
    bool saveAs(const QString& path);
    // The last failure to write, in French; empty after a success.
    QString errorMessage() const { return file_.errorMessage(); }
    // The file being appended to; empty when there is none.
    QString fileName() const;
    // Readings in no file.
    std::size_t unsavedCount() const noexcept { return series_.unwrittenCount(); }

    // While paused, readings are not kept; the next one after resuming starts a new segment.
    void setPaused(bool paused);
    bool paused() const noexcept { return series_.paused(); }

    // A new series. The file gets what it still lacks of the old one and is appended to no
    // more.
    void clear();

public slots:
    void take(const thermo::Reading& reading);

signals:
    // One reading kept.
    void appended();
    void cleared();
    void pausedChanged(bool paused);
    // A file is now appended to, or (empty) none any more.
    void fileChanged(const QString& path);
    void writeFailed(const QString& message);

private:
    NumberLocale locale_;
    SessionSeries series_; // outlives file_, which writes what is pending when destroyed
    SeriesFile file_;
};

} // namespace thermo
