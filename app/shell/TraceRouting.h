// The library's trace lines routed into the trace log (into the console in debug mode), and the
// tester's loss and return noted there.
#pragma once

#include <QString>
#include <memory>

namespace tavrin::app {

class TraceLog;
class TWenloForm;

// Opens the frame's trace log at `path` and routes the library's lines to it on the tester
// thread; the tester's loss and return each add a line.
std::unique_ptr<TraceLog> RouteTraceLog(TWenloForm& frame, const QString& path);

}  // namespace tavrin::app
