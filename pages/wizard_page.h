// What every page of the wizard shares: the common frame below the line.
#pragma once

#include "gui/form.h"

namespace pages {

inline gui::Font buttonFont() { return gui::Font{"Times New Roman", 12}; }

class WizardPage : public gui::Form {
 public:
  using gui::Form::Form;
  // Runs once, right after the page is created.
  virtual void FormCreate() {}

 protected:
  struct Frame {
    gui::Button* back;
    gui::Button* forward;
    gui::Button* cancel;
  };
  // The 2-pixel line across the page at y = 339 and, at y = 358, the
  // buttons "< Back", the forward button and "Cancel".
  Frame addFrame(const char* backName, const char* forwardName, const char* forwardText,
                 const char* cancelName);
};

}  // namespace pages
