// The welcome page: the main window of the program.
#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TMainForm : public WizardPage {
 public:
  TMainForm();
  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;

  void BtnNextClick();
  void SpeedButton1Click();
  void Button2Click();

  gui::SpeedButton* SpeedButton1;  // "help"
  gui::Panel* PanelUninstall;
  gui::Button* Button2;  // "Uninstall"
  gui::Label* lblVer;
  gui::Label* lblIP;
  gui::Button* BtnBack;
  gui::Button* BtnNext;
  gui::Button* Button1;
};

}  // namespace pages

extern pages::TMainForm* MainForm;
