#include "pages/Frmhiprn.h"

pages::TFormHelpInstPrn* FormHelpInstPrn = nullptr;

namespace pages {

TFormHelpInstPrn::TFormHelpInstPrn() : WizardPage("FormHelpInstPrn", "How to install my printer driver", 522, 392) {}

}  // namespace pages
