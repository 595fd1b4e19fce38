// When the toolkit makes a page's windows (at its first opening, or at once
// when asked), and how changes held between beginUpdate and endUpdate reach
// the screen: once per kind, with the last state.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/headless/headless_ui.h"
#include "platform/fake/fake_pc.h"

namespace {

const char* propName(gui::Prop p) {
  switch (p) {
    case gui::Prop::Text: return "text";
    case gui::Prop::Visible: return "visible";
    case gui::Prop::Enabled: return "enabled";
    case gui::Prop::Color: return "color";
    case gui::Prop::Checked: return "checked";
    case gui::Prop::Focus: return "focus";
    case gui::Prop::Rows: return "rows";
    case gui::Prop::Current: return "current";
    case gui::Prop::Timer: return "timer";
    case gui::Prop::Frames: return "frames";
  }
  return "?";
}

// What reached the screen: control, kind and the state it showed then.
class Recorder : public gui::Peer {
 public:
  void update(gui::Control& c, gui::Prop p) override {
    std::string state;
    if (p == gui::Prop::Text) state = "=" + c.text();
    if (p == gui::Prop::Enabled || p == gui::Prop::Visible)
      state = (p == gui::Prop::Enabled ? c.enabled() : c.visible()) ? "=1" : "=0";
    if (p == gui::Prop::Rows) state = "=" + std::to_string(static_cast<gui::ListView&>(c).count());
    log.push_back(c.name() + "." + propName(p) + state);
  }
  std::vector<std::string> log;
};

// A headless toolkit whose "windows" are recorders, made when realize runs.
class WindowsUi : public gui::HeadlessUi {
 public:
  using HeadlessUi::HeadlessUi;
  std::vector<std::string> made;  // forms, in the order their windows were made
  Recorder screen;
  // Run when a form's windows are made (what the page knows by then).
  std::function<void(gui::Form&)> onMake;

