// Turning a session report into a recorded run, and storing or spooling it.
#include "ResultsRecorder.h"

#include <openssl/evp.h>
#include <sys/random.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "ResultsSpool.h"
#include "ResultsTarget.h"
#include "TestCommand.h"

namespace tavrin::results {
namespace {

std::string Hex(const unsigned char* bytes, size_t count) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

std::optional<double> Limit(const cli::ResultRow& row, const char* name) {
    for (const auto& [limit, value] : row.limitValues)
        if (limit == name) return value;
    return std::nullopt;
}

}  // namespace

std::string NewUid() {
    unsigned char bytes[16] = {};
    size_t done = 0;
    while (done < sizeof bytes) {
        const ssize_t n = getrandom(bytes + done, sizeof bytes - done, 0);
        if (n > 0) done += static_cast<size_t>(n);
    }
    return Hex(bytes, sizeof bytes);
}

std::string FileSha256(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "";
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!EVP_Digest(text.data(), text.size(), digest, &length, EVP_sha256(), nullptr)) return "";
    return Hex(digest, length);
}

RunSetting SettingOf(const cli::Options& options) {
    RunSetting s;
    s.station = options.station;
    if (s.station.empty()) {
        char host[256] = {};
        if (gethostname(host, sizeof host - 1) == 0) s.station = host;
    }
    s.driver = options.simulate ? "sim" : options.driver.empty() ? "libftdi" : options.driver;
    if (options.model) s.deviceProfile = "model " + *options.model;
    if (options.dut)
        s.deviceProfile +=
            (s.deviceProfile.empty() ? "" : ", ") + std::string("dut ") + *options.dut;
    return s;
}

RecordedRun RecordOf(const cli::SessionReport& report, const RunSetting& setting, int exitStatus) {
    const cli::TestPlan& plan = *report.plan;
    RecordedRun r;
    r.uid = NewUid();
    r.started = report.start;
    r.ended = report.end;
    r.station = setting.station;
    r.serial = report.serial;
    // A plan without a name is known by its file's name, as the reports' suite name is.
    r.planName = plan.name.empty() ? plan.path.substr(plan.path.find_last_of('/') + 1) : plan.name;
    r.planFile = plan.path;
    r.planHash = FileSha256(plan.path);
    r.role = cli::RoleName(plan.role);
    r.testerHardware = report.tester.hardware;
    r.testerFirmware = report.tester.firmware;
    r.testerSerial = report.tester.serial;
    r.library = report.tester.library;
    r.driver = setting.driver;
    r.deviceProfile = setting.deviceProfile;
    r.repetitions = static_cast<int>(report.runs.size());
    r.verdict = cli::StatusWord(cli::Overall(report.runs));
    r.exitStatus = exitStatus;
    for (size_t i = 0; i < report.runs.size(); ++i) {
        const cli::RunResult& run = report.runs[i].result;
        if (r.error.empty()) r.error = run.error;
        for (size_t p = 0; p < run.rows.size(); ++p) {
            const cli::ResultRow& row = run.rows[p];
            RecordedMeasurement m;
            m.repetition = static_cast<int>(i + 1);
            m.position = static_cast<int>(p + 1);
            m.key = row.key;
            m.name = row.name;
            m.unit = row.unit;
            m.value = row.value;
            m.shown = row.text;
            m.limitMin = Limit(row, "Min");
            m.limitMinOk = Limit(row, "MinOK");
            m.limitMaxOk = Limit(row, "MaxOK");
            m.limitMax = Limit(row, "Max");
            m.verdict = row.pass ? "PASS" : "FAIL";
            r.measurements.push_back(m);
        }
    }
    return r;
}

Delivery StoreRun(const Target& target, const RecordedRun& run, const std::string& spool) {
    const std::unique_ptr<Database> db = Open(target);
    EnsureSchema(*db);
    WriteRun(*db, run);
    return DeliverSpool(*db, spool, SpoolKey(target));
}

int RecordSession(const cli::SessionReport& report, const cli::Options& options, int exitStatus) {
    Target target;
    std::string message;
    // The options were checked when they were read; a target that fails here records nothing.
    if (!ParseTarget(options.results, target, message)) {
        std::fprintf(stderr, "tavrin-cli: %s\n", message.c_str());
        return cli::kTestError;
    }
    if (target.kind == Target::Kind::None) return exitStatus;
    const RecordedRun run = RecordOf(report, SettingOf(options), exitStatus);
    const std::string folder = SpoolFolder();
    std::string why;
    try {
        const Delivery delivery = StoreRun(target, run, folder);
        std::printf("Results recorded in %s\n", target.Shown().c_str());
        if (delivery.delivered > 0)
            std::printf("%d spooled run%s delivered from %s\n", delivery.delivered,
                        delivery.delivered == 1 ? "" : "s", folder.c_str());
        for (const std::string& problem : delivery.problems)
            std::fprintf(stderr, "tavrin-cli: spool: %s\n", problem.c_str());
        std::fflush(stdout);
        return exitStatus;
    } catch (const DatabaseError& e) {
        why = e.what();
    }
    std::string path, error;
    if (!SpoolRun(folder, SpoolKey(target), run, path, error)) {
        std::fprintf(stderr,
                     "tavrin-cli: the run is not recorded: %s cannot be reached (%s) and the "
                     "spool cannot be written: %s\n",
                     target.Shown().c_str(), why.c_str(), error.c_str());
        return cli::kTestError;
    }
    std::fprintf(stderr,
                 "tavrin-cli: results database %s cannot be reached: %s\n"
                 "tavrin-cli: the run is spooled in %s and goes to the database with the next "
                 "run that reaches it\n",
                 target.Shown().c_str(), why.c_str(), path.c_str());
    return exitStatus + kSpooledExitFlag;
}

}  // namespace tavrin::results
