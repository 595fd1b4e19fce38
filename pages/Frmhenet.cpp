#include "pages/Frmhenet.h"

pages::TFormHelpNetError* FormHelpNetError = nullptr;

namespace pages {

TFormHelpNetError::TFormHelpNetError() : WizardPage("FormHelpNetError", "Network Setting Error", 522, 393) {}

}  // namespace pages
