// The completion page: default printer and test page.
#pragma once

#include "pages/wizard_page.h"
#include "report/test_page.h"

namespace pages {

// The test page the completion page prints for `printer` at `serverAddress`:
// this PC's name, the monitor's version, the pictures from the program.
report::Report completionTestPage(const std::string& serverAddress, const std::string& printer);

class TEndForm : public WizardPage {
 public:
  TEndForm();
  void FormShow() override;

  void Button1Click();
  void SpeedButton2Click();
  void SpeedButton3Click();

  gui::Label* LblIP;
  gui::Label* LblPrn;
  gui::CheckBox* CB_Default;
  gui::Panel* PanelNotFound;
  gui::SpeedButton* SpeedButton3;  // "help"
  gui::SpeedButton* SpeedButton2;  // "Print test page"
  gui::Button* Button2;            // "< Back"
  gui::Button* Button1;            // "Done"
  gui::Button* Button3;            // "Cancel"
};

}  // namespace pages

extern pages::TEndForm* EndForm;
