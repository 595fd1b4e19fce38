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
  void BtnSetClick();
  void BtnLPTClick();
  void fillPrinterList();

  gui::CheckBox* RbNoPrn;
  gui::ListView* ListView;
  gui::Label* LblPrn;
  gui::Button* BtnRefresh;
  gui::Button* BtnSet;  // "Set Remote Port", never visible
  gui::Button* BtnLPT;  // "Set LPT1", never visible
  gui::Button* BtnBack;
  gui::Button* Button1;
  gui::Button* Button2;

 private:
  // The current row's printer (the first row's when none is current) to
  // `port`, then the list again; nothing when the list is empty.
  void setRowPort(const std::string& port);
};

}  // namespace pages

extern pages::TPrnForm* PrnForm;
