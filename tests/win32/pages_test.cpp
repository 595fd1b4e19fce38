// The pages as real windows under Wine: each page is shown alone by the
// test-only page viewer, and its child windows are read as a screen reader
// would (WM_GETTEXT, IsWindowVisible, IsWindowEnabled).
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win32/processes.h"

namespace {

const std::string kViewer = "\"" + wintest::exeDir() + "\\pageshots.exe\" show ";

struct Shown {
  wintest::Process process;
  HWND page = nullptr;
  Shown(const std::string& name, const char* caption) : process(kViewer + name) {
    page = wintest::waitForShownWindow(caption, 30000);
  }
  ~Shown() {
    if (page) PostMessageA(page, WM_CLOSE, 0, 0);
    process.waitExit(10000);
  }
  HWND child(const std::string& text) const { return wintest::childWithText(page, text); }
  // Shown on the screen: the window and every parent up to the page.
  bool showing(const std::string& text) const {
    HWND w = child(text);
    return w && IsWindowVisible(w);
  }
};

// The texts of a page's child windows that are showing, in creation order.
std::vector<std::string> showingTexts(HWND page) {
  std::vector<std::string> all;
  for (HWND w : wintest::descendants(page))
    if (IsWindowVisible(w) && !wintest::textOf(w).empty()) all.push_back(wintest::textOf(w));
  return all;
}

void pump(int ms) {
  for (int i = 0; i < ms / 20; ++i) Sleep(20);
}

TEST(Win32Pages, WelcomePageTextsAndButtons) {
  Shown s("MainForm", "Printer Sharing Server Setup Wizard");
  ASSERT_NE(s.page, nullptr);
  // The viewer puts its samples in just after the page shows.
  for (DWORD i = 0; i < wintest::patience(100) && !s.showing("Uninstall"); ++i) Sleep(50);
  std::vector<std::string> t = showingTexts(s.page);
  std::vector<std::string> expected = {
      "This wizard helps you to install the printer sharing ", "driver on your PC.",
      "Please close other applications or windows before",
      "processing with this wizard. If you have some jobs",
      "in your printer queue. Please also cancel them or", "wait until the job completed.",
      "To continue. click Next.", "We recommend you to install your",
      "printer driver before processing", "with this wizard.", "help",
      "If you want to uninstall the printer sharing driver,", "please click the uninstall button.",
      "Uninstall", "Driver version:", "1010", "Server IP:", "10.77.0.2",  // the viewer's samples
      "< Back", "Next >", "Cancel"};
  EXPECT_EQ(t, expected);
  EXPECT_FALSE(IsWindowEnabled(s.child("< Back")));
  EXPECT_TRUE(IsWindowEnabled(s.child("Next >")));
}

TEST(Win32Pages, DetectionPageFirstState) {
  Shown s("TaloWizard", "Driver Installation ");
  ASSERT_NE(s.page, nullptr);
  EXPECT_TRUE(s.showing("More..."));
  EXPECT_FALSE(s.showing("warning")) << "SB_ERROR is hidden at first";
  ASSERT_NE(s.child("all the settings."), nullptr);
  EXPECT_FALSE(s.showing("all the settings.")) << "PanelNotFound is hidden at first";
  EXPECT_FALSE(s.showing("UnInstall"));
  EXPECT_FALSE(IsWindowEnabled(s.child("Next >")));
  EXPECT_TRUE(IsWindowEnabled(s.child("< Back")));
}

TEST(Win32Pages, HelpPagesCarryTheirTexts) {
  struct Page {
    const char* name;
    const char* caption;
    std::vector<std::string> some;
    const char* forward;
  } pages[] = {
      {"FormNoPrn", "Printer Setting not found",
       {"Printer setting not found", "install your printer driver", "Click Next button to proceed"},
       "Next >"},
      {"FormHelpWizAddPrn", "Install from the Add Printer Wizard",
       {"Add Printer Wizard", "computer\"", "Click Done button to launch the add printer wizard"},
       "Done"},
      {"FormHelpCDAddPrn", "Install from the CD came along with your printer",
       {"Insert the installation CD of the printer.", "wizard again after installation."}, "Done"},
      {"FormHelpNetError", "Network Setting Error",
       {"You are not in the same IP subnet as your printer sharing werver",
        "Click Done button to end this wizard"},
       "Done"},
      {"FormHelpLex", "Config Your Lexmark Printer",
       {"below. Because  IJ 600 is OEMed by Lexmark.", "OK to complete."}, "Next >"},
      {"FormHelpLex98", "Information for Windows 98 user",
       {"can not create ", "crash", "ignore", "Just ignore this error and go on."}, "Next >"},
      {"BrowTaloForm", "Brwose for all Printer Sharing Server",
       {"Manual Set IP", "Printer Sharing Server found", "Refresh"}, "Next >"},
      {"PrnForm", "Printer Setup", {"I can't find the printer ", "Printer Setting Found"}, "Next >"},
      {"PrnWizard", "Printer Settings Setup Wizard", {"by yourself.", "choose by yourself"},
       "Next >"},
      {"EndForm", "Setup Completed",
       {"Server IP Address:", "Set this printer as default printer", "Print test page"}, "Done"},
  };
  for (const Page& p : pages) {
    SCOPED_TRACE(p.name);
    Shown s(p.name, p.caption);
    ASSERT_NE(s.page, nullptr);
    for (const std::string& text : p.some) EXPECT_TRUE(s.showing(text)) << text;
    ASSERT_NE(s.child(p.forward), nullptr);
    EXPECT_TRUE(s.showing("Cancel"));
  }
  {
    Shown s("FormNoPrn", "Printer Setting not found");
    ASSERT_NE(s.page, nullptr);
    EXPECT_FALSE(IsWindowEnabled(s.child("< Back")));
  }
  {
    Shown s("PrnWizard", "Printer Settings Setup Wizard");
    ASSERT_NE(s.page, nullptr);
    ASSERT_NE(s.child("Ok! Set this One"), nullptr);
    EXPECT_FALSE(s.showing("Ok! Set this One"));
  }
  {
    Shown s("BrowTaloForm", "Brwose for all Printer Sharing Server");
    ASSERT_NE(s.page, nullptr);
    EXPECT_NE(GetWindowLongA(s.page, GWL_STYLE) & WS_SYSMENU, 0) << "the browse list's close box";
  }
}

HWND descendantOfClass(HWND page, const char* cls) {
  char name[64];
  for (HWND w : wintest::descendants(page))
    if (GetClassNameA(w, name, sizeof name) && lstrcmpiA(name, cls) == 0) return w;
  return nullptr;
}

// The manual address field takes at most 15 typed characters, yet shows a
// longer stored address whole: the limit is the edit window's, for typing.
TEST(Win32Pages, ManualAddressFieldLimitsTypingNotTheStoredText) {
  Shown s("FormServerIP", "Please Input the Printer Sharing Server IP address");
  ASSERT_NE(s.page, nullptr);
  HWND field = descendantOfClass(s.page, "Edit");
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(SendMessageA(field, EM_GETLIMITTEXT, 0, 0), 15);
  ASSERT_TRUE(SetWindowTextA(field, "192.168.100.2001"));
  EXPECT_EQ(wintest::textOf(field), "192.168.100.2001");
  SetWindowTextA(field, "");
  for (char c : std::string("10.200.300.40059"))  // 16 typed
    SendMessageA(field, WM_CHAR, static_cast<WPARAM>(c), 0);
  EXPECT_EQ(wintest::textOf(field), "10.200.300.4005");
}

// More servers than the browse list shows: its tick lists them all, counts
// them and shows the current one; the scroll bar that comes with them
// leaves the header as it was (it runs on under the bar) instead of
// resizing it, which would draw every column again.
TEST(Win32Pages, BrowseListWithMoreServersThanItShows) {
  Shown s("BrowTaloForm 40", "Brwose for all Printer Sharing Server");
  ASSERT_NE(s.page, nullptr);
  HWND list = descendantOfClass(s.page, "SysListView32");
  ASSERT_NE(list, nullptr);
  for (DWORD i = 0; i < wintest::patience(100) && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) < 40; ++i) pump(50);
  EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 40);
  EXPECT_TRUE(s.showing("40")) << "the count";
  auto current = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                               LVNI_FOCUSED | LVNI_SELECTED));
  auto top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
  auto page = static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
  EXPECT_GE(current, top) << "the current server is shown";
  EXPECT_LT(current, top + page);
  ASSERT_NE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL, 0) << "more rows than the list shows";
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  ASSERT_NE(header, nullptr);
  RECT client{}, bounds{};
  GetClientRect(list, &client);
  GetWindowRect(header, &bounds);
  POINT right{client.right, 0};
  ClientToScreen(list, &right);
  EXPECT_EQ(bounds.right, right.x + GetSystemMetrics(SM_CXVSCROLL));
}

