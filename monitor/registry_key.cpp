#include "monitor/registry_key.h"

namespace monitor {

RegistryKey::RegistryKey(platform::Registry& registry, const std::string& path, Access access)
    : registry_(registry) {
  std::string::size_type start = path.find_first_not_of('\\');
  path_ = start == std::string::npos ? std::string() : path.substr(start);
  platform::RegKey key = 0;
  platform::Error e = access == Access::Full     ? registry_.regOpenKey(path_, key)
                       : access == Access::Full32 ? registry_.regOpenKey32(path_, key)
                                                  : registry_.regOpenKeyToRead(path_, key);
  if (e == platform::kOk) key_ = key;
  // A missing key is created only in the process's own view.
  readOnly_ = access != Access::Full;
}

RegistryKey::~RegistryKey() {
  if (key_) registry_.regCloseKey(key_);
}

std::string RegistryKey::readString(const std::string& name) {
  if (!key_) return "";
  std::uint32_t type = platform::kRegNone;
  std::string data;
  if (registry_.regQueryValue(key_, name, type, data) != platform::kOk || data.empty()) return "";
  if (type != platform::kRegSz && type != platform::kRegExpandSz)
    throw RegistryError("Invalid data type for '" + name + "'");
  std::string::size_type end = data.find('\0');
  if (end != std::string::npos) data.resize(end);
  return data;
}

void RegistryKey::writeString(const std::string& name, const std::string& value) {
  platform::RegKey key = 0;
  if (!key_ && !readOnly_ && registry_.regCreateKey(path_, key) == platform::kOk) key_ = key;
  if (!key_ || registry_.regSetString(key_, name, value) != platform::kOk)
    throw RegistryError("Failed to set data for '" + name + "'");
}

}  // namespace monitor
