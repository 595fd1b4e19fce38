#include "monitor/install.h"

#include <algorithm>
#include <set>
#include <vector>

#include "app/state/wizard_state.h"
#include "monitor/family.h"
#include "monitor/registry_key.h"
#include "printers/ports.h"

namespace monitor {

using platform::Error;
using platform::Icon;
using platform::kOk;

namespace {

const char kCopyFailed[] = "Failed to Copy file !";
const char kNo64BitFiles[] = "The 64-bit printer sharing driver's files are not in \"";
const char kNotInstalled[] =
    "The Varn Vuvarode Lanwarden Utilities are not installed.\n"
    "Their folder holds the printer sharing driver's files: please install them first.";
// A bound on the tries for a name of the step's own in the system directory.
constexpr int kStageNames = 16;

bool missing(Error e) {
  return e == platform::kErrorFileNotFound || e == platform::kErrorPathNotFound;
}

bool recorded(bool ok, journal::Journal& journal, platform::Prompter& prompter) {
  if (!ok) prompter.showMessage(journal::recordFailedText(journal.error()));
  return ok;
}

// On NT 6 and later: the companion folder and its files may be changed by
// administrators and the system only.  False after the message.
bool trustedCompanion(const MonitorPc& pc, const std::string& appPath, const Family& f) {
  std::vector<std::string> paths{appPath};
  if (f.shippedFolder(appPath) != appPath) paths.push_back(f.shippedFolder(appPath));
  for (const std::string& base : f.copied)
    paths.push_back(shippedFile(f.shippedFolder(appPath), base));
  for (const std::string& path : paths) {
    bool writable = false;
    Error e = pc.files.writableByOthers(path, writable);
    if (missing(e)) continue;  // a missing file fails its copy later
    if (e) {
      pc.prompter.showMessage(platform::failureText(
          "The rights on \"" + path +
              "\" could not be read, so the printer sharing driver's files there are not used.",
          e));
      return false;
    }
    if (writable) {
      pc.prompter.showMessage(
          "The printer sharing driver's files in \"" + appPath +
          "\" are not used: users other than the administrators can change that folder or its "
          "files.\nReinstall the Varn Vuvarode Lanwarden Utilities, or let only administrators "
          "write to that folder.");
      return false;
    }
  }
  return true;
}

// The step's own names in the system directory: a new folder only
// administrators can write (never one that is there already: such a folder
// is not ours), and the number the step's other files there carry.  False
// after its message.
bool makeStage(const MonitorPc& pc, journal::Journal& journal, const std::string& sys,
               std::string& stage, std::string& number) {
  for (int n = 1; n <= kStageNames; ++n) {
    number = std::to_string(n);
    stage = sys + "\\PrnWizard." + number;
    std::uint32_t attributes = 0;
    Error e = pc.files.fileAttributes(stage, attributes);
    if (!e) continue;
    if (!missing(e)) break;
    if (!recorded(journal.createdFolder(stage), journal, pc.prompter)) return false;
    if (pc.files.createDirectory(stage, true) != kOk) break;
    journal.removeWhenDone(stage, true);
    return true;
  }
  pc.prompter.showMessage(kCopyFailed);
  return false;
}

}  // namespace

int monitorInstalled(platform::Spooler& spooler, platform::Prompter& prompter,
                     const std::string& name) {
  std::uint32_t needed = 0;
  platform::Error e = spooler.enumMonitorsSize(needed);
  std::vector<std::string> names;
  if ((e != kOk && e != platform::kErrorInsufficientBuffer) ||
      (e = spooler.enumMonitors(needed, names)) != kOk) {
    prompter.showMessage(platform::failureText("EnumMonitors Failed!!", e));
    return -1;
  }
  for (const std::string& listed : names)
    if (listed == name) return 1;
  return 0;
}

std::optional<std::uint32_t> lprGetVersion(platform::Files& files, const std::string& path) {
  platform::Module dll = 0;
  if (files.loadLibrary(path, dll) != kOk) return std::nullopt;
  std::optional<std::uint32_t> version;
  platform::Proc get = 0;
  if (files.getProcAddress(dll, "LprGetVersion", get) == kOk) version = files.callDwordProc(get);
  files.freeLibrary(dll);
  return version;
}

bool installMonitor(const MonitorPc& pc, journal::Journal& journal) {
  const Family& f = familyFor(pc.osMajorVersion, pc.x64);
  int listed = monitorInstalled(pc.spooler, pc.prompter, kMonitorName);
  if (listed < 0) return false;
  // The companion utilities are a 32-bit program: the 64-bit wizard reads
  // their key in the 32-bit view.
  std::string appPath =
      RegistryKey(pc.registry, kCompanionKey,
                  pc.x64 ? RegistryKey::Access::Full32 : RegistryKey::Access::Full)
          .readString(kAppPathValue);
  // The 64-bit monitor's files are all there, or nothing is touched.
  if (pc.x64 && !appPath.empty()) {
    for (const std::string& base : f.copied) {
      std::uint32_t attributes = 0;
      Error e = pc.files.fileAttributes(shippedFile(f.shippedFolder(appPath), base), attributes);
      if (e || (attributes & platform::kFileAttributeDirectory)) {
        pc.prompter.showMessage(kNo64BitFiles + f.shippedFolder(appPath) +
                                "\".\nNothing was changed.");
        return false;
      }
    }
  }
  std::string sys;
  // Without the system directory nothing can be compared or copied.
  if (pc.files.systemDirectory(sys) != kOk) {
    pc.prompter.showMessage(kCopyFailed);
    return false;
  }

  // The shipped files, when the companion utilities are there: checked,
  // then copied where only administrators can write.  What is read and
  // installed is that copy.
  std::string stage, number;
  std::set<std::string> staged;
  auto stagedFile = [&](const std::string& base) { return stage + "\\" + base + ".dl_"; };
  if (!appPath.empty()) {
    if (pc.osMajorVersion >= 6 && !trustedCompanion(pc, appPath, f)) return false;
    if (!makeStage(pc, journal, sys, stage, number)) return false;
    for (const std::string& base : f.copied) {
      std::string copy = stagedFile(base);
      if (!recorded(journal.createdFile(copy), journal, pc.prompter)) return false;
      Error e = pc.files.copyFile(shippedFile(f.shippedFolder(appPath), base), copy, true);
      // A shipped file that is missing counts as version 1, and its copy
      // into the system directory fails below.
      if (missing(e)) continue;
      // The copy keeps the shipped file's attributes: a read-only file (from
      // a CD, say) would make the installed DLL read-only, and no later
      // update could replace it.
      if (!e) e = pc.files.setFileAttributes(copy, platform::kFileAttributeNormal);
      if (e) {
        pc.prompter.showMessage(kCopyFailed);
        return false;
      }
      journal.removeWhenDone(copy, false);
      staged.insert(base);
    }
  }

  std::uint32_t usrVer = 0, insVer = 0;
  if (listed == 1) {
    // One DLL at a time: loaded, asked, freed.
    usrVer = lprGetVersion(pc.files, installedFile(sys, f.monitorDll)).value_or(0);
    insVer = staged.count(f.monitorDll)
                 ? lprGetVersion(pc.files, stagedFile(f.monitorDll)).value_or(1)
                 : 1;
  }
  dwDriverVersion = insVer;
  bool replace = false;
  if (insVer > usrVer) {
    replace = pc.prompter.askYes("Replace the old driver with newer one ?", "Information",
                                 Icon::Information);
    if (!replace) dwDriverVersion = usrVer;
  }
  if (listed == 1 && !replace) return true;

  // The files are needed now.
  if (appPath.empty()) {
    pc.prompter.showMessage(kNotInstalled);
    return false;
  }
  // Before anything old is touched: every file there, an installed file
  // that could not be replaced (read-only) stops the step, and the new
  // files go beside the old ones under names of their own.
  std::set<std::string> present;
  for (const std::string& base : f.copied) {
    std::uint32_t attributes = 0;
    Error e = pc.files.fileAttributes(installedFile(sys, base), attributes);
    if (!staged.count(base) || (e && !missing(e)) ||
        (!e && (attributes & platform::kFileAttributeReadOnly))) {
      pc.prompter.showMessage(kCopyFailed);
      return false;
    }
    if (!e) present.insert(base);
  }
  auto newFile = [&](const std::string& base) { return sys + "\\" + base + "." + number + ".new"; };
  auto oldFile = [&](const std::string& base) { return sys + "\\" + base + "." + number + ".old"; };
  for (const std::string& base : f.copied) {
    if (!recorded(journal.createdFile(newFile(base)), journal, pc.prompter)) return false;
    if (pc.files.copyFile(stagedFile(base), newFile(base), true) != kOk) {
      pc.prompter.showMessage(kCopyFailed);
      return false;
    }
    // Still there at the end only when the old monitor stayed.
    journal.removeWhenDone(newFile(base), false);
  }

  if (listed == 1) {
    // The old monitor goes: its printers, then its registration (and with
    // it, by the spooler, its key).
    std::size_t before = journal.mark();
    switch (unregisterMonitor(pc.spooler, pc.prompter, pc.osMajorVersion, RemovalKind::BeforeUpdate,
                              journal)) {
      case Removal::Removed:
        break;
      case Removal::NotInstalled:
        // Gone meanwhile: installed as if it had never been.
        listed = 0;
        break;
      case Removal::Declined:
      case Removal::Failed: {
        // The old monitor stays in force, with its version, and its
        // printers on its port.
        std::vector<std::string> lost = journal.rollbackTo(before);
        if (!lost.empty()) {
          std::string text = "These changes could not be put back:";
          for (const std::string& line : lost) text += "\n" + line;
          pc.prompter.showMessage(text);
          return false;
        }
        dwDriverVersion = usrVer;
        return true;
      }
    }
  }
  if (listed == 0 && !recorded(journal.savedKey(kMonitorKey), journal, pc.prompter)) return false;

  // The old files aside, the new ones in their place.
  for (const std::string& base : f.copied) {
    std::string installed = installedFile(sys, base);
    if (present.count(base)) {
      if (!recorded(journal.movedFile(installed, oldFile(base)), journal, pc.prompter))
        return false;
      if (pc.files.moveFile(installed, oldFile(base)) != kOk) {
        pc.prompter.showMessage(kCopyFailed);
        return false;
      }
      journal.removeWhenDone(oldFile(base), false);
    }
    if (!recorded(journal.movedFile(newFile(base), installed), journal, pc.prompter)) return false;
    if (pc.files.moveFile(newFile(base), installed) != kOk) {
      pc.prompter.showMessage(kCopyFailed);
      return false;
    }
  }
  if (!recorded(journal.monitorAdded(kMonitorName, f.environment), journal, pc.prompter))
    return false;
  platform::Error e = pc.spooler.addMonitor({kMonitorName, f.environment, f.dllName});
  if (e != kOk) {
    pc.prompter.showMessage(platform::failureText("AddMonitor Failed", e));
    return false;
  }
  return true;
}

bool installMonitor(const MonitorPc& pc) {
  journal::Journal journal(pc.journalPc(), "the installation of the printer sharing driver");
  return journal.end(installMonitor(pc, journal), pc.prompter);
}

void storeServerAddress(platform::Registry& registry, platform::Prompter& prompter,
                        const std::string& newAddress, journal::Journal* journal) {
  RegistryKey key(registry, kMonitorKey);
  std::string stored = key.readString(kServerAddressValue);
  if (stored == newAddress) return;
  if (stored.size() >= 8 &&
      !prompter.askYes("Change the server from \"" + stored + "\" \nto the new IP address \"" +
                           newAddress + "\" ?",
                       "Information", Icon::Information))
    return;
  if (!journal) {
    key.writeString(kServerAddressValue, newAddress);
    return;
  }
  if (journal->setString(kMonitorKey, kServerAddressValue, newAddress) == kOk) return;
  if (journal->error()) throw RegistryError(journal::recordFailedText(journal->error()));
  throw RegistryError("Failed to set data for '" + std::string(kServerAddressValue) + "'");
}

std::string storedServerAddress(platform::Registry& registry) {
  return RegistryKey(registry, kMonitorKey).readString(kServerAddressValue);
}

std::string readServerAddress(platform::Registry& registry) {
  return RegistryKey(registry, kMonitorKey, RegistryKey::Access::ReadOnly)
      .readString(kServerAddressValue);
}

namespace {
// The ports the spooler has; false after "EnumPorts Failed!!\nCode %d".
bool listPorts(platform::Spooler& spooler, platform::Prompter& prompter,
               std::vector<std::string>& ports) {
  std::uint32_t needed = 0;
  Error e = spooler.enumPortsSize(needed);
  if (e == kOk || e == platform::kErrorInsufficientBuffer) e = spooler.enumPorts(needed, ports);
  if (e == kOk) return true;
  prompter.showMessage(platform::failureText("EnumPorts Failed!!", e));
  return false;
}
}  // namespace

Removal unregisterMonitor(platform::Spooler& spooler, platform::Prompter& prompter,
                          std::uint8_t osMajorVersion, RemovalKind kind,
                          journal::Journal& journal) {
  const bool uninstalling = kind == RemovalKind::Uninstall;
  int listed = monitorInstalled(spooler, prompter, kMonitorName);
  if (listed < 0) return Removal::Failed;
  if (listed == 0) {
    prompter.inform(std::string(kMonitorName) + " does not exist!\n",
                    uninstalling ? "Information" : "", Icon::Information);
    return Removal::NotInstalled;
  }
  int onPort = printers::checkRemotePort(spooler, prompter, osMajorVersion, 0);
  // Printers that cannot be listed may use the port: "Uninstall" stops, as
  // the port goes with the monitor.  An update goes on: the new monitor
  // brings the port back.
  if (onPort < 0 && uninstalling) return Removal::Failed;
  if (onPort == 1) {
    if (uninstalling && !prompter.askYes("You have some printers using the printer sharing "
                                         "server!\nDo you want to remove this remote port ?",
                                         "Information", Icon::Information))
      return Removal::Declined;
    // "Uninstall" gives each printer its own port back, where the spooler
    // still has it; an update moves them to "LPT1:".
    printers::RememberedPorts remembered;
    std::vector<std::string> ports, moved;
    if (uninstalling) {
      if (!printers::rememberedPorts(journal.pc().registry, prompter, remembered))
        return Removal::Failed;
      if (!remembered.empty() && !listPorts(spooler, prompter, ports)) return Removal::Failed;
    }
    auto destination = [&](const std::string& printer) -> std::string {
      moved.push_back(printer);
      auto own = remembered.find(printer);
      if (own != remembered.end() &&
          std::find(ports.begin(), ports.end(), own->second) != ports.end())
        return own->second;
      return printers::kLptPort;
    };
    // A printer left on the port keeps the monitor (its message was shown).
    if (printers::checkRemotePort(spooler, prompter, osMajorVersion, 1, &journal, destination) ==
        -1)
      return Removal::Failed;
    for (const std::string& printer : moved) {
      if (!remembered.count(printer)) continue;
      Error e = journal.deleteValue(journal::kPortsKey, printer);
      if (e) {
        prompter.showMessage(journal.error() ? journal::recordFailedText(journal.error())
                                             : platform::failureText("RegDeleteValue Failed", e));
        return Removal::Failed;
      }
    }
  }
  // The spooler deletes the monitor's whole key with it: its settings and
  // the port subkeys no job reaches the port without.  A copy is kept.
  const Family& f = familyFor(osMajorVersion, journal.pc().x64);
  std::string dll = RegistryKey(journal.pc().registry, kMonitorKey).readString("Driver");
  if (!recorded(journal.savedKey(kMonitorKey), journal, prompter) ||
      !recorded(
          journal.monitorRemoved({kMonitorName, f.environment, dll.empty() ? f.dllName : dll}),
          journal, prompter))
    return Removal::Failed;
  if (spooler.deleteMonitor(f.environment, kMonitorName) != kOk) {
    prompter.inform("DeleteMonitor Failed !", "", Icon::Information);
    return Removal::Failed;
  }
  return Removal::Removed;
}

int removeMonitor(const MonitorPc& pc) {
  journal::Journal journal(pc.journalPc(), "the removal of the printer sharing driver");
  Removal r = unregisterMonitor(pc.spooler, pc.prompter, pc.osMajorVersion,
                                RemovalKind::BeforeUpdate, journal);
  bool kept = journal.end(r == Removal::Removed, pc.prompter);
  if (r == Removal::NotInstalled) return 0;
  return kept ? 1 : -1;
}

}  // namespace monitor
