// The PostgreSQL engine on libpq: the server a line's stations share. Parameters travel as
// text; rows are fetched one at a time, so a summary over a year of runs never holds them all.
#include <libpq-fe.h>

#include <charconv>
#include <cstdlib>

#include "Database.h"

namespace tavrin::results {
namespace {

std::string ShortestText(double v) {
    char text[64];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, v);
    return std::string(text, ec == std::errc() ? end : text);
}

// libpq's messages end in a newline; ours do not.
std::string Trimmed(const char* message) {
    std::string text = message ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

class PostgresRow final : public Row {
public:
    explicit PostgresRow(const PGresult* result) : m_result(result) {}
    bool IsNull(int column) const override { return PQgetisnull(m_result, 0, column) != 0; }
    std::string Text(int column) const override { return std::string(View(column)); }
    std::string_view View(int column) const override {
        return std::string_view(PQgetvalue(m_result, 0, column),
                                static_cast<size_t>(PQgetlength(m_result, 0, column)));
    }
    double Number(int column) const override {
        return std::strtod(PQgetvalue(m_result, 0, column), nullptr);
    }
    int64_t Integer(int column) const override {
        return std::strtoll(PQgetvalue(m_result, 0, column), nullptr, 10);
    }

private:
    const PGresult* m_result;
};

struct ResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

class PostgresDatabase final : public Database {
public:
    PostgresDatabase(const std::string& uri, int connectTimeoutS) {
        const std::string timeout = std::to_string(connectTimeoutS);
        // Every wait bounded: a server that stops answering mid-run (a cable pulled) ends the
        // exchange within seconds, a statement waiting for a lock within 30 s, and the run
        // goes to the spool. Later entries win: the same keys in the URI override ours.
        const char* keys[] = {"connect_timeout",     "tcp_user_timeout", "keepalives_idle",
                              "keepalives_interval", "keepalives_count", "options",
                              "application_name",    "dbname",           nullptr};
        const char* values[] = {timeout.c_str(),
                                "15000",
                                "5",
                                "2",
                                "3",
                                "-c statement_timeout=30000 -c lock_timeout=30000",
                                "tavrin-cli",
                                uri.c_str(),
                                nullptr};
        m_conn = PQconnectdbParams(keys, values, 1);
        if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
            const std::string why = m_conn ? Trimmed(PQerrorMessage(m_conn)) : "out of memory";
            PQfinish(m_conn);
            throw DatabaseError(why);
        }
        // Our own warnings ("relation already exists, skipping") are no news to the user.
        PQsetNoticeProcessor(
            m_conn, [](void*, const char*) {}, nullptr);
    }
    ~PostgresDatabase() override { PQfinish(m_conn); }

    Engine Kind() const override { return Engine::PostgreSQL; }

    void Query(const std::string& sql, const std::vector<Value>& params,
               const std::function<void(const Row&)>& row) override {
        std::vector<std::string> texts(params.size());
        std::vector<const char*> pointers(params.size(), nullptr);
        for (size_t i = 0; i < params.size(); ++i) {
            const Value& v = params[i];
            if (const auto* n = std::get_if<int64_t>(&v)) {
                texts[i] = std::to_string(*n);
            } else if (const auto* d = std::get_if<double>(&v)) {
                texts[i] = ShortestText(*d);
            } else if (const auto* s = std::get_if<std::string>(&v)) {
                texts[i] = *s;
            } else {
                continue;  // NULL
            }
            pointers[i] = texts[i].c_str();
        }
        if (!PQsendQueryParams(m_conn, sql.c_str(), static_cast<int>(params.size()), nullptr,
                               pointers.data(), nullptr, nullptr, 0))
            throw DatabaseError(Trimmed(PQerrorMessage(m_conn)));
        PQsetSingleRowMode(m_conn);
        std::string error;
        // Every result is read, even after a failure, so the connection is ready again.
        while (PGresult* raw = PQgetResult(m_conn)) {
            const Result result(raw);
            const ExecStatusType status = PQresultStatus(raw);
            if (status == PGRES_SINGLE_TUPLE) {
                if (error.empty()) {
                    try {
                        row(PostgresRow(raw));
                    } catch (const std::exception& e) {
                        error = e.what();
                    }
                }
            } else if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK && error.empty()) {
                error = Trimmed(PQresultErrorMessage(raw));
            }
        }
        if (!error.empty()) throw DatabaseError(error);
        if (PQstatus(m_conn) != CONNECTION_OK) throw DatabaseError(Trimmed(PQerrorMessage(m_conn)));
    }

    void Begin() override { Execute("BEGIN"); }

private:
    PGconn* m_conn = nullptr;
};

}  // namespace

std::unique_ptr<Database> OpenPostgres(const std::string& uri, int connectTimeoutS) {
    return std::make_unique<PostgresDatabase>(uri, connectTimeoutS);
}

}  // namespace tavrin::results