 protected:
  void realize(gui::Form& form) override {
    made.push_back(form.name());
    if (onMake) onMake(form);
    form.peer = &screen;
    for (const auto& c : form.controls()) c->peer = &screen;
  }
};

class Page : public gui::Form {
 public:
  explicit Page(const std::string& name) : Form(name, name, 522, 393) {
    count = label(nullptr, "Count", {10, 10, 40, 19}, "0");
    list = listView(nullptr, "List", {10, 40, 400, 200});
    tick = timer("Tick", 1000);
    back = button(nullptr, "Back", {288, 358, 70, 24}, "< Back");
    back->onClick = [this] { close(); };
  }
  void FormShow() override {
    shows.push_back(std::string("windows ") + (toolkit->hasWindows(*this) ? "made" : "missing"));
  }
  gui::Ui* toolkit = nullptr;
  gui::Label* count;
  gui::ListView* list;
  gui::Timer* tick;
  gui::Button* back;
  std::vector<std::string> shows;
};

class PageWindows : public ::testing::Test {
 protected:
  PageWindows() {
    for (Page* p : {&main, &second, &third}) p->toolkit = &ui;
  }
  // What reached the screen for the pages' controls (not the forms).
  std::vector<std::string> controlUpdates() const {
    std::vector<std::string> out;
    for (const auto& e : ui.screen.log)
      if (e.rfind("Main.", 0) != 0 && e.rfind("Second.", 0) != 0) out.push_back(e);
    return out;
  }
  platform::FakePc pc;
  WindowsUi ui{pc};
  Page main{"Main"}, second{"Second"}, third{"Third"};
};

TEST_F(PageWindows, MadeAtTheFirstOpeningBeforeTheShowHandlerAndOnlyOnce) {
  for (Page* p : {&main, &second, &third}) ui.attach(*p);
  EXPECT_TRUE(ui.made.empty()) << "attaching makes no window";
  ui.then([&] { ui.showModal(second); });
  ui.then([&] { second.close(); });
  ui.then([&] { ui.showModal(second); });
  ui.then([&] { second.close(); });
  ui.then([&] { main.close(); });
  ui.run(main);
  EXPECT_EQ(ui.made, (std::vector<std::string>{"Main", "Second"})) << "Third was never shown";
  EXPECT_EQ(second.shows, (std::vector<std::string>{"windows made", "windows made"}));
  EXPECT_EQ(main.shows, (std::vector<std::string>{"windows made"}));
  EXPECT_FALSE(ui.hasWindows(third));
}

TEST_F(PageWindows, AskedForAtOnceTheyExistBeforeAnythingElseRuns) {
  ui.attach(main, true);
  ui.attach(second);
  EXPECT_EQ(ui.made, std::vector<std::string>{"Main"});
  EXPECT_TRUE(ui.hasWindows(main));
  EXPECT_FALSE(ui.hasWindows(second));
  ui.then([&] { main.close(); });
  ui.run(main);
  EXPECT_EQ(ui.made, std::vector<std::string>{"Main"}) << "made once";
}

TEST_F(PageWindows, TheyShowWhatThePageHeldBeforeTheyExisted) {
  ui.attach(main);
  ui.attach(second);
  // Set on a page without windows: nothing reaches a screen yet.
  second.count->setText("7");
  second.back->setEnabled(false);
  second.list->addRow({"", "KX220", "10.77.0.2", ""});
  second.tick->setEnabled(true);
  EXPECT_TRUE(ui.screen.log.empty());
  ui.onMake = [&](gui::Form& f) {
    if (&f != &second) return;
    EXPECT_EQ(second.count->text(), "7");
    EXPECT_FALSE(second.back->enabled());
    EXPECT_EQ(second.list->count(), 1);
  };
  ui.then([&] { ui.showModal(second); });
  ui.then([&] { main.close(); });
  ui.run(main);
  // A timer started before the windows existed runs once they do; the
  // others are made from the state itself and need no update.
  EXPECT_EQ(controlUpdates(), std::vector<std::string>{"Tick.enabled=1"});
}

TEST_F(PageWindows, APageOpenedWhileTheProgramEndsGetsNone) {
  ui.attach(main);
  ui.attach(second);
  ui.then([&] {
    main.close();
    ui.showModal(second);
  });
  ui.run(main);
  EXPECT_EQ(ui.made, std::vector<std::string>{"Main"});
  EXPECT_TRUE(second.shows.empty());
}

class HeldUpdates : public PageWindows {
 protected:
  void SetUp() override {
    ui.attach(main, true);
    ui.screen.log.clear();
  }
  std::vector<std::string>& log() { return ui.screen.log; }
};

TEST_F(HeldUpdates, ALabelCountedUpManyTimesIsDrawnOnceWithTheLastValue) {
  main.count->beginUpdate();
  for (int i = 1; i <= 255; ++i) main.count->setText(std::to_string(i));
  EXPECT_TRUE(log().empty());
  EXPECT_EQ(main.count->text(), "255") << "the value itself is never held back";
  main.count->endUpdate();
  EXPECT_EQ(log(), std::vector<std::string>{"Count.text=255"});
}

TEST_F(HeldUpdates, OnlyTheOutermostEndReleasesThemInAFixedOrder) {
  main.back->beginUpdate();
  main.back->beginUpdate();
  main.back->setEnabled(false);
  main.back->setText("Back");
  main.back->setVisible(false);
  main.back->setEnabled(true);
  main.back->endUpdate();
  EXPECT_TRUE(log().empty());
  main.back->endUpdate();
  EXPECT_EQ(log(), (std::vector<std::string>{"Back.text=Back", "Back.visible=0", "Back.enabled=1"}));
  main.back->endUpdate();  // unmatched: nothing
  main.back->setText("< Back");
  EXPECT_EQ(log().back(), "Back.text=< Back") << "not held any more";
}

TEST_F(HeldUpdates, NewRowsCarryTheCurrentRowAndACurrentRowAloneIsOneUpdate) {
  gui::ListView& list = *main.list;
  list.beginUpdate();
  for (int i = 0; i < 5; ++i) list.addRow({"", "KX220", "10.77.0." + std::to_string(i), ""});
  list.setFocusedRow(3);
  list.setSelectedRow(3);
  list.endUpdate();
  EXPECT_EQ(log(), std::vector<std::string>{"List.rows=5"});
  log().clear();
  list.beginUpdate();
  list.setFocusedRow(1);
  list.setSelectedRow(1);
  list.endUpdate();
  EXPECT_EQ(log(), std::vector<std::string>{"List.current"});
  EXPECT_EQ(list.focusedRow(), 1);
  log().clear();
  list.beginUpdate();
  list.endUpdate();
  EXPECT_TRUE(log().empty()) << "nothing changed, nothing drawn";
}

}  // namespace
