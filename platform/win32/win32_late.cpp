#include "platform/win32/win32_late.h"

#include <string>

namespace platform {

FARPROC lateProc(const char* dll, const char* name) {
  // By full path: a DLL of the same name beside the program or in the
  // current folder is never taken.  A DLL already loaded only gains a
  // reference; each function is bound once (LateFunction), so no table of
  // modules is kept.
  char folder[MAX_PATH];
  UINT n = GetSystemDirectoryA(folder, sizeof folder);
  if (n == 0) return nullptr;
  if (n >= sizeof folder) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nullptr;
  }
  HMODULE module = LoadLibraryA((std::string(folder, n) + "\\" + dll).c_str());
  if (!module) return nullptr;
  return GetProcAddress(module, name);
}

void restrictDllSearch() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (!kernel) return;
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
  auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  auto setDirectory = reinterpret_cast<SetDllDirectoryFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
  if (setDefault) setDefault(kSearchSystem32);
  // An empty folder takes the current folder out of the search order.
  if (setDirectory) setDirectory("");
}

}  // namespace platform
