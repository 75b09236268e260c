// Spool files: a line-based text of tab-separated fields with \t, \n, \r and \\ escaped.
#include "ResultsSpool.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tavrin::results {
namespace {

constexpr const char* kMagic = "tavrin-results-spool 1";

std::string Escaped(const std::string& s) {
    std::string out;
    for (const char c : s) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c == '\\' && i + 1 < line.size()) {
            const char e = line[++i];
            fields.back() += e == 't' ? '\t' : e == 'n' ? '\n' : e == 'r' ? '\r' : e;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

std::string Number(const std::optional<double>& v) {
    if (!v) return "";
    char text[64];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, *v);
    return std::string(text, ec == std::errc() ? end : text);
}

bool ReadNumber(const std::string& text, std::optional<double>& v) {
    if (text.empty()) {
        v.reset();
        return true;
    }
    double d = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), d);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    v = d;
    return true;
}

bool ReadInt(const std::string& text, int& v) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::string Line(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) line += (i ? "\t" : "") + Escaped(fields[i]);
    return line + "\n";
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::string SpoolKey(const Target& target) {
    if (target.kind == Target::Kind::SQLite)
        return "sqlite:" + std::filesystem::absolute(target.location).lexically_normal().string();
    return target.Shown();
}

std::string SpoolText(const RecordedRun& r, const std::string& key) {
    std::string text = std::string(kMagic) + "\n";
    text += Line({"target", key});
    text += Line({"run",
                  r.uid,
                  r.started,
                  r.ended,
                  r.station,
                  r.serial,
                  r.planName,
                  r.planFile,
                  r.planHash,
                  r.role,
                  r.testerHardware,
                  r.testerFirmware,
                  r.testerSerial,
                  r.library,
                  r.driver,
                  r.deviceProfile,
                  std::to_string(r.repetitions),
                  r.verdict,
                  std::to_string(r.exitStatus),
                  r.error});
    for (const RecordedMeasurement& m : r.measurements)
        text += Line({"measurement", std::to_string(m.repetition), std::to_string(m.position),
                      m.key, m.name, m.unit, Number(m.value), m.shown, Number(m.limitMin),
                      Number(m.limitMinOk), Number(m.limitMaxOk), Number(m.limitMax), m.verdict});
    // The count at the end shows that nothing between was cut.
    text += Line({"end", std::to_string(r.measurements.size())});
    return text;
}

std::optional<RecordedRun> ParseSpoolText(const std::string& text, std::string& key) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kMagic) return std::nullopt;
    RecordedRun r;
    bool haveRun = false, ended = false;
    while (std::getline(in, line)) {
        if (ended) return std::nullopt;
        const std::vector<std::string> f = Fields(line);
        if (f[0] == "target" && f.size() == 2) {
            key = f[1];
        } else if (f[0] == "run" && f.size() == 20 && !haveRun) {
            std::string* texts[] = {
                &r.uid,     &r.started,        &r.ended,          &r.station,
                &r.serial,  &r.planName,       &r.planFile,       &r.planHash,
                &r.role,    &r.testerHardware, &r.testerFirmware, &r.testerSerial,
                &r.library, &r.driver,         &r.deviceProfile};
            for (size_t i = 0; i < std::size(texts); ++i) *texts[i] = f[i + 1];
            r.verdict = f[17];
            r.error = f[19];
            if (!ReadInt(f[16], r.repetitions) || !ReadInt(f[18], r.exitStatus))
                return std::nullopt;
            haveRun = true;
        } else if (f[0] == "measurement" && f.size() == 13 && haveRun) {
            RecordedMeasurement m;
            m.key = f[3];
            m.name = f[4];
            m.unit = f[5];
            m.shown = f[7];
            m.verdict = f[12];
            if (!ReadInt(f[1], m.repetition) || !ReadInt(f[2], m.position) ||
                !ReadNumber(f[6], m.value) || !ReadNumber(f[8], m.limitMin) ||
                !ReadNumber(f[9], m.limitMinOk) || !ReadNumber(f[10], m.limitMaxOk) ||
                !ReadNumber(f[11], m.limitMax))
                return std::nullopt;
            r.measurements.push_back(m);
        } else if (f[0] == "end" && f.size() == 2 && haveRun &&
                   f[1] == std::to_string(r.measurements.size())) {
            ended = true;
        } else {
            return std::nullopt;
        }
    }
    if (!ended || r.uid.empty()) return std::nullopt;
    return r;
}

bool SpoolRun(const std::string& folder, const std::string& key, const RecordedRun& run,
              std::string& path, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    // Start time first, so the folder lists the runs in the order they were taken.
    std::string stamp = run.started;
    stamp.erase(std::remove(stamp.begin(), stamp.end(), ':'), stamp.end());
    path = folder + "/" + stamp + "-" + run.uid + ".run";
    const std::string temp = path + ".tmp";
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot write " + temp + ": " + std::strerror(errno);
        return false;
    }
    const bool ok = WriteAll(fd, SpoolText(run, key)) && fsync(fd) == 0;
    const int savedErrno = errno;
    if (close(fd) != 0 || !ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(ok ? errno : savedErrno);
        std::remove(temp.c_str());
        return false;
    }
    // The rename itself is made durable by syncing the folder.
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

Delivery DeliverSpool(Database& db, const std::string& folder, const std::string& key) {
    Delivery delivery;
    std::error_code ec;
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.path().extension() == ".run") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        if (!in) continue;  // delivered by another process a moment ago
        std::stringstream text;
        text << in.rdbuf();
        std::string fileKey;
        const std::optional<RecordedRun> run = ParseSpoolText(text.str(), fileKey);
        if (!run) {
            delivery.problems.push_back(file + ": not a whole spool file; left in place");
            continue;
        }
        if (fileKey != key) continue;
        try {
            WriteRun(db, *run);
        } catch (const DatabaseError& e) {
            delivery.problems.push_back(file + ": " + e.what());
            continue;
        }
        ++delivery.delivered;
        std::filesystem::remove(file, ec);
    }
    return delivery;
}

}  // namespace tavrin::results
