#include "pages/Talowiz.h"

#include "app/state/context.h"
#include "app/state/wizard_state.h"
#include "discovery/adapters.h"
#include "monitor/install.h"
#include "pages/Browtalo.h"
#include "pages/Frmakprn.h"
#include "pages/Frmhenet.h"
#include "pages/Prnwiz.h"
#include "pages/handoff.h"
#include "printers/matching.h"
#include "printers/ports.h"
#include "printers/printer_list.h"

pages::TTaloWizard* TaloWizard = nullptr;

namespace pages {

namespace {
constexpr std::uint32_t kLastTick = 300;
}  // namespace

TTaloWizard::TTaloWizard() : WizardPage("TaloWizard", "Driver Installation ", 522, 393) {
  gui::Panel* p = banner();
  gui::Label* last = lines(p, 8, 8, 18,
                           {"This page will help you to install the printer sharing",
                            "driver on your PC. Besides, we will find the printer",
                            "sharing server for you if it's active in your LAN. By",
                            "clicking \"More\" button , you can config your server",
                            "IP address manually or pick up one server if there ",
                            "are more than one server on LAN."},
                           textFont(15));
  BtnMore = speedButton(p, "BtnMore", {200, 97, 60, 20}, "More...", textFont(14, true));
  BtnMore->follows = last;
  BtnMore->followGap = 6;

  Animate1 = picture(p, "Animate1", {10, 132, 72, 45}, "server");
  Animate1->animate = true;
  gui::Font bold = textFont(15, true);
  LblProduct = label(p, "LblProduct", {94, 126, 250, 19}, "LblProduct", bold);
  LblIP = label(p, "LblIP", {94, 146, 150, 19}, "LblIP", bold);
  SB_ERROR = speedButton(p, "SB_ERROR", {250, 145, 64, 20}, "warning", textFont(14, true));
  SB_ERROR->hint = "click me to see details";
  SB_ERROR->hide();
  LblPrinter = label(p, "LblPrinter", {94, 166, 250, 19}, "LblPrinter", bold);

  PanelNotFound = panel(p, "PanelNotFound", {60, 200, 270, 104}, false);
  lines(PanelNotFound, 8, 6, 18,
        {"If you can see this meesage , this ", "means no Server found during",
         "this search. Please click \"More\"", "to search again after checking",
         "all the settings."},
        textFont(15, true, gui::clNavy));
  PanelNotFound->hide();

  Button2 = button(nullptr, "Button2", {8, 358, 70, 24}, "UnInstall", buttonFont());
  Button2->hide();
  addFrame(BtnBack, BtnNext, "Next >", Button1);
  BtnNext->setEnabled(false);
  Timer1 = timer("Timer1", 1000);

  Timer1->onTimer = [this] { Timer1Timer(); };
  BtnMore->onClick = [this] { BtnMoreClick(); };
  SB_ERROR->onClick = [this] { SB_ERRORClick(); };
  BtnNext->onClick = [this] { BtnNextClick(); };
  Button2->onClick = [this] { Button2Click(); };
}

void TTaloWizard::FormShow() {
  LblIP->setText("");
  LblProduct->setText("");
  LblPrinter->setText("");
  BtnNext->setEnabled(false);
  dwDetectTicks = 0;
  focusedIp_.clear();
  Timer1->setEnabled(true);
  discovery::startSearch(app::os(), app::os(), app::os().prompter());
}

void TTaloWizard::FormClose() { stopSearch(); }

// Follows the replies for 301 ticks after each start, then stands still.
void TTaloWizard::Timer1Timer() {
  if (dwDetectTicks > kLastTick) return;
  ++dwDetectTicks;
  discovery::Server server;
  if (discovery::chooseServer(server)) {
    showServer(server);
  } else {
    showNoServer(false);
  }
}

void TTaloWizard::showServer(const discovery::Server& server) {
  PanelNotFound->hide();
  BtnNext->setEnabled(true);
  LblIP->setText(server.ip);
  LblProduct->setText(server.model);
  LblPrinter->setText(server.printer);
  bool same = discovery::sameSubnet(app::os(), app::os().prompter(), server.ip) == 1;
  LblIP->setColor(same ? gui::clWindowText : gui::clRed);
  SB_ERROR->setVisible(!same);
  // The focus goes to "Next >" when a server is chosen, not on every tick,
  // so a keyboard user can still reach "More...".
  if (focusedIp_ != server.ip) {
    focusedIp_ = server.ip;
    BtnNext->setFocus();
  }
}

void TTaloWizard::showNoServer(bool forget) {
  PanelNotFound->show();
  BtnNext->setEnabled(false);
  if (!forget) return;
  LblProduct->setText("");
  LblIP->setText("");
  LblPrinter->setText("");
}

void TTaloWizard::stopSearch() {
  Timer1->setEnabled(false);
  dwDetectTicks = 0;
}

void TTaloWizard::resumeSearch() { Timer1->setEnabled(true); }

void TTaloWizard::BtnMoreClick() {
  stopSearch();
  app::ui().showModal(*BrowTaloForm);
}

void TTaloWizard::SB_ERRORClick() { app::ui().showModal(*FormHelpNetError); }

// The installation and the server's address are one step: when either
// fails, the PC is left as it was.
void TTaloWizard::BtnNextClick() {
  stopSearch();
  platform::Platform& os = app::os();
  monitor::MonitorPc pc = monitorPc();
  {
    journal::Journal journal(pc.journalPc(), "the installation of the printer sharing driver");
    bool done = false;
    try {
      done = monitor::installMonitor(pc, journal);
      if (done) monitor::storeServerAddress(os, os.prompter(), LblIP->text(), &journal);
    } catch (const gui::Exception&) {
      // The toolkit shows the registry's message once the step is undone.
      journal.end(false, os.prompter());
      throw;
    }
    if (!journal.end(done, os.prompter())) return;
  }
  handoff::setPickByHand(0);
  if (printers::choosePrinterPage(os, LblPrinter->text()) == printers::PrinterPage::Automatic) {
    app::ui().showModal(*PrnWizard);
  } else {
    app::ui().showModal(*FormAskPrn);
  }
}

// The hidden "UnInstall" button.
void TTaloWizard::Button2Click() { monitor::removeMonitor(monitorPc()); }

}  // namespace pages
