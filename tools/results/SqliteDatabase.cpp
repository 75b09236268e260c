// The SQLite engine: one file on the station, WAL mode so readers never block the writer, a
// busy time-out so several writers on one file wait their turn.
#include <sqlite3.h>

#include <filesystem>
#include <unordered_map>

#include "Database.h"

namespace tavrin::results {
namespace {

// "$1" as SQLite's numbered parameter "?1"; our statements hold no "$" in literals.
std::string SqliteParameters(const std::string& sql) {
    std::string out = sql;
    for (size_t i = 0; i + 1 < out.size(); ++i)
        if (out[i] == '$' && out[i + 1] >= '0' && out[i + 1] <= '9') out[i] = '?';
    return out;
}

class SqliteRow final : public Row {
public:
    explicit SqliteRow(sqlite3_stmt* statement) : m_statement(statement) {}
    bool IsNull(int column) const override {
        return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
    }
    std::string Text(int column) const override { return std::string(View(column)); }
    std::string_view View(int column) const override {
        const auto* text = sqlite3_column_text(m_statement, column);
        return text ? std::string_view(
                          reinterpret_cast<const char*>(text),
                          static_cast<size_t>(sqlite3_column_bytes(m_statement, column)))
                    : std::string_view();
    }
    double Number(int column) const override { return sqlite3_column_double(m_statement, column); }
    int64_t Integer(int column) const override { return sqlite3_column_int64(m_statement, column); }

private:
    sqlite3_stmt* m_statement;
};

class SqliteDatabase final : public Database {
public:
    SqliteDatabase(const std::string& path, int busyMs) : m_path(path) {
        std::error_code ignored;
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
        if (sqlite3_open_v2(path.c_str(), &m_db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            const std::string why = m_db ? sqlite3_errmsg(m_db) : "out of memory";
            sqlite3_close(m_db);
            throw DatabaseError("cannot open " + path + ": " + why);
        }
        sqlite3_busy_timeout(m_db, busyMs);
        try {
            // FULL: a committed run survives a power cut too, not only a crash of the program.
            Execute("PRAGMA journal_mode=WAL");
            Execute("PRAGMA synchronous=FULL");
            Execute("PRAGMA foreign_keys=ON");
            // A summary reads the whole file: mapped pages cost no read call each.
            Execute("PRAGMA mmap_size=1073741824");
        } catch (...) {
            Close();
            throw;
        }
    }
    ~SqliteDatabase() override { Close(); }

    Engine Kind() const override { return Engine::SQLite; }

    void Query(const std::string& sql, const std::vector<Value>& params,
               const std::function<void(const Row&)>& row) override {
        sqlite3_stmt* statement = Prepared(sql);
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        for (size_t i = 0; i < params.size(); ++i) {
            const int index = static_cast<int>(i + 1);
            const Value& v = params[i];
            if (const auto* n = std::get_if<int64_t>(&v)) {
                sqlite3_bind_int64(statement, index, *n);
            } else if (const auto* d = std::get_if<double>(&v)) {
                sqlite3_bind_double(statement, index, *d);
            } else if (const auto* s = std::get_if<std::string>(&v)) {
                sqlite3_bind_text(statement, index, s->data(), static_cast<int>(s->size()),
                                  SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_null(statement, index);
            }
        }
        const SqliteRow current(statement);
        for (;;) {
            const int rc = sqlite3_step(statement);
            if (rc == SQLITE_ROW) {
                row(current);
                continue;
            }
            const std::string why = sqlite3_errmsg(m_db);
            sqlite3_reset(statement);
            if (rc == SQLITE_DONE) return;
            throw DatabaseError(m_path + ": " + why);
        }
    }

    // IMMEDIATE takes the write lock now: a deferred transaction that must upgrade its read
    // lock later can fail with SQLITE_BUSY at once, whatever the busy time-out.
    void Begin() override { Execute("BEGIN IMMEDIATE"); }

private:
    sqlite3_stmt* Prepared(const std::string& sql) {
        auto found = m_statements.find(sql);
        if (found != m_statements.end()) return found->second;
        sqlite3_stmt* statement = nullptr;
        const std::string text = SqliteParameters(sql);
        if (sqlite3_prepare_v2(m_db, text.c_str(), static_cast<int>(text.size()), &statement,
                               nullptr) != SQLITE_OK)
            throw DatabaseError(m_path + ": " + sqlite3_errmsg(m_db));
        m_statements.emplace(sql, statement);
        return statement;
    }
    void Close() {
        for (auto& [sql, statement] : m_statements) sqlite3_finalize(statement);
        m_statements.clear();
        sqlite3_close(m_db);
        m_db = nullptr;
    }

    std::string m_path;
    sqlite3* m_db = nullptr;
    std::unordered_map<std::string, sqlite3_stmt*> m_statements;
};

}  // namespace

std::unique_ptr<Database> OpenSqlite(const std::string& path, int busyMs) {
    return std::make_unique<SqliteDatabase>(path, busyMs);
}

}  // namespace tavrin::results
