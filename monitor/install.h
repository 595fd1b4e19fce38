// Installing and updating the port monitor, its stored server address, and
// its silent removal before an update.  Questions and messages go to the
// prompter, owned by the application.  Every change is recorded first in
// the step's journal (journal/journal.h), so that a step that fails, or is
// ended in the middle, leaves the PC as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "journal/journal.h"
#include "platform/files.h"
#include "platform/prompter.h"
#include "platform/registry.h"
#include "platform/spooler.h"

namespace monitor {

// What the monitor's installation uses of the PC.  The Windows major
// version picks the family (family.h).
struct MonitorPc {
  platform::Spooler& spooler;
  platform::Files& files;
  platform::Registry& registry;
  platform::Prompter& prompter;
  std::uint8_t osMajorVersion;
  // The 64-bit wizard on x64 Windows: the x64 family (family.h).
  bool x64 = false;

  journal::Pc journalPc() const { return {spooler, registry, files, osMajorVersion, x64}; }
};

// 1 when the spooler lists a monitor of exactly this name, 0 when it does
// not, -1 when it cannot list them (after "EnumMonitors Failed!!\nCode %d"):
// an unknown list is never read as "not installed".
int monitorInstalled(platform::Spooler& spooler, platform::Prompter& prompter,
                     const std::string& name);

// What the DLL at `path` returns from LprGetVersion: loaded, called once,
// freed.  nullopt when it cannot be loaded or has no such export.
std::optional<std::uint32_t> lprGetVersion(platform::Files& files, const std::string& path);

// Installs the monitor from the shipped files in "AppPath", or updates an
// older one after asking.  true when it completed (the monitor is
// registered); false after its message, and the caller ends the journal's
// step, which puts back what was changed.  Sets dwDriverVersion.  A stored
// "AppPath" that is not a string raises RegistryError.
//
// The 64-bit wizard takes the shipped files from AppPath\x64 and reads
// "AppPath" in the 32-bit registry view, where the companion utilities,
// a 32-bit program, keep it; without both files there it says so and
// changes nothing.
//
// The shipped files are used only from a folder no user but the
// administrators can write: on NT 6 and later "AppPath" and its files are
// refused when others can write them (the message names the folder); they
// are copied into a new folder of the system directory that only
// administrators can write, their version is read from that copy, and that
// copy is installed.  The new files go beside the old ones under names of
// their own before anything old is touched; then the old monitor goes (its
// printers moved to "LPT1:"), its files are renamed aside, the new ones
// take their names, and the monitor is registered.  The temporary folder,
// copies and the old files go when the step ends.
bool installMonitor(const MonitorPc& pc, journal::Journal& journal);
// The same as a step of its own: what failed is put back.
bool installMonitor(const MonitorPc& pc);

// Brings "Server Address" to `newAddress`; asks first when the stored
// address differs and has 8 or more characters.  The write goes through
// `journal` when one is given.  Raises RegistryError when the write fails
// or the stored value is not a string.
void storeServerAddress(platform::Registry& registry, platform::Prompter& prompter,
                        const std::string& newAddress, journal::Journal* journal = nullptr);

// The stored "Server Address" (empty when missing).  May raise RegistryError.
std::string storedServerAddress(platform::Registry& registry);
// The same, read without creating the key or asking for write access, for
// a run that changes nothing.  May raise RegistryError.
std::string readServerAddress(platform::Registry& registry);

// Moving the printers off "Remote Port" and unregistering the monitor, as
// the removal before an update does it (no question; "... does not exist!"
// without a caption; the printers to "LPT1:") or as "Uninstall" does it
// (asks before moving the printers, that message captioned "Information";
// each printer back to its own remembered port when that port is there,
// else to "LPT1:").  Each change is recorded in `journal` first.
enum class RemovalKind { BeforeUpdate, Uninstall };
enum class Removal {
  NotInstalled,  // "... does not exist!" shown
  Declined,      // the user kept the printers on "Remote Port"
  Failed,        // a message shown; the caller puts back what was changed
  Removed,
};
Removal unregisterMonitor(platform::Spooler& spooler, platform::Prompter& prompter,
                          std::uint8_t osMajorVersion, RemovalKind kind, journal::Journal& journal);

// The removal before an update as a step of its own (the hidden
// "UnInstall" button of the detection page).  1: removed; 0: not
// registered (after its message); -1: stopped after a message, the PC as
// it was.
int removeMonitor(const MonitorPc& pc);

}  // namespace monitor
