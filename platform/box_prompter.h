// The prompter of the running wizard: every prompt is a message box, owned
// by the application window or by the page that asked.
#pragma once

#include "platform/prompter.h"
#include "platform/windows.h"

namespace platform {

class BoxPrompter : public Prompter {
 public:
  // `page`: the window of Owner::Page prompts; 0 gives them to the
  // application window too.
  explicit BoxPrompter(Windows& os, WindowId page = 0) : os_(os), page_(page) {}
  Answer prompt(const Prompt& p) override;

 private:
  Windows& os_;
  WindowId page_;
};

}  // namespace platform
