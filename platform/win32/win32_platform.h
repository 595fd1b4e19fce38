// The real Windows calls behind the platform seam, one file per area.
#pragma once

#include "platform/platform.h"

namespace platform {

class Win32Platform : public Platform {
 public:
  void sleep(unsigned ms) override;
  std::uint32_t tickCount() override;

 protected:
  // win32_windows.cpp
  Error doGetVersion(std::uint32_t& version) override;
  Error doFindWindow(const std::string& cls, const std::string& title, WindowId& found) override;
  Error doSetForegroundWindow(WindowId window) override;
  Error doSetWindowText(WindowId window, const std::string& text) override;
  Error doMessageBox(WindowId owner, const std::string& text, const std::string& caption,
                     Buttons buttons, Icon icon, Answer& answer) override;
  Error doShellExecute(const ShellRequest& request) override;
  Error doSendMessage(WindowId window, unsigned message, std::uintptr_t wParam,
                      std::intptr_t lParam) override;
  Error doComputerName(std::string& name) override;

  // win32_network.cpp
  Error doWsaStartup(std::uint16_t version) override;
  Error doSocket(Socket& s) override;
  Error doSetSockOpt(Socket s, SockOpt option, int value) override;
  Error doGetSockOpt(Socket s, SockOpt option, int& value) override;
  Error doBind(Socket s, Ipv4 address, std::uint16_t port) override;
  Error doSendTo(Socket s, const std::uint8_t* data, int length, Ipv4 address,
                 std::uint16_t port) override;
  Error doWaitReadable(Socket s, long seconds, long microseconds, bool& readable) override;
  Error doRecvFrom(Socket s, std::uint8_t* buffer, int length, int& received,
                   Ipv4* from) override;
  Error doCloseSocket(Socket s) override;
  Error doWsaCleanup() override;
  Error doInetAddr(const std::string& text, Ipv4& address) override;
  Error doInetNtoa(Ipv4 address, std::string& text) override;
  Error doAdaptersInfoSize(std::uint32_t& size) override;
  Error doAdaptersInfo(std::uint32_t size, std::vector<Adapter>& adapters) override;

  // win32_spooler.cpp
  Error doEnumPrintersSize(std::uint32_t& needed) override;
  Error doEnumPrinters(std::uint32_t size, std::vector<PrinterInfo2>& printers) override;
  Error doOpenPrinter(const std::string& name, OpenMode mode, PrinterHandle& handle) override;
  Error doPrinterSize(PrinterHandle handle, std::uint32_t& needed) override;
  Error doGetPrinter(PrinterHandle handle, std::uint32_t size, PrinterInfo2& info) override;
  Error doSetPrinter(PrinterHandle handle, const PrinterInfo2& info) override;
  Error doClosePrinter(PrinterHandle handle) override;
  // default printer
  Error doSetDefaultPrinter(const std::string& name) override;
  Error doPrinter5Size(PrinterHandle handle, std::uint32_t& needed) override;
  Error doGetPrinter5(PrinterHandle handle, std::uint32_t size, PrinterInfo5& info) override;
  Error doSetPrinter5(PrinterHandle handle, const PrinterInfo5& info) override;
  // monitors
  Error doEnumMonitorsSize(std::uint32_t& needed) override;
  Error doEnumMonitors(std::uint32_t size, std::vector<std::string>& names) override;
  Error doAddMonitor(const MonitorInfo2& monitor) override;
  Error doDeleteMonitor(const std::string& environment, const std::string& name) override;
  // end of monitors

  // win32_registry.cpp
  Error doRegCreateKey(const std::string& path, RegKey& key) override;
  Error doRegQueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                        std::string& data) override;
  Error doRegSetString(RegKey key, const std::string& name, const std::string& value) override;
  Error doRegCloseKey(RegKey key) override;

  // win32_files.cpp
  Error doSystemDirectory(std::string& directory) override;
  Error doCopyFile(const std::string& from, const std::string& to) override;
  Error doLoadLibrary(const std::string& path, Module& module) override;
  Error doGetProcAddress(Module module, const std::string& name, Proc& proc) override;
  Error doFreeLibrary(Module module) override;
  std::uint32_t doCallDwordProc(Proc proc) override;

  // win32_printing.cpp
  Error doPrintTargets(PrinterKinds kinds, std::vector<PrintTarget>& targets) override;
  Error doCreatePrinterDc(const std::string& printer, const PaperSize& paper,
                          PrinterDc& dc) override;
  Error doPrintDialog(WindowId owner, bool& confirmed, PrintChoice& choice) override;
  Error doDeviceCaps(PrinterDc dc, DeviceCaps& caps) override;
  Error doStartDoc(PrinterDc dc, const std::string& documentName) override;
  Error doStartPage(PrinterDc dc) override;
  Error doEndPage(PrinterDc dc) override;
  Error doEndDoc(PrinterDc dc) override;
  Error doDeleteDc(PrinterDc dc) override;
  Error doTextExtent(PrinterDc dc, const PrintFont& font, const std::string& text, int& width,
                     int& lineHeight) override;
  Error doTextOut(PrinterDc dc, const PrintFont& font, int x, int y, const std::string& text,
                  const PrintRect& clip) override;
  Error doDrawPicture(PrinterDc dc, int width, int height, const std::uint8_t* bgr,
                      const PrintRect& dest) override;
};

// GetLastError as an Error, never 0 for a call that failed.
Error lastWin32Error();

}  // namespace platform
