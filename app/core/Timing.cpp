// Scaled intervals and the event-processing wait.
#include "Timing.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace tavrin::app {

int Timing::ms(int nominal) const {
    return std::max(1, static_cast<int>(std::lround(nominal * scale)));
}

void WaitProcessingEvents(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace tavrin::app
