// The system directory, file copies, DLLs loaded to call one export, text
// written to a file (the unattended mode's log), and the folders the log is
// kept in.
#pragma once

#include <cstdint>
#include <string>

#include "platform/faults.h"

namespace platform {

// The calls (the format is in platform/faults.h).  Adding one: a row here,
// FakePc::do... in platform/fake/fake_files.cpp and Win32Platform::do... in
// platform/win32/win32_files.cpp.
#define PLATFORM_FILES_CALLS(X)                                                                 \
  /* GetSystemDirectoryA into a buffer of kSystemDirectoryRoom bytes; a directory that does     \
     not fit fails with 122. */                                                                 \
  X(GetSystemDirectory, systemDirectory, doSystemDirectory, (std::string & directory),          \
    (directory), directory.clear())                                                             \
  /* CopyFileA with overwriting allowed. */                                                     \
  X(CopyFile, copyFile, doCopyFile, (const std::string& from, const std::string& to),           \
    (from, to), )                                                                               \
  /* LoadLibraryA by full path. */                                                              \
  X(LoadLibrary, loadLibrary, doLoadLibrary, (const std::string& path, Module& module),         \
    (path, module), module = 0)                                                                 \
  X(GetProcAddress, getProcAddress, doGetProcAddress,                                           \
    (Module module, const std::string& name, Proc& proc), (module, name, proc), proc = 0)       \
  X(FreeLibrary, freeLibrary, doFreeLibrary, (Module module), (module), )                       \
  /* CreateFileA and WriteFile: `text` replaces the file's content, or with `append` goes after \
     it (the file is made when missing). */                                                     \
  X(WriteFile, writeFile, doWriteFile,                                                          \
    (const std::string& path, const std::string& text, bool append), (path, text, append), )    \
  /* SHGetFolderPathA for CSIDL_COMMON_APPDATA, looked up at run time in shell32, else in        \
     shfolder.dll (Windows 9x and NT 4.0 have it only with later Internet Explorers; 127). */    \
  X(SHGetFolderPath, commonAppDataFolder, doCommonAppDataFolder, (std::string & folder),        \
    (folder), folder.clear())                                                                   \
  /* CreateDirectoryA; with adminOnly a protected DACL: full control for SYSTEM and             \
     Administrators only (the 9x family has no security: a plain folder).  An existing folder   \
     fails with 183. */                                                                          \
  X(CreateDirectory, createDirectory, doCreateDirectory, (const std::string& path, bool adminOnly), (path, adminOnly), ) \
  /* Whether an account other than SYSTEM, the Administrators and this process's own could      \
     write to `path`, or change its permissions: its owner or an allowing entry of its DACL.    \
     The 9x family has no security (120). */                                                     \
  X(WritableByOthers, writableByOthers, doWritableByOthers, (const std::string& path, bool& writable), (path, writable), writable = false)

enum class FilesCall : int { PLATFORM_FILES_CALLS(PLATFORM_CALL_ENUMERATOR) };
constexpr Area areaOf(FilesCall) { return Area::Files; }

// A loaded module and an export's address; 0 when none.
using Module = std::uintptr_t;
using Proc = std::uintptr_t;

inline constexpr Error kErrorPathNotFound = 3;
inline constexpr Error kErrorSharingViolation = 32;
inline constexpr Error kErrorModNotFound = 126;
inline constexpr Error kErrorProcNotFound = 127;
inline constexpr Error kErrorBadExeFormat = 193;

// Room GetSystemDirectoryA is given: 511 characters and the zero.
inline constexpr std::uint32_t kSystemDirectoryRoom = 512;

class Files : public virtual Faults {
 public:
  PLATFORM_FILES_CALLS(PLATFORM_CALL_PUBLIC)
  // Calls an export as DWORD WINAPI f(void).  Not a system call: it cannot
  // fail, only the steps before it can.
  std::uint32_t callDwordProc(Proc proc) { return doCallDwordProc(proc); }

 protected:
  PLATFORM_FILES_CALLS(PLATFORM_CALL_VIRTUAL)
  virtual std::uint32_t doCallDwordProc(Proc proc) = 0;
};

}  // namespace platform
