#include "pages/Frmsvrip.h"

pages::TFormServerIP* FormServerIP = nullptr;

namespace pages {

TFormServerIP::TFormServerIP() : WizardPage("FormServerIP", "Please Input the Printer Sharing Server IP address", 441, 146) {}

}  // namespace pages
