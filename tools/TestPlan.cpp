// Reading a test plan: a table of keys, each with its section and its value rule, then the
// checks that need more than one key (role, loopback, slots, level range, limits).
#define SI_NO_CONVERSION
// The packaged header carries its template definitions behind this switch.
#define SI_IMPLEMENTATION
#include "TestPlan.h"

#include <SimpleIni.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

namespace tavrin::cli {
namespace {

using common::IniEntry;
using common::LimitColumn;
using common::LimitRows;
using common::SameName;

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// A whole number, nothing around it.
bool ParseInt(const std::string& v, int min, int max, int& out, std::string& why) {
    int n = 0;
    const char* end = v.data() + v.size();
    const auto [ptr, ec] = std::from_chars(v.data() + (!v.empty() && v[0] == '+'), end, n);
    if (v.empty() || ec != std::errc() || ptr != end) {
        why = "\"" + v + "\" is not a whole number";
        return false;
    }
    if (n < min || n > max) {
        why = v + " is outside " + std::to_string(min) + " to " + std::to_string(max);
        return false;
    }
    out = n;
    return true;
}

std::string Number(double v) {
    std::ostringstream s;
    s << v;
    return s.str();
}

bool ParseReal(const std::string& v, double min, double max, double& out, std::string& why) {
    const std::optional<double> n = common::ParseLimitNumber(v);
    if (!n) {
        why = "\"" + v + "\" is not a number (decimal point \".\")";
        return false;
    }
    if (*n < min || *n > max) {
        why = v + " is outside " + Number(min) + " to " + Number(max);
        return false;
    }
    out = *n;
    return true;
}

bool ParseBool(const std::string& v, bool& out, std::string& why) {
    const std::string u = Upper(v);
    if (u == "YES" || u == "ON" || u == "TRUE" || u == "1") {
        out = true;
    } else if (u == "NO" || u == "OFF" || u == "FALSE" || u == "0") {
        out = false;
    } else {
        why = "\"" + v + "\" is not yes or no";
        return false;
    }
    return true;
}

bool ParseWord(const std::string& v, std::initializer_list<const char*> words, std::string& out,
               std::string& why) {
    const std::string u = Upper(v);
    for (const char* w : words)
        if (u == w) {
            out = u;
            return true;
        }
    why = "\"" + v + "\" is not one of";
    for (const char* w : words) why += std::string(" ") + w;
    return false;
}

bool ParseRfpi(const std::string& v, std::string& out, std::string& why) {
    const bool hex = v.size() == 10 && std::all_of(v.begin(), v.end(), [](char c) {
                         return std::isxdigit(static_cast<unsigned char>(c)) != 0;
                     });
    if (!hex) {
        why = "\"" + v + "\" is not 10 hexadecimal digits";
        return false;
    }
    out = Upper(v);
    return true;
}

// Seconds of a time-out: long enough for one poll, short enough to notice a typo.
bool ParseSeconds(const std::string& v, double& out, std::string& why) {
    return ParseReal(v, 0.1, 3600.0, out, why);
}

using Apply = std::function<bool(TestPlan&, const std::string& value, std::string& why)>;

struct PlanKey {
    const char* section;
    const char* key;
    Apply apply;
};

Apply Measure(Measurement m) {
    return [m](TestPlan& p, const std::string& v, std::string& why) {
        return ParseBool(v, p.measure[static_cast<size_t>(m)], why);
    };
}

// Every key a plan may hold; [limits] keys are matched separately, they depend on the role.
const std::vector<PlanKey>& PlanKeys() {
    static const std::vector<PlanKey> keys = {
        {"test", "role",
         [](TestPlan& p, const std::string& v, std::string& why) {
             std::string word;
             if (!ParseWord(v, {"PP", "FP"}, word, why)) return false;
             p.role = word == "PP" ? Role::PP : Role::FP;
             return true;
         }},
        {"test", "name",
         [](TestPlan& p, const std::string& v, std::string&) {
             p.name = v;
             return true;
         }},
        {"test", "limits",
         [](TestPlan& p, const std::string& v, std::string& why) {
             if (v.empty()) {
                 why = "names no file";
                 return false;
             }
             p.limitsFile = v;
             return true;
         }},
        {"radio", "rfpi",
         [](TestPlan& p, const std::string& v, std::string& why) {
             p.radio.rfpiGiven = true;
             return ParseRfpi(v, p.radio.rfpi, why);
         }},
        {"radio", "dummy_slot",
         [](TestPlan& p, const std::string& v, std::string& why) {
             return ParseInt(v, 0, 11, p.radio.dummySlot, why);
         }},
        {"radio", "dummy_carrier",
         [](TestPlan& p, const std::string& v, std::string& why) {
             return ParseInt(v, 0, 34, p.radio.dummyCarrier, why);
         }},
        {"radio", "traffic_slot",
         [](TestPlan& p, const std::string& v, std::string& why) {
             return ParseInt(v, 0, 11, p.radio.trafficSlot, why);
         }},
        {"radio", "traffic_carrier",
         [](TestPlan& p, const std::string& v, std::string& why) {
             return ParseInt(v, 0, 34, p.radio.trafficCarrier, why);
         }},
        {"radio", "rf_level",
         [](TestPlan& p, const std::string& v, std::string& why) {
             return ParseReal(v, -200.0, 0.0, p.radio.rfLevel, why);
         }},
        {"radio", "data_pattern",
         [](TestPlan& p, const std::string& v, std::string& why) {
             return ParseWord(v, {"PSRB", "SPSR", "BS55", "BS33", "BS0F", "FIG31"},
                              p.radio.dataPattern, why);
         }},
        {"radio", "coupling_loss",
         [](TestPlan& p, const std::string& v, std::string& why) {
             return ParseReal(v, 0.0, 100.0, p.radio.couplingLoss, why);
         }},
        {"radio", "rx_attenuator",
         [](TestPlan& p, const std::string& v, std::string& why) {
             return ParseBool(v, p.radio.rxAttenuator, why);
         }},
        {"radio", "signalling_mode",
         [](TestPlan& p, const std::string& v, std::string& why) {
             return ParseWord(v, {"LOOP", "ECHO", "NORM"}, p.radio.signallingMode, why);
         }},
        {"measure", "ntp", Measure(Measurement::NTP)},
        {"measure", "frequency_offset", Measure(Measurement::FrequencyOffset)},
        {"measure", "b_field", Measure(Measurement::BField)},
        {"measure", "s_field", Measure(Measurement::SField)},
        {"measure", "drift", Measure(Measurement::Drift)},
        {"measure", "ber", Measure(Measurement::Ber)},
        {"measure", "jitter", Measure(Measurement::Jitter)},
        {"measure", "packet_delay", Measure(Measurement::PacketDelay)},
        {"measure", "timing_accuracy", Measure(Measurement::TimingAccuracy)},
        {"measure", "template", Measure(Measurement::Template)},
        {"measure", "bursts",
         [](TestPlan& p, const std::string& v, std::string& why) {
             return ParseInt(v, 1, 200, p.bursts, why);
         }},
        {"measure", "ber_frames",
         [](TestPlan& p, const std::string& v, std::string& why) {
             return ParseInt(v, 1, 100000, p.berFrames, why);
         }},
        {"timeouts", "search_s",
         [](TestPlan& p, const std::string& v, std::string& why) {
             return ParseSeconds(v, p.searchS, why);
         }},
        {"timeouts", "connect_s",
         [](TestPlan& p, const std::string& v, std::string& why) {
             return ParseSeconds(v, p.connectS, why);
         }},
        {"timeouts", "ber_s",
         [](TestPlan& p, const std::string& v, std::string& why) {
             return ParseSeconds(v, p.berS, why);
         }},
    };
    return keys;
}

constexpr const char* kMeasurementKeys[kMeasurementCount] = {
    "ntp", "frequency_offset", "b_field",      "s_field",         "drift",
    "ber", "jitter",           "packet_delay", "timing_accuracy", "template"};

// Limits without a row on the setup pages, only ever given in the plan.
struct ExtraLimit {
    const char* key;
    std::optional<double>* (*field)(PlanLimits&);
};

// The template ramps B to F take whole dB in these ranges, as the tester takes them.
constexpr std::array<std::pair<int, int>, 5> kRampRanges = {
    {{-20, 0}, {0, 10}, {0, 10}, {-10, 0}, {-20, 0}}};

class PlanReader {
public:
    PlanReader(const std::string& path, PlanError& error) : m_path(path), m_error(error) {}

