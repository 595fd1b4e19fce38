#include "monitor/install.h"

#include <vector>

#include "app/state/wizard_state.h"
#include "monitor/family.h"
#include "monitor/registry_key.h"
#include "printers/ports.h"

namespace monitor {

using platform::Icon;

int monitorInstalled(platform::Spooler& spooler, platform::Prompter& prompter,
                     const std::string& name) {
  std::uint32_t needed = 0;
  platform::Error e = spooler.enumMonitorsSize(needed);
  std::vector<std::string> names;
  if ((e != platform::kOk && e != platform::kErrorInsufficientBuffer) ||
      spooler.enumMonitors(needed, names) != platform::kOk) {
    prompter.showMessage("EnumMonitors Failed!!");
    return 0;
  }
  for (const std::string& listed : names)
    if (listed == name) return 1;
  return 0;
}

std::optional<std::uint32_t> lprGetVersion(platform::Files& files, const std::string& path) {
  platform::Module dll = 0;
  if (files.loadLibrary(path, dll) != platform::kOk) return std::nullopt;
  std::optional<std::uint32_t> version;
  platform::Proc get = 0;
  if (files.getProcAddress(dll, "LprGetVersion", get) == platform::kOk)
    version = files.callDwordProc(get);
  files.freeLibrary(dll);
  return version;
}

bool installMonitor(const MonitorPc& pc) {
  std::string appPath = RegistryKey(pc.registry, kCompanionKey).readString(kAppPathValue);
  std::string systemDirectory;
  // Without the system directory nothing can be compared or copied.
  if (pc.files.systemDirectory(systemDirectory) != platform::kOk) {
    pc.prompter.showMessage("Failed to Copy file !");
    return false;
  }
  const Family& f = familyFor(pc.osMajorVersion);
  auto installed = [&] { return monitorInstalled(pc.spooler, pc.prompter, kMonitorName) == 1; };

  std::uint32_t usrVer = 0, insVer = 0;
  if (installed()) {
    // One DLL at a time: loaded, asked, freed.
    usrVer = lprGetVersion(pc.files, installedFile(systemDirectory, f.monitorDll)).value_or(0);
    insVer = lprGetVersion(pc.files, shippedFile(appPath, f.monitorDll)).value_or(1);
  }
  dwDriverVersion = insVer;
  if (insVer > usrVer) {
    if (pc.prompter.askYes("Replace the old driver with newer one ?", "Information",
                           Icon::Information)) {
      removeMonitor(pc.spooler, pc.prompter, pc.osMajorVersion);
      // A removal that stopped leaves the old monitor, and its version, in force.
      if (installed()) {
        dwDriverVersion = usrVer;
        return true;
      }
    } else {
      dwDriverVersion = usrVer;
    }
  }

  if (installed()) return true;
  for (const std::string& base : f.copied) {
    if (pc.files.copyFile(shippedFile(appPath, base), installedFile(systemDirectory, base)) !=
        platform::kOk) {
      pc.prompter.showMessage("Failed to Copy file !");
      return false;
    }
  }
  platform::Error e = pc.spooler.addMonitor({kMonitorName, f.environment, f.dllName});
  if (e != platform::kOk) {
    pc.prompter.showMessage(platform::failureText("AddMonitor Failed", e));
    return false;
  }
  return true;
}

void storeServerAddress(platform::Registry& registry, platform::Prompter& prompter,
                        const std::string& newAddress) {
  RegistryKey key(registry, kMonitorKey);
  std::string stored = key.readString(kServerAddressValue);
  if (stored == newAddress) return;
  if (stored.size() >= 8 &&
      !prompter.askYes("Change the server from \"" + stored + "\" \nto the new IP address \"" +
                           newAddress + "\" ?",
                       "Information", Icon::Information))
    return;
  key.writeString(kServerAddressValue, newAddress);
}

std::string storedServerAddress(platform::Registry& registry) {
  return RegistryKey(registry, kMonitorKey).readString(kServerAddressValue);
}

std::string readServerAddress(platform::Registry& registry) {
  return RegistryKey(registry, kMonitorKey, RegistryKey::Access::ReadOnly)
      .readString(kServerAddressValue);
}

Removal unregisterMonitor(platform::Spooler& spooler, platform::Prompter& prompter,
                          std::uint8_t osMajorVersion, RemovalKind kind) {
  const bool uninstalling = kind == RemovalKind::Uninstall;
  if (!monitorInstalled(spooler, prompter, kMonitorName)) {
    prompter.inform(std::string(kMonitorName) + " does not exist!\n",
                    uninstalling ? "Information" : "", Icon::Information);
    return Removal::NotInstalled;
  }
  if (printers::checkRemotePort(spooler, prompter, osMajorVersion, 0) == 1) {
    if (uninstalling && !prompter.askYes("You have some printers using the printer sharing "
                                         "server!\nDo you want to remove this remote port ?",
                                         "Information", Icon::Information))
      return Removal::Declined;
    // A printer left on the port keeps the monitor (its message was shown).
    if (printers::checkRemotePort(spooler, prompter, osMajorVersion, 1) == -1)
      return Removal::Failed;
  }
  if (spooler.deleteMonitor(familyFor(osMajorVersion).environment, kMonitorName) != platform::kOk) {
    prompter.inform("DeleteMonitor Failed !", "", Icon::Information);
    return Removal::Failed;
  }
  return Removal::Removed;
}

int removeMonitor(platform::Spooler& spooler, platform::Prompter& prompter,
                  std::uint8_t osMajorVersion) {
  switch (unregisterMonitor(spooler, prompter, osMajorVersion, RemovalKind::BeforeUpdate)) {
    case Removal::NotInstalled:
      return 0;
    case Removal::Removed:
      return 1;
    default:
      return -1;
  }
}

}  // namespace monitor
