#include "pages/Frmhlex.h"

pages::TFormHelpLex* FormHelpLex = nullptr;

namespace pages {

TFormHelpLex::TFormHelpLex() : WizardPage("FormHelpLex", "Config Your Lexmark Printer", 522, 393) {}

}  // namespace pages
