// What the welcome page shows of the installed monitor and its removal by
// the user, and the manual address dialog's value.
#pragma once

#include <functional>
#include <string>

#include "platform/platform.h"

namespace monitor {

struct MonitorStatus {
  bool installed;       // PanelUninstall visible
  std::string version;  // lblVer: signed decimal, "0" without the DLL or its export
  std::string address;  // lblIP: the stored "Server Address"
};

// The installed DLL's version as the welcome page shows it.
std::string installedVersionText(platform::Platform& os);
// All three, in the page's order: installed, version, address.  The address
// read may raise RegistryError; a page that must show the first two even
// then calls monitorInstalled, installedVersionText and storedServerAddress
// (install.h) one by one.
MonitorStatus monitorStatus(platform::Platform& os);

enum class UninstallOutcome {
  NotInstalled,  // "... does not exist!" shown
  Declined,      // the user kept the printers on "Remote Port"
  Failed,        // a message shown; the monitor stays registered
  Removed,       // the success message shown; the page ends the program
};
// The welcome page's "Uninstall".  `busy(true)` at the start, `busy(false)`
// on every way out (after the last box, or before the success message);
// the page shows the hourglass and lets pending messages run.
UninstallOutcome uninstall(platform::Platform& os, const std::function<void(bool busy)>& busy);

// The dialog's "OK": stores the field's text exactly as it stands, as
// storeServerAddress does.  The field limits what is typed to 15
// characters; a longer stored address shown there stays whole.
// A RegistryError leaves the dialog open.
void storeManualAddress(platform::Platform& os, const std::string& typed);

}  // namespace monitor
