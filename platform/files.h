// The system directory, files and folders (copies, renames, attributes, who
// may write them), DLLs loaded to call one export, text written to a file
// (the unattended mode's log), and the folders the log is kept in.
#pragma once

#include <cstddef>
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
  /* CopyFileA: `to` overwritten unless `failIfExists` (then 80 when it exists).  The copy      \
     keeps the file's attributes (read-only among them). */                                     \
  X(CopyFile, copyFile, doCopyFile,                                                             \
    (const std::string& from, const std::string& to, bool failIfExists),                        \
    (from, to, failIfExists), )                                                                 \
  /* MoveFileA: renames a file; 183 when `to` exists.  A DLL in use, or a read-only file, can   \
     be renamed; a file open without FILE_SHARE_DELETE cannot (32). */                          \
  X(MoveFile, moveFile, doMoveFile, (const std::string& from, const std::string& to),           \
    (from, to), )                                                                               \
  /* DeleteFileA: 5 for a read-only file or a DLL in use. */                                    \
  X(DeleteFile, deleteFile, doDeleteFile, (const std::string& path), (path), )                  \
  /* CreateDirectoryA; with `adminOnly` its DACL is protected and gives full control to         \
     SYSTEM and Administrators only (the 9x family has no security: a plain folder).  A         \
     folder or file of that name already there fails with 183: it is never taken. */            \
  X(CreateDirectory, createDirectory, doCreateDirectory,                                        \
    (const std::string& path, bool adminOnly), (path, adminOnly), )                             \
  /* RemoveDirectoryA: 145 when the folder is not empty. */                                     \
  X(RemoveDirectory, removeDirectory, doRemoveDirectory, (const std::string& path), (path), )   \
  X(GetFileAttributes, fileAttributes, doFileAttributes,                                        \
    (const std::string& path, std::uint32_t& attributes), (path, attributes), attributes = 0)   \
  X(SetFileAttributes, setFileAttributes, doSetFileAttributes,                                  \
    (const std::string& path, std::uint32_t attributes), (path, attributes), )                  \
  /* Whether anyone but SYSTEM, Administrators, TrustedInstaller, CREATOR OWNER and this       \
     process's account may write, replace or re-permission a file or folder: its owner, or     \
     its DACL (platform/access.h decides; GetNamedSecurityInfoA, bound late).  The 9x family    \
     has no security (120). */                                                                  \
  X(WritableByOthers, writableByOthers, doWritableByOthers,                                     \
    (const std::string& path, bool& writable), (path, writable), writable = false)              \
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
  /* CreateFileA to read, sharing only reading: while the handle is open nobody can write,      \
     replace, rename or delete the file (32). */                                                \
  X(OpenFileToRead, openFileToRead, doOpenFileToRead, (const std::string& path, FileId& file),  \
    (path, file), file = 0)                                                                     \
  /* ReadFile through that handle to the end: at most `limit` bytes, else 8 (the file is too    \
     big to be the one looked for). */                                                          \
  X(ReadFile, readFile, doReadFile, (FileId file, std::size_t limit, std::string& bytes),       \
    (file, limit, bytes), bytes.clear())                                                        \
  X(CloseFile, closeFile, doCloseFile, (FileId file), (file), )

enum class FilesCall : int { PLATFORM_FILES_CALLS(PLATFORM_CALL_ENUMERATOR) };
constexpr Area areaOf(FilesCall) { return Area::Files; }

// A file open to read; 0 when none.
using FileId = std::uintptr_t;
inline constexpr Error kErrorNotEnoughMemory = 8;

// A loaded module and an export's address; 0 when none.
using Module = std::uintptr_t;
using Proc = std::uintptr_t;

inline constexpr Error kErrorSharingViolation = 32;
inline constexpr Error kErrorFileExists = 80;
inline constexpr Error kErrorDirNotEmpty = 145;
inline constexpr Error kErrorModNotFound = 126;
inline constexpr Error kErrorProcNotFound = 127;
inline constexpr Error kErrorBadExeFormat = 193;

// File attributes.
inline constexpr std::uint32_t kFileAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;
inline constexpr std::uint32_t kFileAttributeArchive = 0x20;
inline constexpr std::uint32_t kFileAttributeNormal = 0x80;

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
