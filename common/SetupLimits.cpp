// Reading the limit section of a setup file with SimpleIni, line numbers from a plain scan.
// Setup files are plain ASCII: no wide-character conversion is needed.
#define SI_NO_CONVERSION
// The packaged header carries its template definitions behind this switch.
#define SI_IMPLEMENTATION
#include "common/SetupLimits.h"

#include <SimpleIni.h>

#include <cctype>
#include <fstream>
#include <sstream>

namespace tavrin::common {
namespace {

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(b, e - b));
}

// The line of the last entry of a key: SimpleIni keeps the last value of a repeated key.
int LineOf(const std::vector<IniEntry>& entries, std::string_view section, std::string_view key) {
    int line = 0;
    for (const IniEntry& e : entries)
        if (SameName(e.section, section) && SameName(e.key, key)) line = e.line;
    return line;
}

}  // namespace

std::string_view SetupSection(SetupSide side) {
    return side == SetupSide::PP ? "Setup-PP" : "Setup-FP";
}

std::string RampKey(SetupSide side, int ramp) {
    return std::string(side == SetupSide::PP ? "PP_RAMP" : "FP_RAMP") +
           static_cast<char>('B' + ramp);
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::vector<IniEntry> IniEntries(std::string_view text) {
    std::vector<IniEntry> entries;
    std::string section;
    int number = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string line = Trim(text.substr(pos, end - pos));
        ++number;
        pos = end + 1;
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            const size_t close = line.find(']');
            section =
                Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        entries.push_back(
            {section, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)), number});
    }
    return entries;
}

SetupLimits FactorySetupLimits() {
    SetupLimits limits;
    for (size_t r = 0; r < LimitRows().size(); ++r)
        for (size_t c = 0; c < 4; ++c) limits.limits[r][c].text = LimitRows()[r].factory[c];
    for (size_t i = 0; i < kRampFactory.size(); ++i) limits.ramps[i].text = kRampFactory[i];
    return limits;
}

bool ReadSetupLimits(const std::string& path, SetupSide side, SetupLimits& out,
                     std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path + ": cannot read the setup file";
        return false;
    }
    std::stringstream content;
    content << file.rdbuf();
    const std::string text = content.str();
    CSimpleIniA ini;
    if (ini.LoadData(text) < 0) {
        error = path + ": not an ini-style setup file";
        return false;
    }
    const std::vector<IniEntry> entries = IniEntries(text);
    const std::string section(SetupSection(side));
    auto take = [&](LineText& into, const std::string& key) {
        const char* value = ini.GetValue(section.c_str(), key.c_str(), nullptr);
        if (!value) return;  // the factory value stays, as in the program's load
        into.text = value;
        into.line = LineOf(entries, section, key);
    };
    out = FactorySetupLimits();
    for (size_t r = 0; r < LimitRows().size(); ++r)
        for (LimitColumn column : kLimitColumns)
            if (HasColumn(LimitRows()[r].row, column))
                take(out.limits[r][static_cast<size_t>(column)],
                     LimitKey(LimitRows()[r].row, column));
    for (int i = 0; i < static_cast<int>(out.ramps.size()); ++i)
        take(out.ramps[static_cast<size_t>(i)], RampKey(side, i));
    return true;
}

}  // namespace tavrin::common
