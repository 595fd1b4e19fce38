#include "pages/Frmnoprn.h"

#include "app/state/context.h"
#include "pages/Frmhiprn.h"

pages::TFormNoPrn* FormNoPrn = nullptr;

namespace pages {

TFormNoPrn::TFormNoPrn() : WizardPage("FormNoPrn", "Printer Setting not found", 522, 393) {
  header("Printer setting not found", "There is no printer setting within your PC.", 65);
  gui::Font f = textFont(14), bold = textFont(14, true);
  gui::Label* l = text(nullptr, 20, 60, "There is no printer setting within your PC. Please ", f);
  then(l, "install your printer driver", bold);
  l = text(nullptr, 20, 78, "and then", f);
  l = then(l, "run this Printer Sharing Wizard again", bold);
  then(l, "to complete the installation.", f);
  lines(nullptr, 20, 120, 18,
        {"Note: You can install the printer", "driver by add printer wizard or",
         "the CD from your printer vendor", "Click Next to proceed."},
        f);
  Image2 = picture(nullptr, "Image2", {252, 110, 250, 150}, "noprn_printers");
  text(nullptr, 300, 310, "Click Next button to proceed", textFont(15, true, gui::clNavy));

  addFrame(BtnBack, BtnNext, "Next >", Button1);
  // No way leads back from here.
  BtnBack->setEnabled(false);
  BtnNext->onClick = [this] { BtnNextClick(); };
}

void TFormNoPrn::BtnNextClick() { app::ui().showModal(*FormHelpInstPrn); }

}  // namespace pages
