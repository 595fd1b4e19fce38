#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TFormHelpLex98 : public WizardPage {
 public:
  TFormHelpLex98();
};

}  // namespace pages

extern pages::TFormHelpLex98* FormHelpLex98;
