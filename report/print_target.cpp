#include "report/print_target.h"

#include "report/printer_canvas.h"

namespace report {

namespace {
constexpr platform::Error kErrorNoDefaultPrinter = 1801;  // ERROR_INVALID_PRINTER_NAME
}  // namespace

std::vector<PrinterEntry> printerEntries(const std::vector<platform::PrintTarget>& targets,
                                         bool win9x) {
  std::vector<PrinterEntry> entries;
  for (const platform::PrintTarget& t : targets) {
    if (!win9x) {
      entries.push_back({t.name, t.name});
      continue;
    }
    std::size_t start = 0;
    while (start <= t.ports.size()) {
      std::size_t comma = t.ports.find(',', start);
      std::string port = t.ports.substr(start, comma == std::string::npos ? comma : comma - start);
      if (!port.empty()) entries.push_back({t.name + " on " + port, t.name});
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  }
  return entries;
}

std::string targetEntry(const std::string& printer, std::uint8_t osMajorVersion) {
  return osMajorVersion >= 5 ? printer : printer + " on Remote Port";
}

PrintResult printOnEntry(platform::Platform& os, platform::WindowId owner,
                         const std::string& target, const Report& report) {
  PrintResult result;
  std::uint32_t version = 0;
  os.getVersion(version);
  std::vector<platform::PrintTarget> targets;
  os.printTargets(targets);  // an unreadable list is an empty one: the dialog decides
  platform::PrinterDc dc = 0;
  bool listed = false;
  for (const PrinterEntry& e : printerEntries(targets, win9xFamily(version))) {
    if (e.text != target) continue;
    listed = true;
    result.printer = e.printer;
    result.error = os.createPrinterDc(e.printer, dc);
    break;
  }
  if (!listed) {
    result.dialogShown = true;
    bool confirmed = false;
    result.error = os.printDialog(owner, confirmed, dc);
    if (!result.error && !dc) result.error = kErrorNoDefaultPrinter;
  }
  if (result.error) return result;
  result.error = printReport(os, dc, report);
  os.deleteDc(dc);
  return result;
}

}  // namespace report
