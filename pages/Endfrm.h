#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TEndForm : public WizardPage {
 public:
  TEndForm();
};

}  // namespace pages

extern pages::TEndForm* EndForm;
