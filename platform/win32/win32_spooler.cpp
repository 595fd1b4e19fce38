// The print spooler of the local machine.
#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"

namespace platform {

// monitors
Error Win32Platform::doEnumMonitorsSize(std::uint32_t& needed) {
  DWORD size = 0, count = 0;
  BOOL ok = EnumMonitorsA(nullptr, 1, nullptr, 0, &size, &count);
  Error e = ok ? kOk : lastWin32Error();
  needed = size;
  return e;
}

Error Win32Platform::doEnumMonitors(std::uint32_t size, std::vector<std::string>& names) {
  std::vector<BYTE> buffer(size ? size : 1);
  DWORD needed = 0, count = 0;
  if (!EnumMonitorsA(nullptr, 1, size ? buffer.data() : nullptr, size, &needed, &count))
    return lastWin32Error();
  const auto* info = reinterpret_cast<const MONITOR_INFO_1A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) names.emplace_back(info[i].pName ? info[i].pName : "");
  return kOk;
}

Error Win32Platform::doAddMonitor(const MonitorInfo2& m) {
  std::string name = m.name, environment = m.environment, dll = m.dllName;
  MONITOR_INFO_2A info{name.data(), environment.data(), dll.data()};
  return AddMonitorA(nullptr, 2, reinterpret_cast<BYTE*>(&info)) ? kOk : lastWin32Error();
}

Error Win32Platform::doDeleteMonitor(const std::string& environment, const std::string& name) {
  std::string env = environment, monitor = name;
  return DeleteMonitorA(nullptr, env.data(), monitor.data()) ? kOk : lastWin32Error();
}
// end of monitors

}  // namespace platform
