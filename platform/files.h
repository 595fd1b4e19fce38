// The system directory, file copies, and DLLs loaded to call one export.
#pragma once

#include <cstdint>
#include <string>

#include "platform/faults.h"

namespace platform {

enum class FilesCall : int {
  GetSystemDirectory,
  CopyFile,
  LoadLibrary,
  GetProcAddress,
  FreeLibrary,
};
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
  // GetSystemDirectoryA into a buffer of kSystemDirectoryRoom bytes; a
  // directory that does not fit fails with 122.
  Error systemDirectory(std::string& directory);
  // CopyFileA with overwriting allowed.
  Error copyFile(const std::string& from, const std::string& to);
  // LoadLibraryA by full path.
  Error loadLibrary(const std::string& path, Module& module);
  Error getProcAddress(Module module, const std::string& name, Proc& proc);
  Error freeLibrary(Module module);
  // Calls an export as DWORD WINAPI f(void).  Not a system call: it cannot
  // fail, only the steps before it can.
  std::uint32_t callDwordProc(Proc proc) { return doCallDwordProc(proc); }

 protected:
  virtual Error doSystemDirectory(std::string& directory) = 0;
  virtual Error doCopyFile(const std::string& from, const std::string& to) = 0;
  virtual Error doLoadLibrary(const std::string& path, Module& module) = 0;
  virtual Error doGetProcAddress(Module module, const std::string& name, Proc& proc) = 0;
  virtual Error doFreeLibrary(Module module) = 0;
  virtual std::uint32_t doCallDwordProc(Proc proc) = 0;
};

}  // namespace platform
