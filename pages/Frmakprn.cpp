#include "pages/Frmakprn.h"

#include "app/state/context.h"
#include "pages/Frmhiprn.h"
#include "pages/Prnwiz.h"
#include "pages/handoff.h"

pages::TFormAskPrn* FormAskPrn = nullptr;

namespace pages {

TFormAskPrn::TFormAskPrn() : WizardPage("FormAskPrn", "Printer Setting", 522, 393) {
  gui::Panel* p = banner();
  gui::Font heading = textFont(19, true, gui::clMaroon);
  text(p, 8, 6, "We can't find the appropriate printer", heading);
  gui::Label* driverFor = text(p, 8, 29, "driver for ", heading);
  LblPrn = then(driverFor, "", heading, "LblPrn");
  gui::Font f = textFont(15);
  lines(p, 8, 60, 18,
        {"This means that you don't have the appropriate printer ",
         "driver in your PC. Please install the printer driver later"},
        f);
  gui::Label* setPort = text(p, 8, 96, "and set the port to ", f);
  gui::Label* remote = then(setPort, "Remote Port", textFont(15, true, gui::clWindowText, true));
  then(remote, "during the installation.", f);

  GroupBox1 = groupBox(p, "GroupBox1", {8, 120, 343, 62}, "");
  gui::Font bold = textFont(15, true);
  RbInst = radioButton(GroupBox1, "RbInst", {10, 12, 325, 20}, "I want to install the printer driver",
                       bold);
  RbPick = radioButton(GroupBox1, "RbPick", {10, 35, 325, 20},
                       "I want to pick an existing printer driver ", bold);

  gui::Font navy = textFont(15, true, gui::clNavy);
  PanelInst = panel(p, "PanelInst", {8, 192, 343, 80}, false);
  lines(PanelInst, 6, 4, 18,
        {"I don't have a driver for the printer model listing",
         "above. I want to install the driver.", "Click Next button to proceed."},
        navy);
  PanelInst->hide();
  PanelPick = panel(p, "PanelPick", {8, 192, 343, 80}, false);
  lines(PanelPick, 6, 4, 18,
        {"There is a driver in this PC for the printer model",
         "list above which I am sure. I want to pick it out", "by myself.",
         "Click Next button to proceed."},
        navy);
  PanelPick->hide();

  addFrame(Button2, "Button2", BtnNext, "BtnNext", "Next >", Button3, "Button3");
  BtnNext->setEnabled(false);
  RbInst->onEnter = [this] { RbInstEnter(); };
  RbPick->onEnter = [this] { RbPickEnter(); };
  BtnNext->onClick = [this] { BtnNextClick(); };
  Button2->onClick = [this] { Button2Click(); };
}

void TFormAskPrn::FormShow() {
  BtnNext->setEnabled(false);
  RbInst->setChecked(false);
  RbPick->setChecked(false);
  PanelInst->hide();
  PanelPick->hide();
  const std::string printer = handoff::serverPrinter();
  LblPrn->setText(printer.empty() ? "your printer" : printer);
}

void TFormAskPrn::RbInstEnter() { showChoice(BtnNext, PanelInst, PanelPick); }

void TFormAskPrn::RbPickEnter() { showChoice(BtnNext, PanelPick, PanelInst); }

void TFormAskPrn::BtnNextClick() {
  if (RbInst->checked()) {
    app::ui().showModal(*FormHelpInstPrn);
  } else if (RbPick->checked()) {
    handoff::setPickByHand(1);
    app::ui().showModal(*PrnWizard);
  }
}

void TFormAskPrn::Button2Click() {
  handoff::holdSearchTimer();
  close();
}

}  // namespace pages
