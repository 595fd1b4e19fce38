#include "pages/Frmhawiz.h"

#include "app/state/context.h"

pages::TFormHelpWizAddPrn* FormHelpWizAddPrn = nullptr;

namespace pages {

TFormHelpWizAddPrn::TFormHelpWizAddPrn()
    : HelpPage("FormHelpWizAddPrn", "Install from the Add Printer Wizard", 522, 393) {
  header("Add Printer Wizard", "Install the driver by add printer wizard", 65);
  gui::Font f = textFont(14), bold = textFont(14, true);
  text(nullptr, 20, 58, "You can install the printer driver by the help of the Add Printer Wizard.",
       f);
  gui::Label* l = text(nullptr, 20, 75, "Please click \"Done\" button to ", f);
  l = then(l, "close this printer sharing wizard ", bold);
  then(l, "and then", f);
  text(nullptr, 20, 92, "launch the add printer wizard.", bold);
  text(nullptr, 20, 124, "Note: Please select the option", f);
  text(nullptr, 20, 141, "\"Local printer attached to this ", bold);
  text(nullptr, 20, 158, "computer\"", bold);
  picture(nullptr, "Image2", {252, 118, 250, 60}, "addprn_local");
  lines(nullptr, 20, 194, 17,
        {"Note: Use  the Remote Port", "if presented. Otherwise use the",
         "LPT1 and run printer sharing", "sizard again after add printer", "wizard."},
        f);
  picture(nullptr, "Image3", {252, 188, 250, 96}, "addprn_ports");
  text(nullptr, 150, 312, "Click Done button to launch the add printer wizard",
       textFont(15, true, gui::clNavy));

  addHelpFrame("Done");
}

// Starts the system's Add Printer wizard and ends, whether it started or not.
void TFormHelpWizAddPrn::BtnNextClick() {
  platform::ShellRequest request;
  request.mask = 0x40;  // SEE_MASK_NOCLOSEPROCESS
  request.owner = 0;
  request.verb = "open";
  request.parameters = "shell32.dll,SHHelpShortcuts_RunDLL AddPrinter";
  request.show = 10;  // SW_SHOWDEFAULT
  // By its full path: a rundll32.exe in the current folder is not run.
  if (app::os().systemProgram("rundll32.exe", request.file) != platform::kOk ||
      app::os().shellExecute(request) != platform::kOk) {
    app::os().ask(app::ui().windowOf(*this), "Could not create process!", "",
                         platform::Buttons::Ok, platform::Icon::Stop);
  }
  endWizard();
}


}  // namespace pages
