#include "pages/Prnwiz.h"

#include "app/state/context.h"
#include "app/state/wizard_state.h"
#include "pages/Endfrm.h"
#include "pages/Frmhlex.h"
#include "pages/Frmnoprn.h"
#include "pages/Prnfrm.h"
#include "pages/handoff.h"
#include "printers/matching.h"
#include "printers/ports.h"
#include "printers/printer_list.h"
#include "journal/journal.h"

pages::TPrnWizard* PrnWizard = nullptr;

namespace pages {

TPrnWizard::TPrnWizard() : WizardPage("PrnWizard", "Printer Settings Setup Wizard", 522, 393) {
  gui::Panel* p = banner();
  gui::Panel* upper = panel(p, "Panel2", {4, 4, 351, 170}, true);
  gui::Label* last =
      lines(upper, 6, 4, 18,
            {"This page will help you to setup printer settings for",
             "printer sharing driver.We will change the printer  ",
             "port settings to \"Remote Port\" on the selected printer .",
             "Printing to remote port means printing to the printer",
             "sharing server. We will pick up a printer setting for",
             "you in this page. If this is not the appropriate printer",
             ", please click the \"More\" button  to choose the printer", "by yourself."},
            textFont(14));
  BtnMore = speedButton(upper, "BtnMore", {90, 129, 60, 20}, "More...", textFont(14, true));
  BtnMore->follows = last;
  BtnMore->followGap = 6;

  gui::Panel* lower = panel(p, "Panel3", {4, 180, 351, 148}, true);
  Image2 = picture(lower, "Image2", {8, 12, 72, 45}, "printer");
  LblProduct = label(lower, "LblProduct", {90, 10, 255, 19}, "LblProduct", textFont(15, true));
  lines(lower, 90, 40, 18,
        {"If this is not the appropriate printer", "Please click \"More...\" button  to",
         "choose by yourself"},
        textFont(15, true, gui::clNavy));

  BtnSet = button(nullptr, "BtnSet", {8, 358, 100, 24}, "Ok! Set this One", buttonFont());
  BtnSet->hide();
  addFrame(BtnBack, BtnNext, "Next >", Button1);
  BtnMore->onClick = [this] { BtnMoreClick(); };
  BtnNext->onClick = [this] { BtnNextClick(); };
  BtnBack->onClick = [this] { BtnBackClick(); };
  BtnSet->onClick = [this] { BtnSetClick(); };
}

void TPrnWizard::FormShow() {
  LblProduct->setText("");
  LblProduct->setText(
      printers::pickPrinter(app::os(), app::os().prompter(), handoff::serverPrinter(), ""));
  if (LblProduct->text().empty()) app::ui().showModal(*FormNoPrn);
  if (bPickByHand == 1) BtnMoreClick();
}

void TPrnWizard::BtnMoreClick() { app::ui().showModal(*PrnForm); }

// The chosen printer moves to "Remote Port" after the user's consent; Next
// and Back stay disabled, under the hourglass, while the spooler writes.
void TPrnWizard::BtnNextClick() {
  auto busy = [this](bool on) {
    if (on) {
      BtnNext->setEnabled(false);
      BtnBack->setEnabled(false);
    }
    app::ui().setBusyCursor(on);
    app::ui().processMessages();
    if (!on) {
      BtnNext->setEnabled(true);
      BtnBack->setEnabled(true);
    }
  };
  std::string printer = LblProduct->text();
  platform::Platform& os = app::os();
  journal::Journal journal({os, os, os, osMajorVersion, wizard64}, "the change of the printer's port");
  bool moved = printers::moveToRemotePort(os, os.prompter(), osMajorVersion, printer, busy,
                                          journal) == printers::MoveOutcome::Moved;
  if (!journal.end(moved, os.prompter())) return;
  if (printers::needsLexmarkHelp(printer)) {
    app::ui().showModal(*FormHelpLex);
  } else {
    app::ui().showModal(*EndForm);
  }
}

void TPrnWizard::BtnBackClick() {
  handoff::stopSearch();
  close();
}

// The hidden "Ok! Set this One": no question, no change of page.
void TPrnWizard::BtnSetClick() {
  printers::setPrinterPort(app::os(), app::os().prompter(), osMajorVersion, LblProduct->text(),
                           "Remote Port");
}

}  // namespace pages
