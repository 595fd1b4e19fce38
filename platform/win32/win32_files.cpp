// The system directory, file copies and DLL exports.
#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace platform {

Error Win32Platform::doSystemDirectory(std::string& directory) {
  char buffer[kSystemDirectoryRoom];
  UINT n = GetSystemDirectoryA(buffer, sizeof buffer);
  if (n == 0) return lastWin32Error();
  // Longer than the buffer: n is the room it would need.
  if (n >= sizeof buffer) return ERROR_INSUFFICIENT_BUFFER;
  directory.assign(buffer, n);
  return kOk;
}

Error Win32Platform::doCopyFile(const std::string& from, const std::string& to) {
  return CopyFileA(from.c_str(), to.c_str(), FALSE) ? kOk : lastWin32Error();
}

Error Win32Platform::doWriteFile(const std::string& path, const std::string& text, bool append) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return lastWin32Error();
  Error e = kOk;
  DWORD written = 0;
  if (append && SetFilePointer(file, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER)
    e = lastWin32Error();
  if (!e && !WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
    e = lastWin32Error();
  if (!e && written != text.size()) e = ERROR_HANDLE_DISK_FULL;
  CloseHandle(file);
  return e;
}

Error Win32Platform::doLoadLibrary(const std::string& path, Module& module) {
  HMODULE loaded = LoadLibraryA(path.c_str());
  if (!loaded) return lastWin32Error();
  module = reinterpret_cast<Module>(loaded);
  return kOk;
}

Error Win32Platform::doGetProcAddress(Module module, const std::string& name, Proc& proc) {
  FARPROC found = GetProcAddress(reinterpret_cast<HMODULE>(module), name.c_str());
  if (!found) return lastWin32Error();
  proc = reinterpret_cast<Proc>(found);
  return kOk;
}

Error Win32Platform::doFreeLibrary(Module module) {
  return FreeLibrary(reinterpret_cast<HMODULE>(module)) ? kOk : lastWin32Error();
}

std::uint32_t Win32Platform::doCallDwordProc(Proc proc) {
  using DwordProc = DWORD(WINAPI*)(void);
  return reinterpret_cast<DwordProc>(proc)();
}

}  // namespace platform
