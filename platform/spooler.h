// The print spooler: printers, their level-2 and level-5 records, monitors,
// the default printer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/faults.h"

namespace platform {

enum class SpoolerCall : int {
  // monitors
  EnumMonitorsSizing = 100,
  EnumMonitors,
  AddMonitor,
  DeleteMonitor,
  // end of monitors
};
constexpr Area areaOf(SpoolerCall) { return Area::Spooler; }

// monitors
// The level-2 registration record (MONITOR_INFO_2).
struct MonitorInfo2 {
  std::string name;
  std::string environment;
  std::string dllName;
};
inline constexpr Error kErrorInvalidParameter = 87;
inline constexpr Error kErrorInvalidEnvironment = 1805;
inline constexpr Error kErrorUnknownPrintMonitor = 3000;
inline constexpr Error kErrorPrintMonitorAlreadyInstalled = 3006;
// end of monitors

class Spooler : public virtual Faults {
 public:
  // monitors: all on the local machine.
  // EnumMonitorsA level 1 without a buffer: expected to fail with 122,
  // `needed` the size of the list in bytes.
  Error enumMonitorsSize(std::uint32_t& needed);
  // EnumMonitorsA level 1 into a buffer of `size` bytes: the monitors'
  // names in the spooler's order.
  Error enumMonitors(std::uint32_t size, std::vector<std::string>& names);
  // AddMonitorA level 2.
  Error addMonitor(const MonitorInfo2& monitor);
  // DeleteMonitorA.
  Error deleteMonitor(const std::string& environment, const std::string& name);
  // end of monitors

 protected:
  // monitors
  virtual Error doEnumMonitorsSize(std::uint32_t& needed) = 0;
  virtual Error doEnumMonitors(std::uint32_t size, std::vector<std::string>& names) = 0;
  virtual Error doAddMonitor(const MonitorInfo2& monitor) = 0;
  virtual Error doDeleteMonitor(const std::string& environment, const std::string& name) = 0;
  // end of monitors
};

}  // namespace platform
