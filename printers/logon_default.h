// Each user's default printer, for a run that is not the signed-in user's
// own (SYSTEM, or another account): the spooler's set-default call would set
// that account's default, which no user sees.  Windows' Active Setup runs a
// per-machine registration's command once for each user at their next
// logon, in that user's account and without elevation; Windows' own printer
// command line (printui.dll) then makes the printer that user's default.
#pragma once

#include <string>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/windows.h"

namespace printers {

// The registration, under HKEY_LOCAL_MACHINE.
inline constexpr char kLogonDefaultKey[] =
    "Software\\Microsoft\\Active Setup\\Installed Components\\"
    "{5E6A1C9B-3F27-4D8A-9B1E-7C0F2A4D6B13}";
// Its name, which Windows shows while it runs at a logon.
inline constexpr char kLogonDefaultName[] = "Printer Sharing Server default printer";

// The command each user's logon runs: rundll32 of the system directory,
// PrintUIEntry /y /n with the printer's name in double quotes.
std::string logonDefaultCommand(const std::string& systemDirectory, const std::string& printer);

// Whether the command can carry the printer's name: not empty, no double
// quote, no backslash at its end.
bool logonDefaultCarries(const std::string& printer);

// Registers `printer` as each user's default from their next logon: its
// name, the command, and a version taken from the clock, newer than any
// earlier registration's, so that users who ran one run this one too.  kOk,
// or the code of the call that failed, with nothing left registered.  A
// name the command cannot carry is refused with 1801 before anything is
// written.
platform::Error registerLogonDefault(platform::Registry& registry, platform::Files& files,
                                     platform::Windows& clock, const std::string& printer);

// Removes the registration.  `removed` says whether there was one; none
// is no failure.
platform::Error unregisterLogonDefault(platform::Registry& registry, bool& removed);

}  // namespace printers
