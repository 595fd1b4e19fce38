#include "printers/ports.h"

#include <algorithm>
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
                    std::uint8_t osMajorVersion, int bMove, journal::Journal* journal,
                    const Destination& destination) {
  std::vector<PrinterInfo2> list;
  ListResult listed = readPrinters(spooler, list);
  if (listed == ListResult::Empty) return 0;
  if (listed == ListResult::Failed) {
    prompter.inform("EnumPrinters Failed!!", "", platform::Icon::None);
    return -1;
  }
  int result = 0;
  for (PrinterInfo2& p : list) {
    if (p.portName != kRemotePort) continue;
    result = 1;
    if (bMove != 1) continue;
    // The enumerated record itself is written back.
    const std::string name = p.printerName.value_or("");
    PrinterHandle printer = 0;
    Error e = spooler.openPrinter(name, portChangeOpenMode(osMajorVersion), printer);
    if (e != kOk) {
      prompter.showMessage(platform::failureText("OpenPrinter Failed!", e));
      return -1;
    }
    if (journal && !journal->printerPort(name, kRemotePort)) {
      spooler.closePrinter(printer);
      prompter.showMessage(journal::recordFailedText(journal->error()));
      return -1;
    }
    movePort(p, destination ? destination(name) : kLptPort);
    e = spooler.setPrinter(printer, p);
    spooler.closePrinter(printer);
    // A printer left on "Remote Port" must stop the monitor's removal; the
    // caller puts back the printers moved so far.
    if (e != kOk) {
      prompter.showMessage(platform::failureText("SetPrinter Failed!!", e));
      return -1;
    }
  }
  return result;
}

bool NoCase::operator()(const std::string& a, const std::string& b) const {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [&](char x, char y) { return lower(x) < lower(y); });
}

bool rememberedPorts(platform::Registry& registry, platform::Prompter& prompter,
                     RememberedPorts& ports) {
  ports.clear();
  platform::RegKey key = 0;
  Error e = registry.regOpenKey(journal::kPortsKey, key);
  if (e == platform::kErrorFileNotFound) return true;
  if (e != kOk) {
    prompter.showMessage(platform::failureText("RegOpenKeyEx Failed!!", e));
    return false;
  }
  // Bounded: a printer a value.
  for (std::uint32_t i = 0; i < 10000; ++i) {
    std::string name, data;
    std::uint32_t type = 0;
    e = registry.regEnumValue(key, i, name, type, data);
    if (e != kOk) break;
    if (type != platform::kRegSz) continue;
    data.resize(data.find('\0') == std::string::npos ? data.size() : data.find('\0'));
    if (!data.empty()) ports[name] = data;
  }
  registry.regCloseKey(key);
  if (e == kOk || e == platform::kErrorNoMoreItems) return true;
  ports.clear();
  prompter.showMessage(platform::failureText("RegEnumValue Failed!!", e));
  return false;
}

namespace {
// The port to remember for a printer leaving `port` for "Remote Port".
// False when the record or the write fails (after its message).
bool rememberPort(platform::Prompter& prompter, journal::Journal& journal, const std::string& name,
                  const std::string& port) {
  if (port == kRemotePort) return true;
  RememberedPorts remembered;
  if (!rememberedPorts(journal.pc().registry, prompter, remembered)) return false;
  auto known = remembered.find(name);
  // "LPT1:" with a port remembered: where an update left it, not its own.
  if (known != remembered.end() && (port == kLptPort || known->second == port)) return true;
  Error e = journal.setString(journal::kPortsKey, name, port);
  if (e == kOk) return true;
  prompter.showMessage(journal.error()
                           ? journal::recordFailedText(journal.error())
                           : platform::failureText("Failed to set data for '" + name + "'", e));
  return false;
}
}  // namespace

MoveOutcome moveToRemotePort(platform::Spooler& spooler, platform::Prompter& prompter,
                             std::uint8_t osMajorVersion, const std::string& name,
                             const std::function<void(bool busy)>& busy,
                             journal::Journal& journal) {
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
  const std::string from = info.portName.value_or("");
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
  // Remembered by the spooler's own spelling of its name.
  if (!rememberPort(prompter, journal, info.printerName.value_or(name), from) ||
      !journal.printerPort(name, from)) {
    spooler.closePrinter(printer);
    if (busy) busy(false);
    if (!journal.error()) return MoveOutcome::Failed;  // said by rememberPort
    prompter.showMessage(journal::recordFailedText(journal.error()));
    return MoveOutcome::Failed;
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