    std::optional<TestPlan> Read() {
        if (!ReadAll()) return std::nullopt;
        return m_plan;
    }

private:
    bool ReadAll() {
        std::ifstream file(m_path, std::ios::binary);
        if (!file) return Fail(0, "", "cannot read the plan file");
        std::stringstream content;
        content << file.rdbuf();
        const std::string text = content.str();
        CSimpleIniA ini;
        if (ini.LoadData(text) < 0) return Fail(0, "", "not an INI file");
        m_entries = common::IniEntries(text);
        m_plan.path = m_path;

        if (!CheckLayout(ini)) return false;
        // The role decides which keys are allowed, so it is read first.
        const IniEntry* role = Find("test", "role");
        if (!role) return Fail(0, "role", "the plan names no role ([test] role = PP or FP)");
        if (m_plan.role == Role::FP) m_plan.radio.trafficSlot = 0;
        for (const IniEntry& e : m_entries) {
            if (SameName(e.section, "limits")) continue;
            const PlanKey* key = KeyFor(e);
            std::string why;
            if (!key->apply(m_plan, ini.GetValue(e.section.c_str(), e.key.c_str(), ""), why))
                return Fail(e.line, e.key, why);
        }
        return CheckRadio() && CheckMeasurements() && ReadLimits(ini);
    }

