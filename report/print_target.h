// Where the test page goes: the engine's list of printers, named as the
// platform family names them, the entry the completion page asks for, and
// the print dialog when the list has no such entry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "report/test_page.h"

namespace report {

// GetVersion's top bit is set on Windows 95, 98 and Me.
inline bool win9xFamily(std::uint32_t version) { return (version & 0x80000000u) != 0; }

struct PrinterEntry {
  std::string text;     // as the list shows it
  std::string printer;  // the spooler's printer behind it
};

// On the 9x family one "%s on %s" entry per printer and port; on the NT
// family the bare names of the local printers and printer connections.
std::vector<PrinterEntry> printerEntries(const std::vector<platform::PrintTarget>& targets,
                                         bool win9x);

// The entry for the chosen printer: its name on version 5 and up,
// "%s on Remote Port" on 4 and below.
std::string targetEntry(const std::string& printer, std::uint8_t osMajorVersion);

struct PrintResult {
  platform::Error error = platform::kOk;  // 0: the spooler took the job
  bool dialogShown = false;
  std::string printer;  // the listed printer it went to; empty after the dialog
};

// Prints `report` on the first entry equal to `target` (exact and
// case-sensitive); with no such entry, on the printer chosen in the print
// dialog, or the default printer when the dialog is cancelled.
PrintResult printOnEntry(platform::Platform& os, platform::WindowId owner,
                         const std::string& target, const Report& report);

}  // namespace report
