// The RF level rule shared by the PP, FP and generator pages.
#include "RFLevelRule.h"

#include <algorithm>
#include <cmath>

#include "EntryRules.h"

namespace tavrin::app {

LevelEntry CheckRFLevel(const QString& text, double couplingLoss, LevelMessage style) {
    const double a = couplingLoss;
    const double af = std::floor(a);
    const QString top = FormatNumber(-40 - a);
    LevelEntry e;
    e.text = text.isEmpty() ? top : text;
    std::optional<double> level = ParseNumber(e.text);
    if (!level) {
        e.errorMessage = "Error. Setting default (" + top + ")";
        e.text = top;
        level = -40 - a;
    }
    if (*level < -100 - af || *level > -40 - af) {
        const double named = style == LevelMessage::WholeLoss ? -40 - af : -40 - a;
        e.rangeMessage = "Range error. Setting default (" + FormatNumber(named) + ")";
        level = -40 - af;
        e.text = FormatNumber(*level);
    }
    e.level = *level;
    e.trackBarPosition =
        std::clamp(static_cast<int>(std::ceil(*level + 100 + af)), 0, kTrackBarMaximum);
    return e;
}

double TrackBarLevel(int position, double couplingLoss) {
    return std::clamp(position, 0, kTrackBarMaximum) - 100 - couplingLoss;
}

bool LevelWithinLossRange(double level, double couplingLoss) {
    return level >= -100 - couplingLoss && level <= -40 - couplingLoss;
}

}  // namespace tavrin::app
