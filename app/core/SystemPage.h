// Until the PP and FP test pages take their state from the session: the old place of SystemPage.
#pragma once
#include "pages/SystemPage.h"
