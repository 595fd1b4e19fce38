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

const std::string kGuard = "Global\\Varn PRN WIZARD";

TEST_F(Startup, SecondCopyBringsTheFirstToTheFrontAndCreatesNoPage) {
  pc.mutexesElsewhere[kGuard] = {};  // the first copy holds the guard
  platform::WindowId first = pc.addWindow("TApplication", "Varn PRN WIZARD");
  ui.expectEnd();  // a message loop would find no step and fail
  EXPECT_EQ(app::runApplication(pc, ui), 0);
  EXPECT_EQ(pc.foreground, first);
  EXPECT_TRUE(app::createdPages().empty());
  EXPECT_TRUE(pc.boxes.empty());
  EXPECT_TRUE(pc.mutexesOwned().empty());
}

// The guard is a mutex of the whole machine, held for the wizard's life;
// windows play no part in it.
TEST_F(Startup, GuardIsAGlobalMutexHeldWhileTheWizardRuns) {
  pc.addWindow("TApplication", "Varn PRN WIZARD");  // a window alone is no running copy
  ui.then([&] { EXPECT_EQ(pc.mutexesOwned(), std::vector<std::string>{kGuard}); });
  EXPECT_EQ(app::runApplication(pc, ui), 0);
  EXPECT_EQ(app::createdPages().size(), 16u);
  EXPECT_TRUE(pc.mutexesOwned().empty());
  app::destroyPages();
  discovery::bStopReceiver = 1;
  pc.endProcess();
  discovery::resetReceiver();

  // Windows 98 and NT 4.0 have no namespaces: the plain name.
  pc.version = 0x05650004;
  gui::HeadlessUi again{pc};
  again.setApplicationWindow(ui.applicationWindow());
  again.then([&] { EXPECT_EQ(pc.mutexesOwned(), std::vector<std::string>{"Varn PRN WIZARD"}); });
  EXPECT_EQ(app::runApplication(pc, again), 0);
}

// Another installation holds the guard, with no wizard window to bring
// forward on this desktop: an unattended run, or a copy in another session
// or account.  The user is told, and nothing else happens.
TEST_F(Startup, WithTheGuardHeldElsewhereTheUserIsToldAnInstallationIsInProgress) {
  for (bool otherAccount : {false, true}) {
    pc.boxes.clear();
    pc.mutexesElsewhere[kGuard].closedToThisAccount = otherAccount;
    pc.addWindow("Notepad", "Varn PRN WIZARD");
    pc.addWindow("TApplication", "Something else");
    ui.expectEnd();
    EXPECT_EQ(app::runApplication(pc, ui), 1618);
    ASSERT_EQ(pc.boxes.size(), 1u);
    EXPECT_EQ(pc.boxes[0].text,
              "Another installation of the Printer Sharing Server driver is in progress.\n"
              "Please run the wizard again when it has finished.");
    EXPECT_EQ(pc.boxes[0].caption, "Varn PRN WIZARD");
    EXPECT_TRUE(app::createdPages().empty());
    EXPECT_EQ(pc.wsaStartups(), 0);
  }
}

// Where nobody can see a window the wizard shows none, and says why in the
// kept log: as SYSTEM, and in session 0 from Windows Vista on (before it,
// session 0 is the console's, where a person works).
TEST_F(Startup, WithoutSwitchesWhereNobodySeesItShowsNothingAndLogsWhy) {
  const std::string kept = "C:\\ProgramData\\Varn\\PRN WIZARD\\PrnWizard.log";
  struct Case {
    bool system;
    std::uint32_t session, version;
    const char* line;
  } unseen[] = {{true, 1, 0x1DB10106, ""},
                {true, 0, 0x0A280105, ""},
                {false, 0, 0x1DB10106, ""},
                {false, 0, 0x1DB10106, "/?"}};
  for (const Case& c : unseen) {
    pc.account.system = c.system;
    pc.session = c.session;
    pc.version = c.version;
    pc.files.erase(kept);
    ui.expectEnd();
    EXPECT_EQ(app::runApplication(pc, ui, c.line), 10) << c.system << c.session;
    EXPECT_TRUE(pc.boxes.empty());
    EXPECT_TRUE(app::createdPages().empty());
    EXPECT_TRUE(pc.mutexesOwned().empty());
    const platform::FakePc::File* log = pc.file(kept);
    ASSERT_NE(log, nullptr);
    EXPECT_NE(log->content.find("Nobody can see a window of "), std::string::npos) << log->content;
    EXPECT_NE(log->content.find("/quiet installs unattended"), std::string::npos);
    EXPECT_NE(log->content.find("Exit code 10: no window can be shown here"), std::string::npos);
  }
  // A person in session 0 of Windows XP gets the wizard, and "/?" its box.
  pc.account.system = false;
  pc.version = 0x0A280105;
  EXPECT_EQ(app::runApplication(pc, ui, "/?"), 0);
  ASSERT_EQ(pc.boxes.size(), 1u);
  gui::HeadlessUi person{pc};
  person.setApplicationWindow(ui.applicationWindow());
  EXPECT_EQ(app::runApplication(pc, person), 0);
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
    gui::HeadlessUi ui{pc};  // each start its own
    ui.setApplicationWindow(this->ui.applicationWindow());
    ui.then([&] {
      EXPECT_EQ(osMajorVersion, c.major);
      EXPECT_EQ(isWin9xFamily(), c.win9x);
    });
    app::runApplication(pc, ui);
    app::destroyPages();
    // The next start is a new process: this one's socket goes with it.
    discovery::bStopReceiver = 1;
    pc.endProcess();
    discovery::resetReceiver();
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
  pc.failCall(platform::WindowsCall::TakeMutex, 1450, 1);
  // The guard cannot be made, which does not keep a person from the
  // wizard; the next call works.
  EXPECT_EQ(app::runApplication(pc, ui), 0);
  EXPECT_EQ(app::createdPages().size(), 16u);
  platform::MutexId mutex = 0;
  EXPECT_EQ(pc.takeMutex("Global\\Varn PRN WIZARD", mutex), platform::kOk);
  EXPECT_NE(mutex, 0u);
  pc.releaseMutex(mutex);
  platform::WindowId found = 0;
  pc.failCall(platform::WindowsCall::FindWindow, 1400, 1);
  EXPECT_EQ(pc.findWindow("TApplication", "Varn PRN WIZARD", found), 1400u);
  EXPECT_EQ(found, 0u);
}

}  // namespace
