#include "monitor/status.h"

#include "monitor/boxes.h"
#include "monitor/family.h"
#include "monitor/install.h"
#include "monitor/registry_key.h"
#include "printers/ports.h"

namespace monitor {

std::string installedVersionText(platform::Platform& os) {
  std::string systemDirectory;
  if (os.systemDirectory(systemDirectory) != platform::kOk) return "0";
  auto version = lprGetVersion(os, installedFile(systemDirectory, family().monitorDll));
  return std::to_string(static_cast<std::int32_t>(version.value_or(0)));
}

MonitorStatus monitorStatus(platform::Platform& os) {
  MonitorStatus status{};
  status.installed = monitorInstalled(os, kMonitorName) == 1;
  status.version = installedVersionText(os);
  status.address = storedServerAddress(os);
  return status;
}

UninstallOutcome uninstall(platform::Platform& os, const std::function<void(bool busy)>& busy) {
  auto setBusy = [&](bool on) {
    if (busy) busy(on);
  };
  setBusy(true);
  if (!monitorInstalled(os, kMonitorName)) {
    inform(os, std::string(kMonitorName) + " does not exist!\n", "Information");
    setBusy(false);
    return UninstallOutcome::NotInstalled;
  }
  if (printers::checkRemotePort(os, 0) == 1) {
    if (!askYes(os,
                "You have some printers using the printer sharing server!\n"
                "Do you want to remove this remote port ?")) {
      setBusy(false);
      return UninstallOutcome::Declined;
    }
    // A printer left on the port keeps the monitor (its message was shown).
    if (printers::checkRemotePort(os, 1) == -1) {
      setBusy(false);
      return UninstallOutcome::Failed;
    }
  }
  if (os.deleteMonitor(family().environment, kMonitorName) != platform::kOk) {
    inform(os, "DeleteMonitor Failed !");
    setBusy(false);
    return UninstallOutcome::Failed;
  }
  setBusy(false);
  inform(os, "The Printer Sharing Drvier\nunistall successfully.", "Information");
  return UninstallOutcome::Removed;
}

void storeManualAddress(platform::Platform& os, const std::string& typed) {
  storeServerAddress(os, typed);
}

}  // namespace monitor
