// What the welcome page shows of the installed monitor and its removal by
// the user, and the manual address dialog's value.
#pragma once

#include <functional>
#include <string>

#include "monitor/install.h"

namespace monitor {

struct MonitorStatus {
  bool installed;       // PanelUninstall visible
  std::string version;  // lblVer: signed decimal, "0" without the DLL or its export
  std::string address;  // lblIP: the stored "Server Address"
};

// The installed DLL's version as the welcome page shows it.
std::string installedVersionText(platform::Files& files, std::uint8_t osMajorVersion,
                                 bool x64 = false);
// All three, in the page's order: installed, version, address.  The address
// read may raise RegistryError; a page that must show the first two even
// then calls monitorInstalled, installedVersionText and storedServerAddress
// (install.h) one by one.
MonitorStatus monitorStatus(const MonitorPc& pc);

// The welcome page's "Uninstall", a step of its own: the removal as
// "Uninstall" does it, then "... unistall successfully." when it is
// Removed; a removal that fails puts back the printers it moved.
// `busy(true)` at the start, `busy(false)` on every way out (after the last
// box, or before the success message); the page shows the hourglass and
// lets pending messages run.
// `ending`, when given, learns how the step ended.
using UninstallOutcome = Removal;
UninstallOutcome uninstall(const MonitorPc& pc, const std::function<void(bool busy)>& busy,
                           journal::Journal::Ending* ending = nullptr);

// The dialog's "OK": stores the field's text exactly as it stands, as
// storeServerAddress does.  The field limits what is typed to 15
// characters; a longer stored address shown there stays whole.
// A RegistryError leaves the dialog open.
void storeManualAddress(platform::Registry& registry, platform::Prompter& prompter,
                        const std::string& typed);

}  // namespace monitor
