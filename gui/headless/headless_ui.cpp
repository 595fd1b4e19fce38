#include "gui/headless/headless_ui.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace gui {

HeadlessUi::~HeadlessUi() {
  if (checked_ || endsEarly_ || script_.empty() || std::uncaught_exceptions() > 0) return;
  std::fprintf(stderr, "HeadlessUi: %s\n", leftOver().c_str());
  std::abort();
}

std::string HeadlessUi::leftOver() const {
  return "the program ended with " + std::to_string(script_.size()) +
         " step(s) of the script not run (a test that ends early on purpose says endsEarly())";
}

void HeadlessUi::ended() {
  checked_ = true;
  if (!endsEarly_ && !script_.empty()) throw ScriptError(leftOver());
}

platform::WindowId HeadlessUi::windowOf(const Form& form) const {
  return reinterpret_cast<platform::WindowId>(&form);
}

bool HeadlessUi::handleEvent() {
  if (script_.empty()) {
    if (expectEnd_) throw ScriptError("the script ran out before the program ended");
    exhausted_ = true;
    return false;
  }
  auto step = std::move(script_.front());
  script_.pop_front();
  step();
  return true;
}

void HeadlessUi::reachable(Control& control) const {
  Form* form = control.form();
  const std::string where = form->name() + "." + control.name();
  if (openForms().empty() || openForms().back() != form)
    throw std::logic_error(where + " is not on the page at the top");
  if (!control.showing()) throw std::logic_error(where + " is not visible");
  for (const Control* c = &control; c; c = c->parent())
    if (!c->enabled()) throw std::logic_error(where + " is disabled");
}

void HeadlessUi::click(Control& control) {
  reachable(control);
  if (control.kind() == Kind::RadioButton || control.kind() == Kind::CheckBox) {
    // A click gives the button the focus first, then changes its state.
    control.setFocus();
    auto& box = static_cast<CheckBox&>(control);
    box.setChecked(control.kind() == Kind::RadioButton ? true : !box.checked());
  } else if (control.tabStop && control.kind() != Kind::SpeedButton) {
    control.setFocus();
  }
  if (control.onClick) dispatch(control.onClick);
}

void HeadlessUi::focus(Control& control) {
  reachable(control);
  control.setFocus();
}

void HeadlessUi::closeBox(Form& form) {
  if (!form.closeBox) throw std::logic_error(form.name() + " has no close box");
  if (openForms().empty() || openForms().back() != &form)
    throw std::logic_error(form.name() + " is not at the top");
  form.close();
}

void HeadlessUi::tick(Timer& timer) { timerTick(timer); }

}  // namespace gui
