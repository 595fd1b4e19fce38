#include "platform/files.h"

namespace platform {

Error Files::systemDirectory(std::string& directory) {
  directory.clear();
  if (Error e = injected(FilesCall::GetSystemDirectory)) return e;
  return doSystemDirectory(directory);
}

Error Files::copyFile(const std::string& from, const std::string& to) {
  if (Error e = injected(FilesCall::CopyFile)) return e;
  return doCopyFile(from, to);
}

Error Files::loadLibrary(const std::string& path, Module& module) {
  module = 0;
  if (Error e = injected(FilesCall::LoadLibrary)) return e;
  return doLoadLibrary(path, module);
}

Error Files::getProcAddress(Module module, const std::string& name, Proc& proc) {
  proc = 0;
  if (Error e = injected(FilesCall::GetProcAddress)) return e;
  return doGetProcAddress(module, name, proc);
}

Error Files::freeLibrary(Module module) {
  if (Error e = injected(FilesCall::FreeLibrary)) return e;
  return doFreeLibrary(module);
}

}  // namespace platform
