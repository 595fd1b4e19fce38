#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

Platform::~Platform() {
  if (threads_.load() > 0) {
    std::fputs("platform destroyed while a thread uses it\n", stderr);
    std::fflush(stderr);
    std::_Exit(3);
  }
}

Error Platform::systemProgram(const std::string& name, std::string& path) {
  path.clear();
  std::string folder;
  if (Error e = systemDirectory(folder)) return e;
  std::uint32_t version = 0;
  // GetVersion's high bit: the 9x family (C:\WINDOWS\SYSTEM under C:\WINDOWS).
  if (getVersion(version) == kOk && (version & 0x80000000u)) {
    std::string::size_type slash = folder.rfind('\\');
    if (slash != std::string::npos && slash > 0) folder.resize(slash);
  }
  path = folder + "\\" + name;
  return kOk;
}

}  // namespace platform
