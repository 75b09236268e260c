// The setup files wired to the program: the Setup group's buttons of both setup pages, what a
// load does beyond filling in controls, and the limit check after every load.
#pragma once

#include <memory>

namespace tavrin::app {

class SetupFiles;
class TWenloForm;

std::unique_ptr<SetupFiles> WireSetupFiles(TWenloForm& frame);
// Checks all fourteen limit rows, PP first.
void CheckAllLimitRows(TWenloForm& frame);

}  // namespace tavrin::app
