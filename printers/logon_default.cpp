#include "printers/logon_default.h"

namespace printers {

namespace {

// "year,monthday,hourminute,second": four numbers below 65536 that
// Active Setup compares in order, as time runs.
std::string versionOf(const platform::SystemTime& t) {
  return std::to_string(t.year) + "," + std::to_string(t.month * 100 + t.day) + "," +
         std::to_string(t.hour * 100 + t.minute) + "," + std::to_string(t.second);
}

}  // namespace

bool logonDefaultCarries(const std::string& printer) {
  return !printer.empty() && printer.find('"') == std::string::npos && printer.back() != '\\';
}

std::string logonDefaultCommand(const std::string& systemDirectory, const std::string& printer) {
  return "\"" + systemDirectory + "\\rundll32.exe\" printui.dll,PrintUIEntry /y /n \"" + printer +
         "\"";
}

platform::Error registerLogonDefault(platform::Registry& registry, platform::Files& files,
                                     platform::Windows& clock, const std::string& printer) {
  if (!logonDefaultCarries(printer)) return platform::kErrorInvalidPrinterName;
  std::string systemDirectory;
  if (platform::Error e = files.systemDirectory(systemDirectory)) return e;
  platform::SystemTime now;
  if (platform::Error e = clock.systemTime(now)) return e;
  platform::RegKey key = 0;
  if (platform::Error e = registry.regCreateKey(kLogonDefaultKey, key)) return e;
  platform::Error e = registry.regSetString(key, "", kLogonDefaultName);
  if (!e) e = registry.regSetString(key, "Version", versionOf(now));
  // The command last: a registration without it runs nothing.
  if (!e) e = registry.regSetString(key, "StubPath", logonDefaultCommand(systemDirectory, printer));
  registry.regCloseKey(key);
  if (e) registry.regDeleteKey(kLogonDefaultKey);
  return e;
}

platform::Error unregisterLogonDefault(platform::Registry& registry, bool& removed) {
  removed = false;
  platform::Error e = registry.regDeleteKey(kLogonDefaultKey);
  if (e == platform::kErrorFileNotFound) return platform::kOk;
  removed = e == platform::kOk;
  return e;
}

}  // namespace printers
