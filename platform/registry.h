// The registry under HKEY_LOCAL_MACHINE.  Key paths are given without a
// leading backslash ("Software\\Maker\\Product"): Wine refuses one (161).
#pragma once

#include <cstdint>
#include <string>

#include "platform/faults.h"

namespace platform {

enum class RegistryCall : int {
  RegCreateKeyEx,
  RegQueryValueEx,
  RegSetValueEx,
  RegCloseKey,
};
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

inline constexpr Error kErrorFileNotFound = 2;
inline constexpr Error kErrorAccessDenied = 5;
inline constexpr Error kErrorBadPathname = 161;
inline constexpr Error kErrorKeyDeleted = 1018;

class Registry : public virtual Faults {
 public:
  // RegCreateKeyExA under HKEY_LOCAL_MACHINE with KEY_ALL_ACCESS: opens the
  // key, creating it (and the keys above it) when missing.
  Error regCreateKey(const std::string& path, RegKey& key);
  // RegQueryValueExA: the value's type and its bytes as stored (a REG_SZ
  // keeps its terminating zero).  A missing value fails with 2.
  Error regQueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                      std::string& data);
  // RegSetValueExA: `value` as REG_SZ, the terminating zero counted.
  Error regSetString(RegKey key, const std::string& name, const std::string& value);
  Error regCloseKey(RegKey key);

 protected:
  virtual Error doRegCreateKey(const std::string& path, RegKey& key) = 0;
  virtual Error doRegQueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                                std::string& data) = 0;
  virtual Error doRegSetString(RegKey key, const std::string& name,
                               const std::string& value) = 0;
  virtual Error doRegCloseKey(RegKey key) = 0;
};

}  // namespace platform
