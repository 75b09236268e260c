// The default places of the program's windows.
#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "core/WindowLayout.h"

namespace tavrin::app {
namespace {

WindowRect FrameRect(const QWidget* w) {
    if (!w) return {};
    const QRect r = w->frameGeometry();
    return {r.left(), r.top(), r.width(), r.height()};
}

// Places a window by its outer frame, as the layout table gives it.
void PlaceFrame(QWidget* w, const WindowRect& r) {
    if (!w) return;
    const QSize decoration = w->frameGeometry().size() - w->geometry().size();
    w->move(r.left, r.top);
    const int width =
        w->minimumWidth() == w->maximumWidth() ? w->width() : r.width - decoration.width();
    w->resize(width, std::max(w->minimumHeight(), r.height - decoration.height()));
}

}  // namespace

QSize PrimaryScreenSize() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->size() : QSize(1280, 1024);
}

void PlaceWindows(const ProgramWindows& w, int screenHeight) {
    WindowSet current;
    current.main = FrameRect(w.main);
    current.console = FrameRect(w.console);
    current.link = FrameRect(w.link);
    current.modulation = FrameRect(w.modulation);
    current.ntp = FrameRect(w.ntp);
    const WindowSet placed = DefaultLayout(current, screenHeight);
    w.main->move(placed.main.left, placed.main.top);
    PlaceFrame(w.console, placed.console);
    w.link->move(placed.link.left, placed.link.top);
    PlaceFrame(w.modulation, placed.modulation);
    PlaceFrame(w.ntp, placed.ntp);
}

}  // namespace tavrin::app
