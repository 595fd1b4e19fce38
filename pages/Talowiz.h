// The detection page: finds the servers and installs the driver.
#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TTaloWizard : public WizardPage {
 public:
  TTaloWizard();
  void FormShow() override;
  void FormClose() override;

  void Timer1Timer();
  void BtnMoreClick();
  void SB_ERRORClick();
  void BtnNextClick();
  void BtnBackClick();
  void Button1Click();

  gui::SpeedButton* BtnMore;
  gui::Picture* Animate1;
  gui::Label* LblProduct;
  gui::Label* LblIP;
  gui::Label* LblPrinter;
  gui::SpeedButton* SB_ERROR;
  gui::Panel* PanelNotFound;
  gui::Button* Button2;  // "UnInstall", never visible
  gui::Button* BtnBack;
  gui::Button* BtnNext;
  gui::Button* Button1;
  gui::Timer* Timer1;
};

}  // namespace pages

extern pages::TTaloWizard* TaloWizard;
