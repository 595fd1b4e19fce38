// The in-memory PC: registry.
#include "platform/fake/fake_pc.h"

namespace platform {}  // namespace platform
