// Help page: Lexmark printers under Windows 98.
#pragma once

#include "pages/help_page.h"

namespace pages {

class TFormHelpLex98 : public HelpPage {
 public:
  TFormHelpLex98();
  void BtnNextClick() override;
};

}  // namespace pages

extern pages::TFormHelpLex98* FormHelpLex98;
