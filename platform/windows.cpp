#include "platform/windows.h"

namespace platform {

std::uint8_t Windows::osMajorVersion() {
  std::uint32_t version = 0;
  if (getVersion(version) != kOk) return 0;
  return static_cast<std::uint8_t>(version & 0xFF);
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

void Windows::showMessage(const std::string& text) {
  ask(appWindow_, text, appTitle_, Buttons::Ok, Icon::None);
}

}  // namespace platform
