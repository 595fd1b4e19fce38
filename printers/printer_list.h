// The spooler's local printers at level 2, and the rows of the manual list.
#pragma once

#include <string>
#include <vector>

#include "platform/prompter.h"
#include "platform/spooler.h"

namespace printers {

enum class ListResult {
  Empty,   // the size query succeeded: the spooler has no local printers
  Listed,  // `list` holds the records in the spooler's order
  Failed,  // the size query failed with an error other than 122, or the list call failed
};
// EnumPrintersA(PRINTER_ENUM_LOCAL, level 2): the size query, then the
// call with a buffer of the size it asked for.  Shows nothing.
ListResult readPrinters(platform::Spooler& spooler, std::vector<platform::PrinterInfo2>& list);

// One row of the manual list: the printer, its port, and whether the port
// is exactly "Remote Port" (the row's icon).
struct PrinterRow {
  std::string name;
  std::string port;
  bool remotePort = false;
};
// The rows for every local printer, in the spooler's order.  False after
// the plain message "EnumPrinters Failed!!"; no printers is true with no rows.
bool listPrinters(platform::Spooler& spooler, platform::Prompter& prompter,
                  std::vector<PrinterRow>& rows);

}  // namespace printers
