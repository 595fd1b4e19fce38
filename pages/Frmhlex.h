#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TFormHelpLex : public WizardPage {
 public:
  TFormHelpLex();
};

}  // namespace pages

extern pages::TFormHelpLex* FormHelpLex;
