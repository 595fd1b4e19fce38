#include "pages/Frmnoprn.h"

pages::TFormNoPrn* FormNoPrn = nullptr;

namespace pages {

TFormNoPrn::TFormNoPrn() : WizardPage("FormNoPrn", "Printer Setting not found", 522, 393) {}

}  // namespace pages
