// The results schema and its upgrades, and the statements that write and read runs. Every
// statement runs unchanged on SQLite and PostgreSQL; times are ISO 8601 UTC texts, which sort
// as they compare.
#include "ResultsStore.h"

#include <algorithm>
#include <ctime>
#include <unordered_map>

namespace tavrin::results {
namespace {

// Upgrade i brings a database from version i to version i + 1; a new version appends an entry
// and never edits an old one, so every station's database ends up the same.
const std::vector<std::vector<const char*>> kUpgrades = {
    {
        "CREATE TABLE runs ("
        " uid TEXT PRIMARY KEY,"
        " started TEXT NOT NULL, ended TEXT NOT NULL,"
        " station TEXT NOT NULL, serial TEXT NOT NULL,"
        " plan_name TEXT NOT NULL, plan_file TEXT NOT NULL, plan_hash TEXT NOT NULL,"
        " role TEXT NOT NULL,"
        " tester_hardware TEXT NOT NULL, tester_firmware TEXT NOT NULL,"
        " tester_serial TEXT NOT NULL, library_version TEXT NOT NULL,"
        " driver TEXT NOT NULL, device_profile TEXT NOT NULL,"
        " repetitions INTEGER NOT NULL,"
        " verdict TEXT NOT NULL, exit_status INTEGER NOT NULL, error TEXT NOT NULL)",
        "CREATE INDEX runs_started ON runs (started)",
        "CREATE INDEX runs_serial ON runs (serial, started)",
        "CREATE TABLE measurements ("
        " run_uid TEXT NOT NULL REFERENCES runs (uid),"
        " repetition INTEGER NOT NULL, position INTEGER NOT NULL,"
        " measurement TEXT NOT NULL, name TEXT NOT NULL, unit TEXT NOT NULL,"
        " value DOUBLE PRECISION, shown TEXT NOT NULL,"
        " limit_min DOUBLE PRECISION, limit_min_ok DOUBLE PRECISION,"
        " limit_max_ok DOUBLE PRECISION, limit_max DOUBLE PRECISION,"
        " verdict TEXT NOT NULL,"
        " PRIMARY KEY (run_uid, repetition, position))",
    },
};

constexpr const char* kRunColumns =
    "r.uid, r.started, r.ended, r.station, r.serial, r.plan_name, r.plan_file, r.plan_hash, "
    "r.role, r.tester_hardware, r.tester_firmware, r.tester_serial, r.library_version, "
    "r.driver, r.device_profile, r.repetitions, r.verdict, r.exit_status, r.error";
constexpr int kRunColumnCount = 19;
constexpr const char* kMeasurementColumns =
    "m.repetition, m.position, m.measurement, m.name, m.unit, m.value, m.shown, m.limit_min, "
    "m.limit_min_ok, m.limit_max_ok, m.limit_max, m.verdict";
// Rows per INSERT: well below SQLite's limit of parameters per statement.
constexpr size_t kRowsPerInsert = 50;

Value Optional(const std::optional<double>& v) {
    return v ? Value(*v) : Value();
}

RecordedRun RunFrom(const Row& row) {
    RecordedRun r;
    std::string* texts[] = {&r.uid,     &r.started,        &r.ended,          &r.station,
                            &r.serial,  &r.planName,       &r.planFile,       &r.planHash,
                            &r.role,    &r.testerHardware, &r.testerFirmware, &r.testerSerial,
                            &r.library, &r.driver,         &r.deviceProfile};
    for (int i = 0; i < 15; ++i) *texts[i] = row.Text(i);
    r.repetitions = static_cast<int>(row.Integer(15));
    r.verdict = row.Text(16);
    r.exitStatus = static_cast<int>(row.Integer(17));
    r.error = row.Text(18);
    return r;
}

RecordedMeasurement MeasurementFrom(const Row& row, int first) {
    RecordedMeasurement m;
    m.repetition = static_cast<int>(row.Integer(first));
    m.position = static_cast<int>(row.Integer(first + 1));
    m.key = row.Text(first + 2);
    m.name = row.Text(first + 3);
    m.unit = row.Text(first + 4);
    m.value = row.MaybeNumber(first + 5);
    m.shown = row.Text(first + 6);
    m.limitMin = row.MaybeNumber(first + 7);
    m.limitMinOk = row.MaybeNumber(first + 8);
    m.limitMaxOk = row.MaybeNumber(first + 9);
    m.limitMax = row.MaybeNumber(first + 10);
    m.verdict = row.Text(first + 11);
    return m;
}

// "WHERE ..." for the filter, its parameters appended to `params`.
std::string Where(const RunFilter& f, std::vector<Value>& params) {
    std::string where;
    auto add = [&](const std::string& condition, const std::string& value) {
        if (value.empty()) return;
        params.push_back(value);
        where += (where.empty() ? " WHERE " : " AND ") + condition + " $" +
                 std::to_string(params.size());
    };
    add("r.started >=", f.since);
    add("r.started <", f.until);
    add("r.plan_name =", f.plan);
    add("r.station =", f.station);
    add("r.serial =", f.serial);
    return where;
}

bool IsDigits(const std::string& s, size_t from, size_t count) {
    for (size_t i = from; i < from + count; ++i)
        if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
    return true;
}

// A time text as the instant it names, checked against the calendar.
std::optional<std::time_t> ParseUtc(const std::string& text, bool& dateOnly) {
    dateOnly = text.size() == 10;
    const bool full = text.size() == 20 && text[10] == 'T' && text[13] == ':' && text[16] == ':' &&
                      text[19] == 'Z' && IsDigits(text, 11, 2) && IsDigits(text, 14, 2) &&
                      IsDigits(text, 17, 2);
    if (!(dateOnly || full) || !IsDigits(text, 0, 4) || text[4] != '-' || !IsDigits(text, 5, 2) ||
        text[7] != '-' || !IsDigits(text, 8, 2))
        return std::nullopt;
    std::tm tm{};
    tm.tm_year = std::stoi(text.substr(0, 4)) - 1900;
    tm.tm_mon = std::stoi(text.substr(5, 2)) - 1;
    tm.tm_mday = std::stoi(text.substr(8, 2));
    if (full) {
        tm.tm_hour = std::stoi(text.substr(11, 2));
        tm.tm_min = std::stoi(text.substr(14, 2));
        tm.tm_sec = std::stoi(text.substr(17, 2));
    }
    const std::tm asked = tm;
    const std::time_t t = timegm(&tm);
    // timegm rolls 2026-02-30 over into March: such a date does not exist.
    if (tm.tm_mday != asked.tm_mday || tm.tm_mon != asked.tm_mon || tm.tm_hour != asked.tm_hour ||
        tm.tm_min != asked.tm_min || tm.tm_sec != asked.tm_sec)
        return std::nullopt;
    return t;
}

std::string UtcText(std::time_t t) {
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return text;
}

}  // namespace

int SchemaVersion() {
    return static_cast<int>(kUpgrades.size());
}

void EnsureSchema(Database& db) {
    int version = -1;
    // The common case, a database already up to date, costs one read and no lock.
    try {
        db.Query("SELECT version FROM schema_version", {},
                 [&](const Row& row) { version = static_cast<int>(row.Integer(0)); });
    } catch (const DatabaseError&) {
    }
    if (version == SchemaVersion()) return;

    Transaction transaction(db);
    // Stations that start on a new server at once create the tables one after the other.
    if (db.Kind() == Engine::PostgreSQL) db.Execute("SELECT pg_advisory_xact_lock(20261209)");
    db.Execute("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)");
    version = 0;
    bool hasRow = false;
    db.Query("SELECT version FROM schema_version", {}, [&](const Row& row) {
        version = static_cast<int>(row.Integer(0));
        hasRow = true;
    });
    if (version > SchemaVersion())
        throw DatabaseError("the results database has schema version " + std::to_string(version) +
                            "; this tavrin-cli knows versions up to " +
                            std::to_string(SchemaVersion()));
    for (int v = version; v < SchemaVersion(); ++v)
        for (const char* statement : kUpgrades[static_cast<size_t>(v)]) db.Execute(statement);
    if (hasRow) {
        db.Execute("UPDATE schema_version SET version = $1", {int64_t{SchemaVersion()}});
    } else {
        db.Execute("INSERT INTO schema_version (version) VALUES ($1)", {int64_t{SchemaVersion()}});
    }
    transaction.Commit();
}

bool WriteRun(Database& db, const RecordedRun& r) {
    Transaction transaction(db);
    bool inserted = false;
    db.Query(
        "INSERT INTO runs (uid, started, ended, station, serial, plan_name, plan_file, "
        "plan_hash, role, tester_hardware, tester_firmware, tester_serial, library_version, "
        "driver, device_profile, repetitions, verdict, exit_status, error) VALUES ($1, $2, $3, "
        "$4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15, $16, $17, $18, $19) "
        "ON CONFLICT (uid) DO NOTHING RETURNING uid",
        {r.uid, r.started, r.ended, r.station, r.serial, r.planName, r.planFile, r.planHash, r.role,
         r.testerHardware, r.testerFirmware, r.testerSerial, r.library, r.driver, r.deviceProfile,
         int64_t{r.repetitions}, r.verdict, int64_t{r.exitStatus}, r.error},
        [&](const Row&) { inserted = true; });
    if (!inserted) return false;  // the transaction rolls back: nothing was written
    for (size_t first = 0; first < r.measurements.size(); first += kRowsPerInsert) {
        const size_t count = std::min(kRowsPerInsert, r.measurements.size() - first);
        std::string sql =
            "INSERT INTO measurements (run_uid, repetition, position, measurement, name, unit, "
            "value, shown, limit_min, limit_min_ok, limit_max_ok, limit_max, verdict) VALUES ";
        std::vector<Value> params;
        for (size_t i = first; i < first + count; ++i) {
            const RecordedMeasurement& m = r.measurements[i];
            const Value row[] = {r.uid,
                                 int64_t{m.repetition},
                                 int64_t{m.position},
                                 m.key,
                                 m.name,
                                 m.unit,
                                 Optional(m.value),
                                 m.shown,
                                 Optional(m.limitMin),
                                 Optional(m.limitMinOk),
                                 Optional(m.limitMaxOk),
                                 Optional(m.limitMax),
                                 m.verdict};
            sql += i == first ? "(" : ", (";
            for (size_t c = 0; c < std::size(row); ++c) {
                params.push_back(row[c]);
                sql += (c ? ", $" : "$") + std::to_string(params.size());
            }
            sql += ")";
        }
        db.Execute(sql, params);
    }
    transaction.Commit();
    return true;
}

bool NormaliseFilter(RunFilter& filter, std::string& message) {
    bool dateOnly = false;
    if (!filter.since.empty()) {
        const auto t = ParseUtc(filter.since, dateOnly);
        if (!t) {
            message = "--since takes YYYY-MM-DD or YYYY-MM-DDTHH:MM:SSZ, not " + filter.since;
            return false;
        }
        filter.since = UtcText(*t);
    }
    if (!filter.until.empty()) {
        const auto t = ParseUtc(filter.until, dateOnly);
        if (!t) {
            message = "--until takes YYYY-MM-DD or YYYY-MM-DDTHH:MM:SSZ, not " + filter.until;
            return false;
        }
        // Kept as an exclusive bound: the next day, or the next second.
        filter.until = UtcText(*t + (dateOnly ? 86400 : 1));
    }
    return true;
}

std::vector<RecordedRun> ReadRuns(Database& db, const RunFilter& filter) {
    std::vector<Value> params;
    const std::string where = Where(filter, params);
    std::vector<RecordedRun> runs;
    db.Query(std::string("SELECT ") + kRunColumns + " FROM runs r" + where +
                 " ORDER BY r.started, r.ended, r.uid",
             params, [&](const Row& row) { runs.push_back(RunFrom(row)); });
    size_t at = 0;
    db.Query(std::string("SELECT r.uid, ") + kMeasurementColumns +
                 " FROM runs r JOIN measurements m ON m.run_uid = r.uid" + where +
                 " ORDER BY r.started, r.ended, r.uid, m.repetition, m.position",
             params, [&](const Row& row) {
                 const std::string uid = row.Text(0);
                 while (at < runs.size() && runs[at].uid != uid) ++at;
                 if (at < runs.size()) runs[at].measurements.push_back(MeasurementFrom(row, 1));
             });
    return runs;
}

void ForEachRunVerdict(Database& db, const RunFilter& filter,
                       const std::function<void(const RunVerdict&)>& each) {
    std::vector<Value> params;
    const std::string where = Where(filter, params);
    db.Query("SELECT r.serial, r.started, r.ended, r.uid, r.verdict FROM runs r" + where, params,
             [&](const Row& row) {
                 each({row.Text(0), row.Text(1), row.Text(2), row.Text(3), row.Text(4)});
             });
}

void ForEachValue(Database& db, const RunFilter& filter,
                  const std::function<void(const MeasuredValue&)>& each) {
    std::vector<Value> params;
    const std::string where = Where(filter, params);
    constexpr const char* kColumns =
        "m.measurement, m.name, m.unit, m.position, m.limit_min, m.limit_min_ok, "
        "m.limit_max_ok, m.limit_max, m.value";
    auto value = [](const Row& row, int first, std::string_view plan) {
        MeasuredValue v;
        v.plan = plan;
        v.key = row.View(first);
        v.name = row.View(first + 1);
        v.unit = row.View(first + 2);
        v.position = static_cast<int>(row.Integer(first + 3));
        v.limitMin = row.MaybeNumber(first + 4);
        v.limitMinOk = row.MaybeNumber(first + 5);
        v.limitMaxOk = row.MaybeNumber(first + 6);
        v.limitMax = row.MaybeNumber(first + 7);
        v.value = row.Number(first + 8);
        return v;
    };
    if (db.Kind() == Engine::PostgreSQL) {
        // The server joins and filters; only the rows wanted cross the network.
        db.Query(std::string("SELECT r.plan_name, ") + kColumns +
                     " FROM runs r JOIN measurements m ON m.run_uid = r.uid" + where +
                     (where.empty() ? " WHERE " : " AND ") + "m.value IS NOT NULL",
                 params, [&](const Row& row) { each(value(row, 1, row.View(0))); });
        return;
    }
    // SQLite: the runs the filter takes by uid, then the measurements read in file order,
    // where a run's rows lie together. A million index look-ups of the join cost more than
    // reading the rows of runs the filter leaves out.
    std::vector<std::string> plans;
    std::unordered_map<std::string, size_t> planOfRun;
    db.Query("SELECT r.uid, r.plan_name FROM runs r" + where, params, [&](const Row& row) {
        const std::string_view plan = row.View(1);
        auto known = std::find(plans.begin(), plans.end(), plan);
        if (known == plans.end()) known = plans.insert(plans.end(), std::string(plan));
        planOfRun.emplace(row.Text(0), static_cast<size_t>(known - plans.begin()));
    });
    constexpr size_t kNotTaken = static_cast<size_t>(-1);
    std::string lastRun;
    size_t plan = kNotTaken;
    db.Query(std::string("SELECT m.run_uid, ") + kColumns +
                 " FROM measurements m WHERE m.value IS NOT NULL",
             {}, [&](const Row& row) {
                 const std::string_view run = row.View(0);
                 if (run != lastRun) {
                     lastRun.assign(run);
                     const auto found = planOfRun.find(lastRun);
                     plan = found == planOfRun.end() ? kNotTaken : found->second;
                 }
                 if (plan != kNotTaken) each(value(row, 1, plans[plan]));
             });
}

void ForEachMeasurement(
    Database& db, const RunFilter& filter,
    const std::function<void(const RecordedRun&, const RecordedMeasurement&)>& each) {
    std::vector<Value> params;
    const std::string where = Where(filter, params);
    db.Query(std::string("SELECT ") + kRunColumns + ", " + kMeasurementColumns +
                 " FROM runs r JOIN measurements m ON m.run_uid = r.uid" + where +
                 " ORDER BY r.started, r.ended, r.uid, m.repetition, m.position",
             params,
             [&](const Row& row) { each(RunFrom(row), MeasurementFrom(row, kRunColumnCount)); });
}

}  // namespace tavrin::results
