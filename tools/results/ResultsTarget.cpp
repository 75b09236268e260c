// The --results target, the XDG paths of the results database and the spool, and masking.
#include "ResultsTarget.h"

#include <cstdlib>

namespace tavrin::results {
namespace {

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// An XDG base folder: the variable when it holds an absolute path (relative ones are to be
// ignored), else the fallback under the home folder.
std::string XdgFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') return value;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/" + fallback;
}

}  // namespace

std::string DefaultDatabasePath() {
    return XdgFolder("XDG_DATA_HOME", ".local/share") + "/tavrin/results.db";
}

std::string SpoolFolder() {
    return XdgFolder("XDG_STATE_HOME", ".local/state") + "/tavrin/spool";
}

std::string MaskedUri(const std::string& uri) {
    std::string shown = uri;
    // user:password@ in the authority part.
    const size_t scheme = shown.find("://");
    if (scheme != std::string::npos) {
        const size_t start = scheme + 3;
        const size_t end = shown.find_first_of("/?", start);
        const size_t at = shown.rfind('@', end == std::string::npos ? shown.size() : end);
        if (at != std::string::npos && at >= start) {
            const size_t colon = shown.find(':', start);
            if (colon != std::string::npos && colon < at)
                shown.replace(colon + 1, at - colon - 1, "****");
        }
    }
    // password=... among the parameters.
    for (size_t key = shown.find("password="); key != std::string::npos;
         key = shown.find("password=", key + 1)) {
        if (key > 0 && shown[key - 1] != '?' && shown[key - 1] != '&') continue;
        const size_t value = key + 9;
        const size_t end = shown.find('&', value);
        shown.replace(value, (end == std::string::npos ? shown.size() : end) - value, "****");
    }
    return shown;
}

std::string Target::Shown() const {
    switch (kind) {
        case Kind::None:
            return "none";
        case Kind::PostgreSQL:
            return MaskedUri(location);
        default:
            return location;
    }
}

bool ParseTarget(const std::optional<std::string>& text, Target& target, std::string& message) {
    target = Target{};
    if (!text) {
        target.kind = Target::Kind::SQLite;
        target.location = DefaultDatabasePath();
        return true;
    }
    const std::string& t = *text;
    if (t == "none") return true;
    if (StartsWith(t, "postgresql://") || StartsWith(t, "postgres://")) {
        target.kind = Target::Kind::PostgreSQL;
        target.location = t;
        return true;
    }
    const std::string path = StartsWith(t, "sqlite:") ? t.substr(7) : t;
    if (path.empty() || t.find("://") != std::string::npos) {
        message =
            "--results takes none, a postgresql:// URI or an SQLite file, not " + MaskedUri(t);
        return false;
    }
    target.kind = Target::Kind::SQLite;
    target.location = path;
    return true;
}

std::unique_ptr<Database> Open(const Target& target) {
    if (target.kind == Target::Kind::PostgreSQL) return OpenPostgres(target.location);
    if (target.kind == Target::Kind::SQLite) return OpenSqlite(target.location);
    throw DatabaseError("no results database (--results none)");
}

}  // namespace tavrin::results
