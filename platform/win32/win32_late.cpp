#include "platform/win32/win32_late.h"

#include <map>
#include <string>

namespace platform {

FARPROC lateProc(const char* dll, const char* name) {
  // Called on the GUI thread only.
  static std::map<std::string, HMODULE> loaded;
  HMODULE& module = loaded[dll];
  if (!module) {
    // By full path: a DLL of the same name beside the program is not taken.
    char folder[MAX_PATH];
    UINT n = GetSystemDirectoryA(folder, sizeof folder);
    if (n == 0 || n >= sizeof folder) return nullptr;
    module = LoadLibraryA((std::string(folder) + "\\" + dll).c_str());
    if (!module) return nullptr;
  }
  return GetProcAddress(module, name);
}

}  // namespace platform
