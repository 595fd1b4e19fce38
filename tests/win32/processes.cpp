#include "tests/win32/processes.h"

#include <cstdlib>

namespace wintest {

DWORD patience(DWORD ms) {
  char factor[8] = {};
  DWORD n = GetEnvironmentVariableA("WINE_SLOW", factor, sizeof factor);
  int times = n > 0 && n < sizeof factor ? atoi(factor) : 1;
  return ms * static_cast<DWORD>(times < 1 ? 1 : times);
}

std::string exeDir() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of("\\/"));
}

Process::Process(const std::string& commandLine) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  std::string cmd = commandLine;
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &info_)) {
    info_ = {};
  }
}

Process::~Process() {
  if (!info_.hProcess) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
}

long Process::waitExit(DWORD ms) {
  if (WaitForSingleObject(info_.hProcess, patience(ms)) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return static_cast<long>(code);
}

HWND waitForWindow(const char* cls, const char* title, DWORD ms) {
  DWORD start = GetTickCount();
  ms = patience(ms);
  for (DWORD i = 0; i < ms / 50 + 2; ++i) {
    if (HWND w = FindWindowA(cls, title)) return w;
    if (GetTickCount() - start > ms) break;
    Sleep(50);
  }
  return nullptr;
}

HWND waitForShownWindow(const char* title, DWORD ms) {
  HWND w = waitForWindow(nullptr, title, ms);
  for (DWORD i = 0; w && i < patience(200) && !IsWindowVisible(w); ++i) Sleep(50);
  return w;
}

namespace {
struct Search {
  DWORD pid;
  std::vector<HWND> found;
};
BOOL CALLBACK collectOfProcess(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == s->pid) s->found.push_back(w);
  return TRUE;
}
BOOL CALLBACK collectChild(HWND w, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
  return TRUE;
}
}  // namespace

std::vector<HWND> windowsOf(DWORD processId) {
  Search s{processId, {}};
  EnumWindows(collectOfProcess, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::string textOf(HWND window) {
  char buf[1024];
  LRESULT n = SendMessageA(window, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
  return std::string(buf, static_cast<std::size_t>(n));
}

std::vector<HWND> descendants(HWND window) {
  std::vector<HWND> all;
  EnumChildWindows(window, collectChild, reinterpret_cast<LPARAM>(&all));
  return all;
}

HWND childWithText(HWND parent, const std::string& text) {
  for (HWND w : descendants(parent))
    if (textOf(w) == text) return w;
  return nullptr;
}

void clickAt(HWND w) {
  RECT r;
  GetClientRect(w, &r);
  LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
  PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(w, WM_LBUTTONUP, 0, at);
}

std::string readFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(missing)";
  std::string data;
  char chunk[8192];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) data.append(chunk, got);
  CloseHandle(file);
  return data;
}

}  // namespace wintest
