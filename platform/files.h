// The system directory, file copies, DLLs loaded to call one export, and
// text written to a file (the unattended mode's log).
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
    (const std::string& path, const std::string& text, bool append), (path, text, append), )

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
