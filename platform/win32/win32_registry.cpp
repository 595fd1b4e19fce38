// The registry under HKEY_LOCAL_MACHINE.  These functions return their
// error code themselves.
#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace platform {

namespace {
HKEY hkey(RegKey key) { return reinterpret_cast<HKEY>(key); }

// RegOpenKeyExA under HKEY_LOCAL_MACHINE with `access`.
Error openKey(const std::string& path, REGSAM access, RegKey& key) {
  HKEY opened = nullptr;
  LONG r = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &opened);
  if (r != ERROR_SUCCESS) return static_cast<Error>(r);
  key = reinterpret_cast<RegKey>(opened);
  return kOk;
}
}  // namespace

Error Win32Platform::doRegCreateKey(const std::string& path, RegKey& key) {
  HKEY made = nullptr;
  LONG r = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, &made, nullptr);
  if (r != ERROR_SUCCESS) return static_cast<Error>(r);
  key = reinterpret_cast<RegKey>(made);
  return kOk;
}

Error Win32Platform::doRegOpenKey(const std::string& path, RegKey& key) {
  return openKey(path, KEY_ALL_ACCESS, key);
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

Error Win32Platform::doRegSetValue(RegKey key, const std::string& name, std::uint32_t type,
                                   const std::string& data) {
  return static_cast<Error>(RegSetValueExA(hkey(key), name.c_str(), 0, type,
                                           reinterpret_cast<const BYTE*>(data.data()),
                                           static_cast<DWORD>(data.size())));
}

Error Win32Platform::doRegEnumValue(RegKey key, std::uint32_t index, std::string& name,
                                    std::uint32_t& type, std::string& data) {
  // Room for the longest name and value, asked for again if one grew.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD nameRoom = 0, dataRoom = 0;
    LONG r = RegQueryInfoKeyA(hkey(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, &nameRoom, &dataRoom, nullptr, nullptr);
    if (r != ERROR_SUCCESS) return static_cast<Error>(r);
    std::string n(nameRoom + 1, '\0');
    std::string bytes(dataRoom + 1, '\0');
    DWORD nameSize = static_cast<DWORD>(n.size()), dataSize = static_cast<DWORD>(bytes.size());
    DWORD t = REG_NONE;
    r = RegEnumValueA(hkey(key), index, n.data(), &nameSize, nullptr, &t,
                      reinterpret_cast<BYTE*>(bytes.data()), &dataSize);
    if (r == ERROR_MORE_DATA) continue;
    if (r != ERROR_SUCCESS) return static_cast<Error>(r);
    n.resize(nameSize);
    bytes.resize(dataSize);
    name = std::move(n);
    type = t;
    data = std::move(bytes);
    return kOk;
  }
  return ERROR_MORE_DATA;
}

Error Win32Platform::doRegEnumKey(RegKey key, std::uint32_t index, std::string& name) {
  char buffer[256];  // a key name has at most 255 characters
  DWORD size = sizeof buffer;
  LONG r = RegEnumKeyExA(hkey(key), index, buffer, &size, nullptr, nullptr, nullptr, nullptr);
  if (r != ERROR_SUCCESS) return static_cast<Error>(r);
  name.assign(buffer, size);
  return kOk;
}

Error Win32Platform::doRegDeleteValue(RegKey key, const std::string& name) {
  return static_cast<Error>(RegDeleteValueA(hkey(key), name.c_str()));
}

Error Win32Platform::doRegDeleteKey(const std::string& path) {
  return static_cast<Error>(RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str()));
}

Error Win32Platform::doRegCloseKey(RegKey key) {
  return static_cast<Error>(RegCloseKey(hkey(key)));
}

Error Win32Platform::doRegOpenKeyToRead(const std::string& path, RegKey& key) {
  return openKey(path, KEY_READ, key);
}

Error Win32Platform::doRegOpenKey32(const std::string& path, RegKey& key) {
  // A 32-bit process sees the 32-bit view without the flag, which Windows
  // 2000 and earlier do not know.
#ifdef _WIN64
  const REGSAM view = KEY_WOW64_32KEY;
#else
  const REGSAM view = 0;
#endif
  return openKey(path, KEY_ALL_ACCESS | view, key);
}

}  // namespace platform
