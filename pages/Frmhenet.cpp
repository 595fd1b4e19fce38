#include "pages/Frmhenet.h"

pages::TFormHelpNetError* FormHelpNetError = nullptr;

namespace pages {

TFormHelpNetError::TFormHelpNetError()
    : HelpPage("FormHelpNetError", "Network Setting Error", 522, 393) {
  header("Network Setting Error", "You are not in the same IP subnet as your printer sharing werver",
         65);
  gui::Font f = textFont(14);
  lines(nullptr, 20, 58, 17,
        {"The printer sharing server is not in the same subnet as your PC.    ",
         "Please check your PC network configurations or server configurations."},
        f);
  picture(nullptr, "Image2", {252, 100, 250, 150}, "neterror_tcpip");
  lines(nullptr, 20, 112, 17,
        {"Note: Obtain an IP from a DHCP", "server is a common usage. Please",
         "check your TCP/IP settings and", "run this wizard again."},
        f);
  text(nullptr, 250, 312, "Click Done button to end this wizard", textFont(15, true, gui::clNavy));

  addHelpFrame("Done");
}

void TFormHelpNetError::BtnNextClick() { endWizard(); }


}  // namespace pages
