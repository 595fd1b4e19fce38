// The in-memory PC: spooler.
#include "platform/fake/fake_pc.h"

namespace platform {}  // namespace platform
