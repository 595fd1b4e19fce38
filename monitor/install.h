// Installing and updating the port monitor, its stored server address, and
// its silent removal before an update.  Questions and messages belong to
// the application window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace monitor {

// 1 when the spooler lists a monitor of exactly this name, else 0 (after
// "EnumMonitors Failed!!" when it cannot list them).
int monitorInstalled(platform::Platform& os, const std::string& name);

// What the DLL at `path` returns from LprGetVersion: loaded, called once,
// freed.  nullopt when it cannot be loaded or has no such export.
std::optional<std::uint32_t> lprGetVersion(platform::Platform& os, const std::string& path);

// Installs the monitor from the shipped files in "AppPath", or updates an
// older one after asking.  true when it completed (the monitor is
// registered); false after its message.  Sets dwDriverVersion.  A stored
// "AppPath" that is not a string raises RegistryError.
bool installMonitor(platform::Platform& os);

// Brings "Server Address" to `newAddress`; asks first when the stored
// address differs and has 8 or more characters.  Raises RegistryError when
// the write fails or the stored value is not a string.
void storeServerAddress(platform::Platform& os, const std::string& newAddress);

// The stored "Server Address" (empty when missing).  May raise RegistryError.
std::string storedServerAddress(platform::Platform& os);

// The removal before an update: moves the printers off "Remote Port"
// without asking and unregisters the monitor.  1: removed; 0: not
// registered (after its message); -1: stopped after a message, the monitor
// still registered (a printer could not be moved, or the spooler refused).
int removeMonitor(platform::Platform& os);

}  // namespace monitor
