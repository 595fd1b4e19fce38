#include "pages/handoff.h"

#include "pages/Browtalo.h"
#include "pages/Prnwiz.h"
#include "pages/Talowiz.h"

namespace pages::handoff {

std::string serverAddress() { return TaloWizard->LblIP->text(); }
std::string serverPrinter() { return TaloWizard->LblPrinter->text(); }
void showServer(const discovery::Server& server) { TaloWizard->showServer(server); }
void showNoServer(bool forget) { TaloWizard->showNoServer(forget); }
void stopSearch() { TaloWizard->stopSearch(); }
void resumeSearch() { TaloWizard->resumeSearch(); }
void holdSearchTimer() { TaloWizard->Timer1->setEnabled(false); }

std::string chosenPrinter() { return PrnWizard->LblProduct->text(); }
void setChosenPrinter(const std::string& name) { PrnWizard->LblProduct->setText(name); }
void setPickByHand(std::int32_t value) { PrnWizard->bPickByHand = value; }

void setManualCancelled(std::int32_t value) { BrowTaloForm->bManualCancelled = value; }

}  // namespace pages::handoff
