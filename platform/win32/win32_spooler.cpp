// The print spooler (winspool) of the local machine behind the platform seam.
#include <windows.h>
#include <winspool.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/win32/win32_late.h"
#include "platform/win32/win32_platform.h"

namespace platform {

namespace {

HANDLE printerOf(PrinterHandle h) { return reinterpret_cast<HANDLE>(h); }

std::optional<std::string> textOf(const char* t) {
  if (!t) return std::nullopt;
  return std::string(t);
}

// A buffer for a spooler call; null when the memory is not there.
std::unique_ptr<BYTE[]> buffer(std::uint32_t size) {
  return std::unique_ptr<BYTE[]>(new (std::nothrow) BYTE[size ? size : 1]);
}

// A text of a writable copy as the record points to it; null when absent.
char* textIn(std::optional<std::string>& t) { return t ? t->data() : nullptr; }

// Reading a record: its texts copied (nullopt for a null one), its numbers.
struct Read {
  void operator()(std::optional<std::string>& ours, const char* theirs) const {
    ours = textOf(theirs);
  }
  void operator()(std::uint32_t& ours, DWORD theirs) const { ours = theirs; }
};
// Writing one: its texts pointing into ours (null for nullopt), its numbers.
struct Write {
  void operator()(std::optional<std::string>& ours, char*& theirs) const { theirs = textIn(ours); }
  void operator()(std::uint32_t& ours, DWORD& theirs) const { theirs = ours; }
};

// Every text and number of a level-2 record (but the device mode and the
// security descriptor) with the field of ours that holds it, in one list
// for reading and for writing: f(ours, theirs).
template <class Record, class F>
void eachField(PrinterInfo2& p, Record& r, F f) {
  f(p.serverName, r.pServerName);
  f(p.printerName, r.pPrinterName);
  f(p.shareName, r.pShareName);
  f(p.portName, r.pPortName);
  f(p.driverName, r.pDriverName);
  f(p.comment, r.pComment);
  f(p.location, r.pLocation);
  f(p.sepFile, r.pSepFile);
  f(p.printProcessor, r.pPrintProcessor);
  f(p.datatype, r.pDatatype);
  f(p.parameters, r.pParameters);
  f(p.attributes, r.Attributes);
  f(p.priority, r.Priority);
  f(p.defaultPriority, r.DefaultPriority);
  f(p.startTime, r.StartTime);
  f(p.untilTime, r.UntilTime);
  f(p.status, r.Status);
  f(p.jobs, r.cJobs);
  f(p.averagePpm, r.AveragePPM);
}

// The same for level 5.
template <class Record, class F>
void eachField(PrinterInfo5& p, Record& r, F f) {
  f(p.printerName, r.pPrinterName);
  f(p.portName, r.pPortName);
  f(p.attributes, r.Attributes);
  f(p.deviceNotSelectedTimeout, r.DeviceNotSelectedTimeout);
  f(p.transmissionRetryTimeout, r.TransmissionRetryTimeout);
}

PrinterInfo2 recordOf(const PRINTER_INFO_2A& r) {
  PrinterInfo2 p;
  eachField(p, r, Read{});
  if (r.pDevMode) {
    const auto* d = reinterpret_cast<const std::uint8_t*>(r.pDevMode);
    p.devMode.assign(d, d + r.pDevMode->dmSize + r.pDevMode->dmDriverExtra);
  }
  if (r.pSecurityDescriptor && IsValidSecurityDescriptor(r.pSecurityDescriptor)) {
    const auto* s = reinterpret_cast<const std::uint8_t*>(r.pSecurityDescriptor);
    p.securityDescriptor.assign(s, s + GetSecurityDescriptorLength(r.pSecurityDescriptor));
  }
  return p;
}

// A sizing call's answer: `bytes` as needed, and the call's error.
Error sized(BOOL ok, DWORD bytes, std::uint32_t& needed) {
  Error e = ok ? kOk : lastWin32Error();
  needed = bytes;
  return e;
}

// GetPrinterA at `level` without a buffer: the bytes its record needs.
Error recordSize(PrinterHandle handle, DWORD level, std::uint32_t& needed) {
  DWORD bytes = 0;
  BOOL ok = spool::GetPrinterA(printerOf(handle), level, nullptr, 0, &bytes);
  return sized(ok, bytes, needed);
}

// GetPrinterA at `level` into a buffer of `size` bytes.
Error readRecord(PrinterHandle handle, DWORD level, std::uint32_t size,
                 std::unique_ptr<BYTE[]>& record) {
  record = buffer(size);
  if (!record) return ERROR_NOT_ENOUGH_MEMORY;
  DWORD bytes = 0;
  return spool::GetPrinterA(printerOf(handle), level, record.get(), size, &bytes) ? kOk
                                                                            : lastWin32Error();
}

// SetPrinterA at `level`, command 0.
template <class Record>
Error writeRecord(PrinterHandle handle, DWORD level, Record& record) {
  return spool::SetPrinterA(printerOf(handle), level, reinterpret_cast<BYTE*>(&record), 0)
             ? kOk
             : lastWin32Error();
}

}  // namespace

Error Win32Platform::doEnumPrintersSize(std::uint32_t& needed) {
  DWORD bytes = 0, count = 0;
  BOOL ok = spool::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &bytes, &count);
  return sized(ok, bytes, needed);
}

