// Until the PP and FP test pages take their state from the session: the old place of TWenloForm.
#pragma once
#include "shell/TWenloForm.h"
