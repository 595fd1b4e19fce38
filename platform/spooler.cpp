#include "platform/spooler.h"

namespace platform {

// monitors
Error Spooler::enumMonitorsSize(std::uint32_t& needed) {
  needed = 0;
  if (Error e = injected(SpoolerCall::EnumMonitorsSizing)) return e;
  return doEnumMonitorsSize(needed);
}

Error Spooler::enumMonitors(std::uint32_t size, std::vector<std::string>& names) {
  names.clear();
  if (Error e = injected(SpoolerCall::EnumMonitors)) return e;
  return doEnumMonitors(size, names);
}

Error Spooler::addMonitor(const MonitorInfo2& monitor) {
  if (Error e = injected(SpoolerCall::AddMonitor)) return e;
  return doAddMonitor(monitor);
}

Error Spooler::deleteMonitor(const std::string& environment, const std::string& name) {
  if (Error e = injected(SpoolerCall::DeleteMonitor)) return e;
  return doDeleteMonitor(environment, name);
}
// end of monitors

}  // namespace platform