Error Win32Platform::doEnumPrinters(std::uint32_t size, std::vector<PrinterInfo2>& printers) {
  std::unique_ptr<BYTE[]> b = buffer(size);
  if (!b) return ERROR_NOT_ENOUGH_MEMORY;
  DWORD bytes = 0, count = 0;
  if (!spool::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, b.get(), size, &bytes, &count))
    return lastWin32Error();
  const auto* records = reinterpret_cast<const PRINTER_INFO_2A*>(b.get());
  for (DWORD i = 0; i < count; ++i) printers.push_back(recordOf(records[i]));
  return kOk;
}

Error Win32Platform::doOpenPrinter(const std::string& name, OpenMode mode,
                                   PrinterHandle& handle) {
  PRINTER_DEFAULTSA defaults{};
  defaults.pDatatype = nullptr;
  defaults.pDevMode = nullptr;
  defaults.DesiredAccess = PRINTER_ACCESS_ADMINISTER;
  HANDLE h = nullptr;
  std::string n = name;
  if (!spool::OpenPrinterA(n.data(), &h, mode == OpenMode::Administer ? &defaults : nullptr))
    return lastWin32Error();
  handle = reinterpret_cast<PrinterHandle>(h);
  return kOk;
}

Error Win32Platform::doPrinterSize(PrinterHandle handle, std::uint32_t& needed) {
  return recordSize(handle, 2, needed);
}

Error Win32Platform::doGetPrinter(PrinterHandle handle, std::uint32_t size, PrinterInfo2& info) {
  std::unique_ptr<BYTE[]> b;
  if (Error e = readRecord(handle, 2, size, b)) return e;
  info = recordOf(*reinterpret_cast<const PRINTER_INFO_2A*>(b.get()));
  return kOk;
}

Error Win32Platform::doSetPrinter(PrinterHandle handle, const PrinterInfo2& info) {
  // Writable copies of every text; the record points into them.
  PrinterInfo2 copy = info;
  PRINTER_INFO_2A r{};
  eachField(copy, r, Write{});
  r.pDevMode = copy.devMode.size() >= offsetof(DEVMODEA, dmFields)
                   ? reinterpret_cast<DEVMODEA*>(copy.devMode.data())
                   : nullptr;
  r.pSecurityDescriptor =
      copy.securityDescriptor.empty() ? nullptr : copy.securityDescriptor.data();
  return writeRecord(handle, 2, r);
}

Error Win32Platform::doClosePrinter(PrinterHandle handle) {
  return spool::ClosePrinter(printerOf(handle)) ? kOk : lastWin32Error();
}
// default printer
Error Win32Platform::doSetDefaultPrinter(const std::string& name) {
  // By its ordinal, as older import libraries lack it.
  static const LateFunction<BOOL(WINAPI*)(LPCSTR)> setDefaultPrinter{"winspool.drv",
                                                                      MAKEINTRESOURCEA(202)};
  return setDefaultPrinter(name.c_str()) ? kOk : lastWin32Error();
}

