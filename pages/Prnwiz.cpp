#include "pages/Prnwiz.h"

pages::TPrnWizard* PrnWizard = nullptr;

namespace pages {

TPrnWizard::TPrnWizard() : WizardPage("PrnWizard", "Printer Settings Setup Wizard", 522, 393) {}

}  // namespace pages
