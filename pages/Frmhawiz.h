// Help page: install the driver with the system's Add Printer wizard, started by "Done".
#pragma once

#include "pages/help_page.h"

namespace pages {

class TFormHelpWizAddPrn : public HelpPage {
 public:
  TFormHelpWizAddPrn();
  void BtnNextClick() override;
};

}  // namespace pages

extern pages::TFormHelpWizAddPrn* FormHelpWizAddPrn;
