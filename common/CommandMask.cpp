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

// True when `text` begins with `word`, in any case.
bool StartsWith(std::string_view text, std::string_view word) {
    if (text.size() < word.size()) return false;
    for (size_t k = 0; k < word.size(); ++k)
        if (std::toupper(static_cast<unsigned char>(text[k])) !=
            std::toupper(static_cast<unsigned char>(word[k])))
            return false;
    return true;
}

// Where "PASS" (any case) first appears outside quotes, or npos. Any appearance counts, not
// only a whole keyword: masking too much is harmless, missing one is not.
size_t FindPass(std::string_view command) {
    bool quoted = false;
    for (size_t i = 0; i < command.size(); ++i) {
        if (command[i] == '"') quoted = !quoted;
        if (!quoted && StartsWith(command.substr(i), "PASS")) return i;
    }
    return std::string_view::npos;
}

size_t WordEnd(std::string_view text, size_t i) {
    while (i < text.size() && IsWordChar(text[i])) ++i;
    return i;
}

std::string MaskCommand(std::string_view command) {
    const size_t pass = FindPass(command);
    if (pass == std::string_view::npos) return std::string(command);
    // The header word is "PASS" or its long form "PASSWORD" (or a part of "WORD"); other
    // letters glued to it may be the code typed without a blank, so they are masked.
    size_t p = pass + 4;
    if (const size_t end = WordEnd(command, p); StartsWith("WORD", command.substr(p, end - p)))
        p = end;
    // "SYST" may follow, joined by ":", as the interpreter takes header words in any order;
    // any other word there is masked.
    for (size_t q = SkipBlanks(command, p); q < command.size() && command[q] == ':';) {
        const size_t word = SkipBlanks(command, q + 1);
        if (!StartsWith(command.substr(word), "SYST")) break;
        p = WordEnd(command, word);
        q = SkipBlanks(command, p);
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
