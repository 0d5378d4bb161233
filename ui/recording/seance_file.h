#pragma once

#include "core/circuit_parameters.h"
#include "core/session_series.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct sqlite3;

namespace thermo {

// What a run was measured with and how it is shown; its readings are stored apart.
struct RunHeader {
    std::int64_t id = 0; // given by the file
    std::string name;
    std::uint32_t colour = 0xC00000; // 0xRRGGBB
    bool visible = true;
    std::string source;    // what measured it, or the file it was read from
    CircuitParameters parameters;
    std::string started;   // local date and time, ISO 8601
};

// A note pinned at a time of a run.
struct RunNote {
    double seconds = 0;
    std::string text;
};

struct ModelParameter {
    std::string name; // "τ"
    double value = 0;
    double uncertainty = 0; // standard uncertainty, same unit
    std::string unit;       // "s"
};

// A model fitted on a run: its kind ("newton"…), its parameters, the time range it was fitted
// on, the readings' RMS deviation from it and its equation as the user reads it.
struct RunModel {
    std::int64_t id = 0; // given by the séance
    std::string kind;
    std::vector<ModelParameter> parameters;
    double fromSeconds = 0;
    double toSeconds = 0;
    double rmsDeviation = 0;
    std::string equation;
};

// What the resume offer says of a séance.
struct SeanceSummary {
    std::string started; // ISO 8601, local time
    std::string state;   // SeanceFile::running, ended or saved
    std::size_t runs = 0;
    std::size_t readings = 0;
};

// A séance file (".thermo"): one SQLite database holding the séance's runs, each run's readings
// (time, T, Uth, Ut, code, gap, pause), what it was measured with, its name and colour, the
// models fitted on it and the notes pinned on it. The journal written during a lesson and the
// file the user saves are the same format. Plain C++ and SQLite, so that the opening of damaged
// files can be fuzzed without Qt.
//
// Every failure is a Failure(InvalidArgument) with a French message ending in the cause: a file
// that is not a séance, is damaged, or was written by a newer version of the program (which is
// named), a file that cannot be written. Nothing else is thrown. One object is used by one
// thread at a time.
class SeanceFile {
public:
    static constexpr int formatVersion = 1;
    static constexpr const char* running = "en cours";
    static constexpr const char* ended = "terminée";
    static constexpr const char* saved = "enregistrée";

    enum class Mode {
        Read,    // an existing file, read only
        Write,   // an existing séance, kept on writing
        Create,  // a new file; an existing one is refused
    };
    // `durable`: every commit reaches the disk before it returns (write-ahead log, synced):
    // the journal. Otherwise the file is a single self-contained one, as saved for the user.
    SeanceFile(const std::string& path, Mode mode, bool durable = false);
    ~SeanceFile();
    SeanceFile(const SeanceFile&) = delete;
    SeanceFile& operator=(const SeanceFile&) = delete;

    const std::string& path() const noexcept { return path_; }

    // A transaction around many changes: one commit, one sync.
    void begin();
    void commit();
    void rollback() noexcept;

    // The séance's own facts: "started", "state", "program", "version".
    void setValue(const std::string& key, const std::string& value);
    std::string value(const std::string& key) const;
    SeanceSummary summary() const;

    std::int64_t addRun(RunHeader header); // the new run's id; a given id (> 0) is kept
    void updateRun(const RunHeader& header);
    void removeRun(std::int64_t id);
    std::vector<RunHeader> runs() const;

    // Readings [first, first + samples.size()) of the run; rows already stored are kept.
    void appendReadings(std::int64_t run, std::size_t first, std::span<const Sample> samples);
    void appendReadings(std::int64_t run, const SessionSeries& series, std::size_t first,
                        std::size_t last);
    SessionSeries readings(std::int64_t run) const;

    // A run's notes, all at once: saving replaces those saved before.
    void saveNotes(std::int64_t run, const std::vector<RunNote>& notes);
    std::vector<RunNote> notes(std::int64_t run) const;
    // A run's models, one by one; a model's id, when given (> 0), is kept.
    std::int64_t addModel(std::int64_t run, const RunModel& model);
    void removeModel(std::int64_t model);
    std::vector<RunModel> models(std::int64_t run) const;

private:
    [[noreturn]] void fail(const std::string& doing) const;
    void exec(const char* sql) const;
    void createSchema();
    void checkFormat() const;

    std::string path_;
    sqlite3* db_ = nullptr;
};

} // namespace thermo
