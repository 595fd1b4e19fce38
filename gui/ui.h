// The toolkit's application object: the modal page stack, the end of the
// program, and the backend that puts pages on a screen (or on none).
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui/form.h"
#include "platform/platform.h"

namespace gui {

// The toolkit's exception class: what escapes a handler is shown in the
// exception box.
class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The exception box's text: "." appended when the last character sorts after it.
std::string exceptionText(const std::string& message);

class Ui {
 public:
  explicit Ui(platform::Platform& os);
  virtual ~Ui();

  platform::Platform& os() { return os_; }
  // The hidden top-level window that owns the taskbar button.
  virtual platform::WindowId applicationWindow() = 0;
  // The application window is made hidden and stays so, with no taskbar
  // button: the unattended mode shows nothing.
  virtual void keepApplicationWindowHidden() = 0;
  // Takes the form into this application.  Its window and its controls'
  // windows are made, hidden, when it is first opened; `windowsNow` makes
  // them at once (the main window, whose creation hook needs its window).
  void attach(Form& form, bool windowsNow = false);
  // Makes the form's windows unless they are made already.
  void makeWindows(Form& form);
  bool hasWindows(const Form& form) const;
  virtual platform::WindowId windowOf(const Form& form) const = 0;

  // Opens the form modally on top of the open pages and waits until it closes.
  int showModal(Form& form);
  // Shows the main window and runs the message loop until the program ends.
  void run(Form& mainForm);
  // Closes a form: back for a modal page, the end of the program for the main one.
  void close(Form& form);
  bool terminated() const { return terminated_; }
  const std::vector<Form*>& openForms() const { return stack_; }
  Form* mainForm() const { return main_; }

  // Runs an event handler; a toolkit exception is shown and the loop goes on.
  void dispatch(const std::function<void()>& handler);
  void showException(const std::string& message);

  // A message box is modal to the whole program: while one is up every open
  // page is disabled and no timer runs its handler (a tick that falls then
  // is dropped), so at most one box is up at a time.
  bool messageBoxUp() const { return boxes_ > 0; }
  // A timer's tick, from the backend.
  void timerTick(Timer& timer);

  // Lets pending window messages run (repaints, the cursor).
  virtual void processMessages() = 0;
  virtual void setBusyCursor(bool busy) = 0;
  // A small window over the pages saying what the program is busy with (a
  // test page printing); an empty text takes it down.
  virtual void showProgress(const std::string& text) = 0;
  // The bytes of a picture file embedded in the program; empty when unknown.
  virtual std::vector<std::uint8_t> resourceBytes(const std::string& name) = 0;

 protected:
  virtual void realize(Form& form) = 0;
  virtual void showForm(Form& form, bool show) = 0;
  virtual void enableForm(Form& form, bool enable) = 0;
  // Around a message box: the backend notes where the keyboard focus is,
  // and afterwards gives it back to the top page.
  virtual void keepFocus() {}
  virtual void restoreFocus(Form&) {}
  // Waits for one event and handles it; false when no more can come.
  virtual bool handleEvent() = 0;
  // The main window's loop has ended.
  virtual void ended() {}
  void terminate() { terminated_ = true; }

 private:
  void messageBoxShown(bool shown);

  platform::Platform& os_;
  int boxes_ = 0;
  std::vector<Form*> stack_;
  Form* main_ = nullptr;
  bool terminated_ = false;
};

}  // namespace gui
