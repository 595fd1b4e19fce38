// The in-memory PC: the registry under HKEY_LOCAL_MACHINE, keys by full
// path, names compared without regard to case as Windows does.
#include <algorithm>
#include <cctype>

#include "platform/fake/fake_pc.h"

namespace platform {

namespace {
std::string parentOf(const std::string& path) {
  auto at = path.rfind('\\');
  return at == std::string::npos ? std::string() : path.substr(0, at);
}

bool validPath(const std::string& path) {
  // Wine refuses a leading backslash; an empty part is no key either.
  if (path.empty() || path.front() == '\\' || path.back() == '\\') return false;
  return path.find("\\\\") == std::string::npos;
}
}  // namespace

bool FakePc::NoCase::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

FakePc::RegKeys FakePc::startRegistry() {
  RegKeys keys;
  std::string path = std::string(kMonitorsKey) + "\\Local Port";
  for (std::string p = path; !p.empty(); p = parentOf(p)) keys[p];
  keys[path]["Driver"] = {kRegSz, std::string("localspl.dll", 13)};
  // Windows has it from its installation on.
  for (std::string p = "Software\\Microsoft\\Active Setup\\Installed Components"; !p.empty();
       p = parentOf(p))
    keys[p];
  return keys;
}

void FakePc::setRegistryValue(const std::string& path, const std::string& name, RegValue value) {
  for (std::string p = path; !p.empty(); p = parentOf(p)) registry[p];
  registry[path][name] = std::move(value);
}

void FakePc::setRegistryString(const std::string& path, const std::string& name,
                               const std::string& text) {
  setRegistryValue(path, name, {kRegSz, text + '\0'});
}

std::optional<FakePc::RegValue> FakePc::registryValue(const std::string& path,
                                                      const std::string& name) const {
  auto key = registry.find(path);
  if (key == registry.end()) return std::nullopt;
  auto value = key->second.find(name);
  if (value == key->second.end()) return std::nullopt;
  return value->second;
}

std::optional<std::string> FakePc::registryString(const std::string& path,
                                                  const std::string& name) const {
  auto value = registryValue(path, name);
  if (!value || value->type != kRegSz) return std::nullopt;
  std::string text = value->bytes;
  auto end = text.find('\0');
  if (end != std::string::npos) text.resize(end);
  return text;
}

bool FakePc::registryKeyExists(const std::string& path) const {
  return registry.count(path) > 0;
}

void FakePc::deleteRegistryTree(const std::string& path) {
  NoCase less;
  std::string below = path + "\\";
  for (auto it = registry.begin(); it != registry.end();) {
    const std::string& p = it->first;
    bool inside = !less(p, path) && !less(path, p);
    if (!inside && p.size() > below.size())
      inside = !less(p.substr(0, below.size()), below) && !less(below, p.substr(0, below.size()));
    it = inside ? registry.erase(it) : std::next(it);
  }
}

std::vector<std::string> FakePc::registrySubkeys(const std::string& path) const {
  NoCase less;
  std::string below = path + "\\";
  std::vector<std::string> names;
  for (const auto& [p, values] : registry) {
    if (p.size() <= below.size()) continue;
    std::string head = p.substr(0, below.size());
    if (less(head, below) || less(below, head)) continue;
    std::string rest = p.substr(below.size());
    if (rest.find('\\') == std::string::npos) names.push_back(rest);
  }
  std::sort(names.begin(), names.end(), less);
  return names;
}

Error FakePc::doRegCreateKey(const std::string& path_, RegKey& key) {
  const std::string path = registryView(path_);
  if (!validPath(path)) return kErrorBadPathname;
  if (!registryWritable) return kErrorAccessDenied;
  for (std::string p = path; !p.empty(); p = parentOf(p)) registry[p];
  key = nextKey_;
  nextKey_ += 4;
  openKeys_[key] = path;
  return kOk;
}

Error FakePc::doRegOpenKey(const std::string& path_, RegKey& key) {
  const std::string path = registryView(path_);
  if (!validPath(path)) return kErrorBadPathname;
  if (!registryWritable) return kErrorAccessDenied;
  if (!registry.count(path)) return kErrorFileNotFound;
  key = nextKey_;
  nextKey_ += 4;
  openKeys_[key] = path;
  return kOk;
}

Error FakePc::doRegQueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                              std::string& data) {
  auto open = openKeys_.find(key);
  if (open == openKeys_.end()) return kErrorInvalidHandle;
  auto k = registry.find(open->second);
  if (k == registry.end()) return kErrorKeyDeleted;
  auto value = k->second.find(name);
  if (value == k->second.end()) return kErrorFileNotFound;
  type = value->second.type;
  data = value->second.bytes;
  return kOk;
}

