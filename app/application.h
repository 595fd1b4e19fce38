// The program: the single-instance guard, the pages, the message loop.
#pragma once

#include <string>
#include <vector>

#include "gui/ui.h"
#include "platform/platform.h"

namespace app {

// Runs the wizard to its end (exit code 0), or with a command line the
// unattended mode or the answer to /? (app/unattended.h lists the codes).
// Nothing is shown where nobody can see it (app/session.h), and nothing but
// the wizard and /? alone ever shows a window.
int runApplication(platform::Platform& os, gui::Ui& ui, const std::string& commandLine = "");

// Creates the sixteen pages, once each, in their fixed order; creating
// the welcome page opens the discovery socket.
void createPages(gui::Ui& ui);
// The pages in the order they were created.
const std::vector<gui::Form*>& createdPages();
void destroyPages();

}  // namespace app