TEST(Win32Pages, ClickingAChoiceShowsItsPanelAndEnablesNext) {
  struct Choice {
    const char* name;
    const char* caption;
    const char* radio;
    const char* panelLine;
    const char* otherLine;
  } choices[] = {
      {"FormAskPrn", "Printer Setting", "I want to install the printer driver",
       "above. I want to install the driver.", "by myself."},
      {"FormAskPrn", "Printer Setting", "I want to pick an existing printer driver ", "by myself.",
       "above. I want to install the driver."},
      {"FormHelpInstPrn", "How to install my printer driver", "Install by the CD from the printer vendor",
       "CD from my printer vendor. ", "add printer wizard. "},
  };
  for (const Choice& c : choices) {
    SCOPED_TRACE(c.radio);
    Shown s(c.name, c.caption);
    ASSERT_NE(s.page, nullptr);
    HWND next = s.child("Next >");
    HWND radio = s.child(c.radio);
    ASSERT_NE(next, nullptr);
    ASSERT_NE(radio, nullptr);
    EXPECT_FALSE(IsWindowEnabled(next));
    EXPECT_FALSE(s.showing(c.panelLine));
    wintest::clickAt(radio);
    for (DWORD i = 0; i < wintest::patience(100) && !IsWindowEnabled(next); ++i) pump(50);
    EXPECT_TRUE(IsWindowEnabled(next));
    EXPECT_TRUE(s.showing(c.panelLine));
    EXPECT_FALSE(s.showing(c.otherLine));
    EXPECT_EQ(SendMessageA(radio, BM_GETCHECK, 0, 0), BST_CHECKED);
  }
}

