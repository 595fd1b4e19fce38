#include "platform/windows.h"

namespace platform {

std::uint8_t Windows::osMajorVersion() {
  std::uint32_t version = 0;
  if (getVersion(version) != kOk) return 0;
  return static_cast<std::uint8_t>(version & 0xFF);
}

}  // namespace platform
