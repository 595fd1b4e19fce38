#include "printers/default_printer.h"

namespace printers {

namespace {
void refused(platform::Prompter& prompter, const std::string& name, platform::Error e) {
  prompter.showMessage(
      platform::failureText("Could not make " + name + " the default printer.", e));
}

// The default printer as it is, recorded before it changes.
bool recordDefault(platform::Spooler& spooler, platform::Prompter& prompter,
                   const std::string& name, journal::Journal& journal) {
  std::string previous;
  platform::Error e = spooler.defaultPrinter(previous);
  if (e && e != platform::kErrorFileNotFound) {
    refused(prompter, name, e);
    return false;
  }
  if (journal.defaultPrinter(previous)) return true;
  prompter.showMessage(journal::recordFailedText(journal.error()));
  return false;
}

// The 9x family: the printer's level-5 record with its default attribute set.
bool setDefaultAttribute(platform::Spooler& spooler, platform::Prompter& prompter,
                         const std::string& name, journal::Journal& journal) {
  platform::PrinterHandle handle = 0;
  if (spooler.openPrinter(name, platform::OpenMode::NoDefaults, handle)) {
    prompter.showMessage("OpenPrinter Failed!");
    return false;
  }
  bool done = false;
  std::uint32_t needed = 0;
  platform::Error sized = spooler.printer5Size(handle, needed);
  platform::PrinterInfo5 info;
  if (sized == platform::kOk) {
    prompter.showMessage("GetPrinter Falied!!");
  } else if (sized != platform::kErrorInsufficientBuffer) {
    prompter.showMessage("GetPrinter Failed!!");
  } else if (spooler.getPrinter5(handle, needed, info)) {
    prompter.showMessage("GetPrinter Falied!!");
  } else if (recordDefault(spooler, prompter, name, journal)) {
    info.attributes |= platform::kPrinterAttributeDefault;
    platform::Error e = spooler.setPrinter5(handle, info);
    if (e) refused(prompter, name, e);
    done = e == platform::kOk;
  }
  spooler.closePrinter(handle);
  return done;
}
}  // namespace

bool makeDefaultPrinter(platform::Spooler& spooler, platform::Prompter& prompter,
                        std::uint8_t osMajorVersion, const std::string& name,
                        journal::Journal& journal) {
  if (osMajorVersion <= 4) return setDefaultAttribute(spooler, prompter, name, journal);
  if (!recordDefault(spooler, prompter, name, journal)) return false;
  platform::Error e = spooler.setDefaultPrinter(name);
  if (e) refused(prompter, name, e);
  return e == platform::kOk;
}

}  // namespace printers
