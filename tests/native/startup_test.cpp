// Start-up: the single-instance guard, the pages, the version, the end.
#include <gtest/gtest.h>

#include "discovery/receiver.h"
#include "app/application.h"
#include "app/state/wizard_state.h"
#include "gui/headless/headless_ui.h"
#include "pages/Mainfrm.h"
#include "pages/Talowiz.h"
#include "platform/fake/fake_pc.h"

namespace {

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    discovery::resetReceiver();
    resetWizardState();
    ui.setApplicationWindow(pc.addWindow(kAppClass, ""));
  }
  void TearDown() override { app::destroyPages(); }

  platform::FakePc pc;
  gui::HeadlessUi ui{pc};
};

TEST_F(Startup, SecondCopyBringsTheFirstToTheFrontAndCreatesNoPage) {
  platform::WindowId first = pc.addWindow("TApplication", "Varn PRN WIZARD");
  ui.expectEnd();  // a message loop would find no step and fail
  EXPECT_EQ(app::runApplication(pc, ui), 0);
  EXPECT_EQ(pc.foreground, first);
  EXPECT_TRUE(app::createdPages().empty());
  EXPECT_TRUE(pc.boxes.empty());
}

TEST_F(Startup, GuardLooksForClassAndTitleTogether) {
  // A window of another class with the title, or the class without it
  // (a copy that has not set its title yet), is no running copy.
  pc.addWindow("Notepad", "Varn PRN WIZARD");
  pc.addWindow("TApplication", "Something else");
  EXPECT_EQ(app::runApplication(pc, ui), 0);
  EXPECT_EQ(app::createdPages().size(), 16u);
}

TEST_F(Startup, TitlesTheApplicationWindowAndCaptionsMessagesWithIt) {
  ui.then([&] {
    EXPECT_EQ(pc.window(ui.applicationWindow())->title, "Varn PRN WIZARD");
    pc.prompter().showMessage("hello");
  });
  app::runApplication(pc, ui);
  ASSERT_EQ(pc.boxes.size(), 1u);
  EXPECT_EQ(pc.boxes[0].caption, "Varn PRN WIZARD");
  EXPECT_EQ(pc.boxes[0].owner, ui.applicationWindow());
  EXPECT_EQ(pc.boxes[0].icon, platform::Icon::None);
}

TEST_F(Startup, CreatesTheSixteenPagesOnceInOrder) {
  int mainShown = 0;
  ui.then([&] {
    ++mainShown;
    EXPECT_EQ(ui.mainForm(), MainForm);
    EXPECT_TRUE(MainForm->isOpen());
  });
  app::runApplication(pc, ui);
  const char* expected[] = {"MainForm",     "TaloWizard",      "PrnForm",           "PrnWizard",
                            "EndForm",      "QRepPage",        "FormNoPrn",         "FormHelpInstPrn",
                            "BrowTaloForm", "FormServerIP",    "FormAskPrn",        "FormHelpWizAddPrn",
                            "FormHelpCDAddPrn", "FormHelpNetError", "FormHelpLex", "FormHelpLex98"};
  const auto& pages = app::createdPages();
  ASSERT_EQ(pages.size(), 16u);
  for (std::size_t i = 0; i < pages.size(); ++i) {
    EXPECT_EQ(pages[i]->name(), expected[i]) << "position " << i;
    for (std::size_t j = 0; j < i; ++j) EXPECT_NE(pages[i], pages[j]);
  }
  EXPECT_EQ(mainShown, 1);
}

// The toolkit's windows, recorded as they are made.
class WindowsUi : public gui::HeadlessUi {
 public:
  WindowsUi(platform::FakePc& pc) : HeadlessUi(pc), pc_(pc) {}
  std::vector<std::string> made;  // "page (pages created before it, sockets started)"

 protected:
  void realize(gui::Form& form) override {
    made.push_back(form.name() + " (" + std::to_string(app::createdPages().size()) + ", " +
                   std::to_string(pc_.wsaStartups()) + ")");
  }

 private:
  platform::FakePc& pc_;
};

TEST_F(Startup, OnlyTheWelcomePageHasWindowsAtStartAndBeforeItsCreationHook) {
  WindowsUi windows(pc);
  windows.setApplicationWindow(ui.applicationWindow());
  windows.then([&] {
    // Made as the welcome page was taken in, before it joined the page list
    // and before its creation hook started the sockets.
    EXPECT_EQ(windows.made, std::vector<std::string>{"MainForm (0, 0)"});
    EXPECT_EQ(pc.wsaStartups(), 1) << "the creation hook did run";
    for (gui::Form* page : app::createdPages())
      EXPECT_EQ(windows.hasWindows(*page), page == MainForm) << page->name();
    windows.click(*MainForm->BtnNext);
  });
  windows.then([&] {
    EXPECT_EQ(windows.made.size(), 2u);
    EXPECT_EQ(windows.made.back().substr(0, 11), "TaloWizard ") << "made when first shown";
    EXPECT_TRUE(windows.hasWindows(*TaloWizard));
    windows.click(*TaloWizard->Button1);
  });
  EXPECT_EQ(app::runApplication(pc, windows), 0);
  EXPECT_EQ(windows.made.size(), 2u);
}

