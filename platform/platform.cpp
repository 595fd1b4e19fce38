#include "platform/platform.h"

namespace platform {

void Platform::failCall(Call call, std::uint32_t error, int times) {
  faults_[static_cast<std::size_t>(call)] = Fault{error, times};
}

void Platform::clearFaults() { faults_.fill(std::nullopt); }

bool Platform::injected(Call call) {
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
  return doMessageBox(owner, text, caption, buttons, icon);
}

void Platform::showMessage(const std::string& text) {
  messageBox(appWindow_, text, appTitle_, Buttons::Ok, Icon::None);
}

bool Platform::shellExecute(const ShellRequest& request) {
  if (injected(Call::ShellExecute)) return false;
  return doShellExecute(request);
}

}  // namespace platform
