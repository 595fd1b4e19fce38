#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TQRepPage : public WizardPage {
 public:
  TQRepPage();
};

}  // namespace pages

extern pages::TQRepPage* QRepPage;
