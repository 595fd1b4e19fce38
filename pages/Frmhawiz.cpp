#include "pages/Frmhawiz.h"

pages::TFormHelpWizAddPrn* FormHelpWizAddPrn = nullptr;

namespace pages {

TFormHelpWizAddPrn::TFormHelpWizAddPrn() : WizardPage("FormHelpWizAddPrn", "Install from the Add Printer Wizard", 522, 393) {}

}  // namespace pages
