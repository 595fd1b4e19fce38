#include "pages/wizard_page.h"

namespace pages {

WizardPage::Frame WizardPage::addFrame(const char* backName, const char* forwardName,
                                       const char* forwardText, const char* cancelName) {
  line(nullptr, "Bevel1", {0, 339, clientWidth(), 2});
  Frame f{button(nullptr, backName, {288, 358, 70, 24}, "< Back", buttonFont()),
          button(nullptr, forwardName, {364, 358, 70, 24}, forwardText, buttonFont()),
          button(nullptr, cancelName, {440, 358, 70, 24}, "Cancel", buttonFont())};
  defaultButton = f.forward;
  cancelButton = f.cancel;
  return f;
}

}  // namespace pages
