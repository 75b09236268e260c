// The shell's wiring of pages and windows: the session's signals handed to the windows that
// act on them, so no window reaches into another.
#pragma once

#include "display/TLinkConnectForm.h"

namespace tavrin::app {

class TWenloForm;

// What the link window reads of the chart windows and the setup pages.
TLinkConnectForm::Links LinkWindowLinks(TWenloForm& frame);
// The chart windows follow the session: the power chart's range, and the session learns
// whether the power chart is shown.
void WireCharts(TWenloForm& frame);
// The tester thread's echo into the console and the communication log.
void WireConsoleEcho(TWenloForm& frame);
// The test pages, the analyzer page and the measurement log follow the link window's opening
// and closing, its Reset Count handshake and the FP status poll.
void WireTestPages(TWenloForm& frame);

}  // namespace tavrin::app