    bool Fail(int line, const std::string& key, const std::string& message,
              const std::string& file = {}) {
        m_error = {file.empty() ? m_path : file, line, key, message};
        return false;
    }

    const PlanKey* KeyFor(const IniEntry& e) const {
        for (const PlanKey& k : PlanKeys())
            if (SameName(e.section, k.section) && SameName(e.key, k.key)) return &k;
        return nullptr;
    }

    const IniEntry* Find(const char* section, const char* key) const {
        for (const IniEntry& e : m_entries)
            if (SameName(e.section, section) && SameName(e.key, key)) return &e;
        return nullptr;
    }
    int LineOf(const char* section, const char* key) const {
        const IniEntry* e = Find(section, key);
        return e ? e->line : 0;
    }

    // Every key known and given once, every section known; a misspelt key must not silently
    // leave a default in place.
    bool CheckLayout(CSimpleIniA& ini) {
        CSimpleIniA::TNamesDepend sections;
        ini.GetAllSections(sections);
        for (const auto& s : sections) {
            const std::string name = s.pItem;
            const bool known =
                std::any_of(PlanKeys().begin(), PlanKeys().end(),
                            [&](const PlanKey& k) { return SameName(name, k.section); });
            if (!known && !SameName(name, "limits"))
                return Fail(0, "",
                            name.empty() ? "keys before the first section"
                                         : "unknown section [" + name + "]");
        }
        for (size_t i = 0; i < m_entries.size(); ++i) {
            const IniEntry& e = m_entries[i];
            for (size_t j = 0; j < i; ++j)
                if (SameName(m_entries[j].section, e.section) && SameName(m_entries[j].key, e.key))
                    return Fail(
                        e.line, e.key,
                        "given twice (first on line " + std::to_string(m_entries[j].line) + ")");
            if (SameName(e.section, "limits")) continue;
            if (!KeyFor(e)) return Fail(e.line, e.key, "unknown key in [" + e.section + "]");
        }
        // The role is needed before any other key is judged.
        if (const IniEntry* role = Find("test", "role")) {
            std::string why;
            if (!PlanKeys()[0].apply(
                    m_plan, ini.GetValue(role->section.c_str(), role->key.c_str(), ""), why))
                return Fail(role->line, role->key, why);
        }
        return true;
    }

    bool CheckRadio() {
        RadioSettings& r = m_plan.radio;
        if (m_plan.role == Role::FP) {
            for (const char* key : {"dummy_slot", "dummy_carrier"})
                if (const IniEntry* e = Find("radio", key))
                    return Fail(e->line, e->key,
                                "only in a PP plan: the FP test finds the fixed part's dummy "
                                "bearer");
        } else {
            if (!r.rfpiGiven) r.rfpi = "0000000010";
            // The tester would move the traffic slot away silently; the plan must say what
            // it means.
            if (r.dummySlot == r.trafficSlot)
                return Fail(LineOf("radio", "traffic_slot"), "traffic_slot",
                            "equals dummy_slot " + std::to_string(r.dummySlot));
        }
        // The level range the tester takes moves with the coupling loss.
        const double low = -100.0 - r.couplingLoss, high = low + 60.0;
        if (r.rfLevel < low || r.rfLevel > high)
            return Fail(LineOf("radio", "rf_level"), "rf_level",
                        Number(r.rfLevel) + " is outside " + Number(low) + " to " + Number(high) +
                            " dBm for a coupling loss of " + Number(r.couplingLoss) + " dB");
        return true;
    }

