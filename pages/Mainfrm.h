// The welcome page: the main window of the program.
#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TMainForm : public WizardPage {
 public:
  TMainForm();
  void FormCreate() override;
  void FormClose() override;

  void BtnNextClick();
  void Button1Click();

  gui::Button* BtnBack;
  gui::Button* BtnNext;
  gui::Button* Button1;
};

}  // namespace pages

extern pages::TMainForm* MainForm;
