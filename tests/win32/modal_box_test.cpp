// A message box over the real wizard's pages is modal to the whole
// program.  In this namespace the adapter list cannot be read, so once a
// server is shown the detection page's subnet test fails on every tick and
// says so in a box owned by the hidden application window.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/win32/processes.h"

namespace {

const char kBoxTitle[] = "Varn PRN WIZARD";

// One GETINFO reply (model KX220, printer "P") to the wizard's port on
// loopback.  Winsock is loaded at run time: the test links no socket library.
bool sendReplyToWizard() {
  HMODULE ws = LoadLibraryA("ws2_32.dll");
  if (!ws) return false;
  auto get = [ws](const char* name) { return reinterpret_cast<void*>(GetProcAddress(ws, name)); };
  auto startup = reinterpret_cast<decltype(&WSAStartup)>(get("WSAStartup"));
  auto open = reinterpret_cast<decltype(&socket)>(get("socket"));
  auto send = reinterpret_cast<decltype(&sendto)>(get("sendto"));
  auto close = reinterpret_cast<decltype(&closesocket)>(get("closesocket"));
  if (!startup || !open || !send || !close) return false;
  WSADATA data;
  if (startup(0x0202, &data) != 0) return false;
  SOCKET s = open(AF_INET, SOCK_DGRAM, 0);
  if (s == INVALID_SOCKET) return false;
  const char reply[] = {0x0C, 0x16, 0x1F, 0x00, 0x00, 0x00, 0x01, 0x00, 'P', 0};
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = static_cast<u_short>((9999 >> 8) | ((9999 & 0xFF) << 8));
  to.sin_addr.s_addr = 0x0100007F;  // 127.0.0.1
  int n = send(s, reply, sizeof reply, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
  close(s);
  return n == static_cast<int>(sizeof reply);
}

// The message boxes of the process that are on the screen.
int boxesShowing(DWORD pid) {
  int n = 0;
  for (HWND w : wintest::windowsOf(pid)) {
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(w) && wintest::textOf(w) == kBoxTitle)
      ++n;
  }
  return n;
}

HWND waitForBox(DWORD pid, DWORD ms) {
  ms = wintest::patience(ms);
  for (DWORD waited = 0; waited < ms; waited += 50) {
    for (HWND w : wintest::windowsOf(pid)) {
      char cls[16] = {};
      GetClassNameA(w, cls, sizeof cls);
      if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(w)) return w;
    }
    Sleep(50);
  }
  return nullptr;
}

void answer(HWND box) { PostMessageA(wintest::childWithText(box, "OK"), BM_CLICK, 0, 0); }

