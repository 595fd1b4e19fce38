#include "pages/Frmhlex98.h"

pages::TFormHelpLex98* FormHelpLex98 = nullptr;

namespace pages {

TFormHelpLex98::TFormHelpLex98() : WizardPage("FormHelpLex98", "Information for Windows 98 user", 522, 393) {}

}  // namespace pages
