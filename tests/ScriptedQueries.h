// A tester that answers the measurement cycle's queries from a script: each query in turn from
// its list, the last answer repeating; from the `failAt` query on every exchange fails.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/MeasurementCycle.h"

namespace tavrin::testing {

struct ScriptedReplies {
    // The next answer to `line`; none when the script does not answer it.
    std::optional<std::string> Next(const std::string& line) {
        auto it = replies.find(line);
        if (it == replies.end() || it->second.empty()) return std::nullopt;
        std::string reply = it->second.front();
        if (it->second.size() > 1) it->second.erase(it->second.begin());
        return reply;
    }
    std::map<std::string, std::vector<std::string>> replies;
};

struct ScriptedQueries final : common::QueryPort {
    std::string Query(const std::string& line) override {
        sent.push_back(line);
        if (line == failAt) failed = true;
        return failed ? std::string() : script.Next(line).value_or("");
    }
    bool Failed() const override { return failed; }

    ScriptedReplies script;
    std::vector<std::string> sent;
    std::string failAt;
    bool failed = false;
};

}  // namespace tavrin::testing