Error FakePc::doRegSetValue(RegKey key, const std::string& name, std::uint32_t type,
                            const std::string& data) {
  auto open = openKeys_.find(key);
  if (open == openKeys_.end()) return kErrorInvalidHandle;
  if (readOnlyKeys_.count(key)) return kErrorAccessDenied;
  auto k = registry.find(open->second);
  if (k == registry.end()) return kErrorKeyDeleted;
  k->second[name] = {type, data};
  return kOk;
}

Error FakePc::doRegEnumValue(RegKey key, std::uint32_t index, std::string& name,
                             std::uint32_t& type, std::string& data) {
  auto open = openKeys_.find(key);
  if (open == openKeys_.end()) return kErrorInvalidHandle;
  auto k = registry.find(open->second);
  if (k == registry.end()) return kErrorKeyDeleted;
  if (index >= k->second.size()) return kErrorNoMoreItems;
  auto v = std::next(k->second.begin(), static_cast<std::ptrdiff_t>(index));
  name = v->first;
  type = v->second.type;
  data = v->second.bytes;
  return kOk;
}

Error FakePc::doRegEnumKey(RegKey key, std::uint32_t index, std::string& name) {
  auto open = openKeys_.find(key);
  if (open == openKeys_.end()) return kErrorInvalidHandle;
  if (!registry.count(open->second)) return kErrorKeyDeleted;
  std::vector<std::string> names = registrySubkeys(open->second);
  if (index >= names.size()) return kErrorNoMoreItems;
  name = names[index];
  return kOk;
}

Error FakePc::doRegDeleteValue(RegKey key, const std::string& name) {
  auto open = openKeys_.find(key);
  if (open == openKeys_.end()) return kErrorInvalidHandle;
  auto k = registry.find(open->second);
  if (readOnlyKeys_.count(key)) return kErrorAccessDenied;
  if (k == registry.end()) return kErrorKeyDeleted;
  return k->second.erase(name) ? kOk : kErrorFileNotFound;
}

// As the NT family's RegDeleteKeyA: a key with subkeys is refused (5).
Error FakePc::doRegDeleteKey(const std::string& path_) {
  const std::string path = registryView(path_);
  if (!validPath(path)) return kErrorBadPathname;
  if (!registryWritable) return kErrorAccessDenied;
  if (!registry.count(path)) return kErrorFileNotFound;
  if (!registrySubkeys(path).empty()) return kErrorAccessDenied;
  registry.erase(path);
  return kOk;
}

Error FakePc::doRegCloseKey(RegKey key) {
  readOnlyKeys_.erase(key);
  return openKeys_.erase(key) ? kOk : kErrorInvalidHandle;
}

Error FakePc::doRegOpenKeyToRead(const std::string& path_, RegKey& key) {
  const std::string path = registryView(path_);
  if (!validPath(path)) return kErrorBadPathname;
  if (!registry.count(path)) return kErrorFileNotFound;
  key = nextKey_;
  nextKey_ += 4;
  openKeys_[key] = path;
  readOnlyKeys_.insert(key);
  return kOk;
}

std::string FakePc::registryView(const std::string& path, bool view32) const {
  static const std::string kSoftware = "Software\\";
  static const std::string kWow = "Software\\WOW6432Node";
  if (machine.native == Architecture::X86 || !(view32 || machine.guest)) return path;
  NoCase less;
  auto starts = [&](const std::string& prefix) {
    std::string head = path.substr(0, prefix.size());
    return !less(head, prefix) && !less(prefix, head);
  };
  if (!starts(kSoftware) || starts(kWow)) return path;
  return kWow + path.substr(kSoftware.size() - 1);
}

Error FakePc::doRegOpenKey32(const std::string& path, RegKey& key) {
  return doRegOpenKey(registryView(path, true), key);
}

}  // namespace platform
