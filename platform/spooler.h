// The print spooler: printers, their level-2 and level-5 records, monitors,
// ports, the default printer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/faults.h"

namespace platform {

// The calls (the format is in platform/faults.h).  Adding one: a
// row here, FakePc::do... in platform/fake/fake_spooler.cpp and
// Win32Platform::do... in platform/win32/win32_spooler.cpp.
#define PLATFORM_SPOOLER_CALLS(X)                                                                 \
  /* EnumPrintersA(PRINTER_ENUM_LOCAL, no server, level 2) without a buffer: 0 when the           \
     spooler has nothing to list, else normally 122 with the bytes the list needs. */             \
  X(EnumPrintersSizing, enumPrintersSize, doEnumPrintersSize, (std::uint32_t & needed), (needed), \
    needed = 0)                                                                                   \
  /* The same call with a buffer of `size` bytes: the records in the spooler's order. */          \
  X(EnumPrinters, enumPrinters, doEnumPrinters,                                                   \
    (std::uint32_t size, std::vector<PrinterInfo2> & printers), (size, printers),                 \
    printers.clear())                                                                             \
  /* OpenPrinterA by name; `handle` is 0 on failure. */                                           \
  X(OpenPrinter, openPrinter, doOpenPrinter,                                                      \
    (const std::string& name, OpenMode mode, PrinterHandle& handle), (name, mode, handle),        \
    handle = 0)                                                                                   \
  /* GetPrinterA level 2 without a buffer (normally 122 with `needed`), then with a buffer        \
     of `size` bytes. */                                                                          \
  X(GetPrinterSizing, printerSize, doPrinterSize, (PrinterHandle handle, std::uint32_t & needed), \
    (handle, needed), needed = 0)                                                                 \
  X(GetPrinter, getPrinter, doGetPrinter,                                                         \
    (PrinterHandle handle, std::uint32_t size, PrinterInfo2 & info), (handle, size, info),        \
    info = PrinterInfo2{})                                                                        \
  /* SetPrinterA level 2, command 0. */                                                           \
  X(SetPrinter, setPrinter, doSetPrinter, (PrinterHandle handle, const PrinterInfo2& info),       \
    (handle, info), )                                                                             \
  X(ClosePrinter, closePrinter, doClosePrinter, (PrinterHandle handle), (handle), )               \
  /* default printer */                                                                           \
  /* The winspool export with ordinal 202 (SetDefaultPrinterA). */                                \
  X(SetDefaultPrinter, setDefaultPrinter, doSetDefaultPrinter, (const std::string& name),         \
    (name), )                                                                                     \
  /* GetDefaultPrinterA (bound late), or where it is missing (9x, NT 4) the "device" entry of     \
     win.ini's [windows] section up to its first comma.  No default printer fails with 2. */      \
  X(GetDefaultPrinter, defaultPrinter, doDefaultPrinter, (std::string & name), (name),            \
    name.clear())                                                                                 \
  /* GetPrinterA level 5 without a buffer, then with `size` bytes; SetPrinterA level 5,           \
     command 0. */                                                                                \
  X(GetPrinter5Sizing, printer5Size, doPrinter5Size,                                              \
    (PrinterHandle handle, std::uint32_t & needed), (handle, needed), needed = 0)                 \
  X(GetPrinter5, getPrinter5, doGetPrinter5,                                                      \
    (PrinterHandle handle, std::uint32_t size, PrinterInfo5 & info), (handle, size, info),        \
    info = PrinterInfo5{})                                                                        \
  X(SetPrinter5, setPrinter5, doSetPrinter5, (PrinterHandle handle, const PrinterInfo5& info),    \
    (handle, info), )                                                                             \
  /* monitors: all on the local machine. */                                                       \
  /* EnumMonitorsA level 1 without a buffer: expected to fail with 122, `needed` the size         \
     of the list in bytes. */                                                                     \
  X(EnumMonitorsSizing, enumMonitorsSize, doEnumMonitorsSize, (std::uint32_t & needed), (needed), \
    needed = 0)                                                                                   \
  /* EnumMonitorsA level 1 into a buffer of `size` bytes: the monitors' names in the              \
     spooler's order. */                                                                          \
  X(EnumMonitors, enumMonitors, doEnumMonitors,                                                   \
    (std::uint32_t size, std::vector<std::string> & names), (size, names), names.clear())         \
  /* AddMonitorA level 2. */                                                                      \
  X(AddMonitor, addMonitor, doAddMonitor, (const MonitorInfo2& monitor), (monitor), )             \
  /* DeleteMonitorA. */                                                                           \
  X(DeleteMonitor, deleteMonitor, doDeleteMonitor,                                                \
    (const std::string& environment, const std::string& name), (environment, name), )             \
  /* ports: EnumPortsA (bound late) on the local machine, level 1, without a buffer (normally     \
     122 with `needed`), then into a buffer of `size` bytes: the ports' names. */                 \
  X(EnumPortsSizing, enumPortsSize, doEnumPortsSize, (std::uint32_t & needed), (needed),          \
    needed = 0)                                                                                   \
  X(EnumPorts, enumPorts, doEnumPorts, (std::uint32_t size, std::vector<std::string> & names),    \
    (size, names), names.clear())

enum class SpoolerCall : int { PLATFORM_SPOOLER_CALLS(PLATFORM_CALL_ENUMERATOR) };
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
  PLATFORM_SPOOLER_CALLS(PLATFORM_CALL_PUBLIC)

 protected:
  PLATFORM_SPOOLER_CALLS(PLATFORM_CALL_VIRTUAL)
};

}  // namespace platform
