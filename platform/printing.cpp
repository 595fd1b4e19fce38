#include "platform/printing.h"

namespace platform {}  // namespace platform
