#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

thread_local std::uint32_t Platform::lastError_ = 0;

Platform::~Platform() {
  if (threads_.load() > 0) {
    std::fputs("platform destroyed while a thread uses it\n", stderr);
    std::fflush(stderr);
    std::_Exit(3);
  }
}

void Platform::failCall(Call call, std::uint32_t error, int times) {
  std::lock_guard<std::mutex> hold(faultsLock_);
  faults_[static_cast<std::size_t>(call)] = Fault{error, times};
}

void Platform::clearFaults() {
  std::lock_guard<std::mutex> hold(faultsLock_);
  faults_.fill(std::nullopt);
}

bool Platform::injected(Call call) {
  std::lock_guard<std::mutex> hold(faultsLock_);
  auto& fault = faults_[static_cast<std::size_t>(call)];
  if (!fault) return false;
  lastError_ = fault->error;
  if (fault->remaining > 0 && --fault->remaining == 0) fault.reset();
  return true;
}

std::uint8_t Platform::osMajorVersion() {
  if (injected(Call::GetVersion)) return 0;
  return static_cast<std::uint8_t>(doGetVersion() & 0xFF);
}

WindowId Platform::findWindow(const std::string& cls, const std::string& title) {
  if (injected(Call::FindWindow)) return 0;
  return doFindWindow(cls, title);
}

bool Platform::setForegroundWindow(WindowId window) {
  if (injected(Call::SetForegroundWindow)) return false;
  return doSetForegroundWindow(window);
}

bool Platform::setWindowText(WindowId window, const std::string& text) {
  if (injected(Call::SetWindowText)) return false;
  return doSetWindowText(window, text);
}

void Platform::setApplication(WindowId window, const std::string& title) {
  appWindow_ = window;
  appTitle_ = title;
}

Answer Platform::messageBox(WindowId owner, const std::string& text, const std::string& caption,
                            Buttons buttons, Icon icon) {
  if (injected(Call::MessageBox)) return Answer::Failed;
  struct Shown {
    const std::function<void(bool)>& hook;
    explicit Shown(const std::function<void(bool)>& h) : hook(h) {
      if (hook) hook(true);
    }
    ~Shown() {
      if (hook) hook(false);
    }
  } shown(boxHook_);
  return doMessageBox(owner, text, caption, buttons, icon);
}

void Platform::showMessage(const std::string& text) {
  messageBox(appWindow_, text, appTitle_, Buttons::Ok, Icon::None);
}

bool Platform::shellExecute(const ShellRequest& request) {
  if (injected(Call::ShellExecute)) return false;
  return doShellExecute(request);
}

void Platform::sendMessage(WindowId window, unsigned message, std::uintptr_t wParam,
                           std::intptr_t lParam) {
  if (injected(Call::SendMessage)) return;
  doSendMessage(window, message, wParam, lParam);
}

int Platform::wsaStartup(std::uint16_t version) {
  if (injected(Call::WSAStartup)) return static_cast<int>(lastError_);
  return doWsaStartup(version);
}

Socket Platform::socket() {
  if (injected(Call::Socket)) return kInvalidSocket;
  return doSocket();
}

bool Platform::setSockOpt(Socket s, SockOpt option, int value) {
  if (injected(Call::SetSockOpt)) return false;
  return doSetSockOpt(s, option, value);
}

bool Platform::getSockOpt(Socket s, SockOpt option, int& value) {
  if (injected(Call::GetSockOpt)) return false;
  return doGetSockOpt(s, option, value);
}

bool Platform::bind(Socket s, Ipv4 address, std::uint16_t port) {
  if (injected(Call::Bind)) return false;
  return doBind(s, address, port);
}

int Platform::sendTo(Socket s, const std::uint8_t* data, int length, Ipv4 address,
                     std::uint16_t port) {
  if (injected(Call::SendTo)) return -1;
  return doSendTo(s, data, length, address, port);
}

int Platform::waitReadable(Socket s, long seconds, long microseconds) {
  if (injected(Call::Select)) return -1;
  return doWaitReadable(s, seconds, microseconds);
}

int Platform::recvFrom(Socket s, std::uint8_t* buffer, int length, Ipv4* from) {
  if (injected(Call::RecvFrom)) return -1;
  return doRecvFrom(s, buffer, length, from);
}

bool Platform::closeSocket(Socket s) {
  if (injected(Call::CloseSocket)) return false;
  return doCloseSocket(s);
}

bool Platform::wsaCleanup() {
  if (injected(Call::WSACleanup)) return false;
  return doWsaCleanup();
}

Ipv4 Platform::inetAddr(const std::string& text) { return doInetAddr(text); }

std::string Platform::inetNtoa(Ipv4 address) { return doInetNtoa(address); }

std::uint32_t Platform::adaptersInfoSize(std::uint32_t& size) {
  if (injected(Call::GetAdaptersInfoSizing)) return lastError_;
  return doAdaptersInfoSize(size);
}

std::uint32_t Platform::adaptersInfo(std::uint32_t size, std::vector<Adapter>& adapters) {
  if (injected(Call::GetAdaptersInfo)) return lastError_;
  return doAdaptersInfo(size, adapters);
}

}  // namespace platform
