#pragma once

#include "pages/wizard_page.h"

namespace pages {

class TFormServerIP : public WizardPage {
 public:
  TFormServerIP();
};

}  // namespace pages

extern pages::TFormServerIP* FormServerIP;
