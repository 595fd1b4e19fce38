// The manual printer list: the user picks the local printer.
#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TPrnForm : public WizardPage {
 public:
  TPrnForm();
  void FormShow() override;

  void ListViewInsert(int row);
  void BtnRefreshClick();
  void Button1Click();
  void BtnBackClick();
  void Button2Click();

  gui::CheckBox* RbNoPrn;
  gui::ListView* ListView;
  gui::Label* LblPrn;
  gui::Button* BtnRefresh;
  gui::Button* BtnLPT1;    // "Set LPT1", never visible
  gui::Button* BtnRemote;  // "Set Remote Port", never visible
  gui::Button* BtnBack;
  gui::Button* Button1;
  gui::Button* Button2;
};

}  // namespace pages

extern pages::TPrnForm* PrnForm;
