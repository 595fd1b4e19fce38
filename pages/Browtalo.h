#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TBrowTaloForm : public WizardPage {
 public:
  TBrowTaloForm();
};

}  // namespace pages

extern pages::TBrowTaloForm* BrowTaloForm;
