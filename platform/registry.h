// The registry under HKEY_LOCAL_MACHINE.  Key paths are given without a
// leading backslash ("Software\\Maker\\Product"): Wine refuses one (161).
#pragma once

#include <cstdint>
#include <string>

#include "platform/faults.h"

namespace platform {

// The calls (the format is in platform/faults.h).  Adding one: a row here,
// FakePc::do... in platform/fake/fake_registry.cpp and Win32Platform::do...
// in platform/win32/win32_registry.cpp.
#define PLATFORM_REGISTRY_CALLS(X)                                                                 \
  /* RegCreateKeyExA under HKEY_LOCAL_MACHINE with KEY_ALL_ACCESS: opens the key, creating it      \
     (and the keys above it) when missing. */                                                      \
  X(RegCreateKeyEx, regCreateKey, doRegCreateKey, (const std::string& path, RegKey& key),          \
    (path, key), key = 0)                                                                          \
  /* RegOpenKeyExA under HKEY_LOCAL_MACHINE with KEY_ALL_ACCESS: a missing key fails with 2. */    \
  X(RegOpenKeyEx, regOpenKey, doRegOpenKey, (const std::string& path, RegKey& key), (path, key),   \
    key = 0)                                                                                       \
  /* RegQueryValueExA: the value's type and its bytes as stored (a REG_SZ keeps its                \
     terminating zero).  A missing value fails with 2. */                                          \
  X(RegQueryValueEx, regQueryValue, doRegQueryValue,                                               \
    (RegKey key, const std::string& name, std::uint32_t& type, std::string& data),                 \
    (key, name, type, data), (type = kRegNone, data.clear()))                                      \
  /* RegSetValueExA: `data` stored as it is, with the type given. */                               \
  X(RegSetValueEx, regSetValue, doRegSetValue,                                                     \
    (RegKey key, const std::string& name, std::uint32_t type, const std::string& data),            \
    (key, name, type, data), )                                                                     \
  /* RegEnumValueA: the index-th value's name, type and bytes; 259 past the last. */               \
  X(RegEnumValue, regEnumValue, doRegEnumValue,                                                    \
    (RegKey key, std::uint32_t index, std::string & name, std::uint32_t & type,                    \
     std::string & data),                                                                          \
    (key, index, name, type, data), (name.clear(), type = kRegNone, data.clear()))                 \
  /* RegEnumKeyExA: the index-th subkey's name; 259 past the last. */                              \
  X(RegEnumKeyEx, regEnumKey, doRegEnumKey, (RegKey key, std::uint32_t index, std::string & name), \
    (key, index, name), name.clear())                                                              \
  X(RegDeleteValue, regDeleteValue, doRegDeleteValue, (RegKey key, const std::string& name),       \
    (key, name), )                                                                                 \
  /* RegDeleteKeyA under HKEY_LOCAL_MACHINE: a key without subkeys, with its values. */            \
  X(RegDeleteKey, regDeleteKey, doRegDeleteKey, (const std::string& path), (path), )               \
  X(RegCloseKey, regCloseKey, doRegCloseKey, (RegKey key), (key), )                               \
  /* RegOpenKeyExA under HKEY_LOCAL_MACHINE with KEY_READ: opens an existing key to read it,       \
     creating nothing (a missing key fails with 2); writes through it fail with 5. */              \
  X(RegOpenKeyExToRead, regOpenKeyToRead, doRegOpenKeyToRead, (const std::string& path,          \
    RegKey& key), (path, key), key = 0)                                                            \
  /* RegOpenKeyExA under HKEY_LOCAL_MACHINE with KEY_ALL_ACCESS in the 32-bit programs' view:      \
     a 64-bit process adds KEY_WOW64_32KEY (HKLM\Software of 32-bit programs is                   \
     Software\WOW6432Node there); a 32-bit process sees that view anyway. */                      \
  X(RegOpenKeyEx32, regOpenKey32, doRegOpenKey32, (const std::string& path, RegKey& key),          \
    (path, key), key = 0)

enum class RegistryCall : int { PLATFORM_REGISTRY_CALLS(PLATFORM_CALL_ENUMERATOR) };
constexpr Area areaOf(RegistryCall) { return Area::Registry; }

// An open key; 0 when none.
using RegKey = std::uintptr_t;

// Value types as the registry numbers them.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

inline constexpr Error kErrorBadPathname = 161;
inline constexpr Error kErrorKeyDeleted = 1018;

class Registry : public virtual Faults {
 public:
  PLATFORM_REGISTRY_CALLS(PLATFORM_CALL_PUBLIC)
  // RegSetValueExA with `value` as REG_SZ, the terminating zero counted.
  Error regSetString(RegKey key, const std::string& name, const std::string& value) {
    return regSetValue(key, name, kRegSz, value + '\0');
  }

 protected:
  PLATFORM_REGISTRY_CALLS(PLATFORM_CALL_VIRTUAL)
};

}  // namespace platform
