// The browse list: every server found, to pick one or to type an address.
#pragma once

#include <cstdint>

#include "pages/wizard_page.h"

namespace pages {

class TBrowTaloForm : public WizardPage {
 public:
  TBrowTaloForm();
  void FormShow() override;
  void FormClose() override;

  void Timer1Timer();
  void ListViewInsert(int row);
  static bool ListViewCompare(const gui::ListView::Row& a, const gui::ListView::Row& b);
  void BtnBrowseClick();
  void BtnSetClick();
  void BtnManualClick();
  void BtnBackClick();

  // 1: the manual address dialog was left with Cancel.
  std::int32_t bManualCancelled = 0;

  gui::Button* BtnManual;
  gui::ListView* ListView;
  gui::Label* LblTALO;
  gui::Button* BtnBrowse;
  gui::Button* BtnBack;
  gui::Button* BtnSet;
  gui::Button* Button1;
  gui::Timer* Timer1;
};

}  // namespace pages

extern pages::TBrowTaloForm* BrowTaloForm;
