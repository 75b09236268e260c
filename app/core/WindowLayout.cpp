// The default layout table.
#include "WindowLayout.h"

namespace tavrin::app {
namespace {

struct ChartHeight {
    int screenHeight;
    int chartHeight;
};

constexpr ChartHeight kChartHeights[] = {
    {1200, 232}, {1024, 188}, {960, 172}, {864, 148}, {768, 124},
};

constexpr int kChartWidth = 598;
constexpr int kConsoleBottomMargin = 28;  // room for a task bar under the console

}  // namespace

std::optional<int> ChartHeightForScreen(int screenHeight) {
    for (const ChartHeight& row : kChartHeights) {
        if (row.screenHeight == screenHeight) return row.chartHeight;
    }
    return std::nullopt;
}

WindowSet DefaultLayout(const WindowSet& current, int screenHeight) {
    WindowSet placed = current;
    WindowRect& m = placed.main;
    m.left = 0;
    m.top = 0;

    placed.console = {m.left, m.top + m.height, m.width,
                      screenHeight - m.height - kConsoleBottomMargin};

    placed.link.left = m.left + m.width;
    placed.link.top = m.top;

    placed.modulation.left = m.left + m.width;
    placed.modulation.top = placed.link.top + placed.link.height;
    placed.modulation.width = kChartWidth;
    if (const auto h = ChartHeightForScreen(screenHeight)) placed.modulation.height = *h;

    placed.ntp = {m.left + m.width, placed.modulation.top + placed.modulation.height, kChartWidth,
                  placed.modulation.height};
    return placed;
}

}  // namespace tavrin::app
