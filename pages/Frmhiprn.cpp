#include "pages/Frmhiprn.h"

#include "app/state/context.h"
#include "pages/Frmhacd.h"
#include "pages/Frmhawiz.h"

pages::TFormHelpInstPrn* FormHelpInstPrn = nullptr;

namespace pages {

TFormHelpInstPrn::TFormHelpInstPrn()
    : WizardPage("FormHelpInstPrn", "How to install my printer driver", 522, 392) {
  header("Install printer driver", "Please install the printer driver then run this wizard again.",
         65);
  lines(nullptr, 35, 60, 17,
        {"We recommend you to install the printer driver before running our",
         "printer sharing setup wizard. You can install the driver by the help of",
         "the add printer wizard or the CD came along with your printer. You",
         "can click the button below for futhur information."},
        textFont(14));
  gui::Font bold = textFont(15, true);
  RbWiz = radioButton(nullptr, "RbWiz", {60, 140, 360, 20}, "Install by the add printer wizard",
                      bold);
  RbCD = radioButton(nullptr, "RbCD", {60, 164, 360, 20},
                     "Install by the CD from the printer vendor", bold);
  gui::Font navy = textFont(15, true, gui::clNavy);
  PanelWiz = panel(nullptr, "PanelWiz", {60, 200, 400, 44}, false);
  lines(PanelWiz, 4, 2, 18, {"I want to install the printer driver by the ", "add printer wizard. "},
        navy);
  PanelWiz->hide();
  PanelCD = panel(nullptr, "PanelCD", {60, 200, 400, 44}, false);
  lines(PanelCD, 4, 2, 18,
        {"I want to install the printer driver by the ", "CD from my printer vendor. "}, navy);
  PanelCD->hide();
  text(nullptr, 300, 310, "Click Next button to proceed.", navy);

  addFrame(BtnBack, BtnNext, "Next >", Button1);
  BtnNext->setEnabled(false);
  RbWiz->onEnter = [this] { RbWizEnter(); };
  RbCD->onEnter = [this] { RbCDEnter(); };
  BtnNext->onClick = [this] { BtnNextClick(); };
}

void TFormHelpInstPrn::FormShow() {
  BtnNext->setEnabled(false);
  PanelWiz->hide();
  PanelCD->hide();
  RbWiz->setChecked(false);
  RbCD->setChecked(false);
}

void TFormHelpInstPrn::RbWizEnter() { showChoice(BtnNext, PanelWiz, PanelCD); }

void TFormHelpInstPrn::RbCDEnter() { showChoice(BtnNext, PanelCD, PanelWiz); }

void TFormHelpInstPrn::BtnNextClick() {
  if (RbWiz->checked()) {
    app::ui().showModal(*FormHelpWizAddPrn);
  } else if (RbCD->checked()) {
    app::ui().showModal(*FormHelpCDAddPrn);
  }
}


}  // namespace pages
