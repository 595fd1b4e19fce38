// The registry under HKEY_LOCAL_MACHINE.  These functions return their
// error code themselves.
#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace platform {

namespace {
HKEY hkey(RegKey key) { return reinterpret_cast<HKEY>(key); }
}  // namespace

Error Win32Platform::doRegCreateKey(const std::string& path, RegKey& key) {
  HKEY made = nullptr;
  LONG r = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, &made, nullptr);
  if (r != ERROR_SUCCESS) return static_cast<Error>(r);
  key = reinterpret_cast<RegKey>(made);
  return kOk;
}

Error Win32Platform::doRegQueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                                     std::string& data) {
  // The size first, then the value; a value that grew in between is asked
  // for again, a few times at most.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD t = REG_NONE, size = 0;
    LONG r = RegQueryValueExA(hkey(key), name.c_str(), nullptr, &t, nullptr, &size);
    if (r != ERROR_SUCCESS) return static_cast<Error>(r);
    std::string bytes(size, '\0');
    DWORD got = size;
    r = RegQueryValueExA(hkey(key), name.c_str(), nullptr, &t,
                         reinterpret_cast<BYTE*>(bytes.data()), &got);
    if (r == ERROR_MORE_DATA) continue;
    if (r != ERROR_SUCCESS) return static_cast<Error>(r);
    bytes.resize(got);
    type = t;
    data = std::move(bytes);
    return kOk;
  }
  return ERROR_MORE_DATA;
}

Error Win32Platform::doRegSetString(RegKey key, const std::string& name,
                                    const std::string& value) {
  return static_cast<Error>(RegSetValueExA(hkey(key), name.c_str(), 0, REG_SZ,
                                           reinterpret_cast<const BYTE*>(value.c_str()),
                                           static_cast<DWORD>(value.size() + 1)));
}

Error Win32Platform::doRegCloseKey(RegKey key) {
  return static_cast<Error>(RegCloseKey(hkey(key)));
}

Error Win32Platform::doRegOpenKey(const std::string& path, RegKey& key) {
  HKEY opened = nullptr;
  LONG r = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &opened);
  if (r != ERROR_SUCCESS) return static_cast<Error>(r);
  key = reinterpret_cast<RegKey>(opened);
  return kOk;
}

Error Win32Platform::doRegDeleteKey(const std::string& path) {
  return static_cast<Error>(RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str()));
}

}  // namespace platform
