// The work behind the pages as the program does it: the detection page's
// search and the browse list run on the discovery socket and the device
// table.  What is not written yet still does nothing (NoWork).
#pragma once

#include <string>

#include "pages/wizard_work.h"

namespace pages {

class LiveWork : public NoWork {
 public:
  void detectionShow() override;
  void detectionTick() override;
  void detectionStopped() override;
  void browseShow() override;
  void browseTick() override;
  void browseRefresh() override;
  void browseSet() override;

 private:
  std::string shownIp_;  // the server the detection page shows, for the focus
};

// The detection page shows a server: labels, panel, "Next >", and the
// subnet colour with its warning button.
void showServer(const std::string& model, const std::string& ip, const std::string& printer);

}  // namespace pages
