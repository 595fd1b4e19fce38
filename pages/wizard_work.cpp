#include "pages/wizard_work.h"

namespace pages {

namespace {
NoWork noWork;
WizardWork* theWork = nullptr;
}  // namespace

void setWizardWork(WizardWork* w) { theWork = w; }

WizardWork& work() { return theWork ? *theWork : noWork; }

}  // namespace pages
