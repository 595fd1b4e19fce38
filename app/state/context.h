// The operating system and the toolkit the running wizard uses.
#pragma once

#include "gui/ui.h"
#include "platform/platform.h"

namespace app {

platform::Platform& os();
gui::Ui& ui();
void setContext(platform::Platform* os, gui::Ui* ui);

}  // namespace app
