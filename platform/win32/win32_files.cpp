// The system directory, file copies and DLL exports, the log, and the
// folders it is kept in.
#include <windows.h>

#include <vector>

#include "platform/win32/win32_access.h"
#include "platform/win32/win32_late.h"
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

Error Win32Platform::doCommonAppDataFolder(std::string& folder) {
  using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
  auto getFolderPath = lateBound<GetFolderPath>("shell32.dll", "SHGetFolderPathA");
  if (!getFolderPath) getFolderPath = lateBound<GetFolderPath>("shfolder.dll", "SHGetFolderPathA");
  if (!getFolderPath) return lastWin32Error();
  constexpr int kCommonAppData = 0x23;  // CSIDL_COMMON_APPDATA
  char path[MAX_PATH] = "";
  HRESULT hr = getFolderPath(nullptr, kCommonAppData, nullptr, 0, path);
  if (FAILED(hr)) {
    auto code = static_cast<Error>(hr);
    return (code & 0xFFFF0000u) == 0x80070000u ? code & 0xFFFFu : code;
  }
  folder = path;
  return kOk;
}

Error Win32Platform::doCreateDirectory(const std::string& path, bool adminOnly) {
  Descriptor admins(Descriptor::AdminOnly);
  return CreateDirectoryA(path.c_str(), adminOnly ? admins.attributes() : nullptr)
             ? kOk
             : lastWin32Error();
}

Error Win32Platform::doWritableByOthers(const std::string& path, bool& writable) {
  using GetNamedSecurityInfo = DWORD(WINAPI*)(LPCSTR, int, SECURITY_INFORMATION, PSID*, PSID*,
                                              PACL*, PACL*, PSECURITY_DESCRIPTOR*);
  auto getSecurity = lateBound<GetNamedSecurityInfo>("advapi32.dll", "GetNamedSecurityInfoA");
  auto getAce = lateBound<BOOL(WINAPI*)(PACL, DWORD, LPVOID*)>("advapi32.dll", "GetAce");
  if ((GetVersion() & 0x80000000u) || !getSecurity || !getAce) return ERROR_CALL_NOT_IMPLEMENTED;
  constexpr int kFileObject = 1;  // SE_FILE_OBJECT
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  DWORD r = getSecurity(path.c_str(), kFileObject,
                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                        &dacl, nullptr, &descriptor);
  if (r != ERROR_SUCCESS) return r;
  std::vector<BYTE> self;
  PSID selfSid = processUser(self) ? reinterpret_cast<TOKEN_USER*>(self.data())->User.Sid : nullptr;
  // Its owner may always change its permissions; no DACL lets everyone in.
  writable = !isTrusted(owner, selfSid) || !dacl;
  constexpr DWORD kWrites = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE |
                            WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
  for (DWORD i = 0; !writable && dacl && i < dacl->AceCount; ++i) {
    ACE_HEADER* ace = nullptr;
    if (!getAce(dacl, i, reinterpret_cast<LPVOID*>(&ace))) {
      writable = true;
      break;
    }
    if (ace->AceFlags & INHERIT_ONLY_ACE) continue;  // for what is made inside only
    switch (ace->AceType) {
      case ACCESS_DENIED_ACE_TYPE:
      case ACCESS_DENIED_OBJECT_ACE_TYPE:
      case ACCESS_DENIED_CALLBACK_ACE_TYPE:
      case ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE:
        break;
      case ACCESS_ALLOWED_ACE_TYPE: {
        auto* allowed = reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace);
        if ((allowed->Mask & kWrites) && !isTrusted(&allowed->SidStart, selfSid)) writable = true;
        break;
      }
      default:  // an allowing entry of another shape: counted as open
        writable = true;
    }
  }
  LocalFree(descriptor);
  return kOk;
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
