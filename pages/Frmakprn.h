#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TFormAskPrn : public WizardPage {
 public:
  TFormAskPrn();
};

}  // namespace pages

extern pages::TFormAskPrn* FormAskPrn;
