// The prompter of the running wizard: every prompt is a message box, owned
// by the application window or by the page that asked.
#pragma once

#include "platform/prompter.h"
#include "platform/message_boxes.h"

namespace platform {

class BoxPrompter : public Prompter {
 public:
  // `page`: the window of Owner::Page prompts; 0 gives them to the
  // application window too.
  explicit BoxPrompter(MessageBoxes& os, WindowId page = 0) : os_(os), page_(page) {}
  Answer prompt(const Prompt& p) override;

 private:
  MessageBoxes& os_;
  WindowId page_;
};

}  // namespace platform
