#include "monitor/status.h"

#include "monitor/family.h"

namespace monitor {

std::string installedVersionText(platform::Files& files, std::uint8_t osMajorVersion) {
  std::string systemDirectory;
  if (files.systemDirectory(systemDirectory) != platform::kOk) return "0";
  auto version =
      lprGetVersion(files, installedFile(systemDirectory, familyFor(osMajorVersion).monitorDll));
  return std::to_string(static_cast<std::int32_t>(version.value_or(0)));
}

MonitorStatus monitorStatus(const MonitorPc& pc) {
  MonitorStatus status{};
  status.installed = monitorInstalled(pc.spooler, pc.prompter, kMonitorName) == 1;
  status.version = installedVersionText(pc.files, pc.osMajorVersion);
  status.address = storedServerAddress(pc.registry);
  return status;
}

UninstallOutcome uninstall(platform::Spooler& spooler, platform::Prompter& prompter,
                           std::uint8_t osMajorVersion,
                           const std::function<void(bool busy)>& busy) {
  if (busy) busy(true);
  Removal r = unregisterMonitor(spooler, prompter, osMajorVersion, RemovalKind::Uninstall);
  if (busy) busy(false);
  if (r != Removal::Removed) return r;
  prompter.inform("The Printer Sharing Drvier\nunistall successfully.", "Information",
                  platform::Icon::Information);
  return Removal::Removed;
}

void storeManualAddress(platform::Registry& registry, platform::Prompter& prompter,
                        const std::string& typed) {
  storeServerAddress(registry, prompter, typed);
}

}  // namespace monitor
