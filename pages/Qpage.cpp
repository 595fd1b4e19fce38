#include "pages/Qpage.h"

pages::TQRepPage* QRepPage = nullptr;

namespace pages {

TQRepPage::TQRepPage() : WizardPage("QRepPage", "Test Page", 794, 1123) {}

}  // namespace pages
