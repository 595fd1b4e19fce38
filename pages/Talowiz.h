// The detection page: finds the servers and installs the driver.
#pragma once

#include <string>

#include "discovery/search.h"
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
  void Button2Click();

  // The current server: labels, the subnet colour with its warning button,
  // the not-found panel hidden and "Next >" enabled.
  void showServer(const discovery::Server& server);
  // No server: the not-found panel shown and "Next >" disabled; the labels
  // keep what they show unless `forget`.
  void showNoServer(bool forget);
  // The search's timer: stopped with its tick count back to 0, or resumed.
  void stopSearch();
  void resumeSearch();

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

 private:
  std::string focusedIp_;  // the server "Next >" last took the focus for
};

}  // namespace pages

extern pages::TTaloWizard* TaloWizard;
