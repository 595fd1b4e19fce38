// The print spooler: printers, their level-2 and level-5 records, monitors,
// the default printer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/faults.h"

namespace platform {

enum class SpoolerCall : int {
  EnumPrintersSizing,
  EnumPrinters,
  OpenPrinter,
  GetPrinterSizing,
  GetPrinter,
  SetPrinter,
  ClosePrinter,
  // default printer
  SetDefaultPrinter = 200,
  GetPrinter5Sizing,
  GetPrinter5,
  SetPrinter5,
  // end of default printer
  // monitors
  EnumMonitorsSizing = 100,
  EnumMonitors,
  AddMonitor,
  DeleteMonitor,
  // end of monitors
};
constexpr Area areaOf(SpoolerCall) { return Area::Spooler; }

// An open printer; 0 when none.
using PrinterHandle = std::uintptr_t;

// How OpenPrinterA is called: without printer defaults, or with defaults
// that ask for PRINTER_ACCESS_ADMINISTER and give no data type and no
// device mode.
enum class OpenMode { NoDefaults, Administer };
inline constexpr std::uint32_t kPrinterAccessAdminister = 4;

// PRINTER_INFO_2, field by field.  A text the spooler leaves out (a null
// pointer) is nullopt; a missing device mode or security descriptor is
// empty.  The device mode holds its dmSize + dmDriverExtra bytes, the
// security descriptor its self-relative bytes.
struct PrinterInfo2 {
  std::optional<std::string> serverName;
  std::optional<std::string> printerName;
  std::optional<std::string> shareName;
  std::optional<std::string> portName;
  std::optional<std::string> driverName;
  std::optional<std::string> comment;
  std::optional<std::string> location;
  std::vector<std::uint8_t> devMode;
  std::optional<std::string> sepFile;
  std::optional<std::string> printProcessor;
  std::optional<std::string> datatype;
  std::optional<std::string> parameters;
  std::vector<std::uint8_t> securityDescriptor;
  std::uint32_t attributes = 0;
  std::uint32_t priority = 0;
  std::uint32_t defaultPriority = 0;
  std::uint32_t startTime = 0;
  std::uint32_t untilTime = 0;
  std::uint32_t status = 0;
  std::uint32_t jobs = 0;
  std::uint32_t averagePpm = 0;

  bool operator==(const PrinterInfo2&) const = default;
};


// default printer
// PRINTER_INFO_5: what the 9x family's default printer is set through.
struct PrinterInfo5 {
  std::optional<std::string> printerName;
  std::optional<std::string> portName;
  std::uint32_t attributes = 0;
  std::uint32_t deviceNotSelectedTimeout = 0;
  std::uint32_t transmissionRetryTimeout = 0;
  bool operator==(const PrinterInfo5&) const = default;
};
inline constexpr std::uint32_t kPrinterAttributeDefault = 4;
// end of default printer

// monitors
// The level-2 registration record (MONITOR_INFO_2).
struct MonitorInfo2 {
  std::string name;
  std::string environment;
  std::string dllName;
};
inline constexpr Error kErrorInvalidEnvironment = 1805;
inline constexpr Error kErrorUnknownPrintMonitor = 3000;
inline constexpr Error kErrorPrintMonitorAlreadyInstalled = 3006;
// end of monitors

class Spooler : public virtual Faults {
 public:
  // EnumPrintersA(PRINTER_ENUM_LOCAL, no server, level 2) without a buffer:
  // 0 when the spooler has nothing to list, else normally 122 with the
  // bytes the list needs in `needed`.
  Error enumPrintersSize(std::uint32_t& needed);
  // The same call with a buffer of `size` bytes: the records in the
  // spooler's order.
  Error enumPrinters(std::uint32_t size, std::vector<PrinterInfo2>& printers);

  // OpenPrinterA by name; `handle` is 0 on failure.
  Error openPrinter(const std::string& name, OpenMode mode, PrinterHandle& handle);
  // GetPrinterA level 2 without a buffer (normally 122 with `needed`), then
  // with a buffer of `size` bytes.
  Error printerSize(PrinterHandle handle, std::uint32_t& needed);
  Error getPrinter(PrinterHandle handle, std::uint32_t size, PrinterInfo2& info);
  // SetPrinterA level 2, command 0.
  Error setPrinter(PrinterHandle handle, const PrinterInfo2& info);
  Error closePrinter(PrinterHandle handle);

  // default printer
  // The winspool export with ordinal 202 (SetDefaultPrinterA).
  Error setDefaultPrinter(const std::string& name);
  // GetPrinterA level 5 without a buffer, then with `size` bytes;
  // SetPrinterA level 5, command 0.
  Error printer5Size(PrinterHandle handle, std::uint32_t& needed);
  Error getPrinter5(PrinterHandle handle, std::uint32_t size, PrinterInfo5& info);
  Error setPrinter5(PrinterHandle handle, const PrinterInfo5& info);
  // end of default printer

  // monitors: all on the local machine.
  // EnumMonitorsA level 1 without a buffer: expected to fail with 122,
  // `needed` the size of the list in bytes.
  Error enumMonitorsSize(std::uint32_t& needed);
  // EnumMonitorsA level 1 into a buffer of `size` bytes: the monitors'
  // names in the spooler's order.
  Error enumMonitors(std::uint32_t size, std::vector<std::string>& names);
  // AddMonitorA level 2.
  Error addMonitor(const MonitorInfo2& monitor);
  // DeleteMonitorA.
  Error deleteMonitor(const std::string& environment, const std::string& name);
  // end of monitors

 protected:
  virtual Error doEnumPrintersSize(std::uint32_t& needed) = 0;
  virtual Error doEnumPrinters(std::uint32_t size, std::vector<PrinterInfo2>& printers) = 0;
  virtual Error doOpenPrinter(const std::string& name, OpenMode mode,
                              PrinterHandle& handle) = 0;
  virtual Error doPrinterSize(PrinterHandle handle, std::uint32_t& needed) = 0;
  virtual Error doGetPrinter(PrinterHandle handle, std::uint32_t size, PrinterInfo2& info) = 0;
  virtual Error doSetPrinter(PrinterHandle handle, const PrinterInfo2& info) = 0;
  virtual Error doClosePrinter(PrinterHandle handle) = 0;
  // default printer
  virtual Error doSetDefaultPrinter(const std::string& name) = 0;
  virtual Error doPrinter5Size(PrinterHandle handle, std::uint32_t& needed) = 0;
  virtual Error doGetPrinter5(PrinterHandle handle, std::uint32_t size, PrinterInfo5& info) = 0;
  virtual Error doSetPrinter5(PrinterHandle handle, const PrinterInfo5& info) = 0;
  // end of default printer
  // monitors
  virtual Error doEnumMonitorsSize(std::uint32_t& needed) = 0;
  virtual Error doEnumMonitors(std::uint32_t size, std::vector<std::string>& names) = 0;
  virtual Error doAddMonitor(const MonitorInfo2& monitor) = 0;
  virtual Error doDeleteMonitor(const std::string& environment, const std::string& name) = 0;
  // end of monitors
};

}  // namespace platform
