// The printers on the monitor's port "Remote Port": 1 when at least one
// local printer uses it, 0 when none does, -1 when they could not be
// listed or moved (after its message); bMove 1 moves them to "LPT1:".
// Defined in printers/.
#pragma once

#include "platform/platform.h"

namespace printers {
int checkRemotePort(platform::Platform& os, int bMove);
}  // namespace printers
