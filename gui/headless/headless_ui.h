// The toolkit without a window system, for tests.  Its event loop takes the
// next step of a script: a step is any code (usually a click, a focus change
// or a timer tick, and checks).  When the script runs dry the program ends,
// as if the user had closed the welcome page, and `exhausted` is set.
//
// A walk cannot pass by stopping early: when the program ends with steps
// left, the run fails with a ScriptError, unless the test said the program
// ends early on purpose (`endsEarly`).  And a walk that must end by its own
// steps (`expectEnd`) fails when the script runs dry first.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>

#include "gui/ui.h"

namespace gui {

// A script broken: thrown out of the program's loop, so the test fails.
class ScriptError : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

class HeadlessUi : public Ui {
 public:
  explicit HeadlessUi(platform::Platform& os) : Ui(os) {}
  // A program that ended without running its whole script and was never
  // asked (it ended before its loop ran) stops the test process here.
  ~HeadlessUi() override;

  platform::WindowId applicationWindow() override { return appWindow_; }
  void setApplicationWindow(platform::WindowId w) { appWindow_ = w; }
  void keepApplicationWindowHidden() override { applicationWindowHidden = true; }
  bool applicationWindowHidden = false;
  platform::WindowId windowOf(const Form& form) const override;
  void processMessages() override {}
  void setBusyCursor(bool busy) override { busy_ = busy; }
  bool busy() const { return busy_; }
  void showProgress(const std::string& text) override { progress.push_back(text); }
  std::vector<std::uint8_t> resourceBytes(const std::string& name) override {
    auto it = resources.find(name);
    return it == resources.end() ? std::vector<std::uint8_t>{} : it->second;
  }
  // Every progress text shown, in order ("" when it was taken down), and
  // the embedded files a test gives the program.
  std::vector<std::string> progress;
  std::map<std::string, std::vector<std::uint8_t>> resources;

  // Adds a step to the script.
  void then(std::function<void()> step) { script_.push_back(std::move(step)); }
  // The program may end before the script's last steps; they are left.
  void endsEarly() { endsEarly_ = true; }
  // The program must end by the script's steps, not by running dry.
  void expectEnd() { expectEnd_ = true; }
  bool exhausted() const { return exhausted_; }
  std::size_t stepsLeft() const { return script_.size(); }

  // What a person can do.  Each checks that the control can be reached:
  // showing, enabled, on the page at the top of the stack.
  void click(Control& control);
  void focus(Control& control);
  void closeBox(Form& form);
  void tick(Timer& timer);  // one timer event, if the timer runs and no box is up

 protected:
  void realize(Form&) override {}
  void showForm(Form&, bool) override {}
  void enableForm(Form& form, bool enable) override { form.setEnabled(enable); }
  bool handleEvent() override;
  void ended() override;

 private:
  void reachable(Control& control) const;

  std::string leftOver() const;

  std::deque<std::function<void()>> script_;
  bool exhausted_ = false;
  bool endsEarly_ = false;
  bool expectEnd_ = false;
  bool checked_ = false;
  bool busy_ = false;
  platform::WindowId appWindow_ = 0;
};

}  // namespace gui
