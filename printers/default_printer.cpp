#include "printers/default_printer.h"

#include "app/state/wizard_state.h"

namespace printers {

namespace {
void refused(platform::Platform& os, const std::string& name, platform::Error e) {
  os.showMessage("Could not make " + name + " the default printer.\nCode " + std::to_string(e));
}

// The 9x family: the printer's level-5 record with its default attribute set.
bool setDefaultAttribute(platform::Platform& os, const std::string& name) {
  platform::PrinterHandle handle = 0;
  if (os.openPrinter(name, platform::OpenMode::NoDefaults, handle)) {
    os.showMessage("OpenPrinter Failed!");
    return false;
  }
  bool done = false;
  std::uint32_t needed = 0;
  platform::Error sized = os.printer5Size(handle, needed);
  platform::PrinterInfo5 info;
  if (sized == platform::kOk) {
    os.showMessage("GetPrinter Falied!!");
  } else if (sized != platform::kErrorInsufficientBuffer) {
    os.showMessage("GetPrinter Failed!!");
  } else if (os.getPrinter5(handle, needed, info)) {
    os.showMessage("GetPrinter Falied!!");
  } else {
    info.attributes |= platform::kPrinterAttributeDefault;
    platform::Error e = os.setPrinter5(handle, info);
    if (e) refused(os, name, e);
    done = e == platform::kOk;
  }
  os.closePrinter(handle);
  return done;
}
}  // namespace

bool makeDefaultPrinter(platform::Platform& os, const std::string& name) {
  if (osMajorVersion <= 4) return setDefaultAttribute(os, name);
  platform::Error e = os.setDefaultPrinter(name);
  if (e) refused(os, name, e);
  return e == platform::kOk;
}

}  // namespace printers
