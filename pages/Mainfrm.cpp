#include "pages/Mainfrm.h"

#include "app/context.h"
#include "app/wizard_state.h"
#include "pages/Talowiz.h"

pages::TMainForm* MainForm = nullptr;

namespace pages {

TMainForm::TMainForm() : WizardPage("MainForm", "Printer Sharing Server Setup Wizard", 522, 393) {
  Frame f = addFrame("BtnBack", "BtnNext", "Next >", "Button1");
  BtnBack = f.back;
  BtnNext = f.forward;
  Button1 = f.cancel;
  BtnBack->setEnabled(false);
  BtnNext->onClick = [this] { BtnNextClick(); };
  Button1->onClick = [this] { Button1Click(); };
}

void TMainForm::FormCreate() {}

void TMainForm::FormClose() { bStopReceiver.store(1, std::memory_order_release); }

void TMainForm::BtnNextClick() { app::ui().showModal(*TaloWizard); }

void TMainForm::Button1Click() { close(); }

}  // namespace pages
