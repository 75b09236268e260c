// The setup file store on SimpleIni, written through QSaveFile.
#include "SetupStore.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

namespace tavrin::app {
namespace {

// A setup file is a few kilobytes; anything far larger is not one, and reading it would only
// hold the program up.
constexpr qint64 kMaxSetupFileSize = 1 << 20;

// Text lines hold printable characters, tabs and line ends. A NUL or another control byte
// means binary data, which a load must not spread over the pages.
bool LooksLikeText(const std::string& text) {
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r' && u != '\f') return false;
        if (u == 0x7f) return false;
    }
    return true;
}

}  // namespace

struct SetupStore::Ini {
    Ini() { ini.SetSpaces(false); }  // "key=value", as the files have always been written
    CSimpleIniA ini{/*isUtf8*/ false, /*multiKey*/ false, /*multiLine*/ false};
};

SetupStore::SetupStore() : m_ini(std::make_unique<Ini>()) {}
SetupStore::~SetupStore() = default;
SetupStore::SetupStore(SetupStore&&) noexcept = default;
SetupStore& SetupStore::operator=(SetupStore&&) noexcept = default;

bool SetupStore::read(const QString& path, bool missingIsEmpty, QString* reason) {
    const QFileInfo info(path);
    if (!info.exists()) {
        if (missingIsEmpty) return parse({}, reason);
        if (reason) *reason = "The file does not exist.";
        return false;
    }
    if (info.isDir()) {
        if (reason) *reason = "It is a folder, not a file.";
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (reason) *reason = file.errorString() + ".";
        return false;
    }
    const QByteArray data = file.read(kMaxSetupFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        if (reason) *reason = file.errorString() + ".";
        return false;
    }
    if (data.size() > kMaxSetupFileSize) {
        if (reason) *reason = "It is far too large for a setup file.";
        return false;
    }
    return parse(data.toStdString(), reason);
}

bool SetupStore::parse(const std::string& text, QString* reason) {
    if (!LooksLikeText(text)) {
        if (reason) *reason = "It is not a setup file (it holds binary data).";
        return false;
    }
    auto fresh = std::make_unique<Ini>();
    if (fresh->ini.LoadData(text.data(), text.size()) < 0) {
        if (reason) *reason = "It is not a setup file.";
        return false;
    }
    m_ini = std::move(fresh);
    return true;
}

std::optional<std::string> SetupStore::value(const std::string& section,
                                             const std::string& key) const {
    const char* v = m_ini->ini.GetValue(section.c_str(), key.c_str(), nullptr);
    if (!v) return std::nullopt;
    return std::string(v);
}

void SetupStore::setValue(const std::string& section, const std::string& key,
                          const std::string& value) {
    m_ini->ini.SetValue(section.c_str(), key.c_str(), value.c_str());
}

std::string SetupStore::text() const {
    std::string out;
    m_ini->ini.Save(out, /*addSignature*/ false);
    return out;
}

bool SetupStore::write(const QString& path, QString* reason) const {
    const std::string data = text();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (reason) *reason = file.errorString() + ".";
        return false;
    }
    if (file.write(data.data(), static_cast<qint64>(data.size())) !=
        static_cast<qint64>(data.size())) {
        if (reason) *reason = file.errorString() + ".";
        file.cancelWriting();
        return false;
    }
    if (!file.flush()) {
        if (reason) *reason = file.errorString() + ".";
        file.cancelWriting();
        return false;
    }
    if (beforeReplace) beforeReplace();
    if (!file.commit()) {
        if (reason) *reason = file.errorString() + ".";
        return false;
    }
    return true;
}

}  // namespace tavrin::app
