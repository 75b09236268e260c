// Where results go (--results): nothing, an SQLite file, or a PostgreSQL server; the default
// file, the spool folder, and the target as it may be shown (no password).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "Database.h"

namespace tavrin::results {

struct Target {
    enum class Kind { None, SQLite, PostgreSQL } kind = Kind::None;
    std::string location;  // the file's path, or the connection URI as given
    // For messages: the path, or the URI with any password replaced by "****".
    std::string Shown() const;
};

// "none", "postgresql://..." or "postgres://...", "sqlite:PATH" or a plain PATH. Nothing given:
// the default file. False and a message when the text cannot be a target.
bool ParseTarget(const std::optional<std::string>& text, Target& target, std::string& message);

// $XDG_DATA_HOME/tavrin/results.db, else ~/.local/share/tavrin/results.db.
std::string DefaultDatabasePath();
// $XDG_STATE_HOME/tavrin/spool, else ~/.local/state/tavrin/spool.
std::string SpoolFolder();

// A connection URI with the password (user:PASSWORD@ and password=...) masked.
std::string MaskedUri(const std::string& uri);

// Opens or connects; throws DatabaseError.
std::unique_ptr<Database> Open(const Target& target);

}  // namespace tavrin::results