    bool CheckMeasurements() {
        if (std::none_of(m_plan.measure.begin(), m_plan.measure.end(), [](bool b) { return b; }))
            return Fail(0, "", "the plan takes no measurement ([measure] ntp = yes, ...)");
        // These need the device to loop the tester's data back, as in the link window.
        if (m_plan.radio.signallingMode != "LOOP") {
            for (Measurement m : {Measurement::FrequencyOffset, Measurement::BField,
                                  Measurement::Drift, Measurement::Ber})
                if (m_plan.Takes(m))
                    return Fail(LineOf("measure", MeasurementKey(m)), MeasurementKey(m),
                                "needs signalling_mode = LOOP");
        }
        return true;
    }

    bool ReadLimits(CSimpleIniA& ini) {
        const common::SetupSide side =
            m_plan.role == Role::PP ? common::SetupSide::PP : common::SetupSide::FP;
        common::SetupLimits texts = common::FactorySetupLimits();
        std::string limitsPath;  // where each text that is not inline came from
        PlanLimits& limits = m_plan.limits;
        limits.source = "factory";
        if (!m_plan.limitsFile.empty()) {
            std::filesystem::path file(m_plan.limitsFile);
            // A plan travels with its setup file: a relative name is taken from its folder.
            if (file.is_relative()) file = std::filesystem::path(m_path).parent_path() / file;
            limitsPath = file.lexically_normal().string();
            m_plan.limitsFile = limitsPath;
            std::string why;
            if (!std::filesystem::is_regular_file(file) ||
                !common::ReadSetupLimits(limitsPath, side, texts, why))
                return Fail(LineOf("test", "limits"), "limits",
                            "cannot read the setup file " + limitsPath);
            limits.source = limitsPath + " [" + std::string(common::SetupSection(side)) + "]";
        }
        // Inline keys override the file's, one by one; where they came from is kept for the
        // error messages.
        std::array<std::array<bool, 4>, 7> inlineLimit{};
        std::array<bool, 5> inlineRamp{};
        bool anyInline = false;
        for (const IniEntry& e : m_entries) {
            if (!SameName(e.section, "limits")) continue;
            const std::string value = ini.GetValue("limits", e.key.c_str(), "");
            if (TakeLimitKey(e, value, side, texts, inlineLimit, inlineRamp)) {
                anyInline = true;
                continue;
            }
            if (!m_error.message.empty()) return false;
            return Fail(e.line, e.key, "unknown key in [limits]");
        }
        if (anyInline) limits.source += " with the plan's [limits]";

        auto origin = [&](bool inPlan) {
            return inPlan ? m_path : (limitsPath.empty() ? m_path : limitsPath);
        };
        for (size_t r = 0; r < LimitRows().size(); ++r) {
            const common::LimitRowSpec& limitRow = LimitRows()[r];
            std::array<std::string, 4> rowTexts;
            for (size_t c = 0; c < 4; ++c) rowTexts[c] = texts.limits[r][c].text;
            const std::array<bool, 4> bad = common::CheckRow(limitRow.row, rowTexts);
            for (size_t c = 0; c < 4; ++c) {
                if (!bad[c]) continue;
                const auto column = static_cast<LimitColumn>(c);
                const std::string key = common::LimitKey(limitRow.row, column);
                const bool number = common::ParseLimitNumber(rowTexts[c]).has_value();
                return Fail(texts.limits[r][c].line, key,
                            number ? "limits of " + std::string(limitRow.stem) +
                                         " are out of order (Min < MinOK < MaxOK < Max)"
                                   : "\"" + rowTexts[c] + "\" is not a number",
                            origin(inlineLimit[r][c]));
            }
            for (size_t c = 0; c < 4; ++c)
                if (common::HasColumn(limitRow.row, static_cast<LimitColumn>(c)))
                    limits.rows[r][c] = *common::ParseLimitNumber(rowTexts[c]);
        }
        for (size_t i = 0; i < texts.ramps.size(); ++i) {
            const std::optional<double> n = common::ParseLimitNumber(texts.ramps[i].text);
            const auto [low, high] = kRampRanges[i];
            if (!n || *n < low - 0.5 || *n >= high + 0.5)
                return Fail(texts.ramps[i].line, common::RampKey(side, static_cast<int>(i)),
                            "\"" + texts.ramps[i].text + "\" is not a ramp from " +
                                std::to_string(low) + " to " + std::to_string(high) + " dB",
                            origin(inlineRamp[i]));
            // The tester rounds half away from zero.
            limits.ramps[i] = static_cast<int>(std::lround(*n));
        }
        return CheckExtraLimits();
    }