TEST_F(Startup, PagesHaveTheirCaptionsAndClientSizes) {
  app::runApplication(pc, ui);
  const auto& pages = app::createdPages();
  ASSERT_EQ(pages.size(), 16u);
  EXPECT_EQ(pages[0]->text(), "Printer Sharing Server Setup Wizard");
  EXPECT_EQ(pages[1]->text(), "Driver Installation ");
  EXPECT_EQ(pages[8]->text(), "Brwose for all Printer Sharing Server");
  for (gui::Form* page : pages) {
    if (page->name() == "QRepPage") continue;
    int w = page->clientWidth(), h = page->clientHeight();
    if (page->name() == "FormServerIP") {
      EXPECT_EQ(w * 1000 + h, 441 * 1000 + 146);
    } else if (page->name() == "FormHelpInstPrn") {
      EXPECT_EQ(w * 1000 + h, 522 * 1000 + 392);
    } else {
      EXPECT_EQ(w * 1000 + h, 522 * 1000 + 393) << page->name();
    }
    EXPECT_EQ(page->closeBox, page->name() == "BrowTaloForm") << page->name();
  }
}

TEST_F(Startup, VersionIsTakenBeforeAnyPageAndSelectsTheFamily) {
  struct Case {
    std::uint32_t version;
    std::uint8_t major;
    bool win9x;
  } cases[] = {{0xC0000A04, 4, true},  // Windows 98
               {0x05650004, 4, true},  // NT 4.0
               {0x0A280105, 5, false},  // XP
               {0x1DB10106, 6, false}};
  for (const Case& c : cases) {
    pc.version = c.version;
    ui.then([&] {
      EXPECT_EQ(osMajorVersion, c.major);
      EXPECT_EQ(isWin9xFamily(), c.win9x);
    });
    app::runApplication(pc, ui);
    app::destroyPages();
  }
}

TEST_F(Startup, ClosingTheWelcomePageEndsWithZeroAndStopsTheReceiver) {
  ui.then([&] {
    EXPECT_EQ(discovery::bStopReceiver.load(), 0);
    ui.click(*MainForm->Button1);
  });
  ui.expectEnd();
  EXPECT_EQ(app::runApplication(pc, ui), 0);
  EXPECT_EQ(discovery::bStopReceiver.load(), 1);
  EXPECT_FALSE(ui.exhausted());
  EXPECT_TRUE(pc.boxes.empty());
}

TEST_F(Startup, WelcomePageBackIsDisabled) {
  ui.then([&] { EXPECT_THROW(ui.click(*MainForm->BtnBack), std::logic_error); });
  app::runApplication(pc, ui);
}

TEST(ExceptionBox, AppendsAFullStopOnlyAfterCharactersThatSortAfterIt) {
  EXPECT_EQ(gui::exceptionText("Access violation"), "Access violation.");
  EXPECT_EQ(gui::exceptionText("Done."), "Done.");
  EXPECT_EQ(gui::exceptionText("Failed!"), "Failed!");   // '!' sorts before '.'
  EXPECT_EQ(gui::exceptionText("Why?"), "Why?.");        // '?' sorts after '.'
  EXPECT_EQ(gui::exceptionText("code 7"), "code 7.");
  EXPECT_EQ(gui::exceptionText("a-"), "a-");
  EXPECT_EQ(gui::exceptionText("a/"), "a/.");
  EXPECT_EQ(gui::exceptionText(""), "");
  EXPECT_EQ(gui::exceptionText("caf\xE9"), "caf\xE9.");  // 8-bit characters sort after
}

TEST_F(Startup, EscapedToolkitErrorIsShownInTheStopBoxAndTheLoopGoesOn) {
  ui.then([&] { ui.dispatch([] { throw gui::Exception("Failed to set data for Server Address"); }); });
  ui.then([&] { ui.click(*MainForm->Button1); });
  EXPECT_EQ(app::runApplication(pc, ui), 0);
  ASSERT_EQ(pc.boxes.size(), 1u);
  EXPECT_EQ(pc.boxes[0].text, "Failed to set data for Server Address.");
  EXPECT_EQ(pc.boxes[0].caption, "Varn PRN WIZARD");
  EXPECT_EQ(pc.boxes[0].icon, platform::Icon::Stop);
  EXPECT_EQ(pc.boxes[0].owner, ui.applicationWindow());
  EXPECT_FALSE(ui.exhausted());
}

TEST_F(Startup, InjectedFaultFailsTheCallWithItsCode) {
  pc.addWindow("TApplication", "Varn PRN WIZARD");
  pc.failCall(platform::WindowsCall::FindWindow, 5, 1);
  // The guard's look-up fails, so this copy runs; the next look-up works.
  EXPECT_EQ(app::runApplication(pc, ui), 0);
  EXPECT_EQ(app::createdPages().size(), 16u);
  platform::WindowId found = 0;
  EXPECT_EQ(pc.findWindow("TApplication", "Varn PRN WIZARD", found), platform::kOk);
  EXPECT_NE(found, 0u);
  pc.failCall(platform::WindowsCall::FindWindow, 1400, 1);
  EXPECT_EQ(pc.findWindow("TApplication", "Varn PRN WIZARD", found), 1400u);
  EXPECT_EQ(found, 0u);
}

}  // namespace
