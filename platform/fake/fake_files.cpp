// The in-memory PC: files.
#include "platform/fake/fake_pc.h"

namespace platform {}  // namespace platform
