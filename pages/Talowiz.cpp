#include "pages/Talowiz.h"

pages::TTaloWizard* TaloWizard = nullptr;

namespace pages {

TTaloWizard::TTaloWizard() : WizardPage("TaloWizard", "Driver Installation ", 522, 393) {}

}  // namespace pages
