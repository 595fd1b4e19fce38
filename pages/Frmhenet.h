// Help page: the server is in another IP subnet.
#pragma once

#include "pages/help_page.h"

namespace pages {

class TFormHelpNetError : public HelpPage {
 public:
  TFormHelpNetError();
  void BtnNextClick() override;
};

}  // namespace pages

extern pages::TFormHelpNetError* FormHelpNetError;
