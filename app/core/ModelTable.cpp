// The model table.
#include "ModelTable.h"

#include <cstring>

namespace tavrin::app {
namespace {

constexpr TesterModel kModels[] = {
    {"Sabrel", 9, "[0..9]", std::nullopt, true, false},
    {"Pellis", 13, "[0..13]", std::nullopt, true, true},
    {"Tavrin", 9, "[0..9]", std::nullopt, true, false},
    {"Ulmet", 7, "[1..7]", 1, false, true},
    {"Quorin", 9, "[0..9]", 0, false, true},
};

}  // namespace

std::span<const TesterModel> TesterModels() {
    return kModels;
}

const TesterModel* IdentifyModel(std::string_view answer) {
    for (const TesterModel& model : kModels) {
        if (answer.starts_with(model.baseName)) return &model;
    }
    return nullptr;
}

std::string HardwareIdText(std::string_view answer, const TesterModel& model) {
    std::string text(answer);
    const size_t after = std::strlen(model.baseName);
    if (text.size() > after) text[after] = ' ';
    return text;
}

}  // namespace tavrin::app
