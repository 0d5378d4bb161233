#include "ui/recording/seance_file.h"

#include "core/failure.h"
#include "ui/recording/reading_blocks.h"
#include "ui/recording/sqlite_statement.h"

#include <algorithm>
#include <unistd.h>
#include <utility>

namespace thermo {

namespace {

// "THMO": says a database is a séance of this program, whatever its name.
constexpr int applicationId = 0x54484D4F;

const char* const schema = R"(
CREATE TABLE seance (key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE runs (
    id INTEGER PRIMARY KEY, name TEXT NOT NULL, colour INTEGER NOT NULL,
    visible INTEGER NOT NULL, source TEXT NOT NULL, r TEXT NOT NULL, a TEXT NOT NULL,
    b TEXT NOT NULL, started TEXT NOT NULL);
CREATE TABLE readings (
    run INTEGER NOT NULL REFERENCES runs(id) ON DELETE CASCADE, first INTEGER NOT NULL,
    count INTEGER NOT NULL, millis BLOB NOT NULL, celsius BLOB NOT NULL, uth BLOB NOT NULL,
    ut BLOB NOT NULL, codes BLOB NOT NULL, flags BLOB NOT NULL, PRIMARY KEY (run, first))
    WITHOUT ROWID;
CREATE TABLE notes (
    id INTEGER PRIMARY KEY, run INTEGER NOT NULL REFERENCES runs(id) ON DELETE CASCADE,
    seconds REAL NOT NULL, text TEXT NOT NULL);
CREATE TABLE models (
    id INTEGER PRIMARY KEY, run INTEGER NOT NULL REFERENCES runs(id) ON DELETE CASCADE,
    kind TEXT NOT NULL, from_seconds REAL NOT NULL, to_seconds REAL NOT NULL,
    rms REAL NOT NULL, equation TEXT NOT NULL);
CREATE TABLE model_parameters (
    model INTEGER NOT NULL REFERENCES models(id) ON DELETE CASCADE, position INTEGER NOT NULL,
    name TEXT NOT NULL, value REAL NOT NULL, uncertainty REAL NOT NULL, unit TEXT NOT NULL,
    PRIMARY KEY (model, position));
)";

} // namespace

SeanceFile::SeanceFile(const std::string& path, Mode mode, bool durable) : path_(path) {
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
    case Mode::Read:
        flags |= SQLITE_OPEN_READONLY;
        break;
    case Mode::Write:
        flags |= SQLITE_OPEN_READWRITE;
        break;
    case Mode::Create:
        createEmpty(path, durable);
        flags |= SQLITE_OPEN_READWRITE;
        break;
    }
    const int opened = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (opened != SQLITE_OK) {
        const int code = db_ ? sqlite3_extended_errcode(db_) : opened;
        sqlite3_close(db_);
        db_ = nullptr;
        throw Failure(FailureKind::InvalidArgument, "Impossible d'ouvrir « " + path + " » : " +
                                                        sqliteCause(code));
    }
    sqlite3_extended_result_codes(db_, 1);
    try {
        // A file being written by another program waits a little rather than failing at once.
        sqlite3_busy_timeout(db_, 2000);
        exec("PRAGMA foreign_keys = ON");
        if (mode == Mode::Create) {
            exec(durable ? "PRAGMA journal_mode = WAL" : "PRAGMA journal_mode = DELETE");
            begin();
            exec(schema);
            exec(("PRAGMA application_id = " + std::to_string(applicationId)).c_str());
            exec(("PRAGMA user_version = " + std::to_string(formatVersion)).c_str());
            commit();
        } else {
            checkFormat();
        }
        if (mode != Mode::Read) {
            if (durable) {
                exec("PRAGMA journal_mode = WAL");
                // The journal only appends: a small cache is enough, and a lesson's program stays
                // light.
                exec("PRAGMA cache_size = -256");
            }
            // A commit returns once the disk has it: a power cut loses no committed reading.
            exec("PRAGMA synchronous = FULL");
        }
    } catch (...) {
        sqlite3_close(db_);
        if (mode == Mode::Create) {
            ::unlink(path.c_str()); // made here, half made: another try makes it anew
        }
        throw;
    }
}

