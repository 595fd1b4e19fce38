#include "gui/ui.h"

#include <algorithm>

namespace gui {

std::string exceptionText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

Ui::Ui(platform::Platform& os) : os_(os) {
  os_.setMessageBoxHook([this](bool shown) { messageBoxShown(shown); });
}

Ui::~Ui() { os_.setMessageBoxHook(nullptr); }

void Ui::messageBoxShown(bool shown) {
  if (shown) {
    if (boxes_++ > 0) return;
    keepFocus();
    for (Form* f : stack_) enableForm(*f, false);
    return;
  }
  if (--boxes_ > 0 || stack_.empty()) return;
  // Only the top page takes input again; the page flow keeps the others
  // disabled under it.
  Form& top = *stack_.back();
  enableForm(top, true);
  restoreFocus(top);
}

void Ui::timerTick(Timer& timer) {
  if (messageBoxUp()) return;
  if (timer.enabled() && timer.onTimer) dispatch(timer.onTimer);
}

void Ui::attach(Form& form, bool windowsNow) {
  form.ui_ = this;
  if (windowsNow) makeWindows(form);
}

void Ui::makeWindows(Form& form) {
  if (form.realized_) return;
  form.realized_ = true;
  realize(form);
  // The windows show the controls' state as it is now; a timer started
  // before then starts on the screen now.
  for (const auto& c : form.controls())
    if (c->kind() == Kind::Timer && c->enabled() && c->peer) c->peer->update(*c, Prop::Enabled);
}

bool Ui::hasWindows(const Form& form) const { return form.realized_; }

void Ui::showException(const std::string& message) {
  os_.ask(applicationWindow(), exceptionText(message), os_.applicationTitle(),
                 platform::Buttons::Ok, platform::Icon::Stop);
}

void Ui::dispatch(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const Exception& e) {
    showException(e.what());
  }
}

int Ui::showModal(Form& form) {
  if (form.open_) throw Exception("Cannot make a visible window modal");
  if (!terminated_) makeWindows(form);
  Form* below = stack_.empty() ? nullptr : stack_.back();
  if (below) enableForm(*below, false);
  stack_.push_back(&form);
  form.open_ = true;
  form.modalResult = mrNone;
  form.focus_ = nullptr;  // a page opens with no control chosen yet
  form.setVisible(true);
  // The show handler runs before the window appears, so that what it
  // disables or hides is never seen (nor focused) on the screen.  A page
  // opened while the program is ending closes again at once, unshown.
  if (!terminated_) dispatch([&] { form.FormShow(); });
  if (form.modalResult == mrNone && !terminated_) showForm(form, true);
  while (form.modalResult == mrNone) {
    if (terminated_ || !handleEvent()) {
      terminated_ = true;
      form.modalResult = mrCancel;
    }
  }
  dispatch([&] { form.FormClose(); });
  if (below) enableForm(*below, true);
  form.setVisible(false);
  if (form.realized_) showForm(form, false);
  form.open_ = false;
  stack_.pop_back();
  return form.modalResult;
}

void Ui::run(Form& mainForm) {
  main_ = &mainForm;
  makeWindows(mainForm);
  stack_.push_back(&mainForm);
  mainForm.open_ = true;
  mainForm.setVisible(true);
  dispatch([&] { mainForm.FormShow(); });
  if (!terminated_) showForm(mainForm, true);
  while (!terminated_) {
    if (!handleEvent()) close(mainForm);
  }
  mainForm.open_ = false;
  stack_.clear();
  ended();
}

void Ui::close(Form& form) {
  if (&form == main_) {
    if (terminated_) return;
    dispatch([&] { form.FormClose(); });
    form.setVisible(false);
    showForm(form, false);
    terminated_ = true;
  } else if (form.open_) {
    form.modalResult = mrCancel;
  }
}

}  // namespace gui
