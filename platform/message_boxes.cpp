#include "platform/message_boxes.h"

namespace platform {

void MessageBoxes::setApplication(WindowId window, const std::string& title) {
  appWindow_ = window;
  appTitle_ = title;
}

Error MessageBoxes::messageBox(WindowId owner, const std::string& text, const std::string& caption,
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

Answer MessageBoxes::ask(WindowId owner, const std::string& text, const std::string& caption,
                    Buttons buttons, Icon icon) {
  Answer answer = Answer::Failed;
  messageBox(owner, text, caption, buttons, icon, answer);
  return answer;
}

}  // namespace platform
