// The platform family: what the NT and the 9x family register with the
// spooler and which files they copy, chosen by the Windows major version.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace monitor {

inline constexpr char kMonitorName[] = "Printer Sharing Port Monitor";

struct Family {
  std::string environment;          // the spooler's environment name
  std::string monitorDll;           // base name of the DLL registered, whose version counts
  std::string dllName;              // the DLL name given to the spooler
  std::vector<std::string> copied;  // base names copied into the system directory, in order
};

// Major version 5 and above: the NT family; 4 and below: the 9x family.
const Family& familyFor(std::uint8_t majorVersion);

// A shipped file: AppPath, a backslash, the base name, ".dl_".
std::string shippedFile(const std::string& appPath, const std::string& base);
// An installed file: the system directory, a backslash, the base name, ".dll".
std::string installedFile(const std::string& systemDirectory, const std::string& base);

}  // namespace monitor
