#include "pages/Endfrm.h"

pages::TEndForm* EndForm = nullptr;

namespace pages {

TEndForm::TEndForm() : WizardPage("EndForm", "Setup Completed", 522, 393) {}

}  // namespace pages
