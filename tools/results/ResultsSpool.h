// The spool: runs that could not reach their results database wait in files of their own
// until a later run reaches it. One file per run, written to a temporary name, synced and
// renamed, so a crash leaves either no file or a whole one.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Database.h"
#include "ResultsStore.h"
#include "ResultsTarget.h"

namespace tavrin::results {

// Which database a spooled run is for: the SQLite file's absolute path, or the URI without
// its password (a password never lands in a file of ours).
std::string SpoolKey(const Target& target);

// The text of a spool file, and back; none when the text is not a whole spool file.
std::string SpoolText(const RecordedRun& run, const std::string& key);
std::optional<RecordedRun> ParseSpoolText(const std::string& text, std::string& key);

// Writes the run into the folder (created when missing); its path, or false and why.
bool SpoolRun(const std::string& folder, const std::string& key, const RecordedRun& run,
              std::string& path, std::string& error);

struct Delivery {
    int delivered = 0;                  // stored now (or found there already)
    std::vector<std::string> problems;  // files that could not be read or stored, with why
};
// Stores every spooled run for `key` in the database, oldest first, each in its own
// transaction, and removes its file once it is committed.
Delivery DeliverSpool(Database& db, const std::string& folder, const std::string& key);

}  // namespace tavrin::results
