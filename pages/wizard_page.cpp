#include "pages/wizard_page.h"

#include "app/state/context.h"
#include "app/state/wizard_state.h"
#include "pages/Mainfrm.h"

namespace pages {

monitor::MonitorPc monitorPc() {
  platform::Platform& os = app::os();
  return {os, os, os, os.prompter(), osMajorVersion, wizard64};
}

std::vector<const gui::Control*> WizardPage::labels() const {
  std::vector<const gui::Control*> all;
  for (const auto& c : controls())
    if (c->kind() == gui::Kind::Label) all.push_back(c.get());
  return all;
}

void WizardPage::addFrame(gui::Button*& back, const char* backName, gui::Button*& forward,
                          const char* forwardName, const char* forwardText, gui::Button*& cancel,
                          const char* cancelName) {
  line(nullptr, "Bevel1", {0, 339, clientWidth(), 2});
  back = button(nullptr, backName, {288, 358, 70, 24}, "< Back", buttonFont());
  forward = button(nullptr, forwardName, {364, 358, 70, 24}, forwardText, buttonFont());
  cancel = button(nullptr, cancelName, {440, 358, 70, 24}, "Cancel", buttonFont());
  back->onClick = [this] { close(); };
  cancel->onClick = [] { endWizard(); };
  defaultButton = forward;
  cancelButton = cancel;
}

gui::Label* WizardPage::text(gui::Control* parent, int x, int y, const std::string& s,
                             gui::Font f, const std::string& name) {
  std::string n = name.empty() ? "Label" + std::to_string(++labelCount_) : name;
  return label(parent, n, {x, y, 0, f.height + 4}, s, f);
}

gui::Label* WizardPage::then(gui::Control* before, const std::string& s, gui::Font f,
                             const std::string& name, int gap) {
  if (gap < 0) {
    bool spaced = (!before->text().empty() && before->text().back() == ' ') ||
                  (!s.empty() && s.front() == ' ');
    gap = spaced ? 0 : 4;
  }
  const gui::Rect& b = before->bounds();
  gui::Control* parent = before->parent() == this ? nullptr : before->parent();
  // The headless bounds guess the width; the Win32 backend measures.
  int guess = static_cast<int>(before->text().size()) * before->font().height * 45 / 100;
  gui::Label* l = text(parent, b.x + guess + gap, b.y, s, f, name);
  l->follows = before;
  l->followGap = gap;
  return l;
}

gui::Label* WizardPage::lines(gui::Control* parent, int x, int y, int step,
                              std::initializer_list<const char*> texts, gui::Font f) {
  gui::Label* last = nullptr;
  for (const char* t : texts) {
    last = text(parent, x, y, t, f);
    y += step;
  }
  return last;
}

gui::Panel* WizardPage::banner() {
  picture(nullptr, "Image1", {0, 0, 150, 339}, "banner");
  return panel(nullptr, "Panel1", {155, 4, 359, 332}, true);
}

void WizardPage::header(const std::string& title, const std::string& subtitle, int subtitleX) {
  gui::Panel* band = panel(nullptr, "Panel1", {0, 0, 522, 49}, false);
  band->background = gui::clHighlightText;
  text(band, 40, 4, title, textFont(16, true));
  text(band, subtitleX, 24, subtitle, textFont(15));
  picture(band, "Image1", {472, 0, 41, 36}, "header");
  line(nullptr, "Bevel2", {0, 49, 522, 2});
}

void endWizard() {
  if (MainForm) MainForm->close();
}

}  // namespace pages
