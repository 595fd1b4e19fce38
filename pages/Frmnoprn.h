// "Printer Setting not found": no local printer at all; every way on ends.
#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TFormNoPrn : public WizardPage {
 public:
  TFormNoPrn();
  void BtnNextClick();

  gui::Picture* Image2;
  gui::Button* BtnBack;  // disabled for good
  gui::Button* BtnNext;
  gui::Button* Button1;
};

}  // namespace pages

extern pages::TFormNoPrn* FormNoPrn;
