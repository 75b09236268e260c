// One small interface over the two engines that hold test results: an embedded SQLite file on
// one station, a PostgreSQL server for a whole line. Statements are written once, with
// parameters "$1", "$2", ... that each engine binds its own way.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tavrin::results {

// A parameter or a column: NULL, an integer, a number or a text.
using Value = std::variant<std::monostate, int64_t, double, std::string>;

// One row of a query, column by column in the order of the SELECT.
class Row {
public:
    virtual ~Row() = default;
    virtual bool IsNull(int column) const = 0;
    virtual std::string Text(int column) const = 0;
    // The text without a copy, valid until the next row.
    virtual std::string_view View(int column) const = 0;
    virtual double Number(int column) const = 0;
    virtual int64_t Integer(int column) const = 0;
    std::optional<double> MaybeNumber(int column) const {
        return IsNull(column) ? std::nullopt : std::optional<double>(Number(column));
    }
};

// Any failure of the engine: cannot open, cannot connect, a statement refused.
class DatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Engine { SQLite, PostgreSQL };

class Database {
public:
    virtual ~Database() = default;
    virtual Engine Kind() const = 0;
    // Runs one statement; throws DatabaseError.
    void Execute(const std::string& sql, const std::vector<Value>& params = {}) {
        Query(sql, params, [](const Row&) {});
    }
    // Runs a query and hands each row to `row` as it arrives, so a large result is never held
    // whole; throws DatabaseError.
    virtual void Query(const std::string& sql, const std::vector<Value>& params,
                       const std::function<void(const Row&)>& row) = 0;
    // A write transaction. SQLite takes the write lock at the start, so two stations that
    // write at once wait for each other instead of failing half-way.
    virtual void Begin() = 0;
    void Commit() { Execute("COMMIT"); }
    void Rollback() noexcept {
        try {
            Execute("ROLLBACK");
        } catch (const DatabaseError&) {
        }
    }
};

// Opens (creating the file and its folder when missing) an SQLite database in WAL mode with a
// busy time-out of `busyMs`.
std::unique_ptr<Database> OpenSqlite(const std::string& path, int busyMs = 30000);
// Connects with a libpq connection URI; the password comes from the URI, ~/.pgpass or
// PGPASSWORD. Gives up after `connectTimeoutS` unless the URI sets its own.
std::unique_ptr<Database> OpenPostgres(const std::string& uri, int connectTimeoutS = 5);

// Commits when it is told to, rolls back otherwise (an exception on the way out).
class Transaction {
public:
    explicit Transaction(Database& db) : m_db(db) { m_db.Begin(); }
    ~Transaction() {
        if (!m_done) m_db.Rollback();
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit() {
        m_db.Commit();
        m_done = true;
    }

private:
    Database& m_db;
    bool m_done = false;
};

}  // namespace tavrin::results
