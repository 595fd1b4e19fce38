// The in-memory PC: spooler.
#include "platform/fake/fake_pc.h"

namespace platform {

// monitors
// As Wine's spooler does it: the monitors are the keys under kMonitorsKey
// that name a DLL in their "Driver" value, listed in the registry's order.
namespace {
bool sameText(const std::string& a, const std::string& b) {
  FakePc::NoCase less;
  return !less(a, b) && !less(b, a);
}
}  // namespace

void FakePc::registerMonitor(const std::string& name, const std::string& dllName) {
  setRegistryString(std::string(kMonitorsKey) + "\\" + name, "Driver", dllName);
}

std::vector<std::string> FakePc::monitorNames() const {
  std::vector<std::string> names;
  for (const std::string& name : registrySubkeys(kMonitorsKey)) {
    auto driver = registryValue(std::string(kMonitorsKey) + "\\" + name, "Driver");
    if (driver && !driver->bytes.empty() && driver->bytes[0] != '\0') names.push_back(name);
  }
  return names;
}

std::uint32_t FakePc::monitorListSize() const {
  std::uint32_t size = 0;
  for (const std::string& name : monitorNames())
    size += 4 + static_cast<std::uint32_t>(name.size()) + 1;  // MONITOR_INFO_1A and its text
  return size;
}

Error FakePc::doEnumMonitorsSize(std::uint32_t& needed) {
  needed = monitorListSize();
  return needed ? kErrorInsufficientBuffer : kOk;
}

Error FakePc::doEnumMonitors(std::uint32_t size, std::vector<std::string>& names) {
  if (size < monitorListSize()) return kErrorInsufficientBuffer;
  names = monitorNames();
  return kOk;
}

Error FakePc::doAddMonitor(const MonitorInfo2& m) {
  auto answer = [&](Error e) {
    monitorRequests.push_back({MonitorRequest::Add, m.name, m.environment, m.dllName, e});
    return e;
  };
  if (m.name.empty()) return answer(kErrorInvalidParameter);
  if (!m.environment.empty() && !sameText(m.environment, "Windows NT x86") &&
      !sameText(m.environment, "Windows x64") && !sameText(m.environment, "Windows 4.0"))
    return answer(kErrorInvalidEnvironment);
  if (m.dllName.empty()) return answer(kErrorInvalidParameter);
  // The spooler loads the DLL from the system directory and starts it.
  const File* dll = file(systemDir + "\\" + m.dllName);
  if (!dll) return answer(kErrorModNotFound);
  if (!dll->dll) return answer(kErrorBadExeFormat);
  if (!dll->exports.count("InitializePrintMonitor2") && !dll->exports.count("InitializePrintMonitor"))
    return answer(kErrorProcNotFound);
  // A key made beforehand (settings written before the registration) is
  // taken over; one that names a DLL already is an installed monitor.
  std::string key = std::string(kMonitorsKey) + "\\" + m.name;
  auto driver = registryValue(key, "Driver");
  if (driver && !driver->bytes.empty() && driver->bytes[0] != '\0')
    return answer(kErrorPrintMonitorAlreadyInstalled);
  setRegistryString(key, "Driver", m.dllName);
  return answer(kOk);
}

Error FakePc::doDeleteMonitor(const std::string& environment, const std::string& name) {
  // The environment is not looked at for the local machine.
  auto answer = [&](Error e) {
    monitorRequests.push_back({MonitorRequest::Delete, name, environment, "", e});
    return e;
  };
  if (name.empty()) return answer(kErrorInvalidParameter);
  std::string key = std::string(kMonitorsKey) + "\\" + name;
  if (!registryKeyExists(key)) return answer(kErrorUnknownPrintMonitor);
  deleteRegistryTree(key);
  return answer(kOk);
}
// end of monitors

}  // namespace platform
