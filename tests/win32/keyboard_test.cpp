// Enter and Escape in the real wizard: Enter is the forward button, Escape
// is Cancel.
#include <gtest/gtest.h>

#include "tests/win32/processes.h"

namespace {

void press(HWND window, WPARAM key) {
  PostMessageA(window, WM_KEYDOWN, key, 1);
  PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

TEST(Win32Keyboard, EnterGoesForwardAndEscapeCancels) {
  wintest::Process wizard("\"" + wintest::exeDir() + "\\PrnWizard.exe\"");
  ASSERT_TRUE(wizard.started());
  HWND welcome = wintest::waitForShownWindow("Printer Sharing Server Setup Wizard", 30000);
  ASSERT_NE(welcome, nullptr);
  Sleep(300);
  HWND next = wintest::childWithText(welcome, "Next >");
  ASSERT_NE(next, nullptr);
  press(next, VK_RETURN);
  // Without an adapter in this namespace, the detection page first reports it.
  HWND box = wintest::waitForWindow("#32770", "Varn PRN WIZARD", 10000);
  ASSERT_NE(box, nullptr) << "Enter did not open the detection page";
  PostMessageA(wintest::childWithText(box, "OK"), BM_CLICK, 0, 0);
  HWND detection = wintest::waitForShownWindow("Driver Installation ", 10000);
  ASSERT_NE(detection, nullptr);
  Sleep(300);
  EXPECT_EQ(wizard.waitExit(0), -1) << "still running";
  press(detection, VK_ESCAPE);
  EXPECT_EQ(wizard.waitExit(10000), 0) << "Escape on the detection page ends the program";
}

}  // namespace
