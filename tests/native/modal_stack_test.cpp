// The modal page stack of the toolkit, on plain forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/headless/headless_ui.h"
#include "platform/fake/fake_pc.h"

namespace {

std::vector<std::string> events;

class Page : public gui::Form {
 public:
  explicit Page(const std::string& name) : Form(name, name, 522, 393) {
    next = button(nullptr, "Next", {364, 358, 70, 24}, "Next >");
    cancel = button(nullptr, "Cancel", {440, 358, 70, 24}, "Cancel");
  }
  void FormShow() override { events.push_back(name() + ".show"); }
  void FormClose() override { events.push_back(name() + ".close"); }
  gui::Button* next;
  gui::Button* cancel;
};

class ModalStack : public ::testing::Test {
 protected:
  void SetUp() override {
    events.clear();
    for (Page* p : {&main, &a, &b, &c}) ui.attach(*p);
    main.next->onClick = [&] {
      ui.showModal(a);
      events.push_back("main.resumed");
    };
    a.next->onClick = [&] {
      int r = ui.showModal(b);
      events.push_back("a.resumed." + std::to_string(r));
    };
    b.next->onClick = [&] {
      ui.showModal(c);
      events.push_back("b.resumed");
      // Opened while the program ends: it must close again at once.
      ui.showModal(a.isOpen() ? c : a);
      events.push_back("b.after-second-open");
    };
    for (Page* p : {&main, &a, &b, &c}) p->cancel->onClick = [&] { main.close(); };
  }

