#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <sqlite3.h>
#include <string>
#include <string_view>

namespace thermo {

// The pieces of SQLite that the séance files are read and written with.

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
        return sqlite3_column_type(stmt_, i) == SQLITE_NULL
                   ? std::numeric_limits<double>::quiet_NaN()
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

// The cause in French of an SQLite error code, of a failed system call.
std::string sqliteCause(int code);
std::string systemCause(int error);

// Makes the file `path`, which must not exist yet: SQLite alone would open an existing one.
// The journal is the user's alone; a saved séance follows the umask like any document.
void createEmpty(const std::string& path, bool privateFile);

// No table of a file holds more rows than its bytes allow: a damaged file whose pages loop
// back on themselves is refused rather than read forever.
class RowBudget {
public:
    RowBudget(sqlite3* db, const std::string& path);
    std::int64_t rows() const noexcept { return rows_; }
    // One row more; Failure when the file cannot hold that many.
    void spend();

private:
    static constexpr std::int64_t leastBytesPerRow = 4;
    std::string path_;
    std::int64_t left_ = 0;
    std::int64_t rows_ = 0;
};

} // namespace thermo
