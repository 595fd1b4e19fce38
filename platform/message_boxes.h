// Message boxes and the application window that owns the plain ones.  Only
// the prompter (platform/box_prompter.h), the toolkit and the pages show
// them; the wizard's features ask through a platform::Prompter.
#pragma once

#include <functional>
#include <string>

#include "platform/prompter.h"
#include "platform/windows.h"

namespace platform {

class MessageBoxes : public virtual Faults {
 public:
  // The application window and title own the plain message dialogs.
  void setApplication(WindowId window, const std::string& title);
  WindowId applicationWindow() const { return appWindow_; }
  const std::string& applicationTitle() const { return appTitle_; }

  // A message box (WindowsCall::MessageBox); caption empty gives the
  // system's default caption.
  Error messageBox(WindowId owner, const std::string& text, const std::string& caption,
                   Buttons buttons, Icon icon, Answer& answer);
  // The same for callers that only need the answer: Failed when the box
  // could not be shown.
  Answer ask(WindowId owner, const std::string& text, const std::string& caption, Buttons buttons,
             Icon icon);
  // Called with true just before a message box appears and with false once
  // it is answered: the toolkit keeps every page from input meanwhile.
  void setMessageBoxHook(std::function<void(bool shown)> hook) { boxHook_ = std::move(hook); }

 protected:
  virtual Error doMessageBox(WindowId owner, const std::string& text, const std::string& caption,
                             Buttons buttons, Icon icon, Answer& answer) = 0;

 private:
  WindowId appWindow_ = 0;
  std::string appTitle_;
  std::function<void(bool)> boxHook_;
};

}  // namespace platform
