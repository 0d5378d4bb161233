#include "ui/recording/seance_file.h"

#include "core/failure.h"
#include "ui/recording/sqlite_statement.h"

#include <utility>

// The notes pinned on a run and the models fitted on it.
namespace thermo {

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
    RowBudget budget(db_, path_);
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
    RowBudget budget(db_, path_);
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
