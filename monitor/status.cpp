#include "monitor/status.h"

#include "monitor/family.h"

namespace monitor {

std::string installedVersionText(platform::Files& files, std::uint8_t osMajorVersion, bool x64) {
  std::string systemDirectory;
  if (files.systemDirectory(systemDirectory) != platform::kOk) return "0";
  auto version =
      lprGetVersion(files, installedFile(systemDirectory, familyFor(osMajorVersion, x64).monitorDll));
  return std::to_string(static_cast<std::int32_t>(version.value_or(0)));
}

MonitorStatus monitorStatus(const MonitorPc& pc) {
  MonitorStatus status{};
  status.installed = monitorInstalled(pc.spooler, pc.prompter, kMonitorName) == 1;
  status.version = installedVersionText(pc.files, pc.osMajorVersion, pc.x64);
  status.address = storedServerAddress(pc.registry);
  return status;
}

UninstallOutcome uninstall(const MonitorPc& pc, const std::function<void(bool busy)>& busy,
                           journal::Journal::Ending* ending) {
  if (busy) busy(true);
  journal::Journal journal(pc.journalPc(), "the removal of the printer sharing driver");
  Removal r = unregisterMonitor(pc.spooler, pc.prompter, pc.osMajorVersion, RemovalKind::Uninstall,
                                journal);
  journal::Journal::Ending end = journal.end(r == Removal::Removed);
  journal::report(end, pc.prompter);
  if (ending) *ending = end;
  if (!end.kept && r == Removal::Removed) r = Removal::Failed;
  if (busy) busy(false);
  if (r != Removal::Removed) return r;
  pc.prompter.inform("The Printer Sharing Drvier\nunistall successfully.", "Information",
                     platform::Icon::Information);
  return Removal::Removed;
}

void storeManualAddress(platform::Registry& registry, platform::Prompter& prompter,
                        const std::string& typed) {
  storeServerAddress(registry, prompter, typed);
}

}  // namespace monitor