TEST(Win32Pages, TheRealExeOpensTheDetectionPageFromTheWelcomePage) {
  wintest::Process wizard("\"" + wintest::exeDir() + "\\PrnWizard.exe\"");
  ASSERT_TRUE(wizard.started());
  HWND welcome = wintest::waitForShownWindow("Printer Sharing Server Setup Wizard", 30000);
  ASSERT_NE(welcome, nullptr);
  HWND next = wintest::childWithText(welcome, "Next >");
  ASSERT_NE(next, nullptr);
  wintest::clickAt(next);
  // This namespace has no network adapter but loopback, so showing the
  // detection page reports the adapter list's sizing error first.
  HWND box = wintest::waitForWindow("#32770", "Varn PRN WIZARD", 10000);
  ASSERT_NE(box, nullptr) << "no adapter message";
  EXPECT_NE(wintest::childWithText(box, "GetAdaptersInfo sizing failed with error 232\n"), nullptr);
  HWND ok = wintest::childWithText(box, "OK");
  ASSERT_NE(ok, nullptr);
  PostMessageA(ok, BM_CLICK, 0, 0);
  HWND detection = wintest::waitForShownWindow("Driver Installation ", 10000);
  ASSERT_NE(detection, nullptr);
  EXPECT_TRUE(IsWindowVisible(detection));
  EXPECT_FALSE(IsWindowEnabled(welcome)) << "the page below is disabled";
  HWND cancel = wintest::childWithText(detection, "Cancel");
  ASSERT_NE(cancel, nullptr);
  wintest::clickAt(cancel);
  EXPECT_EQ(wizard.waitExit(10000), 0) << "Cancel on the detection page ends the program";
}

}  // namespace
