#include "pages/Frmakprn.h"

pages::TFormAskPrn* FormAskPrn = nullptr;

namespace pages {

TFormAskPrn::TFormAskPrn() : WizardPage("FormAskPrn", "Printer Setting", 522, 393) {}

}  // namespace pages
