#include "pages/Frmhacd.h"

pages::TFormHelpCDAddPrn* FormHelpCDAddPrn = nullptr;

namespace pages {

TFormHelpCDAddPrn::TFormHelpCDAddPrn() : WizardPage("FormHelpCDAddPrn", "Install from the CD came along with your printer", 522, 393) {}

}  // namespace pages
