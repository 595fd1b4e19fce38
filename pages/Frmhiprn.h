// "How to install my printer driver": the Add Printer wizard or the vendor's CD.
#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TFormHelpInstPrn : public WizardPage {
 public:
  TFormHelpInstPrn();
  void FormShow() override;

  void RbWizEnter();
  void RbCDEnter();
  void BtnNextClick();

  gui::RadioButton* RbWiz;
  gui::RadioButton* RbCD;
  gui::Panel* PanelWiz;
  gui::Panel* PanelCD;
  gui::Button* BtnBack;
  gui::Button* BtnNext;
  gui::Button* Button1;
};

}  // namespace pages

extern pages::TFormHelpInstPrn* FormHelpInstPrn;