SeanceFile::~SeanceFile() {
    sqlite3_close(db_);
}

void SeanceFile::fail(const std::string& doing) const {
    throw Failure(FailureKind::InvalidArgument, doing + " « " + path_ + " » : " +
                                                    sqliteCause(sqlite3_extended_errcode(db_)));
}

void SeanceFile::exec(const char* sql) const {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        fail("Impossible d'écrire");
    }
}

void SeanceFile::checkFormat() const {
    Statement id(db_, "PRAGMA application_id");
    if (id.step() != SQLITE_ROW) {
        fail("Impossible de lire");
    }
    if (id.integer(0) != applicationId) {
        throw Failure(FailureKind::InvalidArgument,
                      "Impossible de lire « " + path_ + " » : ce n'est pas une séance de " +
                          "Thermomètre");
    }
    Statement version(db_, "PRAGMA user_version");
    if (version.step() != SQLITE_ROW) {
        fail("Impossible de lire");
    }
    if (version.integer(0) > formatVersion) {
        std::string program;
        try {
            program = value("version");
        } catch (const Failure&) {
        }
        throw Failure(FailureKind::InvalidArgument,
                      "Impossible de lire « " + path_ + " » : cette séance a été enregistrée " +
                          "par une version plus récente de Thermomètre" +
                          (program.empty() ? std::string() : " (" + program + ")") +
                          " ; mettez le programme à jour pour l'ouvrir");
    }
}

void SeanceFile::begin() {
    exec("BEGIN IMMEDIATE");
}

void SeanceFile::commit() {
    exec("COMMIT");
}

