// Help page: the Lexmark (and Compaq) printer settings.
#pragma once

#include "pages/help_page.h"

namespace pages {

class TFormHelpLex : public HelpPage {
 public:
  TFormHelpLex();
  void BtnNextClick() override;
};

}  // namespace pages

extern pages::TFormHelpLex* FormHelpLex;
