#include "pages/Frmsvrip.h"

#include "pages/handoff.h"
#include "app/state/context.h"
#include "monitor/install.h"
#include "monitor/status.h"

pages::TFormServerIP* FormServerIP = nullptr;

namespace pages {

TFormServerIP::TFormServerIP()
    : WizardPage("FormServerIP", "Please Input the Printer Sharing Server IP address", 441, 146) {
  text(nullptr, 20, 24, "Server IP address", textFont(15, true));
  EdIP = edit(nullptr, "EdIP", {160, 21, 170, 23}, 15, textFont(15));
  BtnOK = button(nullptr, "BtnOK", {360, 16, 60, 20}, "OK", buttonFont());
  BtnCancel = button(nullptr, "BtnCancel", {360, 44, 60, 20}, "Cancel", buttonFont());
  lines(nullptr, 20, 92, 16,
        {"Please input the server's IP address manually.", "Press OK button when done."},
        textFont(12, false, gui::clNavy));
  // Neither button answers Enter or Escape.
  defaultButton = nullptr;
  cancelButton = nullptr;
  BtnOK->onClick = [this] { BtnOKClick(); };
  BtnCancel->onClick = [this] { BtnCancelClick(); };
}

void TFormServerIP::FormShow() { EdIP->setText(monitor::storedServerAddress(app::os())); }

// A failed write throws: the toolkit shows its message and the dialog stays.
void TFormServerIP::BtnOKClick() {
  monitor::storeManualAddress(app::os(), app::os().prompter(), EdIP->text());
  close();
}

void TFormServerIP::BtnCancelClick() {
  handoff::setManualCancelled(1);
  close();
}

}  // namespace pages
