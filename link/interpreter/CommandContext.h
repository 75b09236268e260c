// What a command handler works with: the link, the codes of its header and parameters, and
// the cursor on the command line.
#pragma once

#include <cstdint>

#include "transport/Link.h"

namespace tavrin {

struct CommandContext {
    Link& link;
    uint32_t headerCode = 0;
    uint32_t paramCode = 0;
    const char* paramStart = nullptr;  // first token of the parameter part; nullptr when none
    const char* cursor = nullptr;      // where the token loop stopped: a number, a quote, the end

    void Fail(ErrorIndex index) { link.errors.Record(index); }
    bool IsQuery() const { return (headerCode & 1) != 0; }
};

using Handler = void (*)(CommandContext&);

}  // namespace tavrin
