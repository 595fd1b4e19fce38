// The program: the single-instance guard, the pages, the message loop.
#pragma once

#include <string>
#include <vector>

#include "app/hand_over.h"
#include "gui/ui.h"
#include "platform/platform.h"

namespace app {

// Runs the wizard to its end (exit code 0), or with a command line the
// unattended mode or the answer to /? (app/unattended.h lists the codes).
// Nothing is shown where nobody can see it (app/session.h), and nothing but
// the wizard and /? alone ever shows a window.  First of all, the 32-bit
// wizard on 64-bit Windows hands the run to the 64-bit one whose SHA-256 is
// `wizard64Sha256` (app/hand_over.h), or changes nothing.
int runApplication(platform::Platform& os, gui::Ui& ui, const std::string& commandLine = "",
                   const std::string& wizard64Sha256 = builtPrnWizard64Sha256());

// Creates the sixteen pages, once each, in their fixed order; creating
// the welcome page opens the discovery socket.
void createPages(gui::Ui& ui);
// The pages in the order they were created.
const std::vector<gui::Form*>& createdPages();
void destroyPages();

}  // namespace app
