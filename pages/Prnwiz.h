// The automatic printer page: proposes the local printer for "Remote Port".
#pragma once

#include <cstdint>

#include "pages/wizard_page.h"

namespace pages {

class TPrnWizard : public WizardPage {
 public:
  TPrnWizard();
  void FormShow() override;

  void BtnMoreClick();
  void BtnNextClick();
  void BtnBackClick();
  void BtnSetClick();

  // 1: the manual printer list opens as soon as the page is shown.
  std::int32_t bPickByHand = 0;

  gui::SpeedButton* BtnMore;
  gui::Picture* Image2;
  gui::Label* LblProduct;  // the chosen local printer
  gui::Button* BtnSet;     // "Ok! Set this One", never visible
  gui::Button* BtnBack;
  gui::Button* BtnNext;
  gui::Button* Button1;
};

}  // namespace pages

extern pages::TPrnWizard* PrnWizard;
