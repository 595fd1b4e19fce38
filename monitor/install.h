// Installing and updating the port monitor, its stored server address, and
// its silent removal before an update.  Questions and messages go to the
// prompter, owned by the application.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

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
};

// 1 when the spooler lists a monitor of exactly this name, else 0 (after
// "EnumMonitors Failed!!" when it cannot list them).
int monitorInstalled(platform::Spooler& spooler, platform::Prompter& prompter,
                     const std::string& name);

// What the DLL at `path` returns from LprGetVersion: loaded, called once,
// freed.  nullopt when it cannot be loaded or has no such export.
std::optional<std::uint32_t> lprGetVersion(platform::Files& files, const std::string& path);

// Installs the monitor from the shipped files in "AppPath", or updates an
// older one after asking.  true when it completed (the monitor is
// registered); false after its message.  Sets dwDriverVersion.  A stored
// "AppPath" that is not a string raises RegistryError.
bool installMonitor(const MonitorPc& pc);

// Brings "Server Address" to `newAddress`; asks first when the stored
// address differs and has 8 or more characters.  Raises RegistryError when
// the write fails or the stored value is not a string.
void storeServerAddress(platform::Registry& registry, platform::Prompter& prompter,
                        const std::string& newAddress);

// The stored "Server Address" (empty when missing).  May raise RegistryError.
std::string storedServerAddress(platform::Registry& registry);
// The same, read without creating the key or asking for write access, for
// a run that changes nothing.  May raise RegistryError.
std::string readServerAddress(platform::Registry& registry);

// Moving the printers off "Remote Port" and unregistering the monitor, as
// the removal before an update does it (no question; "... does not exist!"
// without a caption) or as "Uninstall" does it (asks before moving the
// printers; that message captioned "Information").
enum class RemovalKind { BeforeUpdate, Uninstall };
enum class Removal {
  NotInstalled,  // "... does not exist!" shown
  Declined,      // the user kept the printers on "Remote Port"
  Failed,        // a message shown; the monitor stays registered
  Removed,
};
Removal unregisterMonitor(platform::Spooler& spooler, platform::Prompter& prompter,
                          std::uint8_t osMajorVersion, RemovalKind kind);

// The removal before an update: moves the printers off "Remote Port"
// without asking and unregisters the monitor.  1: removed; 0: not
// registered (after its message); -1: stopped after a message, the monitor
// still registered (a printer could not be moved, or the spooler refused).
int removeMonitor(platform::Spooler& spooler, platform::Prompter& prompter,
                  std::uint8_t osMajorVersion);

}  // namespace monitor
