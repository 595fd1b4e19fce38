// The in-memory PC: files in folders, and DLLs whose exports return the
// values a test gives them.
#include "platform/fake/fake_pc.h"

namespace platform {

namespace {
std::string folderOf(const std::string& path) {
  auto at = path.rfind('\\');
  return at == std::string::npos ? std::string() : path.substr(0, at);
}
}  // namespace

FakePc::File FakePc::monitorDll(std::optional<std::uint32_t> version,
                                const std::string& content) {
  File f;
  f.dll = true;
  f.exports["InitializePrintMonitor2"] = 0;
  if (version) f.exports["LprGetVersion"] = *version;
  f.content = content;
  return f;
}

FakePc::File FakePc::plainDll(const std::string& content) {
  File f;
  f.dll = true;
  f.content = content;
  return f;
}

FakePc::File FakePc::dataFile(const std::string& content) {
  File f;
  f.content = content;
  return f;
}

std::map<std::string, FakePc::File, FakePc::NoCase> FakePc::startFiles() {
  std::map<std::string, File, NoCase> start;
  start["C:\\windows\\system32\\localspl.dll"] = monitorDll(std::nullopt, "localspl");
  return start;
}

void FakePc::addFolder(const std::string& path) {
  for (std::string p = path; !p.empty(); p = folderOf(p)) folders.insert(p);
}

void FakePc::putFile(const std::string& path, File f) {
  addFolder(folderOf(path));
  files[path] = std::move(f);
}

const FakePc::File* FakePc::file(const std::string& path) const {
  auto it = files.find(path);
  return it == files.end() ? nullptr : &it->second;
}

bool FakePc::fileLoaded(const std::string& path) const {
  NoCase less;
  for (const auto& [m, p] : modules_)
    if (!less(p, path) && !less(path, p)) return true;
  return false;
}

Error FakePc::doSystemDirectory(std::string& directory) {
  if (systemDir.size() >= kSystemDirectoryRoom) return kErrorInsufficientBuffer;
  directory = systemDir;
  return kOk;
}

Error FakePc::doCopyFile(const std::string& from, const std::string& to) {
  auto source = files.find(from);
  if (source == files.end()) return folders.count(folderOf(from)) ? kErrorFileNotFound
                                                                  : kErrorPathNotFound;
  if (!folders.count(folderOf(to))) return kErrorPathNotFound;
  if (folders.count(to)) return kErrorAccessDenied;
  // A DLL this process has loaded cannot be overwritten.
  if (fileLoaded(to)) return kErrorSharingViolation;
  File copy = source->second;
  files[to] = std::move(copy);
  return kOk;
}

Error FakePc::doWriteFile(const std::string& path, const std::string& text, bool append) {
  if (!folders.count(folderOf(path))) return kErrorPathNotFound;
  if (folders.count(path) || fileLoaded(path)) return kErrorAccessDenied;
  File& f = files[path];
  if (!append) f.content.clear();
  f.content += text;
  return kOk;
}

Error FakePc::doCommonAppDataFolder(std::string& folder) {
  if (commonAppData.empty()) return kErrorProcNotFound;
  folder = commonAppData;
  return kOk;
}

Error FakePc::doCreateDirectory(const std::string& path, bool adminOnly) {
  if (folders.count(path) || files.count(path)) return kErrorAlreadyExists;
  std::string parent = folderOf(path);
  if (parent.empty() || !folders.count(parent)) return kErrorPathNotFound;
  folders.insert(path);
  // Without a DACL of its own a folder inherits its parent's.
  if (win9xFamily() || (!adminOnly && foldersOpenToOthers.count(parent)))
    foldersOpenToOthers.insert(path);
  return kOk;
}

Error FakePc::doWritableByOthers(const std::string& path, bool& writable) {
  if (win9xFamily()) return kErrorCallNotImplemented;
  if (folders.count(path)) {
    writable = foldersOpenToOthers.count(path) > 0;
  } else if (files.count(path)) {
    writable = foldersOpenToOthers.count(folderOf(path)) > 0;
  } else {
    return folders.count(folderOf(path)) ? kErrorFileNotFound : kErrorPathNotFound;
  }
  return kOk;
}

Error FakePc::doLoadLibrary(const std::string& path, Module& module) {
  auto f = files.find(path);
  if (f == files.end()) return kErrorModNotFound;
  if (!f->second.dll) return kErrorBadExeFormat;
  module = nextModule_;
  nextModule_ += 0x10000;
  modules_[module] = path;
  return kOk;
}

Error FakePc::doGetProcAddress(Module module, const std::string& name, Proc& proc) {
  auto m = modules_.find(module);
  if (m == modules_.end()) return kErrorModNotFound;
  auto f = files.find(m->second);
  if (f == files.end()) return kErrorProcNotFound;
  auto e = f->second.exports.find(name);
  if (e == f->second.exports.end()) return kErrorProcNotFound;
  proc = 0x70000000 + 4 * procs_.size();  // never reused: entries stay
  procs_[proc] = {module, e->second};
  return kOk;
}

Error FakePc::doFreeLibrary(Module module) {
  return modules_.erase(module) ? kOk : kErrorModNotFound;
}

std::uint32_t FakePc::doCallDwordProc(Proc proc) {
  auto p = procs_.find(proc);
  if (p == procs_.end() || !modules_.count(p->second.module)) {
    ++staleProcCalls;
    return 0;
  }
  return p->second.result;
}

}  // namespace platform
