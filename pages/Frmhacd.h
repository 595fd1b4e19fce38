// Help page: install the driver from the printer vendor's CD.
#pragma once

#include "pages/help_page.h"

namespace pages {

class TFormHelpCDAddPrn : public HelpPage {
 public:
  TFormHelpCDAddPrn();
  void BtnNextClick() override;
};

}  // namespace pages

extern pages::TFormHelpCDAddPrn* FormHelpCDAddPrn;
