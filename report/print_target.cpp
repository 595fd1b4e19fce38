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

Destination chooseDestination(platform::Printing& printing, std::uint32_t version,
                              platform::WindowId owner, const std::string& target) {
  Destination result;
  const bool win9x = win9xFamily(version);
  // Printer connections are a list of the NT family only.
  std::vector<platform::PrintTarget> targets;
  printing.printTargets(
      win9x ? platform::PrinterKinds::Local : platform::PrinterKinds::LocalAndConnections,
      targets);  // an unreadable list is an empty one: the dialog decides
  for (const PrinterEntry& e : printerEntries(targets, win9x)) {
    if (e.text != target) continue;
    result.printer = e.printer;
    return result;
  }
  result.dialogShown = true;
  bool confirmed = false;
  platform::PrintChoice choice;
  result.error = printing.printDialog(owner, confirmed, choice);
  if (!result.error && choice.printer.empty()) result.error = kErrorNoDefaultPrinter;
  result.printer = choice.printer;
  result.copies = choice.copies;
  return result;
}

platform::Error printAt(platform::Printing& printing, const Destination& destination,
                        const Report& report) {
  platform::PrinterDc dc = 0;
  if (platform::Error e = printing.createPrinterDc(destination.printer,
                                                   {report.paperWidth, report.paperHeight}, dc))
    return e;
  platform::Error printed = printReport(printing, dc, report, destination.copies);
  printing.deleteDc(dc);
  return printed;
}

}  // namespace report
