#include "pages/Endfrm.h"

#include "app/state/context.h"
#include "pages/Frmhenet.h"
#include "app/state/wizard_state.h"
#include "discovery/adapters.h"
#include "monitor/install.h"
#include "pages/handoff.h"
#include "printers/default_printer.h"
#include "journal/journal.h"
#include "report/print_target.h"

pages::TEndForm* EndForm = nullptr;

namespace pages {

TEndForm::TEndForm() : WizardPage("EndForm", "Setup Completed", 522, 393) {
  gui::Panel* p = banner();
  lines(p, 8, 8, 18,
        {"The printer sharing setup is now completed. You",
         "can set this printer as default printer or print the", "test page in this page."},
        textFont(15));
  gui::Font navy = textFont(15, false, gui::clNavy);
  gui::Label* ip = text(p, 8, 74, "Server IP Address:", navy);
  LblIP = then(ip, "", textFont(15, true, gui::clNavy), "LblIP", 6);
  gui::Label* prn = text(p, 8, 94, "Printer:", navy);
  LblPrn = then(prn, "", textFont(15, true, gui::clNavy), "LblPrn", 6);
  CB_Default = checkBox(p, "CB_Default", {8, 124, 330, 20}, "Set this printer as default printer",
                        textFont(15));

  PanelNotFound = panel(p, "PanelNotFound", {4, 156, 351, 100}, false);
  gui::Label* last = lines(PanelNotFound, 4, 4, 18,
                           {"If you can see this message , this means you ",
                            "are not in the same IP subnet as your printer",
                            "sharing server. The test page will not print",
                            "until the problem solved."},
                           textFont(15, false, gui::clMaroon));
  SpeedButton3 = speedButton(PanelNotFound, "SpeedButton3", {170, 57, 56, 19}, "help",
                             textFont(13));
  SpeedButton3->glyph = "help_glyph";
  SpeedButton3->follows = last;
  SpeedButton3->followGap = 6;
  PanelNotFound->hide();
  SpeedButton2 = speedButton(p, "SpeedButton2", {214, 298, 138, 26}, "Print test page",
                             textFont(15, true));

  addFrame(Button2, "Button2", Button1, "Button1", "Done", Button3, "Button3");
  Button1->onClick = [this] { Button1Click(); };
  SpeedButton2->onClick = [this] { SpeedButton2Click(); };
  SpeedButton3->onClick = [this] { SpeedButton3Click(); };
}

void TEndForm::FormShow() {
  platform::Platform& os = app::os();
  LblIP->setText(monitor::storedServerAddress(os));
  LblPrn->setText(handoff::chosenPrinter());
  bool same = discovery::sameSubnet(os, os.prompter(), LblIP->text()) == 1;
  LblIP->setColor(same ? gui::clNavy : gui::clRed);
  // A server outside every subnet of this PC gets the warning with its help.
  PanelNotFound->setVisible(!same);
  CB_Default->setChecked(true);
}

// The program ends whatever the default printer step reports; its
// messages come first.
void TEndForm::Button1Click() {
  platform::Platform& os = app::os();
  if (CB_Default->checked()) {
    journal::Journal journal({os, os, os, osMajorVersion, wizard64}, "the change of the default printer");
    journal.end(
        printers::makeDefaultPrinter(os, os.prompter(), osMajorVersion, LblPrn->text(), journal),
        os.prompter());
  }
  endWizard();
}

// Prints the test page on the chosen printer, under a progress window, and
// says whether the spooler took it.
void TEndForm::SpeedButton2Click() {
  platform::Platform& os = app::os();
  gui::Ui& ui = app::ui();
  report::Report page = completionTestPage(LblIP->text(), LblPrn->text());
  platform::WindowId owner = ui.windowOf(*this);
  std::string target = report::targetEntry(LblPrn->text(), osMajorVersion);
  // The printer first (perhaps in the print dialog), then the progress
  // window while the page prints.
  std::uint32_t version = 0;
  os.getVersion(version);
  report::Destination destination = report::chooseDestination(os, version, owner, target);
  platform::Error error = destination.error;
  if (!error) {
    ui.showProgress("Printing the test page ...");
    error = report::printAt(os, destination, page);
    ui.showProgress("");
  }
  if (error == platform::kOk) {
    os.ask(owner, "Test page printed", "Information", platform::Buttons::Ok,
           platform::Icon::Information);
  } else {
    os.ask(owner, platform::failureText("The test page could not be printed.", error), "Error",
           platform::Buttons::Ok, platform::Icon::Stop);
  }
}

report::Report completionTestPage(const std::string& serverAddress, const std::string& printer) {
  report::TestPageValues values;
  values.serverAddress = serverAddress;
  values.printer = printer;
  app::os().computerName(values.computerName);
  values.driverVersion = dwDriverVersion;
  return report::testPage(values,
                          report::decodeTestPagePictures(app::ui().resourceBytes("TEST_LOGO"),
                                                         app::ui().resourceBytes("TEST_GLYPH")));
}

void TEndForm::SpeedButton3Click() { app::ui().showModal(*FormHelpNetError); }


}  // namespace pages
