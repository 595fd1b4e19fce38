#include "pages/Frmhacd.h"

#include "app/state/context.h"

pages::TFormHelpCDAddPrn* FormHelpCDAddPrn = nullptr;

namespace pages {

TFormHelpCDAddPrn::TFormHelpCDAddPrn()
    : HelpPage("FormHelpCDAddPrn", "Install from the CD came along with your printer", 522,
                 393) {
  header("Install from the CD", "Install the driver by the CD came along with the printer", 65);
  gui::Font f = textFont(14), bold = textFont(14, true);
  text(nullptr, 20, 58, "You can install the printer driver by the CD from your printer vendor.",
       f);
  gui::Label* l = text(nullptr, 20, 75, "Please click \"Done\" button to ", f);
  then(l, "close this printer sharing wizard ", bold);
  l = text(nullptr, 20, 92, "and then", f);
  then(l, "Insert the installation CD of the printer.", bold);
  picture(nullptr, "Image2", {262, 124, 230, 120}, "cd_ports");
  lines(nullptr, 20, 136, 17,
        {"Note: Use  the Remote Port", "if presented. Otherwise use the",
         "LPT1 and run printer sharing", "wizard again after installation."},
        f);
  text(nullptr, 130, 312, "Click Done to close the wizard and then insert the CD",
       textFont(15, true, gui::clNavy));

  addHelpFrame("Done");
}

void TFormHelpCDAddPrn::BtnNextClick() {
  app::os().ask(app::ui().windowOf(*this),
                       "Please Insert the Installation CD of your printer.", "Information",
                       platform::Buttons::Ok, platform::Icon::Information);
  endWizard();
}


}  // namespace pages
