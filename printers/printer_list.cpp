#include "printers/printer_list.h"

#include "printers/ports.h"

namespace printers {

ListResult readPrinters(platform::Platform& os, std::vector<platform::PrinterInfo2>& list) {
  list.clear();
  std::uint32_t needed = 0;
  platform::Error e = os.enumPrintersSize(needed);
  if (e == platform::kOk) return ListResult::Empty;
  if (e != platform::kErrorInsufficientBuffer) return ListResult::Failed;
  return os.enumPrinters(needed, list) == platform::kOk ? ListResult::Listed
                                                        : ListResult::Failed;
}

bool listPrinters(platform::Platform& os, std::vector<PrinterRow>& rows) {
  rows.clear();
  std::vector<platform::PrinterInfo2> list;
  ListResult r = readPrinters(os, list);
  if (r == ListResult::Failed) {
    os.showMessage("EnumPrinters Failed!!");
    return false;
  }
  for (const auto& p : list) {
    std::string port = p.portName.value_or("");
    rows.push_back({p.printerName.value_or(""), port, port == kRemotePort});
  }
  return true;
}

}  // namespace printers
