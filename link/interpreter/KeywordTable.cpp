// The entries in the order of the language's own listing.
#include "KeywordTable.h"

#include <cstring>

namespace tavrin {
namespace {

// The table keeps the layout of the language listing, several entries a line.
// clang-format off
constexpr Keyword kKeywords[] = {
    // First level
    {"CONF", 0x10000000}, {"PROC", 0x20000000}, {"SENS", 0x30000000}, {"READ", 0x40000000},
    {"SYST", 0x50000000}, {"STAT", 0x60000000}, {"SOUR", 0x70000000}, {"FETC", 0x80000000},
    {"STRT", 0x90000000},
    // Second level, first bank
    {"TEST", 0x01000000}, {"SEL", 0x02000000}, {"SELE", 0x02000000}, {"DET", 0x03000000},
    {"DETE", 0x03000000}, {"PP", 0x04000000}, {"FP", 0x05000000}, {"CONN", 0x06000000},
    {"AVER", 0x07000000}, {"TIM", 0x08000000}, {"TIMI", 0x08000000}, {"BER", 0x09000000},
    {"CAL", 0x0A000000}, {"CALI", 0x0A000000}, {"SCAL", 0x0B000000}, {"DEV", 0x0C000000},
    {"DEVI", 0x0C000000}, {"MOD", 0x0D000000}, {"MODU", 0x0D000000}, {"SYNC", 0x0E000000},
    {"FIRM", 0x0F000000},
    // Second level, second bank
    {"CORR", 0x00800000}, {"POW", 0x01800000}, {"POWE", 0x01800000}, {"COMM", 0x02800000},
    {"PRES", 0x03800000}, {"MEMO", 0x04800000}, {"RESE", 0x05800000}, {"ERR", 0x06800000},
    {"HW", 0x07800000}, {"SAMP", 0x08800000}, {"PASS", 0x09800000}, {"SER", 0x0A800000},
    {"ATT", 0x0B800000}, {"PACK", 0x0C800000},
    // Second level, third bank
    {"XZF", 0x00C00000}, {"CRC", 0x01C00000}, {"NUMB", 0x02C00000},
    // Third level
    {"RFPI", 0x00010000}, {"PMID", 0x00020000}, {"DUMM", 0x00030000}, {"TRAF", 0x00040000},
    {"RF", 0x00050000}, {"SIGN", 0x00060000}, {"ANT", 0x00070000}, {"ANTE", 0x00070000},
    {"SET", 0x00080000}, {"SETU", 0x00080000}, {"REL", 0x00090000}, {"RELE", 0x00090000},
    {"BURS", 0x000A0000}, {"EVAL", 0x000B0000}, {"DATA", 0x000C0000}, {"NTP", 0x000D0000},
    {"BF", 0x000E0000}, {"BFIE", 0x000E0000}, {"SF", 0x000F0000}, {"SFIE", 0x000F0000},
    {"TIME", 0x00100000}, {"TYPE", 0x00110000}, {"FREQ", 0x00120000}, {"LTER", 0x00130000},
    {"PORT", 0x00140000}, {"VERS", 0x00150000}, {"LOSS", 0x00160000}, {"TRAN", 0x00170000},
    {"OUTP", 0x00180000}, {"RFGE", 0x00190000}, {"FORC", 0x001A0000}, {"NUM", 0x001B0000},
    {"MATC", 0x00002F00}, {"EXTF", 0x001E0000}, {"ALTX", 0x001F0000},
    // Fourth level
    {"SLOT", 0x00001000}, {"CARR", 0x00002000}, {"LEV", 0x00003000}, {"LEVE", 0x00003000},
    {"MODE", 0x00004000}, {"NONE", 0x00005000}, {"MAN", 0x00006000}, {"MANU", 0x00006000},
    {"OFFS", 0x00007000}, {"DRIF", 0x00008000}, {"ACC", 0x00009000}, {"ACCU", 0x00009000},
    {"WIND", 0x0000A000}, {"RANG", 0x0000B000}, {"AUTO", 0x0000C000}, {"CTRL", 0x0000D000},
    {"CONT", 0x0000E000},
    {"SIZE", 0x001C0000}, {"DEL", 0x001D0000}, {"PRO", 0x0000F000}, {"REF", 0x00000F00},
    {"DYN", 0x00001F00}, {"NOW", 0x00003F00},
    // Parameter words
    {"DPP", 0x00000010}, {"DFP", 0x00000020}, {"NORM", 0x00000030}, {"LOOP", 0x00000040},
    {"ECH", 0x00000050}, {"ECHO", 0x00000050}, {"PSRB", 0x00000060}, {"SPSR", 0x00000070},
    {"BS55", 0x00000080}, {"BS33", 0x00000090}, {"BS0F", 0x000000A0}, {"FIG3", 0x000000B0},
    {"BS20", 0x00000150}, {"NOP0", 0x00000130}, {"ON", 0x000000C0}, {"OFF", 0x000000D0},
    {"MAST", 0x000000E0}, {"LPT1", 0x000000F0}, {"LPT2", 0x00000100}, {"LPT3", 0x00000110},
    {"USB", 0x00000115}, {"PPODD", 0x00000120}, {"RX", 0x00000140}, {"UNIT", 0x00000160},
    {"MS", 0x00000170},
    {"CALC", 0xA0000000}, {"LIM", 0x0D800000}, {"JITT", 0x0E800000}, {"MEAS", 0x0F800000},
    {"MAT", 0x00000180}, {"TEMP", 0x00000190}, {"P32", 0x000001A0}, {"P32Z", 0x000001B0},
    {"PP32Z", 0x000001C0}, {"P64", 0x000001D0}, {"P64Z", 0x000001E0}, {"PP64Z", 0x000001F0},
    {"P80Z", 0x00000200}, {"AVG", 0x00000210}, {"RMPA", 0x00000220}, {"RMPB", 0x00000230},
    {"RMPC", 0x00000240}, {"RMPD", 0x00000260}, {"RMPE", 0x00000280}, {"RMPF", 0x00000288},
    {"M50K", 0x00000118}, {"P50K", 0x00000119}, {"I10M", 0x00000116}, {"E10M", 0x00000117},
    {"HIGH", 0x00000131}, {"LOW", 0x00000132}, {"NONE", 0x00005000},
    // Common commands
    {"*CLS", 0x00000102}, {"*ESE", 0x00000202}, {"*ESR", 0x00000302}, {"*IDN", 0x00000402},
    {"*IST", 0x00000502}, {"*OPC", 0x00000602}, {"*OPT", 0x00000702}, {"*PRE", 0x00000802},
    {"*PSC", 0x00000902}, {"*RST", 0x00000A02}, {"*SRE", 0x00000B02}, {"*STB", 0x00000C02},
    {"*TST", 0x00000D02}, {"*WAI", 0x00000E02},
    // Terminator
    {"END ", 0x00000000},
};
// clang-format on

static_assert(std::size(kKeywords) == kKeywordEntries + 1);

}  // namespace

std::span<const Keyword> KeywordTable() {
    return kKeywords;
}

uint32_t LookUpKeyword(const char* token) {
    // The token buffer is zero padded, so comparing 4 bytes also tells "PP" from "PPODD".
    char probe[4] = {};
    for (size_t i = 0; i < 4 && token[i]; ++i) probe[i] = token[i];
    for (const Keyword& k : kKeywords) {
        if (k.code == 0) break;
        if (std::memcmp(k.name, probe, 4) == 0) return k.code;
    }
    return 0;
}

}  // namespace tavrin
