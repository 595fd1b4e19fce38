// What every page of the wizard shares: the common frame below the line,
// the banner and header layouts, and the one-line labels its texts are made of.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "gui/form.h"
#include "monitor/install.h"

namespace pages {

inline gui::Font buttonFont() { return gui::Font{"Times New Roman", 12}; }
// A page text: Times New Roman of `height` pixels.
inline gui::Font textFont(int height, bool bold = false, gui::Color color = gui::clWindowText,
                          bool italic = false) {
  return gui::Font{"Times New Roman", height, bold, italic, color};
}

// The running wizard's PC as the monitor's installation uses it.
monitor::MonitorPc monitorPc();

class WizardPage : public gui::Form {
 public:
  using gui::Form::Form;
  // Runs once, right after the page is created.
  virtual void FormCreate() {}

  // The page's labels in creation (reading) order.
  std::vector<const gui::Control*> labels() const;

 protected:
  // The 2-pixel line across the page at y = 339 and, at y = 358, the
  // buttons "< Back", the forward button and "Cancel".  Made last, so that
  // the buttons follow the page's texts in the tab order.  "< Back" goes
  // back and "Cancel" ends the program unless the page handles them itself.
  void addFrame(gui::Button*& back, const char* backName, gui::Button*& forward,
                const char* forwardName, const char* forwardText, gui::Button*& cancel,
                const char* cancelName);
  // The same with the names most pages use: BtnBack, BtnNext, Button1.
  void addFrame(gui::Button*& back, gui::Button*& forward, const char* forwardText,
                gui::Button*& cancel) {
    addFrame(back, "BtnBack", forward, "BtnNext", forwardText, cancel, "Button1");
  }

  // One label at (x, y), as wide as its text; named LabelN unless named.
  gui::Label* text(gui::Control* parent, int x, int y, const std::string& s, gui::Font f,
                   const std::string& name = {});
  // A label that goes on in the line of `before`, `gap` pixels on; -1 puts
  // a word's space between texts that have none at the join.
  gui::Label* then(gui::Control* before, const std::string& s, gui::Font f,
                   const std::string& name = {}, int gap = -1);
  // One label per line from (x, y), `step` pixels apart; the last label.
  gui::Label* lines(gui::Control* parent, int x, int y, int step,
                    std::initializer_list<const char*> texts, gui::Font f);

  // One of two radio choices entered: its panel shows, the other's hides,
  // and `next` takes clicks.
  static void showChoice(gui::Button* next, gui::Panel* chosen, gui::Panel* other) {
    next->setEnabled(true);
    chosen->show();
    other->hide();
  }

  // Banner layout: the banner picture at the left edge and the inset panel
  // 359 x 332 at (155, 4) that holds the page's text.
  gui::Panel* banner();
  // Header layout: the white band with its bold title, subtitle and the small
  // picture at the right, and the 2-pixel line below it.
  void header(const std::string& title, const std::string& subtitle, int subtitleX = 65);

 private:
  int labelCount_ = 0;
};

// Closes the welcome page: the program ends.
void endWizard();

// Thrown from the welcome page's creation to end the program at once (the
// user would not close the companion utility); start-up returns 0.
struct Halt {};

}  // namespace pages
