#include "pages/Talowiz.h"

#include "app/state/context.h"
#include "pages/Browtalo.h"
#include "pages/Frmakprn.h"
#include "pages/Frmhenet.h"
#include "pages/Prnwiz.h"
#include "pages/wizard_work.h"

pages::TTaloWizard* TaloWizard = nullptr;

namespace pages {

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
  Frame f = addFrame("BtnBack", "BtnNext", "Next >", "Button1");
  BtnBack = f.back;
  BtnNext = f.forward;
  Button1 = f.cancel;
  BtnNext->setEnabled(false);
  Timer1 = timer("Timer1", 1000);

  Timer1->onTimer = [this] { Timer1Timer(); };
  BtnMore->onClick = [this] { BtnMoreClick(); };
  SB_ERROR->onClick = [this] { SB_ERRORClick(); };
  BtnNext->onClick = [this] { BtnNextClick(); };
  BtnBack->onClick = [this] { BtnBackClick(); };
  Button1->onClick = [this] { Button1Click(); };
}

void TTaloWizard::FormShow() {
  LblIP->setText("");
  LblProduct->setText("");
  LblPrinter->setText("");
  BtnNext->setEnabled(false);
  Timer1->setEnabled(true);
  work().detectionShow();
}

void TTaloWizard::FormClose() {
  Timer1->setEnabled(false);
  work().detectionStopped();
}

void TTaloWizard::Timer1Timer() { work().detectionTick(); }

void TTaloWizard::BtnMoreClick() {
  Timer1->setEnabled(false);
  work().detectionStopped();
  app::ui().showModal(*BrowTaloForm);
}

void TTaloWizard::SB_ERRORClick() { app::ui().showModal(*FormHelpNetError); }

void TTaloWizard::BtnNextClick() {
  Timer1->setEnabled(false);
  work().detectionStopped();
  if (!work().installMonitor()) return;
  if (!work().storeServerAddress(LblIP->text())) return;
  PrnWizard->bPickByHand = 0;
  if (work().choosePrinterPage() == PrinterPage::Automatic) {
    app::ui().showModal(*PrnWizard);
  } else {
    app::ui().showModal(*FormAskPrn);
  }
}

void TTaloWizard::BtnBackClick() { close(); }

void TTaloWizard::Button1Click() { endWizard(); }

}  // namespace pages
