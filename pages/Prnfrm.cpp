#include "pages/Prnfrm.h"

pages::TPrnForm* PrnForm = nullptr;

namespace pages {

TPrnForm::TPrnForm() : WizardPage("PrnForm", "Printer Setup", 522, 393) {}

}  // namespace pages
