#include "pages/Frmhlex98.h"

#include "app/state/context.h"
#include "pages/Endfrm.h"

pages::TFormHelpLex98* FormHelpLex98 = nullptr;

namespace pages {

TFormHelpLex98::TFormHelpLex98()
    : HelpPage("FormHelpLex98", "Information for Windows 98 user", 522, 393) {
  header("Information for Windows 98 user",
         "If you are using Lexmark under Windows 98 then watch here.", 65);
  gui::Font f = textFont(14), maroon = textFont(14, false, gui::clMaroon);
  lines(nullptr, 20, 58, 17,
        {"When printing with Lexmark printer under Windows 98. Here is one",
         "thing you need to know. When you try to print the job to your printer"},
        f);
  gui::Label* l = text(nullptr, 20, 92, "sharing server , sometimes it will fail because you ", f);
  then(l, "can not create ", maroon);
  l = text(nullptr, 20, 109, "connection with the server.", maroon);
  l = then(l, "The Lexmark printer utility will ", f);
  then(l, "crash", maroon);
  l = text(nullptr, 20, 126, "when you cann't connect to the server. Just", f);
  l = then(l, "ignore", maroon);
  then(l, "this error and", f);
  text(nullptr, 20, 143, "print again when you can connect to the server again.", f);
  picture(nullptr, "Image2", {262, 178, 180, 59}, "lexmark98_error");
  lines(nullptr, 20, 180, 17,
        {"The Lexmark utility will crash", "when you cann't connect to server.",
         "Just ignore this error and go on."},
        f);
  text(nullptr, 300, 312, "Click Next button to proceed", textFont(15, true, gui::clNavy));

  addHelpFrame("Next >");
}

void TFormHelpLex98::BtnNextClick() { app::ui().showModal(*EndForm); }


}  // namespace pages