  platform::FakePc pc;
  gui::HeadlessUi ui{pc};
  Page main{"main"}, a{"a"}, b{"b"}, c{"c"};
};

TEST_F(ModalStack, OpeningDisablesThePageBelowAndBackReturnsToIt) {
  ui.then([&] { ui.click(*main.next); });
  ui.then([&] {
    EXPECT_FALSE(main.enabled());
    EXPECT_TRUE(a.enabled());
    EXPECT_THROW(ui.click(*main.next), std::logic_error);  // covered page
    a.close();
  });
  ui.then([&] {
    EXPECT_TRUE(main.enabled());
    EXPECT_FALSE(a.isOpen());
    ASSERT_EQ(ui.openForms().size(), 1u);
    main.close();
  });
  ui.run(main);
  EXPECT_EQ(events, (std::vector<std::string>{"main.show", "a.show", "a.close", "main.resumed",
                                              "main.close"}));
}

TEST_F(ModalStack, ShowRunsOnEachOpeningNotWhenUncovered) {
  ui.then([&] { ui.click(*main.next); });
  ui.then([&] { ui.click(*a.next); });
  ui.then([&] { b.close(); });  // back to a: no a.show
  ui.then([&] { a.close(); });
  ui.then([&] { ui.click(*main.next); });  // a again: a.show again
  ui.then([&] { ui.click(*a.cancel); });
  ui.run(main);
  EXPECT_EQ(events, (std::vector<std::string>{
                        "main.show", "a.show", "b.show", "b.close", "a.resumed.2", "a.close",
                        "main.resumed", "a.show", "main.close", "a.close", "main.resumed"}));
  EXPECT_FALSE(ui.exhausted());
}

TEST_F(ModalStack, EndFromTheDeepestPageClosesEveryPageInnermostFirst) {
  ui.then([&] { ui.click(*main.next); });
  ui.then([&] { ui.click(*a.next); });
  ui.then([&] { ui.click(*b.next); });
  ui.then([&] {
    EXPECT_EQ(ui.openForms().size(), 4u);
    ui.click(*c.cancel);
  });
  ui.then([] { FAIL() << "a loop went on after the end"; });
  ui.endsEarly();
  ui.run(main);
  // The page opened while ending closes again unshown: no second c.show.
  EXPECT_EQ(events, (std::vector<std::string>{
                        "main.show", "a.show", "b.show", "c.show", "main.close", "c.close",
                        "b.resumed", "c.close", "b.after-second-open", "b.close",
                        "a.resumed.2", "a.close", "main.resumed"}));
  EXPECT_TRUE(ui.terminated());
  EXPECT_TRUE(ui.openForms().empty());
  EXPECT_EQ(ui.stepsLeft(), 1u);
}

// A scripted walk cannot pass by stopping early: the program ending with
// steps left fails the run, and so does a script that runs dry before a
// walk that must end by its own steps has ended.
TEST_F(ModalStack, AWalkThatStopsEarlyOrRunsDryFails) {
  ui.then([&] { ui.click(*main.next); });
  ui.then([&] { ui.click(*a.cancel); });
  ui.then([] {});
  EXPECT_THROW(ui.run(main), gui::ScriptError);
  EXPECT_EQ(ui.stepsLeft(), 1u);

  gui::HeadlessUi dry{pc};
  Page lone("lone");
  dry.attach(lone);
  dry.expectEnd();
  dry.then([] {});
  EXPECT_THROW(dry.run(lone), gui::ScriptError);
}

TEST_F(ModalStack, APageCannotBeOpenedTwice) {
  bool threw = false;
  ui.then([&] { ui.click(*main.next); });
  ui.then([&] {
    try {
      ui.showModal(a);
    } catch (const gui::Exception&) {
      threw = true;
    }
    main.close();
  });
  ui.run(main);
  EXPECT_TRUE(threw);
}

// A message box is modal to the whole program: while it is up no page takes
// clicks and no page's timer runs, so a timer cannot stack boxes.  Then the
// top page takes input again with its focus, and the pages below it stay
// disabled under it.
TEST_F(ModalStack, AMessageBoxBlocksEveryPageAndEveryTimer) {
  gui::Timer* timer = a.timer("Timer1", 1000);
  gui::Button* other = a.button(nullptr, "Other", {8, 358, 70, 24}, "Other");
  int ticks = 0, clicks = 0, depth = 0;
  timer->onTimer = [&] {
    ++ticks;
    pc.prompter().showMessage("tick " + std::to_string(ticks));
  };
  timer->setEnabled(true);
  other->onClick = [&] { ++clicks; };
  pc.whileShown = [&](const platform::FakePc::ShownBox&) {
    if (++depth == 1) {
      EXPECT_FALSE(main.enabled());
      EXPECT_FALSE(a.enabled()) << "the page under the box takes clicks";
      EXPECT_THROW(ui.click(*other), std::logic_error);
      ui.tick(*timer);  // a tick that falls while the box is up
    }
    --depth;
  };
  ui.then([&] { ui.click(*main.next); });
  ui.then([&] {
    other->setFocus();
    ui.tick(*timer);
  });
  ui.then([&] {
    EXPECT_EQ(ticks, 1) << "the timer ran again inside the box";
    EXPECT_EQ(pc.boxes.size(), 1u);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(a.enabled());
    EXPECT_TRUE(other->focused());
    EXPECT_FALSE(main.enabled()) << "the page below stays disabled";
    ui.click(*other);
    EXPECT_EQ(clicks, 1);
    a.close();
  });
  ui.then([&] {
    EXPECT_TRUE(main.enabled());
    main.close();
  });
  ui.run(main);
  EXPECT_EQ(ui.stepsLeft(), 0u);
}

TEST_F(ModalStack, RadioButtonTakesFocusBeforeItIsTicked) {
  gui::Form form("f", "f", 100, 100);
  gui::RadioButton* r1 = form.radioButton(nullptr, "R1", {0, 0, 50, 20}, "one");
  gui::RadioButton* r2 = form.radioButton(nullptr, "R2", {0, 20, 50, 20}, "two");
  std::vector<std::string> seen;
  r1->onEnter = [&] { seen.push_back(std::string("enter1:") + (r1->checked() ? "1" : "0")); };
  r2->onEnter = [&] { seen.push_back("enter2"); };
  ui.attach(form);
  ui.then([&] { ui.click(*r1); });
  ui.then([&] { ui.click(*r2); });
  ui.then([&] { ui.click(*r2); });  // already focused: no second enter
  ui.then([&] { form.close(); });
  ui.run(form);
  EXPECT_EQ(seen, (std::vector<std::string>{"enter1:0", "enter2"}));
  EXPECT_FALSE(r1->checked());
  EXPECT_TRUE(r2->checked());
}

}  // namespace
