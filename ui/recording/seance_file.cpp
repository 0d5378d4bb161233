#include "ui/recording/seance_file.h"

#include "core/failure.h"
#include "ui/recording/reading_blocks.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sqlite3.h>
#include <string_view>
#include <unistd.h>
#include <utility>

namespace thermo {

namespace {

// "THMO": says a database is a séance of this program, whatever its name.
constexpr int applicationId = 0x54484D4F;
constexpr double missing = std::numeric_limits<double>::quiet_NaN();

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

// A prepared statement, finalized on every path.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
            stmt_ = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    Statement& bind(int i, std::int64_t v) {
        sqlite3_bind_int64(stmt_, i, v);
        return *this;
    }
    Statement& bind(int i, double v) {
        if (std::isnan(v)) {
            sqlite3_bind_null(stmt_, i);
        } else {
            sqlite3_bind_double(stmt_, i, v);
        }
        return *this;
    }
    Statement& bindBlob(int i, const std::string& v) {
        sqlite3_bind_blob(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
        return *this;
    }
    Statement& bind(int i, const std::string& v) {
        sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step() { return stmt_ ? sqlite3_step(stmt_) : sqlite3_errcode(db_); }
    void reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    std::int64_t integer(int i) const { return sqlite3_column_int64(stmt_, i); }
    double real(int i) const {
        return sqlite3_column_type(stmt_, i) == SQLITE_NULL ? missing
                                                             : sqlite3_column_double(stmt_, i);
    }
    std::string_view blob(int i) const {
        const void* p = sqlite3_column_blob(stmt_, i);
        return p ? std::string_view(static_cast<const char*>(p),
                                    static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i)))
                 : std::string_view();
    }
    std::string text(int i) const {
        const auto* p = sqlite3_column_text(stmt_, i);
        return p ? std::string(reinterpret_cast<const char*>(p),
                               static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i)))
                 : std::string();
    }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// The cause in French of an SQLite error code.
std::string cause(int code) {
    switch (code & 0xFF) {
    case SQLITE_NOTADB:
        return "ce n'est pas une séance de Thermomètre";
    case SQLITE_CORRUPT:
        return "le fichier est abîmé";
    case SQLITE_FULL:
        return "le disque est plein";
    case SQLITE_READONLY:
        return "le fichier ou son dossier est en lecture seule";
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return "permission refusée";
    case SQLITE_CANTOPEN:
        return "fichier ou dossier introuvable, ou permission refusée";
    case SQLITE_IOERR:
        return "erreur d'entrée-sortie (support retiré ?)";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "le fichier est occupé par un autre programme";
    case SQLITE_NOMEM:
        return "mémoire insuffisante";
    case SQLITE_TOOBIG:
        return "donnée trop grande";
    default:
        return "le fichier n'a pas la forme d'une séance (" + std::string(sqlite3_errstr(code)) +
               ")";
    }
}

std::string systemCause(int error) {
    switch (error) {
    case EEXIST:
        return "le fichier existe déjà";
    case EACCES:
    case EPERM:
        return "permission refusée";
    case ENOENT:
        return "dossier introuvable";
    case EROFS:
        return "le support est en lecture seule";
    case ENOSPC:
        return "le disque est plein";
    case ELOOP:
        return "c'est un lien symbolique";
    default:
        return std::strerror(error);
    }
}

// Makes the file `path`, which must not exist yet: SQLite alone would open an existing one.
// The journal is the user's alone; a saved séance follows the umask like any document.
void createEmpty(const std::string& path, bool privateFile) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                          privateFile ? 0600 : 0666);
    if (fd < 0) {
        const int error = errno;
        throw Failure(FailureKind::InvalidArgument,
                      "Impossible de créer « " + path + " » : " + systemCause(error));
    }
    ::close(fd);
}



} // namespace

// No table of a file holds more rows than its bytes allow: a damaged file whose pages loop
// back on themselves is refused rather than read forever.
class SeanceFile::RowBudget {
public:
    explicit RowBudget(const SeanceFile& file) : file_(file) {
        Statement size(file.db_,
                       "SELECT page_count * page_size FROM pragma_page_count, pragma_page_size");
        if (size.step() != SQLITE_ROW) {
            file.fail("Impossible de lire");
        }
        left_ = std::max<std::int64_t>(size.integer(0) / leastBytesPerRow, 1);
        rows_ = left_;
    }
    std::int64_t rows() const noexcept { return rows_; }
    void spend() {
        if (--left_ < 0) {
            throw Failure(FailureKind::InvalidArgument,
                          "Impossible de lire « " + file_.path_ + " » : le fichier est abîmé");
        }
    }

private:
    static constexpr std::int64_t leastBytesPerRow = 4;
    const SeanceFile& file_;
    std::int64_t left_ = 0;
    std::int64_t rows_ = 0;
};

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
                                                        cause(code));
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
                                                    cause(sqlite3_extended_errcode(db_)));
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
    RowBudget budget(*this);
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
    RowBudget budget(*this);
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

