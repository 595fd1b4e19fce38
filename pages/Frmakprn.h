// "Printer Setting": no local driver fits the server's printer.
#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TFormAskPrn : public WizardPage {
 public:
  TFormAskPrn();
  void FormShow() override;

  void RbInstEnter();
  void RbPickEnter();
  void BtnNextClick();
  void Button2Click();

  gui::Label* LblPrn;
  gui::GroupBox* GroupBox1;
  gui::RadioButton* RbInst;
  gui::RadioButton* RbPick;
  gui::Panel* PanelInst;
  gui::Panel* PanelPick;
  gui::Button* Button2;  // "< Back"
  gui::Button* BtnNext;
  gui::Button* Button3;  // "Cancel"
};

}  // namespace pages

extern pages::TFormAskPrn* FormAskPrn;