Error Win32Platform::doDefaultPrinter(std::string& name) {
  using GetDefault = BOOL(WINAPI*)(LPSTR, LPDWORD);
  if (auto get = lateBound<GetDefault>("winspool.drv", "GetDefaultPrinterA")) {
    char none[1];
    DWORD size = 0;
    if (get(none, &size)) return kOk;  // an empty name
    DWORD e = GetLastError();
    if (e != ERROR_INSUFFICIENT_BUFFER) return e ? e : ERROR_FILE_NOT_FOUND;
    std::vector<char> buffer(size + 1);
    size = static_cast<DWORD>(buffer.size());
    if (!get(buffer.data(), &size)) return lastWin32Error();
    name = buffer.data();
    return kOk;
  }
  // Windows 9x and NT 4: "name,driver,port" in win.ini.
  char device[1024];
  DWORD n = GetProfileStringA("windows", "device", "", device, sizeof device);
  std::string entry(device, n);
  name = entry.substr(0, entry.find(','));
  return name.empty() ? ERROR_FILE_NOT_FOUND : kOk;
}

Error Win32Platform::doPrinter5Size(PrinterHandle handle, std::uint32_t& needed) {
  return recordSize(handle, 5, needed);
}

Error Win32Platform::doGetPrinter5(PrinterHandle handle, std::uint32_t size, PrinterInfo5& info) {
  std::unique_ptr<BYTE[]> b;
  if (Error e = readRecord(handle, 5, size, b)) return e;
  eachField(info, *reinterpret_cast<const PRINTER_INFO_5A*>(b.get()), Read{});
  return kOk;
}

Error Win32Platform::doSetPrinter5(PrinterHandle handle, const PrinterInfo5& info) {
  PrinterInfo5 copy = info;
  PRINTER_INFO_5A r{};
  eachField(copy, r, Write{});
  return writeRecord(handle, 5, r);
}
// end of default printer

// monitors
Error Win32Platform::doEnumMonitorsSize(std::uint32_t& needed) {
  DWORD bytes = 0, count = 0;
  BOOL ok = spool::EnumMonitorsA(nullptr, 1, nullptr, 0, &bytes, &count);
  return sized(ok, bytes, needed);
}

Error Win32Platform::doEnumMonitors(std::uint32_t size, std::vector<std::string>& names) {
  std::vector<BYTE> buffer(size ? size : 1);
  DWORD needed = 0, count = 0;
  if (!spool::EnumMonitorsA(nullptr, 1, size ? buffer.data() : nullptr, size, &needed, &count))
    return lastWin32Error();
  const auto* info = reinterpret_cast<const MONITOR_INFO_1A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) names.emplace_back(info[i].pName ? info[i].pName : "");
  return kOk;
}

Error Win32Platform::doAddMonitor(const MonitorInfo2& m) {
  std::string name = m.name, environment = m.environment, dll = m.dllName;
  MONITOR_INFO_2A info{name.data(), environment.data(), dll.data()};
  return spool::AddMonitorA(nullptr, 2, reinterpret_cast<BYTE*>(&info)) ? kOk : lastWin32Error();
}

Error Win32Platform::doDeleteMonitor(const std::string& environment, const std::string& name) {
  std::string env = environment, monitor = name;
  return spool::DeleteMonitorA(nullptr, env.data(), monitor.data()) ? kOk : lastWin32Error();
}
// end of monitors

// ports: EnumPortsA, bound late.
namespace {
using EnumPortsFn = BOOL(WINAPI*)(LPSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD);
}

Error Win32Platform::doEnumPortsSize(std::uint32_t& needed) {
  auto enumPorts = lateBound<EnumPortsFn>("winspool.drv", "EnumPortsA");
  if (!enumPorts) return lastWin32Error();
  DWORD bytes = 0, count = 0;
  BOOL ok = enumPorts(nullptr, 1, nullptr, 0, &bytes, &count);
  return sized(ok, bytes, needed);
}

Error Win32Platform::doEnumPorts(std::uint32_t size, std::vector<std::string>& names) {
  auto enumPorts = lateBound<EnumPortsFn>("winspool.drv", "EnumPortsA");
  if (!enumPorts) return lastWin32Error();
  std::vector<BYTE> buffer(size ? size : 1);
  DWORD needed = 0, count = 0;
  if (!enumPorts(nullptr, 1, size ? buffer.data() : nullptr, size, &needed, &count))
    return lastWin32Error();
  const auto* info = reinterpret_cast<const PORT_INFO_1A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) names.emplace_back(info[i].pName ? info[i].pName : "");
  return kOk;
}

}  // namespace platform
