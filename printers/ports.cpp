#include "printers/ports.h"

#include <vector>

#include "printers/printer_list.h"

namespace printers {

using platform::Error;
using platform::kOk;
using platform::PrinterHandle;
using platform::PrinterInfo2;

namespace {

// The level-2 record of an open printer: the size query, then the read.
// False after the message that says which step failed.
bool readRecord(platform::Spooler& spooler, platform::Prompter& prompter, PrinterHandle printer,
                PrinterInfo2& info) {
  std::uint32_t needed = 0;
  Error e = spooler.printerSize(printer, needed);
  if (e == kOk) {
    prompter.showMessage("GetPrinter Falied!!");
    return false;
  }
  if (e != platform::kErrorInsufficientBuffer) {
    prompter.showMessage("GetPrinter Failed!!");
    return false;
  }
  if (spooler.getPrinter(printer, needed, info) != kOk) {
    prompter.showMessage("GetPrinter Falied!!");
    return false;
  }
  return true;
}

// The record to write: the port changed, no security descriptor.
void movePort(PrinterInfo2& info, const std::string& port) {
  info.portName = port;
  info.securityDescriptor.clear();
}

}  // namespace

platform::OpenMode portChangeOpenMode(std::uint8_t osMajorVersion) {
  return osMajorVersion >= 5 ? platform::OpenMode::Administer : platform::OpenMode::NoDefaults;
}

bool setPrinterPort(platform::Spooler& spooler, platform::Prompter& prompter,
                    std::uint8_t osMajorVersion, const std::string& name, const std::string& port) {
  PrinterHandle printer = 0;
  if (spooler.openPrinter(name, portChangeOpenMode(osMajorVersion), printer) != kOk) {
    // The size query on a printer that is not open fails the same way.
    prompter.showMessage("GetPrinter Failed!!");
    return false;
  }
  PrinterInfo2 info;
  if (!readRecord(spooler, prompter, printer, info)) {
    spooler.closePrinter(printer);
    return false;
  }
  movePort(info, port);
  Error e = spooler.setPrinter(printer, info);
  spooler.closePrinter(printer);
  if (e != kOk) {
    prompter.showMessage(platform::failureText("SetPrinter Failed!!", e));
    return false;
  }
  return true;
}

int checkRemotePort(platform::Spooler& spooler, platform::Prompter& prompter,
                    std::uint8_t osMajorVersion, int bMove) {
  std::vector<PrinterInfo2> list;
  ListResult listed = readPrinters(spooler, list);
  if (listed == ListResult::Empty) return 0;
  if (listed == ListResult::Failed) {
    prompter.inform("EnumPrinters Failed!!", "", platform::Icon::None);
    return -1;
  }
  int result = 0;
  bool moveFailed = false;
  for (PrinterInfo2& p : list) {
    if (p.portName != kRemotePort) continue;
    result = 1;
    if (bMove != 1) continue;
    // The enumerated record itself is written back.
    PrinterHandle printer = 0;
    Error e = spooler.openPrinter(p.printerName.value_or(""), portChangeOpenMode(osMajorVersion),
                                  printer);
    if (e != kOk) {
      prompter.showMessage(platform::failureText("OpenPrinter Failed!", e));
      moveFailed = true;
      continue;
    }
    movePort(p, kLptPort);
    e = spooler.setPrinter(printer, p);
    spooler.closePrinter(printer);
    if (e != kOk) {
      prompter.showMessage(platform::failureText("SetPrinter Failed!!", e));
      moveFailed = true;
    }
  }
  // A printer left on "Remote Port" must stop the monitor's removal.
  return moveFailed ? -1 : result;
}

MoveOutcome moveToRemotePort(platform::Spooler& spooler, platform::Prompter& prompter,
                             std::uint8_t osMajorVersion, const std::string& name,
                             const std::function<void(bool busy)>& busy) {
  PrinterHandle printer = 0;
  if (spooler.openPrinter(name, platform::OpenMode::NoDefaults, printer) != kOk) {
    prompter.showMessage("GetPrinter Failed!!");
    return MoveOutcome::Failed;
  }
  PrinterInfo2 info;
  if (!readRecord(spooler, prompter, printer, info)) {
    spooler.closePrinter(printer);
    return MoveOutcome::Failed;
  }
  if (info.portName != kRemotePort) {
    std::string question = "Change " + name + " port setting \n from \"" +
                           info.portName.value_or("") + "\" to \"Remote Port\" ?";
    if (!prompter.askYes(question, "Information", platform::Icon::Information)) {
      spooler.closePrinter(printer);
      return MoveOutcome::Declined;
    }
  }
  if (busy) busy(true);
  movePort(info, kRemotePort);
  if (osMajorVersion >= 5) {
    // The write needs administer access, which the first open did not ask for.
    spooler.closePrinter(printer);
    if (Error e = spooler.openPrinter(name, platform::OpenMode::Administer, printer); e != kOk) {
      if (busy) busy(false);
      prompter.showMessage(platform::failureText("OpenPrinter Failed!", e));
      return MoveOutcome::Failed;
    }
  }
  Error e = spooler.setPrinter(printer, info);
  spooler.closePrinter(printer);
  if (busy) busy(false);
  if (e != kOk) {
    prompter.showMessage(platform::failureText("SetPrinter Failed!!", e));
    return MoveOutcome::Failed;
  }
  return MoveOutcome::Moved;
}

bool needsLexmarkHelp(const std::string& name) {
  for (const char* maker : {"Lexmark", "LEXMARK", "Compaq", "COMPAQ"})
    if (name.find(maker) != std::string::npos) return true;
  return false;
}

}  // namespace printers
