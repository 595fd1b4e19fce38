// The in-memory PC: printing.
#include "platform/fake/fake_pc.h"

namespace platform {}  // namespace platform