void SeanceFile::rollback() noexcept {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void SeanceFile::setValue(const std::string& key, const std::string& value) {
    Statement s(db_, "INSERT OR REPLACE INTO seance (key, value) VALUES (?, ?)");
    if (s.bind(1, key).bind(2, value).step() != SQLITE_DONE) {
        fail("Impossible d'écrire");
    }
}

std::string SeanceFile::value(const std::string& key) const {
    Statement s(db_, "SELECT value FROM seance WHERE key = ?");
    const int step = s.bind(1, key).step();
    if (step == SQLITE_ROW) {
        return s.text(0);
    }
    if (step != SQLITE_DONE) {
        fail("Impossible de lire");
    }
    return {};
}

SeanceSummary SeanceFile::summary() const {
    SeanceSummary out{value("started"), value("state"), 0, 0};
    Statement runs(db_, "SELECT count(*) FROM runs");
    Statement readings(db_, "SELECT total(count) FROM readings");
    if (runs.step() != SQLITE_ROW || readings.step() != SQLITE_ROW) {
        fail("Impossible de lire");
    }
    out.runs = static_cast<std::size_t>(runs.integer(0));
    out.readings = static_cast<std::size_t>(std::max(readings.integer(0), std::int64_t{0}));
    return out;
}

std::int64_t SeanceFile::addRun(RunHeader header) {
    Statement s(db_, "INSERT INTO runs (name, colour, visible, source, r, a, b, started, id) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    if (header.id > 0) {
        s.bind(9, header.id); // an id given by the séance, kept
    }
    s.bind(1, header.name).bind(2, static_cast<std::int64_t>(header.colour));
    s.bind(3, std::int64_t{header.visible}).bind(4, header.source);
    s.bind(5, header.parameters.r).bind(6, header.parameters.a).bind(7, header.parameters.b);
    if (s.bind(8, header.started).step() != SQLITE_DONE) {
        fail("Impossible d'écrire");
    }
    return sqlite3_last_insert_rowid(db_);
}

void SeanceFile::updateRun(const RunHeader& header) {
    Statement s(db_, "UPDATE runs SET name = ?, colour = ?, visible = ? WHERE id = ?");
    s.bind(1, header.name).bind(2, static_cast<std::int64_t>(header.colour));
    if (s.bind(3, std::int64_t{header.visible}).bind(4, header.id).step() != SQLITE_DONE) {
        fail("Impossible d'écrire");
    }
}

void SeanceFile::removeRun(std::int64_t id) {
    Statement s(db_, "DELETE FROM runs WHERE id = ?");
    if (s.bind(1, id).step() != SQLITE_DONE) {
        fail("Impossible d'écrire");
    }
}

std::vector<RunHeader> SeanceFile::runs() const {
    Statement s(db_, "SELECT id, name, colour, visible, source, r, a, b, started FROM runs "
                     "ORDER BY id");
    std::vector<RunHeader> out;
    RowBudget budget(db_, path_);
    int step = 0;
    while ((step = s.step()) == SQLITE_ROW) {
        budget.spend();
        RunHeader h;
        h.id = s.integer(0);
        h.name = s.text(1);
        h.colour = static_cast<std::uint32_t>(s.integer(2)) & 0xFFFFFFu;
        h.visible = s.integer(3) != 0;
        h.source = s.text(4);
        h.parameters = {s.text(5), s.text(6), s.text(7)};
        h.started = s.text(8);
        out.push_back(std::move(h));
    }
    if (step != SQLITE_DONE) {
        fail("Impossible de lire");
    }
    return out;
}

void SeanceFile::appendReadings(std::int64_t run, std::size_t first,
                                std::span<const Sample> samples) {
    if (samples.empty()) {
        return;
    }
    const ReadingBlock block = encodeReadings(samples);
    Statement s(db_, "INSERT OR IGNORE INTO readings "
                     "(run, first, count, millis, celsius, uth, ut, codes, flags) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    s.bind(1, run).bind(2, static_cast<std::int64_t>(first));
    s.bind(3, static_cast<std::int64_t>(samples.size()));
    int column = 4;
    for (const std::string* bytes :
         {&block.millis, &block.celsius, &block.uth, &block.ut, &block.codes, &block.flags}) {
        s.bindBlob(column++, *bytes);
    }
    if (s.step() != SQLITE_DONE) {
        fail("Impossible d'écrire");
    }
}

void SeanceFile::appendReadings(std::int64_t run, const SessionSeries& series, std::size_t first,
                                std::size_t last) {
    constexpr std::size_t block = 4096;
    std::vector<Sample> samples;
    for (std::size_t from = first; from < last; from += block) {
        samples.clear();
        for (std::size_t i = from; i < std::min(last, from + block); ++i) {
            samples.push_back(series.at(i));
        }
        appendReadings(run, from, samples);
    }
}

SessionSeries SeanceFile::readings(std::int64_t run) const {
    Statement count(db_, "SELECT total(count) FROM readings WHERE run = ?");
    if (count.bind(1, run).step() != SQLITE_ROW) {
        fail("Impossible de lire");
    }
    RowBudget budget(db_, path_);
    Statement s(db_, "SELECT first, count, millis, celsius, uth, ut, codes, flags FROM readings "
                     "WHERE run = ? ORDER BY first");
    SessionSeries series;
    // A damaged count cannot ask for more readings than the file's bytes could hold.
    series.reserve(static_cast<std::size_t>(std::clamp<std::int64_t>(count.integer(0), 0,
                                                                      budget.rows())));
    s.bind(1, run);
    int step = 0;
    while ((step = s.step()) == SQLITE_ROW) {
        budget.spend();
        const std::int64_t first = s.integer(0);
        const std::int64_t n = s.integer(1);
        if (n < 0 || n > budget.rows()) {
            throw Failure(FailureKind::InvalidArgument,
                          "Impossible de lire « " + path_ + " » : le fichier est abîmé");
        }
        const auto samples = decodeReadings(static_cast<std::size_t>(n), s.blob(2), s.blob(3),
                                            s.blob(4), s.blob(5), s.blob(6), s.blob(7));
        if (!samples) {
            throw Failure(FailureKind::InvalidArgument,
                          "Impossible de lire « " + path_ + " » : le fichier est abîmé");
        }
        // A block written twice (a journal resumed) adds only what the series lacks.
        const auto have = static_cast<std::int64_t>(series.size());
        for (std::int64_t i = std::max<std::int64_t>(have - first, 0); i < n; ++i) {
            series.restore((*samples)[static_cast<std::size_t>(i)]);
        }
    }
    if (step != SQLITE_DONE) {
        fail("Impossible de lire");
    }
    return series;
}

} // namespace thermo
