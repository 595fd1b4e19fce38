#include "printers/ports.h"

#include <vector>

#include "app/state/wizard_state.h"
#include "printers/printer_list.h"

namespace printers {

using platform::Error;
using platform::kOk;
using platform::PrinterHandle;
using platform::PrinterInfo2;

namespace {

// The level-2 record of an open printer: the size query, then the read.
// False after the message that says which step failed.
bool readRecord(platform::Platform& os, PrinterHandle printer, PrinterInfo2& info) {
  std::uint32_t needed = 0;
  Error e = os.printerSize(printer, needed);
  if (e == kOk) {
    os.showMessage("GetPrinter Falied!!");
    return false;
  }
  if (e != platform::kErrorInsufficientBuffer) {
    os.showMessage("GetPrinter Failed!!");
    return false;
  }
  if (os.getPrinter(printer, needed, info) != kOk) {
    os.showMessage("GetPrinter Falied!!");
    return false;
  }
  return true;
}

// Names the call that failed: the open for writing or the write itself.
void showFailure(platform::Platform& os, const char* call, Error e) {
  os.showMessage(std::string(call) + "\nCode " + std::to_string(static_cast<int>(e)));
}

void showWriteFailure(platform::Platform& os, Error e) {
  showFailure(os, "SetPrinter Failed!!", e);
}

void showOpenFailure(platform::Platform& os, Error e) {
  showFailure(os, "OpenPrinter Failed!", e);
}

// The record to write: the port changed, no security descriptor.
void movePort(PrinterInfo2& info, const std::string& port) {
  info.portName = port;
  info.securityDescriptor.clear();
}

}  // namespace

platform::OpenMode portChangeOpenMode() {
  return osMajorVersion >= 5 ? platform::OpenMode::Administer : platform::OpenMode::NoDefaults;
}

bool setPrinterPort(platform::Platform& os, const std::string& name, const std::string& port) {
  PrinterHandle printer = 0;
  if (os.openPrinter(name, portChangeOpenMode(), printer) != kOk) {
    // The size query on a printer that is not open fails the same way.
    os.showMessage("GetPrinter Failed!!");
    return false;
  }
  PrinterInfo2 info;
  if (!readRecord(os, printer, info)) {
    os.closePrinter(printer);
    return false;
  }
  movePort(info, port);
  Error e = os.setPrinter(printer, info);
  os.closePrinter(printer);
  if (e != kOk) {
    showWriteFailure(os, e);
    return false;
  }
  return true;
}

int checkRemotePort(platform::Platform& os, int bMove) {
  std::vector<PrinterInfo2> list;
  ListResult listed = readPrinters(os, list);
  if (listed == ListResult::Empty) return 0;
  if (listed == ListResult::Failed) {
    os.ask(os.applicationWindow(), "EnumPrinters Failed!!", "", platform::Buttons::Ok,
           platform::Icon::None);
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
    Error e = os.openPrinter(p.printerName.value_or(""), portChangeOpenMode(), printer);
    if (e != kOk) {
      showOpenFailure(os, e);
      moveFailed = true;
      continue;
    }
    movePort(p, kLptPort);
    e = os.setPrinter(printer, p);
    os.closePrinter(printer);
    if (e != kOk) {
      showWriteFailure(os, e);
      moveFailed = true;
    }
  }
  // A printer left on "Remote Port" must stop the monitor's removal.
  return moveFailed ? -1 : result;
}

MoveOutcome moveToRemotePort(platform::Platform& os, const std::string& name,
                             const std::function<void(bool busy)>& busy) {
  PrinterHandle printer = 0;
  if (os.openPrinter(name, platform::OpenMode::NoDefaults, printer) != kOk) {
    os.showMessage("GetPrinter Failed!!");
    return MoveOutcome::Failed;
  }
  PrinterInfo2 info;
  if (!readRecord(os, printer, info)) {
    os.closePrinter(printer);
    return MoveOutcome::Failed;
  }
  if (info.portName != kRemotePort) {
    std::string question = "Change " + name + " port setting \n from \"" +
                           info.portName.value_or("") + "\" to \"Remote Port\" ?";
    if (os.ask(os.applicationWindow(), question, "Information", platform::Buttons::YesNo,
               platform::Icon::Information) != platform::Answer::Yes) {
      os.closePrinter(printer);
      return MoveOutcome::Declined;
    }
  }
  if (busy) busy(true);
  movePort(info, kRemotePort);
  if (osMajorVersion >= 5) {
    // The write needs administer access, which the first open did not ask for.
    os.closePrinter(printer);
    if (Error e = os.openPrinter(name, platform::OpenMode::Administer, printer); e != kOk) {
      if (busy) busy(false);
      showOpenFailure(os, e);
      return MoveOutcome::Failed;
    }
  }
  Error e = os.setPrinter(printer, info);
  os.closePrinter(printer);
  if (busy) busy(false);
  if (e != kOk) {
    showWriteFailure(os, e);
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