    // One [limits] key: a setup-page limit, a ramp of this role, or a limit of its own.
    bool TakeLimitKey(const IniEntry& e, const std::string& value, common::SetupSide side,
                      common::SetupLimits& texts, std::array<std::array<bool, 4>, 7>& inlineLimit,
                      std::array<bool, 5>& inlineRamp) {
        for (size_t r = 0; r < LimitRows().size(); ++r)
            for (LimitColumn column : common::kLimitColumns) {
                if (!common::HasColumn(LimitRows()[r].row, column) ||
                    !SameName(e.key, common::LimitKey(LimitRows()[r].row, column)))
                    continue;
                const auto c = static_cast<size_t>(column);
                texts.limits[r][c] = {value, e.line};
                inlineLimit[r][c] = true;
                return true;
            }
        for (size_t i = 0; i < texts.ramps.size(); ++i)
            if (SameName(e.key, common::RampKey(side, static_cast<int>(i)))) {
                texts.ramps[i] = {value, e.line};
                inlineRamp[i] = true;
                return true;
            }
        static const std::array<ExtraLimit, 5> extras = {{
            {"JitterMax", [](PlanLimits& l) { return &l.jitterMax; }},
            {"PacketDelayMin", [](PlanLimits& l) { return &l.packetDelay.min; }},
            {"PacketDelayMax", [](PlanLimits& l) { return &l.packetDelay.max; }},
            {"TimingAccMin", [](PlanLimits& l) { return &l.timingAccuracy.min; }},
            {"TimingAccMax", [](PlanLimits& l) { return &l.timingAccuracy.max; }},
        }};
        for (const ExtraLimit& x : extras)
            if (SameName(e.key, x.key)) {
                const std::optional<double> n = common::ParseLimitNumber(value);
                if (!n) {
                    Fail(e.line, e.key, "\"" + value + "\" is not a number");
                    return false;
                }
                *x.field(m_plan.limits) = n;
                return true;
            }
        return false;
    }

    // Jitter, packet delay and timing accuracy are judged only against limits the plan gives.
    bool CheckExtraLimits() {
        PlanLimits& l = m_plan.limits;
        auto need = [&](Measurement m, bool given, const char* keys) {
            if (!m_plan.Takes(m) || given) return true;
            return Fail(LineOf("measure", MeasurementKey(m)), MeasurementKey(m),
                        std::string("needs ") + keys + " in [limits]");
        };
        if (!need(Measurement::Jitter, l.jitterMax.has_value(), "JitterMax") ||
            !need(Measurement::PacketDelay, l.packetDelay.min || l.packetDelay.max,
                  "PacketDelayMin and/or PacketDelayMax") ||
            !need(Measurement::TimingAccuracy, l.timingAccuracy.min || l.timingAccuracy.max,
                  "TimingAccMin and/or TimingAccMax"))
            return false;
        if (l.jitterMax && *l.jitterMax < 0)
            return Fail(LineOf("limits", "JitterMax"), "JitterMax", "must not be negative");
        for (auto [range, key] : {std::pair{&l.packetDelay, "PacketDelayMax"},
                                  std::pair{&l.timingAccuracy, "TimingAccMax"}})
            if (range->min && range->max && *range->min > *range->max)
                return Fail(LineOf("limits", key), key, "is below the Min");
        return true;
    }

    std::string m_path;
    PlanError& m_error;
    std::vector<IniEntry> m_entries;
    TestPlan m_plan;
};

}  // namespace

std::string PlanError::Text() const {
    std::string text = file;
    if (line > 0) text += ":" + std::to_string(line);
    text += ": ";
    if (!key.empty()) text += key + ": ";
    return text + message;
}

const char* RoleName(Role role) {
    return role == Role::PP ? "PP" : "FP";
}

const char* MeasurementKey(Measurement m) {
    return kMeasurementKeys[static_cast<size_t>(m)];
}

std::optional<TestPlan> ReadTestPlan(const std::string& path, PlanError& error) {
    error = {};
    return PlanReader(path, error).Read();
}

}  // namespace tavrin::cli
