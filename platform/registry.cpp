#include "platform/registry.h"

namespace platform {}  // namespace platform
