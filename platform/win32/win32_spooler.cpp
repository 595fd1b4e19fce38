#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace platform {}  // namespace platform
