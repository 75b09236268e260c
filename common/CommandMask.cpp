// Masking the service access code in a command line.
#include "common/CommandMask.h"

#include <cctype>

namespace tavrin::common {
namespace {

constexpr std::string_view kMasked = "****";
constexpr std::string_view kMaskedQuoted = "\"****\"";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The characters the interpreter reads as part of a word: letters and everything else from
// "A" up to 0x7F, digits and "*".
bool IsWordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 0x7F) || std::isdigit(u) || c == '*';
}

size_t SkipBlanks(std::string_view text, size_t i) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    return i;
}

// The end of the command that starts at `start`: the next ";" outside quotes, or the end.
size_t CommandEnd(std::string_view line, size_t start) {
    bool quoted = false;
    for (size_t i = start; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == ';' && !quoted) return i;
    }
    return line.size();
}

// Where "PASS" (any case) first appears outside quotes, or npos. Any appearance counts, not
// only a whole keyword: masking too much is harmless, missing one is not.
size_t FindPass(std::string_view command) {
    bool quoted = false;
    for (size_t i = 0; i < command.size(); ++i) {
        if (command[i] == '"') quoted = !quoted;
        if (quoted || command.size() - i < 4) continue;
        bool same = true;
        for (size_t k = 0; k < 4 && same; ++k)
            same = std::toupper(static_cast<unsigned char>(command[i + k])) == "PASS"[k];
        if (same) return i;
    }
    return std::string_view::npos;
}

std::string MaskCommand(std::string_view command) {
    const size_t pass = FindPass(command);
    if (pass == std::string_view::npos) return std::string(command);
    // The header goes on to the end of its word and of any words joined to it by ":", since
    // the interpreter takes header words in any order ("PASS:SYST").
    size_t p = pass;
    while (p < command.size() && IsWordChar(command[p])) ++p;
    for (size_t q = SkipBlanks(command, p); q < command.size() && command[q] == ':';
         q = SkipBlanks(command, p)) {
        p = SkipBlanks(command, q + 1);
        while (p < command.size() && IsWordChar(command[p])) ++p;
    }
    if (const size_t q = SkipBlanks(command, p); q < command.size() && command[q] == '?') p = q + 1;
    const size_t first = SkipBlanks(command, p);
    size_t last = command.size();
    while (last > first && IsBlank(command[last - 1])) --last;
    if (first == last) return std::string(command);

    std::string masked(command.substr(0, first));
    masked += command[first] == '"' ? kMaskedQuoted : kMasked;
    masked += command.substr(last);
    return masked;
}

}  // namespace

std::string MaskServiceCode(std::string_view line) {
    std::string masked;
    masked.reserve(line.size() + kMaskedQuoted.size());
    for (size_t start = 0;;) {
        const size_t end = CommandEnd(line, start);
        masked += MaskCommand(line.substr(start, end - start));
        if (end == line.size()) break;
        masked += ';';
        start = end + 1;
    }
    return masked;
}

}  // namespace tavrin::common
