#include "pages/Mainfrm.h"

#include "app/state/context.h"
#include "app/state/wizard_state.h"
#include "discovery/network_setup.h"
#include "discovery/receiver.h"
#include "pages/Frmhiprn.h"
#include "pages/Talowiz.h"
#include "monitor/family.h"
#include "monitor/install.h"
#include "monitor/status.h"

pages::TMainForm* MainForm = nullptr;

namespace pages {

TMainForm::TMainForm() : WizardPage("MainForm", "Printer Sharing Server Setup Wizard", 522, 393) {
  gui::Panel* p = banner();
  gui::Font f = textFont(16);
  lines(p, 10, 8, 18,
        {"This wizard helps you to install the printer sharing ", "driver on your PC.",
         "Please close other applications or windows before",
         "processing with this wizard. If you have some jobs",
         "in your printer queue. Please also cancel them or", "wait until the job completed.",
         "To continue. click Next."},
        f);
  gui::Font maroon = textFont(16, false, gui::clMaroon);
  gui::Label* last = lines(p, 10, 146, 18,
                           {"We recommend you to install your", "printer driver before processing",
                            "with this wizard."},
                           maroon);
  SpeedButton1 = speedButton(p, "SpeedButton1", {130, 181, 56, 19}, "help", textFont(13));
  SpeedButton1->glyph = "help_glyph";
  SpeedButton1->follows = last;
  SpeedButton1->followGap = 6;

  PanelUninstall = panel(p, "PanelUninstall", {28, 226, 303, 85}, true);
  gui::Font s = textFont(13);
  text(PanelUninstall, 6, 5, "If you want to uninstall the printer sharing driver,", s);
  text(PanelUninstall, 6, 23, "please click the uninstall button.", s);
  Button2 = button(PanelUninstall, "Button2", {238, 21, 57, 20}, "Uninstall", buttonFont());
  gui::Label* ver = text(PanelUninstall, 6, 43, "Driver version:", s);
  lblVer = then(ver, "", textFont(13, true), "lblVer", 6);
  gui::Label* ip = text(PanelUninstall, 6, 61, "Server IP:", s);
  lblIP = then(ip, "", textFont(13, true), "lblIP", 6);

  addFrame(BtnBack, BtnNext, "Next >", Button1);
  BtnBack->setEnabled(false);
  BtnNext->onClick = [this] { BtnNextClick(); };
  SpeedButton1->onClick = [this] { SpeedButton1Click(); };
  Button2->onClick = [this] { Button2Click(); };
}

// Opens the discovery socket; the user may end the program here.
void TMainForm::FormCreate() {
  platform::Platform& os = app::os();
  platform::BoxPrompter prompter(os, app::ui().windowOf(*this));
  switch (discovery::setUpNetwork(os, os, prompter)) {
    case discovery::Setup::EndProgram:
      throw Halt{};
    case discovery::Setup::Ready:
      discovery::startReceiver(os);
      break;
    case discovery::Setup::NoDiscovery:
    case discovery::Setup::PortHeld:  // only where the port's holder is left alone
      break;
  }
}

// The monitor's status: the panel shows while it is installed; the
// version and address are filled in either way.
void TMainForm::FormShow() {
  platform::Platform& os = app::os();
  PanelUninstall->setVisible(monitor::monitorInstalled(os, os.prompter(), monitor::kMonitorName) ==
                             1);
  lblVer->setText(monitor::installedVersionText(os, osMajorVersion, wizard64));
  // Emptied first: a stored value that is not a string raises its error here.
  lblIP->setText("");
  lblIP->setText(monitor::storedServerAddress(os));
}

void TMainForm::FormClose() { discovery::bStopReceiver.store(1, std::memory_order_release); }

void TMainForm::BtnNextClick() {
  app::ui().showModal(*TaloWizard);
  // Back from the detection page: the status block shows what was
  // installed or removed meanwhile.
  if (!app::ui().terminated()) FormShow();
}

void TMainForm::SpeedButton1Click() { app::ui().showModal(*FormHelpInstPrn); }

void TMainForm::Button2Click() {
  auto busy = [](bool on) {
    app::ui().setBusyCursor(on);
    app::ui().processMessages();
  };
  if (monitor::uninstall(monitorPc(), busy) == monitor::UninstallOutcome::Removed) endWizard();
}

}  // namespace pages
