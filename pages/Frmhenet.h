#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TFormHelpNetError : public WizardPage {
 public:
  TFormHelpNetError();
};

}  // namespace pages

extern pages::TFormHelpNetError* FormHelpNetError;
