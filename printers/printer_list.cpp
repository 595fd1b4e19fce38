#include "printers/printer_list.h"

#include "printers/ports.h"

namespace printers {

ListResult readPrinters(platform::Spooler& spooler, std::vector<platform::PrinterInfo2>& list) {
  list.clear();
  std::uint32_t needed = 0;
  platform::Error e = spooler.enumPrintersSize(needed);
  if (e == platform::kOk) return ListResult::Empty;
  if (e != platform::kErrorInsufficientBuffer) return ListResult::Failed;
  return spooler.enumPrinters(needed, list) == platform::kOk ? ListResult::Listed
                                                             : ListResult::Failed;
}

bool listPrinters(platform::Spooler& spooler, platform::Prompter& prompter,
                  std::vector<PrinterRow>& rows) {
  rows.clear();
  std::vector<platform::PrinterInfo2> list;
  ListResult r = readPrinters(spooler, list);
  if (r == ListResult::Failed) {
    prompter.showMessage("EnumPrinters Failed!!");
    return false;
  }
  for (const auto& p : list) {
    std::string port = p.portName.value_or("");
    rows.push_back({p.printerName.value_or(""), port, port == kRemotePort});
  }
  return true;
}

}  // namespace printers
