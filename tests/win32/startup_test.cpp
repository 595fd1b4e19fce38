// The real PrnWizard.exe under Wine: its windows, the single-instance guard
// and the end of the program.
#include <gtest/gtest.h>

#include "tests/win32/processes.h"

namespace {

const std::string kWizard = "\"" + wintest::exeDir() + "\\PrnWizard.exe\"";

TEST(Win32Startup, WindowsGuardAndEnd) {
  wintest::Process first(kWizard);
  ASSERT_TRUE(first.started());
  HWND app = wintest::waitForWindow("TApplication", "Varn PRN WIZARD", 30000);
  ASSERT_NE(app, nullptr) << "no application window";
  HWND welcome = wintest::waitForShownWindow("Printer Sharing Server Setup Wizard", 10000);
  ASSERT_NE(welcome, nullptr) << "no welcome page";
  RECT client;
  GetClientRect(welcome, &client);
  EXPECT_EQ(client.right - client.left, 522);
  EXPECT_EQ(client.bottom - client.top, 393);
  EXPECT_TRUE(IsWindowVisible(welcome));
  EXPECT_EQ(GetWindow(welcome, GW_OWNER), app) << "the application window owns the page";
  EXPECT_EQ(GetWindowLongA(welcome, GWL_STYLE) & WS_SYSMENU, 0) << "no close box";
  RECT appRect;
  GetWindowRect(app, &appRect);
  EXPECT_EQ(appRect.right - appRect.left, 0) << "the application window is not seen";

  // Every control is a child window whose text a screen reader can read.
  HWND next = wintest::childWithText(welcome, "Next >");
  HWND back = wintest::childWithText(welcome, "< Back");
  ASSERT_NE(next, nullptr);
  ASSERT_NE(back, nullptr);
  EXPECT_TRUE(IsWindowEnabled(next));
  EXPECT_FALSE(IsWindowEnabled(back));
  EXPECT_NE(wintest::childWithText(welcome, "Cancel"), nullptr);

  {
    wintest::Process second(kWizard);
    ASSERT_TRUE(second.started());
    long code = -1;
    bool madeWindow = false;
    for (int i = 0; i < 100 && code == -1; ++i) {
      if (!wintest::windowsOf(second.id()).empty()) madeWindow = true;
      code = second.waitExit(50);
    }
    EXPECT_EQ(code, 0) << "the second copy did not end within 5 s with 0";
    EXPECT_FALSE(madeWindow) << "the second copy made a window";
  }
  EXPECT_TRUE(IsWindow(welcome)) << "the first copy is still running";

  PostMessageA(welcome, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.waitExit(10000), 0);
}

}  // namespace
