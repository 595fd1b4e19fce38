#include "app/state/context.h"

#include <stdexcept>

namespace app {

namespace {
platform::Platform* theOs = nullptr;
gui::Ui* theUi = nullptr;
}  // namespace

platform::Platform& os() {
  if (!theOs) throw std::logic_error("no platform");
  return *theOs;
}

gui::Ui& ui() {
  if (!theUi) throw std::logic_error("no toolkit");
  return *theUi;
}

void setContext(platform::Platform* os, gui::Ui* ui) {
  theOs = os;
  theUi = ui;
}

}  // namespace app
