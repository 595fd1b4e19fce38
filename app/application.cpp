#include "app/application.h"

#include <memory>

#include "app/command_line.h"
#include "app/log_prompter.h"
#include "app/state/context.h"
#include "app/state/wizard_state.h"
#include "app/unattended.h"
#include "journal/journal.h"
#include "pages/Browtalo.h"
#include "pages/Endfrm.h"
#include "pages/Frmakprn.h"
#include "pages/Frmhacd.h"
#include "pages/Frmhawiz.h"
#include "pages/Frmhenet.h"
#include "pages/Frmhiprn.h"
#include "pages/Frmhlex.h"
#include "pages/Frmhlex98.h"
#include "pages/Frmnoprn.h"
#include "pages/Frmsvrip.h"
#include "pages/Mainfrm.h"
#include "pages/Prnfrm.h"
#include "pages/Prnwiz.h"
#include "pages/Qpage.h"
#include "pages/Talowiz.h"
#include "pages/wizard_page.h"

namespace app {

namespace {
std::vector<std::unique_ptr<pages::WizardPage>> thePages;
std::vector<gui::Form*> theOrder;

// A page's windows are made when it is first shown, but the welcome page's
// at once: its creation hook owns message boxes by it.
template <class T>
void create(gui::Ui& ui, T*& ref, bool windowsNow = false) {
  auto page = std::make_unique<T>();
  ref = page.get();
  ui.attach(*page, windowsNow);
  theOrder.push_back(page.get());
  thePages.push_back(std::move(page));
  ref->FormCreate();
}

}  // namespace

void createPages(gui::Ui& ui) {
  create(ui, MainForm, true);
  create(ui, TaloWizard);
  create(ui, PrnForm);
  create(ui, PrnWizard);
  create(ui, EndForm);
  create(ui, QRepPage);
  create(ui, FormNoPrn);
  create(ui, FormHelpInstPrn);
  create(ui, BrowTaloForm);
  create(ui, FormServerIP);
  create(ui, FormAskPrn);
  create(ui, FormHelpWizAddPrn);
  create(ui, FormHelpCDAddPrn);
  create(ui, FormHelpNetError);
  create(ui, FormHelpLex);
  create(ui, FormHelpLex98);
}

const std::vector<gui::Form*>& createdPages() { return theOrder; }

void destroyPages() {
  MainForm = nullptr;
  TaloWizard = nullptr;
  PrnForm = nullptr;
  PrnWizard = nullptr;
  EndForm = nullptr;
  QRepPage = nullptr;
  FormNoPrn = nullptr;
  FormHelpInstPrn = nullptr;
  BrowTaloForm = nullptr;
  FormServerIP = nullptr;
  FormAskPrn = nullptr;
  FormHelpWizAddPrn = nullptr;
  FormHelpCDAddPrn = nullptr;
  FormHelpNetError = nullptr;
  FormHelpLex = nullptr;
  FormHelpLex98 = nullptr;
  theOrder.clear();
  thePages.clear();
}

namespace {

// A command line that is not a quiet run: /?, or a line with a mistake,
// answered in a box as Windows installers do.
int answerInBox(platform::Platform& os, gui::Ui& ui, const CommandLine& line) {
  os.setApplication(ui.applicationWindow(), kAppTitle);
  std::string text = usageText();
  if (!line.error.empty()) text = line.error + "\n\n" + text;
  os.prompter().showMessage(text);
  return static_cast<int>(line.error.empty() ? ExitCode::Done : ExitCode::BadCommandLine);
}

}  // namespace

int runApplication(platform::Platform& os, gui::Ui& ui, const std::string& commandLine) {
  CommandLine line = parseCommandLine(commandLine);
  if (line.options.quiet && !line.options.help) {
    if (line.error.empty())
      return static_cast<int>(runUnattended(os, ui, line.options, commandLine));
    LogPrompter log(os, line.options.logFile);
    if (log.start(std::string(kAppTitle) + " /quiet, started with: " + commandLine)) {
      log.line(line.error);
      log.line("Exit code 1: " + std::string(exitCodeText(ExitCode::BadCommandLine)) + ".");
    }
    return static_cast<int>(ExitCode::BadCommandLine);
  }
  if (line.options.help || !line.error.empty()) return answerInBox(os, ui, line);
  // A copy already running: bring it to the front and leave silently.
  platform::WindowId running = 0;
  if (os.findWindow(kAppClass, kAppTitle, running) == platform::kOk && running) {
    os.setForegroundWindow(running);
    return 0;
  }
  os.setWindowText(ui.applicationWindow(), kAppTitle);
  os.setApplication(ui.applicationWindow(), kAppTitle);
  osMajorVersion = os.osMajorVersion();
  setContext(&os, &ui);
  // What a run ended in the middle left is undone before anything else; a
  // journal that cannot be undone ends the wizard after its message.
  journal::Recovery recovery = journal::recover({os, os, os, osMajorVersion});
  if (recovery.result == journal::Recovery::Undone || recovery.result == journal::Recovery::Failed)
    os.prompter().showMessage(journal::recoveryText(recovery));
  if (recovery.result == journal::Recovery::Failed) return 0;
  try {
    createPages(ui);
    ui.run(*MainForm);
  } catch (const gui::Exception& e) {
    ui.showException(e.what());
  } catch (const pages::Halt&) {
  }
  return 0;
}

}  // namespace app
