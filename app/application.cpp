#include "app/application.h"

#include <memory>

#include "app/command_line.h"
#include "app/hand_over.h"
#include "app/instance_guard.h"
#include "app/session.h"
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

// "/?" alone, from a person: the switches and exit codes in a box.
int answerInBox(platform::Platform& os, gui::Ui& ui) {
  os.setApplication(ui.applicationWindow(), kAppTitle);
  os.prompter().showMessage(usageText());
  return static_cast<int>(ExitCode::Done);
}

// How long the wizard looks for the window of the copy that holds the
// guard: it titles it as soon as it has the guard.
constexpr unsigned kFindRunningMs = 1000;
constexpr unsigned kFindRetryMs = 100;

// The wizard, once the guard is taken: with another installation in
// progress, the copy's window when it is a wizard on this desktop comes to
// the front silently; else the user is told.
int runWizard(platform::Platform& os, gui::Ui& ui) {
  const std::uint8_t major = os.osMajorVersion();
  InstanceGuard guard(os, major);
  // A guard that cannot be made at all does not keep a person from the
  // wizard; one that another process holds does.
  if (!guard.tryTake() && (guard.error() == platform::kOk ||
                           guard.error() == platform::kErrorAccessDenied)) {
    for (unsigned waited = 0;; waited += kFindRetryMs) {
      platform::WindowId running = 0;
      if (os.findWindow(kAppClass, kAppTitle, running) == platform::kOk && running) {
        os.setForegroundWindow(running);
        return 0;
      }
      if (waited >= kFindRunningMs) break;
      os.sleep(kFindRetryMs);
    }
    os.setApplication(ui.applicationWindow(), kAppTitle);
    os.prompter().showMessage(
        "Another installation of the Printer Sharing Server driver is in progress.\n"
        "Please run the wizard again when it has finished.");
    return static_cast<int>(ExitCode::AnotherInstallation);
  }
  os.setWindowText(ui.applicationWindow(), kAppTitle);
  os.setApplication(ui.applicationWindow(), kAppTitle);
  osMajorVersion = major;
  setContext(&os, &ui);
  // What a run ended in the middle left is undone before anything else; a
  // journal that cannot be undone ends the wizard after its message.
  journal::Recovery recovery = journal::recover({os, os, os, osMajorVersion, wizard64});
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

}  // namespace

int runApplication(platform::Platform& os, gui::Ui& ui, const std::string& commandLine,
                   const std::string& wizard64Sha256) {
  CommandLine line = parseCommandLine(commandLine);
  // First of all: whether this process is the one to run here.
  if (std::optional<int> code = runWhereItBelongs(os, ui, line, commandLine, wizard64Sha256))
    return *code;
  if (line.empty || line.helpAlone) {
    Session session = currentSession(os, false);
    if (session.unseen()) return static_cast<int>(refuseWindow(os, commandLine, session));
    return line.empty ? runWizard(os, ui) : answerInBox(os, ui);
  }
  return static_cast<int>(runUnattended(os, ui, line, commandLine, currentSession(os)));
}

}  // namespace app
