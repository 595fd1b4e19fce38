// The system directory, files and folders, DLL exports, the log, and the
// folders it is kept in.
#include <windows.h>
// The security types follow windows.h; the function is bound late.
#include <aclapi.h>

#include <optional>
#include <vector>

#include "platform/access.h"
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

Error Win32Platform::doCopyFile(const std::string& from, const std::string& to, bool failIfExists) {
  return CopyFileA(from.c_str(), to.c_str(), failIfExists) ? kOk : lastWin32Error();
}

Error Win32Platform::doMoveFile(const std::string& from, const std::string& to) {
  return MoveFileA(from.c_str(), to.c_str()) ? kOk : lastWin32Error();
}

Error Win32Platform::doDeleteFile(const std::string& path) {
  return DeleteFileA(path.c_str()) ? kOk : lastWin32Error();
}

// The security descriptor is made by hand (an absolute descriptor holding
// the DACL of platform/access.h), so that no security function is
// imported: Windows 95 has none.
Error Win32Platform::doCreateDirectory(const std::string& path, bool adminOnly) {
  DWORD version = GetVersion();
  bool nt = (version & 0x80000000u) == 0;
  if (!adminOnly || !nt) return CreateDirectoryA(path.c_str(), nullptr) ? kOk : lastWin32Error();
  std::vector<std::uint8_t> dacl = adminOnlyDacl();
  SECURITY_DESCRIPTOR sd{};
  sd.Revision = SECURITY_DESCRIPTOR_REVISION;
  sd.Control = SE_DACL_PRESENT;
  // Windows 2000 and later would add the parent's inheritable entries.
  if ((version & 0xFF) >= 5) sd.Control |= SE_DACL_PROTECTED;
  sd.Dacl = reinterpret_cast<PACL>(dacl.data());
  SECURITY_ATTRIBUTES attributes{sizeof attributes, &sd, FALSE};
  return CreateDirectoryA(path.c_str(), &attributes) ? kOk : lastWin32Error();
}

Error Win32Platform::doRemoveDirectory(const std::string& path) {
  return RemoveDirectoryA(path.c_str()) ? kOk : lastWin32Error();
}

Error Win32Platform::doFileAttributes(const std::string& path, std::uint32_t& attributes) {
  DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return lastWin32Error();
  attributes = a;
  return kOk;
}

Error Win32Platform::doSetFileAttributes(const std::string& path, std::uint32_t attributes) {
  return SetFileAttributesA(path.c_str(), attributes) ? kOk : lastWin32Error();
}

// Its owner may always change its permissions, so an owner other than
// SYSTEM, the Administrators, TrustedInstaller or this process's account
// counts as others; then its DACL decides (platform/access.h).  The 9x
// family has no security (120).
Error Win32Platform::doWritableByOthers(const std::string& path, bool& writable) {
  auto get = lateBound<decltype(&GetNamedSecurityInfoA)>("advapi32.dll", "GetNamedSecurityInfoA");
  if ((GetVersion() & 0x80000000u) || !get) return ERROR_CALL_NOT_IMPLEMENTED;
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  DWORD r = get(const_cast<char*>(path.c_str()), SE_FILE_OBJECT,
                OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr, &dacl,
                nullptr, &sd);
  if (r != ERROR_SUCCESS) return r;
  std::vector<BYTE> self;
  PSID selfSid = processUser(self) ? reinterpret_cast<TOKEN_USER*>(self.data())->User.Sid : nullptr;
  std::optional<std::vector<std::uint8_t>> bytes;
  if (dacl) {
    const auto* first = reinterpret_cast<const std::uint8_t*>(dacl);
    bytes.emplace(first, first + dacl->AclSize);
  }
  std::vector<std::uint8_t> selfBytes;
  if (selfSid) {
    const auto* first = static_cast<const std::uint8_t*>(selfSid);
    selfBytes.assign(first, first + 8 + 4 * first[1]);
  }
  writable = !isTrusted(owner, selfSid) || ::platform::writableByOthers(bytes, selfBytes);
  LocalFree(sd);
  return kOk;
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

namespace platform {

Error Win32Platform::doOpenFileToRead(const std::string& path, FileId& file) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return lastWin32Error();
  file = reinterpret_cast<FileId>(h);
  return kOk;
}

Error Win32Platform::doReadFile(FileId file, std::size_t limit, std::string& bytes) {
  HANDLE h = reinterpret_cast<HANDLE>(file);
  char chunk[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(h, chunk, sizeof chunk, &got, nullptr)) {
      Error e = lastWin32Error();
      bytes.clear();
      return e;
    }
    if (got == 0) return kOk;
    if (bytes.size() + got > limit) {
      bytes.clear();
      return kErrorNotEnoughMemory;
    }
    bytes.append(chunk, got);
  }
}

Error Win32Platform::doCloseFile(FileId file) {
  return CloseHandle(reinterpret_cast<HANDLE>(file)) ? kOk : lastWin32Error();
}

}  // namespace platform
