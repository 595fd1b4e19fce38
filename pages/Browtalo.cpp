#include "pages/Browtalo.h"

pages::TBrowTaloForm* BrowTaloForm = nullptr;

namespace pages {

TBrowTaloForm::TBrowTaloForm() : WizardPage("BrowTaloForm", "Brwose for all Printer Sharing Server", 522, 393) {
  closeBox = true;
}

}  // namespace pages
