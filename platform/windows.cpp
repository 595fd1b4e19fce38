#include "platform/windows.h"

namespace platform {

Error Windows::getVersion(std::uint32_t& version) {
  version = 0;
  if (Error e = injected(WindowsCall::GetVersion)) return e;
  return doGetVersion(version);
}

std::uint8_t Windows::osMajorVersion() {
  std::uint32_t version = 0;
  if (getVersion(version) != kOk) return 0;
  return static_cast<std::uint8_t>(version & 0xFF);
}

Error Windows::findWindow(const std::string& cls, const std::string& title, WindowId& found) {
  found = 0;
  if (Error e = injected(WindowsCall::FindWindow)) return e;
  return doFindWindow(cls, title, found);
}

Error Windows::setForegroundWindow(WindowId window) {
  if (Error e = injected(WindowsCall::SetForegroundWindow)) return e;
  return doSetForegroundWindow(window);
}

Error Windows::setWindowText(WindowId window, const std::string& text) {
  if (Error e = injected(WindowsCall::SetWindowText)) return e;
  return doSetWindowText(window, text);
}

void Windows::setApplication(WindowId window, const std::string& title) {
  appWindow_ = window;
  appTitle_ = title;
}

Error Windows::messageBox(WindowId owner, const std::string& text, const std::string& caption,
                          Buttons buttons, Icon icon, Answer& answer) {
  answer = Answer::Failed;
  if (Error e = injected(WindowsCall::MessageBox)) return e;
  // The hook hears of the box before it appears and after its answer.
  struct Shown {
    const std::function<void(bool)>& hook;
    explicit Shown(const std::function<void(bool)>& h) : hook(h) {
      if (hook) hook(true);
    }
    ~Shown() {
      if (hook) hook(false);
    }
  } shown(boxHook_);
  return doMessageBox(owner, text, caption, buttons, icon, answer);
}

Answer Windows::ask(WindowId owner, const std::string& text, const std::string& caption,
                    Buttons buttons, Icon icon) {
  Answer answer = Answer::Failed;
  messageBox(owner, text, caption, buttons, icon, answer);
  return answer;
}

Error Windows::shellExecute(const ShellRequest& request) {
  if (Error e = injected(WindowsCall::ShellExecute)) return e;
  return doShellExecute(request);
}

Error Windows::sendMessage(WindowId window, unsigned message, std::uintptr_t wParam,
                           std::intptr_t lParam) {
  if (Error e = injected(WindowsCall::SendMessage)) return e;
  return doSendMessage(window, message, wParam, lParam);
}

Error Windows::computerName(std::string& name) {
  name.clear();
  if (Error e = injected(WindowsCall::GetComputerName)) return e;
  return doComputerName(name);
}

}  // namespace platform
