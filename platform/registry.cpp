#include "platform/registry.h"

namespace platform {

Error Registry::regCreateKey(const std::string& path, RegKey& key) {
  key = 0;
  if (Error e = injected(RegistryCall::RegCreateKeyEx)) return e;
  return doRegCreateKey(path, key);
}

Error Registry::regQueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                              std::string& data) {
  type = kRegNone;
  data.clear();
  if (Error e = injected(RegistryCall::RegQueryValueEx)) return e;
  return doRegQueryValue(key, name, type, data);
}

Error Registry::regSetString(RegKey key, const std::string& name, const std::string& value) {
  if (Error e = injected(RegistryCall::RegSetValueEx)) return e;
  return doRegSetString(key, name, value);
}

Error Registry::regCloseKey(RegKey key) {
  if (Error e = injected(RegistryCall::RegCloseKey)) return e;
  return doRegCloseKey(key);
}

}  // namespace platform
