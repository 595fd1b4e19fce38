#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TFormNoPrn : public WizardPage {
 public:
  TFormNoPrn();
};

}  // namespace pages

extern pages::TFormNoPrn* FormNoPrn;