TEST(Win32MessageBox, BlocksEveryPageAndComesOneAtATime) {
  wintest::Process wizard("\"" + wintest::exeDir() + "\\PrnWizard.exe\"");
  ASSERT_TRUE(wizard.started());
  HWND welcome = wintest::waitForShownWindow("Printer Sharing Server Setup Wizard", 30000);
  ASSERT_NE(welcome, nullptr);
  wintest::clickAt(wintest::childWithText(welcome, "Next >"));
  // Showing the detection page reads the adapter list first: its box.
  HWND box = waitForBox(wizard.id(), 10000);
  ASSERT_NE(box, nullptr) << "no adapter message";
  answer(box);
  HWND detection = wintest::waitForShownWindow("Driver Installation ", 10000);
  ASSERT_NE(detection, nullptr);
  HWND more = wintest::childWithText(detection, "More...");
  HWND next = wintest::childWithText(detection, "Next >");
  HWND cancel = wintest::childWithText(detection, "Cancel");
  ASSERT_NE(cancel, nullptr);
  ASSERT_NE(more, nullptr);
  ASSERT_NE(next, nullptr);

  // A server answers: the next tick shows it and its subnet test fails.
  ASSERT_TRUE(sendReplyToWizard());
  box = waitForBox(wizard.id(), 5000);
  ASSERT_NE(box, nullptr) << "no subnet message";
  EXPECT_NE(wintest::childWithText(box, "GetAdaptersInfo sizing failed with error 232\n"), nullptr);
  EXPECT_FALSE(IsWindowEnabled(detection)) << "the page under the box takes input";
  EXPECT_FALSE(IsWindowEnabled(welcome));
  Sleep(2500);  // two more ticks of the detection page's timer
  EXPECT_EQ(boxesShowing(wizard.id()), 1) << "boxes stacked up";
  wintest::clickAt(more);
  Sleep(1000);
  // The browse list's windows are made when it first opens: none, or hidden.
  HWND browse = wintest::waitForWindow(nullptr, "Brwose for all Printer Sharing Server", 0);
  EXPECT_TRUE(browse == nullptr || !IsWindowVisible(browse))
      << "a click under the box opened the browse list";

  answer(box);
  // The top page takes input again, with its focus; the one below does not.
  // Hiding a box can take Wine a while without a window manager; once it is
  // hidden, a message sent to the page is handled when the program is back
  // in its own loop, right after the box returned (and before the next tick,
  // which shows the box again at once).
  for (DWORD i = 0; i < wintest::patience(500) && IsWindowVisible(box); ++i) Sleep(10);
  DWORD_PTR result = 0;
  ASSERT_NE(SendMessageTimeoutA(detection, WM_NULL, 0, 0, SMTO_NORMAL, wintest::patience(10000), &result), 0);
  bool detectionEnabled = IsWindowEnabled(detection), welcomeEnabled = IsWindowEnabled(welcome);
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(detection, nullptr), &gui));
  EXPECT_TRUE(detectionEnabled);
  EXPECT_FALSE(welcomeEnabled) << "the page below is disabled by the page flow";
  EXPECT_EQ(gui.hwndActive, detection);
  EXPECT_EQ(gui.hwndFocus, next) << "the focus did not come back to \"Next >\"";

  // The failure lasts, so the next tick shows the box again; answered, and
  // Cancel right behind it, the program ends.
  box = waitForBox(wizard.id(), 3000);
  ASSERT_NE(box, nullptr);
  HWND ok = wintest::childWithText(box, "OK");
  PostMessageA(ok, BM_CLICK, 0, 0);
  wintest::clickAt(cancel);
  EXPECT_EQ(wizard.waitExit(10000), 0);
}

// A page under the top one is disabled; a click posted to it all the same
// (as a test driver or another program might) does nothing.
TEST(Win32MessageBox, AClickPostedToACoveredPageIsDropped) {
  wintest::Process wizard("\"" + wintest::exeDir() + "\\PrnWizard.exe\"");
  // Shown, so its buttons exist: the page's window is made before them.
  HWND welcome = wintest::waitForShownWindow("Printer Sharing Server Setup Wizard", 30000);
  ASSERT_NE(welcome, nullptr);
  auto postClick = [](HWND button) {
    PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
  };
  HWND help = wintest::childWithText(welcome, "help");
  ASSERT_NE(help, nullptr) << "no help button yet";
  postClick(help);
  HWND howTo = wintest::waitForShownWindow("How to install my printer driver", 10000);
  ASSERT_NE(howTo, nullptr);
  ASSERT_TRUE(IsWindowVisible(howTo));
  EXPECT_FALSE(IsWindowEnabled(welcome));
  HWND next = wintest::childWithText(welcome, "Next >");
  ASSERT_NE(next, nullptr);
  postClick(next);
  Sleep(1500);
  HWND detection = FindWindowA(nullptr, "Driver Installation ");
  EXPECT_FALSE(detection && IsWindowVisible(detection)) << "the covered page's Next ran";
  EXPECT_TRUE(IsWindowEnabled(howTo)) << "a page opened over the help page";
  wintest::clickAt(wintest::childWithText(howTo, "Cancel"));
  EXPECT_EQ(wizard.waitExit(10000), 0);
}

}  // namespace
