#include "monitor/family.h"

namespace monitor {

namespace {
const Family kNt{"Windows NT x86", "talomon", "talomon.dll", {"talomon", "taloui"}, ""};
const Family k9x{"Windows 4.0", "lprmon", "lprmon.dll", {"lprmon"}, ""};
const Family kX64{"Windows x64", "talomon", "talomon.dll", {"talomon", "taloui"}, "x64"};
}  // namespace

const Family& familyFor(std::uint8_t majorVersion, bool x64) {
  return majorVersion < 5 ? k9x : x64 ? kX64 : kNt;
}

std::string shippedFile(const std::string& folder, const std::string& base) {
  return folder + "\\" + base + ".dl_";
}

std::string installedFile(const std::string& systemDirectory, const std::string& base) {
  return systemDirectory + "\\" + base + ".dll";
}

}  // namespace monitor
