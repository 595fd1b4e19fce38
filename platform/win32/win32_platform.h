// The real Windows calls behind the platform seam.
#pragma once

#include "platform/platform.h"

namespace platform {

class Win32Platform : public Platform {
 public:
  void sleep(unsigned ms) override;
  std::uint32_t tickCount() override;

 protected:
  bool doShellExecute(const ShellRequest& request) override;
  void doSendMessage(WindowId window, unsigned message, std::uintptr_t wParam,
                     std::intptr_t lParam) override;
  int doWsaStartup(std::uint16_t version) override;
  Socket doSocket() override;
  bool doSetSockOpt(Socket s, SockOpt option, int value) override;
  bool doGetSockOpt(Socket s, SockOpt option, int& value) override;
  bool doBind(Socket s, Ipv4 address, std::uint16_t port) override;
  int doSendTo(Socket s, const std::uint8_t* data, int length, Ipv4 address,
               std::uint16_t port) override;
  int doWaitReadable(Socket s, long seconds, long microseconds) override;
  int doRecvFrom(Socket s, std::uint8_t* buffer, int length, Ipv4* from) override;
  bool doCloseSocket(Socket s) override;
  bool doWsaCleanup() override;
  Ipv4 doInetAddr(const std::string& text) override;
  std::string doInetNtoa(Ipv4 address) override;
  std::uint32_t doAdaptersInfoSize(std::uint32_t& size) override;
  std::uint32_t doAdaptersInfo(std::uint32_t size, std::vector<Adapter>& adapters) override;
  std::uint32_t doGetVersion() override;
  WindowId doFindWindow(const std::string& cls, const std::string& title) override;
  bool doSetForegroundWindow(WindowId window) override;
  bool doSetWindowText(WindowId window, const std::string& text) override;
  Answer doMessageBox(WindowId owner, const std::string& text, const std::string& caption,
                      Buttons buttons, Icon icon) override;
};

}  // namespace platform
