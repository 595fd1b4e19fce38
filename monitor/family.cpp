#include "monitor/family.h"

namespace monitor {

namespace {
const Family kNt{"Windows NT x86", "talomon", "talomon.dll", {"talomon", "taloui"}};
const Family k9x{"Windows 4.0", "lprmon", "lprmon.dll", {"lprmon"}};
}  // namespace

const Family& familyFor(std::uint8_t majorVersion) { return majorVersion >= 5 ? kNt : k9x; }

std::string shippedFile(const std::string& appPath, const std::string& base) {
  return appPath + "\\" + base + ".dl_";
}

std::string installedFile(const std::string& systemDirectory, const std::string& base) {
  return systemDirectory + "\\" + base + ".dll";
}

}  // namespace monitor
