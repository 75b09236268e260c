// A setup file held in memory while one load or save runs: sections and keys compared without
// regard to case (the files are edited by hand), the file's order and every section or key this
// program does not know kept as they were.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tavrin::app {

class SetupStore {
public:
    SetupStore();
    ~SetupStore();
    SetupStore(SetupStore&&) noexcept;
    SetupStore& operator=(SetupStore&&) noexcept;

    // Reads a whole file. Fails with a reason when the file cannot be read or is not text
    // (a directory, no permission, binary data); a file that does not exist fails too unless
    // `missingIsEmpty`, which gives an empty store.
    bool read(const QString& path, bool missingIsEmpty, QString* reason);
    // Reads the store from text; false when it is not a setup file's text.
    bool parse(const std::string& text, QString* reason);

    std::optional<std::string> value(const std::string& section, const std::string& key) const;
    void setValue(const std::string& section, const std::string& key, const std::string& value);
    std::string text() const;

    // Writes the whole text to a temporary file beside `path` and then puts it in the old
    // file's place, so the file on disk is either the old one or the new one, never a part.
    // Fails with a reason and leaves the old file as it was.
    bool write(const QString& path, QString* reason) const;

    // Runs after the temporary file is complete and before it replaces the old one (tests
    // stop a save there).
    std::function<void()> beforeReplace;

private:
    struct Ini;
    std::unique_ptr<Ini> m_ini;
};

}  // namespace tavrin::app
