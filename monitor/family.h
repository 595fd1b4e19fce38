// The platform family: what the NT and the 9x family, and the 64-bit wizard
// on x64 Windows, register with the spooler and which files they copy,
// chosen by the Windows major version and the process's bitness.
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
  std::string subfolder;            // of AppPath, where the shipped files lie; empty: AppPath
  // The folder of the shipped files.
  std::string shippedFolder(const std::string& appPath) const {
    return subfolder.empty() ? appPath : appPath + "\\" + subfolder;
  }
};

// Major version 5 and above: the NT family; 4 and below: the 9x family.
// `x64`: the 64-bit wizard on x64 Windows, whose spooler takes "Windows x64"
// and its own 64-bit files, shipped in AppPath\x64.
const Family& familyFor(std::uint8_t majorVersion, bool x64 = false);

// A shipped file: its folder (Family::shippedFolder), a backslash, the base name, ".dl_".
std::string shippedFile(const std::string& folder, const std::string& base);
// An installed file: the system directory, a backslash, the base name, ".dll".
std::string installedFile(const std::string& systemDirectory, const std::string& base);

}  // namespace monitor
