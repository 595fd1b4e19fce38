#include "pages/Frmhlex.h"

#include "app/state/context.h"
#include "app/state/wizard_state.h"
#include "pages/Endfrm.h"
#include "pages/Frmhlex98.h"

pages::TFormHelpLex* FormHelpLex = nullptr;

namespace pages {

TFormHelpLex::TFormHelpLex() : HelpPage("FormHelpLex", "Config Your Lexmark Printer", 522, 393) {
  header("Config your Lexmark printer", "You should config your Lexmark printer as following", 65);
  gui::Font f = textFont(14);
  lines(nullptr, 20, 58, 17,
        {"Please config your Lexmark printer in order to use the printer sharing",
         "function correctly. For Compaq IJ 600 user please also follow the tips ",
         "below. Because  IJ 600 is OEMed by Lexmark."},
        f);
  picture(nullptr, "Image2", {262, 116, 200, 170}, "lexmark_options");
  lines(nullptr, 20, 140, 17,
        {"Please uncheck the \"Enable the ", "Bidirectional support\". Then click",
         "OK to complete."},
        f);
  text(nullptr, 300, 312, "Click Next button to proceed", textFont(15, true, gui::clNavy));

  addHelpFrame("Next >");
}

// Windows 98 (major version 4 or below) first shows its own page.
void TFormHelpLex::BtnNextClick() {
  if (osMajorVersion > 4) {
    app::ui().showModal(*EndForm);
  } else {
    app::ui().showModal(*FormHelpLex98);
  }
}


}  // namespace pages