void SeanceFile::saveNotes(std::int64_t run, const std::vector<RunNote>& notes) {
    Statement clear(db_, "DELETE FROM notes WHERE run = ?");
    if (clear.bind(1, run).step() != SQLITE_DONE) {
        fail("Impossible d'écrire");
    }
    Statement s(db_, "INSERT INTO notes (run, seconds, text) VALUES (?, ?, ?)");
    for (const RunNote& note : notes) {
        if (s.bind(1, run).bind(2, note.seconds).bind(3, note.text).step() != SQLITE_DONE) {
            fail("Impossible d'écrire");
        }
        s.reset();
    }
}

std::vector<RunNote> SeanceFile::notes(std::int64_t run) const {
    Statement s(db_, "SELECT seconds, text FROM notes WHERE run = ? ORDER BY seconds, id");
    std::vector<RunNote> out;
    RowBudget budget(*this);
    s.bind(1, run);
    int step = 0;
    while ((step = s.step()) == SQLITE_ROW) {
        budget.spend();
        out.push_back({s.real(0), s.text(1)});
    }
    if (step != SQLITE_DONE) {
        fail("Impossible de lire");
    }
    return out;
}

std::int64_t SeanceFile::addModel(std::int64_t run, const RunModel& model) {
    Statement s(db_, "INSERT INTO models (run, kind, from_seconds, to_seconds, rms, equation, id) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?)");
    if (model.id > 0) {
        s.bind(7, model.id); // an id given by the séance, kept
    }
    s.bind(1, run).bind(2, model.kind).bind(3, model.fromSeconds).bind(4, model.toSeconds);
    if (s.bind(5, model.rmsDeviation).bind(6, model.equation).step() != SQLITE_DONE) {
        fail("Impossible d'écrire");
    }
    const std::int64_t id = sqlite3_last_insert_rowid(db_);
    Statement p(db_, "INSERT INTO model_parameters (model, position, name, value, uncertainty, "
                     "unit) VALUES (?, ?, ?, ?, ?, ?)");
    std::int64_t position = 0;
    for (const ModelParameter& parameter : model.parameters) {
        p.bind(1, id).bind(2, position++).bind(3, parameter.name).bind(4, parameter.value);
        if (p.bind(5, parameter.uncertainty).bind(6, parameter.unit).step() != SQLITE_DONE) {
            fail("Impossible d'écrire");
        }
        p.reset();
    }
    return id;
}

void SeanceFile::removeModel(std::int64_t model) {
    Statement s(db_, "DELETE FROM models WHERE id = ?");
    if (s.bind(1, model).step() != SQLITE_DONE) {
        fail("Impossible d'écrire");
    }
}

std::vector<RunModel> SeanceFile::models(std::int64_t run) const {
    Statement s(db_, "SELECT id, kind, from_seconds, to_seconds, rms, equation FROM models "
                     "WHERE run = ? ORDER BY id");
    Statement p(db_, "SELECT name, value, uncertainty, unit FROM model_parameters "
                     "WHERE model = ? ORDER BY position");
    std::vector<RunModel> out;
    RowBudget budget(*this);
    s.bind(1, run);
    int step = 0;
    while ((step = s.step()) == SQLITE_ROW) {
        budget.spend();
        RunModel m;
        m.id = s.integer(0);
        m.kind = s.text(1);
        m.fromSeconds = s.real(2);
        m.toSeconds = s.real(3);
        m.rmsDeviation = s.real(4);
        m.equation = s.text(5);
        p.bind(1, m.id);
        int parameterStep = 0;
        while ((parameterStep = p.step()) == SQLITE_ROW) {
            budget.spend();
            m.parameters.push_back({p.text(0), p.real(1), p.real(2), p.text(3)});
        }
        if (parameterStep != SQLITE_DONE) {
            fail("Impossible de lire");
        }
        p.reset();
        out.push_back(std::move(m));
    }
    if (step != SQLITE_DONE) {
        fail("Impossible de lire");
    }
    return out;
}

} // namespace thermo
