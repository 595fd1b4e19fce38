// The in-memory PC: files in folders, with their attributes and who may
// write them, and DLLs whose exports return the values a test gives them.
#include <sstream>

#include "platform/fake/fake_pc.h"

namespace platform {

namespace {
std::string folderOf(const std::string& path) {
  auto at = path.rfind('\\');
  return at == std::string::npos ? std::string() : path.substr(0, at);
}

bool same(const std::string& a, const std::string& b) {
  FakePc::NoCase less;
  return !less(a, b) && !less(b, a);
}

constexpr Error kErrorDirectory = 267;  // ERROR_DIRECTORY: not a folder
}  // namespace

FakePc::File FakePc::monitorDll(std::optional<std::uint32_t> version,
                                const std::string& content) {
  File f;
  f.dll = true;
  f.exports["InitializePrintMonitor2"] = 0;
  if (version) f.exports["LprGetVersion"] = *version;
  f.content = content;
  f.ports = {"Remote Port"};
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
  File localspl = monitorDll(std::nullopt, "localspl");
  localspl.ports = {"LPT1:", "LPT2:", "LPT3:", "COM1:", "COM2:", "COM3:", "COM4:", "FILE:"};
  start["C:\\windows\\system32\\localspl.dll"] = localspl;
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
  for (const auto& [m, p] : modules_)
    if (same(p, path)) return true;
  return false;
}

bool FakePc::inUse(const std::string& path) const {
  if (fileLoaded(path)) return true;
  for (const auto& [monitor, p] : spoolerModules)
    if (same(p, path)) return true;
  return false;
}

void FakePc::renamed(const std::string& from, const std::string& to) {
  for (auto& [m, p] : modules_)
    if (same(p, from)) p = to;
  for (auto& [monitor, p] : spoolerModules)
    if (same(p, from)) p = to;
}

FakePc::State FakePc::state() const {
  return {registry,    files,          folders,  adminOnlyFolders,
          openFolders, spoolerModules, printers, defaultPrinterName};
}

namespace {
template <class Map, class Show>
void compareMaps(std::ostringstream& out, const char* what, const Map& a, const Map& b, Show show) {
  for (const auto& [k, v] : a) {
    auto it = b.find(k);
    if (it == b.end())
      out << what << " gone: " << k << "\n";
    else if (!(it->second == v))
      out << what << " changed: " << k << ": " << show(v) << " -> " << show(it->second) << "\n";
  }
  for (const auto& [k, v] : b)
    if (!a.count(k)) out << what << " new: " << k << " " << show(v) << "\n";
}
template <class Set>
void compareSets(std::ostringstream& out, const char* what, const Set& a, const Set& b) {
  for (const auto& k : a)
    if (!b.count(k)) out << what << " gone: " << k << "\n";
  for (const auto& k : b)
    if (!a.count(k)) out << what << " new: " << k << "\n";
}
}  // namespace

void FakePc::State::forget(const std::string& folder) {
  auto below = [&](const std::string& path) {
    return path.size() >= folder.size() && same(path.substr(0, folder.size()), folder) &&
           (path.size() == folder.size() || path[folder.size()] == '\\');
  };
  std::erase_if(files, [&](const auto& f) { return below(f.first); });
  for (auto* set : {&folders, &adminOnlyFolders, &openFolders})
    std::erase_if(*set, [&](const std::string& p) { return below(p); });
}

std::string FakePc::difference(const State& a, const State& b) {
  std::ostringstream out;
  compareMaps(out, "registry key", a.registry, b.registry, [](const RegValues& values) {
    std::string t = "{";
    for (const auto& [name, v] : values) {
      t += " " + name + "=";
      for (char c : v.bytes.substr(0, 40)) t += c ? std::string(1, c) : std::string("\\0");
    }
    return t + " }";
  });
  compareMaps(out, "file", a.files, b.files, [](const File& f) {
    return "'" + f.content + "'" + (f.bits != 32 ? " 64-bit" : "") + (f.readOnly ? " read-only" : "") +
           (f.writableByOthers ? " open" : "");
  });
  compareSets(out, "folder", a.folders, b.folders);
  compareSets(out, "admin-only folder", a.adminOnlyFolders, b.adminOnlyFolders);
  compareSets(out, "open folder", a.openFolders, b.openFolders);
  compareMaps(out, "spooler module", a.spoolerModules, b.spoolerModules,
              [](const std::string& p) { return p; });
  if (a.printers.size() != b.printers.size()) out << "printers: count differs\n";
  for (std::size_t i = 0; i < a.printers.size() && i < b.printers.size(); ++i)
    if (!(a.printers[i] == b.printers[i]))
      out << "printer " << a.printers[i].printerName.value_or("?") << ": "
          << a.printers[i].portName.value_or("?") << " -> " << b.printers[i].portName.value_or("?")
          << (a.printers[i].attributes != b.printers[i].attributes ? " (attributes)" : "") << "\n";
  if (a.defaultPrinter != b.defaultPrinter)
    out << "default printer: '" << a.defaultPrinter << "' -> '" << b.defaultPrinter << "'\n";
  return out.str();
}

void FakePc::newProcess() {
  modules_.clear();
  procs_.clear();
  openKeys_.clear();
  printerHandles.clear();
  dcs_.clear();
  openFiles_.clear();
  processes_.clear();
}

bool FakePc::held(const std::string& path) const {
  if (lockedFiles.count(path)) return true;
  for (const auto& [id, p] : openFiles_)
    if (same(p, path)) return true;
  return false;
}

std::string FakePc::redirected(const std::string& path) const {
  if (!machine.guest) return path;
  if (same(path, systemDir)) return kSysWow64;
  if (path.size() > systemDir.size() && path[systemDir.size()] == '\\' &&
      same(path.substr(0, systemDir.size()), systemDir))
    return kSysWow64 + path.substr(systemDir.size());
  return path;
}

void FakePc::setMachine(Machine m) {
  machine = m;
  if (machine.native == Architecture::X86) return;
  addFolder(kSysWow64);
  files[systemDir + "\\localspl.dll"].bits = 64;
}

Error FakePc::doSystemDirectory(std::string& directory) {
  if (systemDir.size() >= kSystemDirectoryRoom) return kErrorInsufficientBuffer;
  directory = systemDir;
  return kOk;
}

// Where a path that is not there fails: 2 in a folder that exists, else 3.
#define MISSING(path) (folders.count(folderOf(path)) ? kErrorFileNotFound : kErrorPathNotFound)

Error FakePc::doCopyFile(const std::string& from_, const std::string& to_, bool failIfExists) {
  const std::string from = redirected(from_);
  const std::string to = redirected(to_);

  auto source = files.find(from);
  if (source == files.end()) return MISSING(from);
  if (lockedFiles.count(from)) return kErrorSharingViolation;  // copies read, which we share
  if (!folders.count(folderOf(to))) return kErrorPathNotFound;
  if (folders.count(to)) return kErrorAccessDenied;
  if (const File* old = file(to)) {
    if (failIfExists) return kErrorFileExists;
    if (old->readOnly) return kErrorAccessDenied;
    // A DLL in use, or a file open elsewhere, cannot be overwritten.
    if (inUse(to) || held(to)) return kErrorSharingViolation;
  }
  File copy = source->second;
  // A new file takes its rights from its folder; the attributes go with it.
  copy.writableByOthers = openFolders.count(folderOf(to)) > 0;
  files[to] = std::move(copy);
  return kOk;
}

Error FakePc::doMoveFile(const std::string& from_, const std::string& to_) {
  const std::string from = redirected(from_);
  const std::string to = redirected(to_);

  auto source = files.find(from);
  if (source == files.end()) return folders.count(from) ? kErrorAccessDenied : MISSING(from);
  if (held(from)) return kErrorSharingViolation;
  if (!folders.count(folderOf(to))) return kErrorPathNotFound;
  if (files.count(to) || folders.count(to)) return kErrorAlreadyExists;
  // A renamed file keeps its rights and attributes.
  File moved = std::move(source->second);
  files.erase(source);
  files[to] = std::move(moved);
  renamed(from, to);
  return kOk;
}

Error FakePc::doDeleteFile(const std::string& path_) {
  const std::string path = redirected(path_);
  auto f = files.find(path);
  if (f == files.end()) return folders.count(path) ? kErrorAccessDenied : MISSING(path);
  if (held(path)) return kErrorSharingViolation;
  if (f->second.readOnly || inUse(path)) return kErrorAccessDenied;
  files.erase(f);
  return kOk;
}

Error FakePc::doCreateDirectory(const std::string& path_, bool adminOnly) {
  const std::string path = redirected(path_);

  std::string parent = folderOf(path);
  if (parent.empty() || !folders.count(parent)) return kErrorPathNotFound;
  if (folders.count(path) || files.count(path)) return kErrorAlreadyExists;
  folders.insert(path);
  // Without a DACL of its own a folder inherits its parent's.
  if (adminOnly && !win9xFamily())
    adminOnlyFolders.insert(path);
  else if (win9xFamily() || openFolders.count(parent))
    openFolders.insert(path);
  return kOk;
}

Error FakePc::doRemoveDirectory(const std::string& path_) {
  const std::string path = redirected(path_);
  if (files.count(path)) return kErrorDirectory;
  if (!folders.count(path)) return MISSING(path);
  for (const auto& [p, f] : files)
    if (same(folderOf(p), path)) return kErrorDirNotEmpty;
  for (const std::string& p : folders)
    if (same(folderOf(p), path)) return kErrorDirNotEmpty;
  folders.erase(path);
  adminOnlyFolders.erase(path);
  openFolders.erase(path);
  return kOk;
}

Error FakePc::doFileAttributes(const std::string& path_, std::uint32_t& attributes) {
  const std::string path = redirected(path_);
  if (folders.count(path)) {
    attributes = kFileAttributeDirectory;
    return kOk;
  }
  const File* f = file(path);
  if (!f) return MISSING(path);
  attributes = kFileAttributeArchive | (f->readOnly ? kFileAttributeReadOnly : 0);
  return kOk;
}

Error FakePc::doSetFileAttributes(const std::string& path_, std::uint32_t attributes) {
  const std::string path = redirected(path_);
  if (folders.count(path)) return kOk;  // a folder's read-only flag means nothing
  auto f = files.find(path);
  if (f == files.end()) return MISSING(path);
  f->second.readOnly = (attributes & kFileAttributeReadOnly) != 0;
  return kOk;
}

Error FakePc::doWritableByOthers(const std::string& path_, bool& writable) {
  const std::string path = redirected(path_);
  if (win9xFamily()) return kErrorCallNotImplemented;
  if (folders.count(path)) {
    writable = openFolders.count(path) > 0;
    return kOk;
  }
  const File* f = file(path);
  if (!f) return MISSING(path);
  writable = f->writableByOthers || openFolders.count(folderOf(path)) > 0;
  return kOk;
}

Error FakePc::doWriteFile(const std::string& path_, const std::string& text, bool append) {
  const std::string path = redirected(path_);
  if (!folders.count(folderOf(path))) return kErrorPathNotFound;
  if (folders.count(path) || fileLoaded(path)) return kErrorAccessDenied;
  if (held(path)) return kErrorSharingViolation;
  auto existing = files.find(path);
  if (existing != files.end() && existing->second.readOnly) return kErrorAccessDenied;
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

Error FakePc::doLoadLibrary(const std::string& path_, Module& module) {
  const std::string path = redirected(path_);
  libraryLoads.push_back(path);
  auto f = files.find(path);
  if (f == files.end()) return kErrorModNotFound;
  if (!f->second.dll || f->second.bits != processBits()) return kErrorBadExeFormat;
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

Error FakePc::doOpenFileToRead(const std::string& path_, FileId& file) {
  const std::string path = redirected(path_);
  if (folders.count(path)) return kErrorAccessDenied;
  if (!files.count(path)) return MISSING(path);
  // Another process's handle that shares nothing keeps this one out.
  if (lockedFiles.count(path)) return kErrorSharingViolation;
  file = nextFile_;
  nextFile_ += 4;
  openFiles_[file] = path;
  return kOk;
}

Error FakePc::doReadFile(FileId file, std::size_t limit, std::string& bytes) {
  auto open = openFiles_.find(file);
  if (open == openFiles_.end()) return kErrorInvalidHandle;
  const File* f = this->file(open->second);
  if (!f) return kErrorInvalidHandle;
  if (f->content.size() > limit) return kErrorNotEnoughMemory;
  bytes = f->content;
  return kOk;
}

Error FakePc::doCloseFile(FileId file) {
  return openFiles_.erase(file) ? kOk : kErrorInvalidHandle;
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
