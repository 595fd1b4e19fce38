#include "platform/spooler.h"

namespace platform {}  // namespace platform
