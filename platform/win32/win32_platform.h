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

  // win32_registry.cpp

  // win32_files.cpp

  // win32_printing.cpp
};

// GetLastError as an Error, never 0 for a call that failed.
Error lastWin32Error();

}  // namespace platform
