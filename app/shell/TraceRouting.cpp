// The trace log's routing and its lines on the tester's loss and return.
#include "TraceRouting.h"

#include <QTime>

#include "TWenloForm.h"
#include "core/TraceLog.h"
#include "dialogs/TCommForm.h"

namespace tavrin::app {

std::unique_ptr<TraceLog> RouteTraceLog(TWenloForm& frame, const QString& path) {
    TWenloForm* f = &frame;
    TesterWorker* tester = &frame.tester();
    std::function<void(const QString&)> console;
    if (frame.debugMode()) {
        console = [f, tester](const QString& line) {
            tester->toUserInterface([f, line] { f->commForm().appendLine(line); });
        };
    }
    auto log = std::make_unique<TraceLog>(path, console);
    tester->run([raw = log.get()](CommandWrappers&) { RouteTrace(raw); });
    // One line each way; the link window shows the loss itself.
    QObject::connect(tester, &TesterWorker::testerLostChanged, f, [raw = log.get()](bool lost) {
        const QString time = QTime::currentTime().toString("HH:mm:ss.zzz");
        const QString text =
            lost ? "the tester does not answer; it is asked \"STAT:DEV?\" once a second"
                 : "the tester answers again";
        raw->traceLine(("Time: " + time + ": Tavrin: " + text).toLocal8Bit().constData());
    });
    return log;
}

}  // namespace tavrin::app
