// Until the PP and FP test pages take their state from the session: the old place of BottomPanel.
#pragma once
#include "pages/BottomPanel.h"
