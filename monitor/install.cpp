#include "monitor/install.h"

#include <vector>

#include "app/state/wizard_state.h"
#include "monitor/boxes.h"
#include "monitor/family.h"
#include "monitor/registry_key.h"
#include "printers/ports.h"

namespace monitor {

int monitorInstalled(platform::Platform& os, const std::string& name) {
  std::uint32_t needed = 0;
  platform::Error e = os.enumMonitorsSize(needed);
  if (e != platform::kOk && e != platform::kErrorInsufficientBuffer) {
    os.showMessage("EnumMonitors Failed!!");
    return 0;
  }
  std::vector<std::string> names;
  if (os.enumMonitors(needed, names) != platform::kOk) {
    os.showMessage("EnumMonitors Failed!!");
    return 0;
  }
  for (const std::string& listed : names)
    if (listed == name) return 1;
  return 0;
}

std::optional<std::uint32_t> lprGetVersion(platform::Platform& os, const std::string& path) {
  platform::Module dll = 0;
  if (os.loadLibrary(path, dll) != platform::kOk) return std::nullopt;
  std::optional<std::uint32_t> version;
  platform::Proc get = 0;
  if (os.getProcAddress(dll, "LprGetVersion", get) == platform::kOk)
    version = os.callDwordProc(get);
  os.freeLibrary(dll);
  return version;
}

bool installMonitor(platform::Platform& os) {
  std::string appPath = RegistryKey(os, kCompanionKey).readString(kAppPathValue);
  std::string systemDirectory;
  // Without the system directory nothing can be compared or copied.
  if (os.systemDirectory(systemDirectory) != platform::kOk) {
    os.showMessage("Failed to Copy file !");
    return false;
  }
  const Family& f = family();

  std::uint32_t usrVer = 0, insVer = 0;
  if (monitorInstalled(os, kMonitorName)) {
    // One DLL at a time: loaded, asked, freed.
    usrVer = lprGetVersion(os, installedFile(systemDirectory, f.monitorDll)).value_or(0);
    insVer = lprGetVersion(os, shippedFile(appPath, f.monitorDll)).value_or(1);
  }
  dwDriverVersion = insVer;
  if (insVer > usrVer) {
    if (askYes(os, "Replace the old driver with newer one ?")) {
      removeMonitor(os);
      // A removal that stopped leaves the old monitor, and its version, in force.
      if (monitorInstalled(os, kMonitorName)) {
        dwDriverVersion = usrVer;
        return true;
      }
    } else {
      dwDriverVersion = usrVer;
    }
  }

  if (monitorInstalled(os, kMonitorName)) return true;
  for (const std::string& base : f.copied) {
    if (os.copyFile(shippedFile(appPath, base), installedFile(systemDirectory, base)) !=
        platform::kOk) {
      os.showMessage("Failed to Copy file !");
      return false;
    }
  }
  platform::Error e = os.addMonitor({kMonitorName, f.environment, f.dllName});
  if (e != platform::kOk) {
    os.showMessage("AddMonitor Failed\nCode " + std::to_string(static_cast<std::int32_t>(e)));
    return false;
  }
  return true;
}

void storeServerAddress(platform::Platform& os, const std::string& newAddress) {
  RegistryKey key(os, kMonitorKey);
  std::string stored = key.readString(kServerAddressValue);
  if (stored == newAddress) return;
  if (stored.size() >= 8 &&
      !askYes(os, "Change the server from \"" + stored + "\" \nto the new IP address \"" +
                      newAddress + "\" ?"))
    return;
  key.writeString(kServerAddressValue, newAddress);
}

std::string storedServerAddress(platform::Platform& os) {
  return RegistryKey(os, kMonitorKey).readString(kServerAddressValue);
}

int removeMonitor(platform::Platform& os) {
  if (!monitorInstalled(os, kMonitorName)) {
    inform(os, std::string(kMonitorName) + " does not exist!\n");
    return 0;
  }
  // A printer that could not be moved keeps the monitor (its message was shown).
  if (printers::checkRemotePort(os, 0) == 1 && printers::checkRemotePort(os, 1) == -1) return -1;
  if (os.deleteMonitor(family().environment, kMonitorName) != platform::kOk) {
    inform(os, "DeleteMonitor Failed !");
    return -1;
  }
  return 1;
}

}  // namespace monitor
