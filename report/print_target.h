// Where the test page goes: the engine's list of printers, named as the
// platform family names them, the entry the completion page asks for, and
// the print dialog when the list has no such entry; then the printing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/printing.h"
#include "platform/windows.h"
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

// Where the test page goes.
struct Destination {
  platform::Error error = platform::kOk;  // the dialog failed, or there is no printer
  bool dialogShown = false;
  std::string printer;  // the spooler's printer
  int copies = 1;
};

// The printer of the first entry of the engine's list equal to `target`
// (exact and case-sensitive); with no such entry, the printer and copies
// chosen in the print dialog owned by `owner`, or the default printer when
// it is cancelled.  `version` is GetVersion's value (win9xFamily).
Destination chooseDestination(platform::Printing& printing, std::uint32_t version,
                              platform::WindowId owner, const std::string& target);

// Prints `report` on the destination's printer as one job of `copies`
// pages, on paper of the report's size, portrait.  0 when the spooler
// took the job.
platform::Error printAt(platform::Printing& printing, const Destination& destination,
                        const Report& report);

}  // namespace report
