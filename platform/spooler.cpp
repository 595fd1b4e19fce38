#include "platform/spooler.h"

namespace platform {

Error Spooler::enumPrintersSize(std::uint32_t& needed) {
  needed = 0;
  if (Error e = injected(SpoolerCall::EnumPrintersSizing)) return e;
  return doEnumPrintersSize(needed);
}

Error Spooler::enumPrinters(std::uint32_t size, std::vector<PrinterInfo2>& printers) {
  printers.clear();
  if (Error e = injected(SpoolerCall::EnumPrinters)) return e;
  return doEnumPrinters(size, printers);
}

Error Spooler::openPrinter(const std::string& name, OpenMode mode, PrinterHandle& handle) {
  handle = 0;
  if (Error e = injected(SpoolerCall::OpenPrinter)) return e;
  return doOpenPrinter(name, mode, handle);
}

Error Spooler::printerSize(PrinterHandle handle, std::uint32_t& needed) {
  needed = 0;
  if (Error e = injected(SpoolerCall::GetPrinterSizing)) return e;
  return doPrinterSize(handle, needed);
}

Error Spooler::getPrinter(PrinterHandle handle, std::uint32_t size, PrinterInfo2& info) {
  info = PrinterInfo2{};
  if (Error e = injected(SpoolerCall::GetPrinter)) return e;
  return doGetPrinter(handle, size, info);
}

Error Spooler::setPrinter(PrinterHandle handle, const PrinterInfo2& info) {
  if (Error e = injected(SpoolerCall::SetPrinter)) return e;
  return doSetPrinter(handle, info);
}

Error Spooler::closePrinter(PrinterHandle handle) {
  if (Error e = injected(SpoolerCall::ClosePrinter)) return e;
  return doClosePrinter(handle);
}
// default printer
Error Spooler::setDefaultPrinter(const std::string& name) {
  if (Error e = injected(SpoolerCall::SetDefaultPrinter)) return e;
  return doSetDefaultPrinter(name);
}

Error Spooler::printer5Size(PrinterHandle handle, std::uint32_t& needed) {
  needed = 0;
  if (Error e = injected(SpoolerCall::GetPrinter5Sizing)) return e;
  return doPrinter5Size(handle, needed);
}

Error Spooler::getPrinter5(PrinterHandle handle, std::uint32_t size, PrinterInfo5& info) {
  info = PrinterInfo5{};
  if (Error e = injected(SpoolerCall::GetPrinter5)) return e;
  return doGetPrinter5(handle, size, info);
}

Error Spooler::setPrinter5(PrinterHandle handle, const PrinterInfo5& info) {
  if (Error e = injected(SpoolerCall::SetPrinter5)) return e;
  return doSetPrinter5(handle, info);
}
// end of default printer

// monitors
Error Spooler::enumMonitorsSize(std::uint32_t& needed) {
  needed = 0;
  if (Error e = injected(SpoolerCall::EnumMonitorsSizing)) return e;
  return doEnumMonitorsSize(needed);
}

Error Spooler::enumMonitors(std::uint32_t size, std::vector<std::string>& names) {
  names.clear();
  if (Error e = injected(SpoolerCall::EnumMonitors)) return e;
  return doEnumMonitors(size, names);
}

Error Spooler::addMonitor(const MonitorInfo2& monitor) {
  if (Error e = injected(SpoolerCall::AddMonitor)) return e;
  return doAddMonitor(monitor);
}

Error Spooler::deleteMonitor(const std::string& environment, const std::string& name) {
  if (Error e = injected(SpoolerCall::DeleteMonitor)) return e;
  return doDeleteMonitor(environment, name);
}
// end of monitors

}  // namespace platform
