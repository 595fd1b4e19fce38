// The program: the single-instance guard, the pages, the message loop.
#pragma once

#include <vector>

#include "gui/ui.h"
#include "platform/platform.h"

namespace app {

// Runs the wizard to its end; the exit code, 0 on every path.
int runApplication(platform::Platform& os, gui::Ui& ui);

// Creates the sixteen pages, once each, in their fixed order; creating
// the welcome page opens the discovery socket.
void createPages(gui::Ui& ui);
// The pages in the order they were created.
const std::vector<gui::Form*>& createdPages();
void destroyPages();

}  // namespace app
