#include "platform/files.h"

namespace platform {}  // namespace platform
