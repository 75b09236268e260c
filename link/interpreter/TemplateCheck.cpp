// The power-versus-time template: its six limits and the check of the last captured burst.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

#include "ProcedureGroup.h"
#include "Readers.h"
#include "common/StateFolder.h"
#include "transport/Calibration.h"
#include "transport/Capture.h"
#include "transport/TesterCells.h"

namespace tavrin {
namespace {
constexpr int kScanStart = -450;
// Samples of 40 dB and more lie beyond the detector's range and never fail the template.
constexpr double kUnjudgedPower = 40.0;

struct TemplateGeometry {
    int burstEnd;    // a
    int scanEnd;     // e
    int burstStart;  // r
};

// Packet types 1 and 4 end their burst where types 2 and 3 do, so the scan ends there too.
TemplateGeometry GeometryFor(uint8_t packetType) {
    switch (packetType) {
        case 7:
            return {8136, 8100, 0};
        case 5:
            return {6696, 7020, 0};
        case 6:
            return {6696, 7020, -144};
        case 3:
            return {3816, 4140, -144};
        default:
            return {3816, 4140, 0};  // 1, 2 and 4
    }
}

void SetLimit(CommandContext& ctx, int32_t& limit, double minimum, double maximum) {
    if (!NoParameterWord(ctx)) return;
    double value = 0.0;
    if (!ReadReal(ctx, ctx.cursor, value, minimum, maximum)) return;
    limit = static_cast<int32_t>(std::lround(value));
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using TraceFile = std::unique_ptr<std::FILE, FileCloser>;

// The trace is a help for looking at a failed burst; when it cannot be written the check runs
// all the same.
TraceFile OpenTrace(Link& link) {
    const std::string path = TemplateTracePath();
    if (path.empty()) return nullptr;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    TraceFile file(std::fopen(path.c_str(), "w"));
    if (!file) link.trace("Sabrel: template trace %s not written\n", path.c_str());
    return file;
}

bool RunTemplateCheck(Link& link) {
    const TemplateLimits& lim = link.limits;
    const double u0 = link.conf.PowerRangeHigh ? lim.LimitRmpa : lim.LimitRmpb;
    const double p0 = link.capture.AveragePower * 0.1;
    const TemplateGeometry g = GeometryFor(link.conf.PacketType);
    const int a = g.burstEnd, r = g.burstStart;
    // Only positions the store holds are judged: for the longest packet the scan would run
    // past the store's end, where nothing was measured.
    const int scanEnd = std::min(g.scanEnd, static_cast<int>(kSampleRecords) + kScanStart);

    TraceFile trace = OpenTrace(link);
    bool pass = true;
    for (int t = kScanStart; t < scanEnd; ++t) {
        const double p = ReadPwrValue(link, static_cast<uint16_t>(t - kScanStart)) * 0.1;
        double lower = -90.0;
        if (t >= r && t < a)
            lower = p0 + lim.LimitRmpe;
        else if (t >= a && t < a + 5)
            lower = p0 + lim.LimitRmpf;
        double upper;
        if (t < r - 278 || t >= a + 278)
            upper = u0;
        else if (t < r - 103 || t >= a + 103)
            upper = lim.LimitRmpb;
        else if (t < r + 103)
            upper = std::min(p0 + lim.LimitRmpc, 25.0);
        else
            upper = p0 + lim.LimitRmpd;
        if (trace)
            std::fprintf(trace.get(), "%f,%f,%f,%f,%i\n", static_cast<double>(t), p, upper, lower,
                         pass ? 1 : 0);
        if (p < kUnjudgedPower && (p > upper || p < lower)) pass = false;
    }
    return pass;
}

}  // namespace

std::string TemplateTracePath() {
    const std::string folder = common::StateFolder();
    return folder.empty() ? folder : folder + "/template-check.txt";
}

void LimitRmpa(CommandContext& ctx) {
    SetLimit(ctx, ctx.link.limits.LimitRmpa, -100, 0);
}
void LimitRmpb(CommandContext& ctx) {
    SetLimit(ctx, ctx.link.limits.LimitRmpb, -20, 0);
}
void LimitRmpc(CommandContext& ctx) {
    SetLimit(ctx, ctx.link.limits.LimitRmpc, 0, 10);
}
void LimitRmpd(CommandContext& ctx) {
    SetLimit(ctx, ctx.link.limits.LimitRmpd, 0, 10);
}
void LimitRmpe(CommandContext& ctx) {
    SetLimit(ctx, ctx.link.limits.LimitRmpe, -10, 0);
}
void LimitRmpf(CommandContext& ctx) {
    SetLimit(ctx, ctx.link.limits.LimitRmpf, -20, 0);
}

void TemplateMatchQuery(CommandContext& ctx) {
    Link& link = ctx.link;
    if (!link.cal.CalibrationLoaded) LoadCalibration(link);
    if (link.usb.TesterRead(cell::kLinkEstablished) == 0) {
        link.Answer("INV");
        return;
    }
    link.Answer(RunTemplateCheck(link) ? "MATC" : "NMAT");
}

}  // namespace tavrin
