// The manual address dialog, over the browse list.
#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TFormServerIP : public WizardPage {
 public:
  TFormServerIP();
  void FormShow() override;

  void BtnOKClick();
  void BtnCancelClick();

  gui::Edit* EdIP;
  gui::Button* BtnOK;
  gui::Button* BtnCancel;
};

}  // namespace pages

extern pages::TFormServerIP* FormServerIP;
