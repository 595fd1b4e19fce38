// Starting the wizard and finding its windows, for the tests under Wine.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace wintest {

// A wait's bound: `ms` times WINE_SLOW from the environment (a 32-bit Wine
// under emulation runs several times slower than natively).
DWORD patience(DWORD ms);

// The folder of the running test program, where PrnWizard.exe is built too.
std::string exeDir();

class Process {
 public:
  explicit Process(const std::string& commandLine);
  ~Process();
  bool started() const { return info_.hProcess != nullptr; }
  DWORD id() const { return info_.dwProcessId; }
  // The exit code, or -1 when it has not ended within the time.
  long waitExit(DWORD ms);

 private:
  PROCESS_INFORMATION info_{};
};

// A top-level window by class (null: any) and title, waited for (each wait
// below is bounded by patience(ms)).
HWND waitForWindow(const char* cls, const char* title, DWORD ms);
// The top-level window titled `title` (waited for `ms`), once it is shown
// (waited for at most 10 s more); null when there is none.
HWND waitForShownWindow(const char* title, DWORD ms);
// The top-level windows that a process owns.
std::vector<HWND> windowsOf(DWORD processId);
std::string textOf(HWND window);
// The child windows of a window, depth first, in z-order.
std::vector<HWND> descendants(HWND window);
HWND childWithText(HWND parent, const std::string& text);

// A click at the middle of a window, as the mouse makes it (posted).
void clickAt(HWND w);

// A file's bytes; "(missing)" when it cannot be opened.
std::string readFile(const std::string& path);

}  // namespace wintest
