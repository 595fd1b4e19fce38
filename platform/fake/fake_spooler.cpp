// The in-memory PC: spooler.  Printers are kept as level-2 records; the
// byte counts follow the 32-bit PRINTER_INFO_2A layout so that size queries
// and short buffers behave as the real spooler's do.
#include "platform/fake/fake_pc.h"

namespace platform {

namespace {

constexpr std::uint32_t kRecordSize = 84;  // sizeof(PRINTER_INFO_2A) on 32-bit Windows

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

std::uint32_t textBytes(const std::optional<std::string>& t) {
  return t ? static_cast<std::uint32_t>(t->size() + 1) : 0;
}

std::uint32_t bytesOf(const PrinterInfo2& p) {
  return kRecordSize + textBytes(p.serverName) + textBytes(p.printerName) +
         textBytes(p.shareName) + textBytes(p.portName) + textBytes(p.driverName) +
         textBytes(p.comment) + textBytes(p.location) + textBytes(p.sepFile) +
         textBytes(p.printProcessor) + textBytes(p.datatype) + textBytes(p.parameters) +
         static_cast<std::uint32_t>(p.devMode.size() + p.securityDescriptor.size());
}

// A value the write leaves out keeps the stored one, as the spooler does.
void replace(std::optional<std::string>& stored, const std::optional<std::string>& written) {
  if (written) stored = written;
}

// The printer an open handle stands for: 6 for a handle that is not open,
// 1801 when its printer is gone.
Error opened(FakePc& pc, PrinterHandle handle, PrinterInfo2*& p) {
  auto h = pc.printerHandles.find(handle);
  if (h == pc.printerHandles.end()) return kErrorInvalidHandle;
  p = pc.printer(h->second);
  return p ? kOk : kErrorInvalidPrinterName;
}

}  // namespace

PrinterInfo2& FakePc::addPrinter(const std::string& name, const std::string& port,
                                 const std::string& driver) {
  PrinterInfo2 p;
  p.printerName = name;
  p.portName = port;
  p.driverName = driver;
  p.shareName = "";
  p.comment = "";
  p.location = "";
  p.sepFile = "";
  p.printProcessor = "WinPrint";
  p.datatype = "RAW";
  p.parameters = "";
  p.attributes = 0x40;  // PRINTER_ATTRIBUTE_LOCAL
  p.priority = 1;
  p.defaultPriority = 0;
  // A small DEVMODEA: dmSize 156, no driver extra, the name at the front.
  p.devMode.assign(156, 0);
  for (std::size_t i = 0; i < name.size() && i < 31; ++i)
    p.devMode[i] = static_cast<std::uint8_t>(name[i]);
  p.devMode[36] = 156;
  p.securityDescriptor = {1, 0, 0x04, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  printers.push_back(std::move(p));
  return printers.back();
}

PrinterInfo2* FakePc::printer(const std::string& name) {
  for (auto& p : printers)
    if (p.printerName && sameName(*p.printerName, name)) return &p;
  return nullptr;
}

Error FakePc::doEnumPrintersSize(std::uint32_t& needed) {
  // With nothing to list the spooler's call succeeds and asks for 0 bytes.
  for (const auto& p : printers) needed += bytesOf(p);
  return printers.empty() ? kOk : kErrorInsufficientBuffer;
}

Error FakePc::doEnumPrinters(std::uint32_t size, std::vector<PrinterInfo2>& out) {
  std::uint32_t needed = 0;
  for (const auto& p : printers) needed += bytesOf(p);
  if (size < needed) return kErrorInsufficientBuffer;
  out = printers;
  return kOk;
}

Error FakePc::doOpenPrinter(const std::string& name, OpenMode mode, PrinterHandle& handle) {
  PrinterInfo2* p = printer(name);
  Error result = p ? kOk : kErrorInvalidPrinterName;
  printerOpens.push_back({name, mode, result});
  if (!p) return result;
  handle = nextPrinterHandle;
  nextPrinterHandle += 4;
  printerHandles[handle] = *p->printerName;
  return kOk;
}

Error FakePc::doPrinterSize(PrinterHandle handle, std::uint32_t& needed) {
  PrinterInfo2* p = nullptr;
  if (Error e = opened(*this, handle, p)) return e;
  needed = bytesOf(*p);
  return kErrorInsufficientBuffer;
}

Error FakePc::doGetPrinter(PrinterHandle handle, std::uint32_t size, PrinterInfo2& info) {
  PrinterInfo2* p = nullptr;
  if (Error e = opened(*this, handle, p)) return e;
  if (size < bytesOf(*p)) return kErrorInsufficientBuffer;
  info = *p;
  return kOk;
}

Error FakePc::doSetPrinter(PrinterHandle handle, const PrinterInfo2& info) {
  PrinterInfo2* p = nullptr;
  if (Error e = opened(*this, handle, p)) return e;
  printerWrites.push_back(info);
  if (!info.portName || !info.driverName || !info.printProcessor) return kErrorInvalidParameter;
  std::string before = *p->printerName;
  replace(p->serverName, info.serverName);
  replace(p->printerName, info.printerName);
  replace(p->shareName, info.shareName);
  replace(p->portName, info.portName);
  replace(p->driverName, info.driverName);
  replace(p->comment, info.comment);
  replace(p->location, info.location);
  replace(p->sepFile, info.sepFile);
  replace(p->printProcessor, info.printProcessor);
  replace(p->datatype, info.datatype);
  replace(p->parameters, info.parameters);
  if (!info.devMode.empty()) p->devMode = info.devMode;
  // No descriptor in the write leaves the printer's security as it is.
  if (!info.securityDescriptor.empty()) p->securityDescriptor = info.securityDescriptor;
  p->attributes = info.attributes;
  p->priority = info.priority;
  p->defaultPriority = info.defaultPriority;
  p->startTime = info.startTime;
  p->untilTime = info.untilTime;
  // Status, job count and pages per minute are the spooler's own.
  // A rename carries the open handles along.
  for (auto& [open, name] : printerHandles)
    if (sameName(name, before)) name = *p->printerName;
  return kOk;
}

Error FakePc::doClosePrinter(PrinterHandle handle) {
  return printerHandles.erase(handle) ? kOk : kErrorInvalidHandle;
}
// default printer
namespace {
constexpr std::uint32_t kRecord5Size = 20;  // sizeof(PRINTER_INFO_5A) on 32-bit Windows
std::uint32_t record5Size(const PrinterInfo2& p) {
  return kRecord5Size + static_cast<std::uint32_t>(p.printerName.value_or("").size() + 1 +
                                                   p.portName.value_or("").size() + 1);
}
}  // namespace

Error FakePc::doDefaultPrinter(std::string& name) {
  if (defaultPrinterName.empty()) return kErrorFileNotFound;
  name = defaultPrinterName;
  return kOk;
}

Error FakePc::doSetDefaultPrinter(const std::string& name) {
  PrinterInfo2* p = printer(name);
  if (!p) return kErrorInvalidPrinterName;
  defaultPrinterName = *p->printerName;
  return kOk;
}

Error FakePc::doPrinter5Size(PrinterHandle handle, std::uint32_t& needed) {
  PrinterInfo2* p = nullptr;
  if (Error e = opened(*this, handle, p)) return e;
  needed = record5Size(*p);
  return kErrorInsufficientBuffer;
}

Error FakePc::doGetPrinter5(PrinterHandle handle, std::uint32_t size, PrinterInfo5& info) {
  PrinterInfo2* p = nullptr;
  if (Error e = opened(*this, handle, p)) return e;
  if (size < record5Size(*p)) return kErrorInsufficientBuffer;
  info.printerName = p->printerName;
  info.portName = p->portName;
  info.attributes = p->attributes;
  info.deviceNotSelectedTimeout = 15000;
  info.transmissionRetryTimeout = 45000;
  return kOk;
}

// As the 9x spooler does: the default attribute moves the default to it.
Error FakePc::doSetPrinter5(PrinterHandle handle, const PrinterInfo5& info) {
  PrinterInfo2* p = nullptr;
  if (Error e = opened(*this, handle, p)) return e;
  p->attributes = info.attributes;
  if (info.attributes & kPrinterAttributeDefault) {
    for (PrinterInfo2& other : printers)
      if (&other != p) other.attributes &= ~kPrinterAttributeDefault;
    defaultPrinterName = *p->printerName;
  }
  return kOk;
}
// end of default printer

// monitors
// As Wine's spooler does it: the monitors are the keys under kMonitorsKey
// that name a DLL in their "Driver" value, listed in the registry's order.
namespace {
bool sameText(const std::string& a, const std::string& b) {
  FakePc::NoCase less;
  return !less(a, b) && !less(b, a);
}
}  // namespace

void FakePc::registerMonitor(const std::string& name, const std::string& dllName) {
  setRegistryString(std::string(kMonitorsKey) + "\\" + name, "Driver", dllName);
  spoolerModules[name] = systemDir + "\\" + dllName;
}

std::string FakePc::nativeEnvironment() const {
  if (win9xFamily()) return "Windows 4.0";
  switch (machine.native) {
    case Architecture::X64: return "Windows x64";
    case Architecture::Arm64: return "Windows ARM64";
    case Architecture::X86: break;
  }
  return "Windows NT x86";
}

std::map<std::string, std::string, FakePc::NoCase> FakePc::startSpoolerModules() {
  return {{"Local Port", "C:\\windows\\system32\\localspl.dll"}};
}

std::vector<std::string> FakePc::portNames() const {
  std::vector<std::string> ports;
  for (const std::string& name : monitorNames()) {
    auto running = spoolerModules.find(name);
    if (running == spoolerModules.end()) continue;
    if (const File* dll = file(running->second))
      ports.insert(ports.end(), dll->ports.begin(), dll->ports.end());
  }
  return ports;
}

namespace {
std::uint32_t portListSize(const std::vector<std::string>& ports) {
  std::uint32_t size = 0;
  for (const std::string& p : ports) size += 4 + static_cast<std::uint32_t>(p.size()) + 1;
  return size;  // PORT_INFO_1A and its text, each
}
}  // namespace

Error FakePc::doEnumPortsSize(std::uint32_t& needed) {
  needed = portListSize(portNames());
  return needed ? kErrorInsufficientBuffer : kOk;
}

Error FakePc::doEnumPorts(std::uint32_t size, std::vector<std::string>& names) {
  std::vector<std::string> ports = portNames();
  if (size < portListSize(ports)) return kErrorInsufficientBuffer;
  names = ports;
  return kOk;
}

std::vector<std::string> FakePc::monitorNames() const {
  std::vector<std::string> names;
  for (const std::string& name : registrySubkeys(kMonitorsKey)) {
    auto driver = registryValue(std::string(kMonitorsKey) + "\\" + name, "Driver");
    if (driver && !driver->bytes.empty() && driver->bytes[0] != '\0') names.push_back(name);
  }
  return names;
}

std::uint32_t FakePc::monitorListSize() const {
  std::uint32_t size = 0;
  for (const std::string& name : monitorNames())
    size += 4 + static_cast<std::uint32_t>(name.size()) + 1;  // MONITOR_INFO_1A and its text
  return size;
}

Error FakePc::doEnumMonitorsSize(std::uint32_t& needed) {
  needed = monitorListSize();
  return needed ? kErrorInsufficientBuffer : kOk;
}

Error FakePc::doEnumMonitors(std::uint32_t size, std::vector<std::string>& names) {
  if (size < monitorListSize()) return kErrorInsufficientBuffer;
  names = monitorNames();
  return kOk;
}

Error FakePc::doAddMonitor(const MonitorInfo2& m) {
  auto answer = [&](Error e) {
    monitorRequests.push_back({MonitorRequest::Add, m.name, m.environment, m.dllName, e});
    return e;
  };
  if (m.name.empty()) return answer(kErrorInvalidParameter);
  // A 64-bit machine's spooler takes its own environment only, a 32-bit
  // one none of a 64-bit machine (Wine's takes any it knows).
  if (!m.environment.empty() && !sameText(m.environment, "Windows NT x86") &&
      !sameText(m.environment, "Windows x64") && !sameText(m.environment, "Windows 4.0") &&
      !sameText(m.environment, "Windows ARM64"))
    return answer(kErrorInvalidEnvironment);
  const bool env64 =
      sameText(m.environment, "Windows x64") || sameText(m.environment, "Windows ARM64");
  if (machine.native == Architecture::X86 ? env64
                                          : !sameText(m.environment, nativeEnvironment()) &&
                                                !m.environment.empty())
    return answer(kErrorInvalidEnvironment);
  if (m.dllName.empty()) return answer(kErrorInvalidParameter);
  // The spooler loads the DLL from the system directory and starts it.
  const File* dll = file(systemDir + "\\" + m.dllName);
  if (!dll) return answer(kErrorModNotFound);
  if (!dll->dll || dll->bits != spoolerBits()) return answer(kErrorBadExeFormat);
  if (!dll->exports.count("InitializePrintMonitor2") && !dll->exports.count("InitializePrintMonitor"))
    return answer(kErrorProcNotFound);
  // A key made beforehand (settings written before the registration) is
  // taken over; one that names a DLL already is an installed monitor.
  std::string key = std::string(kMonitorsKey) + "\\" + m.name;
  auto driver = registryValue(key, "Driver");
  if (driver && !driver->bytes.empty() && driver->bytes[0] != '\0')
    return answer(kErrorPrintMonitorAlreadyInstalled);
  setRegistryString(key, "Driver", m.dllName);
  // A monitor whose start fails is refused, and its key goes with it.
  if (dll->initFails) {
    deleteRegistryTree(key);
    return answer(kErrorProcNotFound);
  }
  spoolerModules[m.name] = systemDir + "\\" + m.dllName;
  return answer(kOk);
}

Error FakePc::doDeleteMonitor(const std::string& environment, const std::string& name) {
  // The environment is not looked at for the local machine.
  auto answer = [&](Error e) {
    monitorRequests.push_back({MonitorRequest::Delete, name, environment, "", e});
    return e;
  };
  if (name.empty()) return answer(kErrorInvalidParameter);
  std::string key = std::string(kMonitorsKey) + "\\" + name;
  if (!registryKeyExists(key)) return answer(kErrorUnknownPrintMonitor);
  deleteRegistryTree(key);
  spoolerModules.erase(name);
  return answer(kOk);
}
// end of monitors

}  // namespace platform
