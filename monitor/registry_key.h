// One registry key under HKEY_LOCAL_MACHINE, opened with full access and
// closed again when the object goes.  Reading never creates it: a key that
// is missing or cannot be opened reads as empty.  A write creates it when
// missing; a failed write and a value that is not a string raise
// RegistryError.
#pragma once

#include <string>

#include "gui/ui.h"
#include "platform/registry.h"

namespace monitor {

// The companion utilities' key: "AppPath" names the folder of the shipped files.
inline constexpr char kCompanionKey[] = "Software\\Varn\\Varn Vuvarode Lanwarden Utilities";
inline constexpr char kAppPathValue[] = "AppPath";
// The monitor's own key, where it keeps "Server Address".
inline constexpr char kMonitorKey[] =
    "System\\CurrentControlSet\\Control\\Print\\Monitors\\Printer Sharing Port Monitor";
inline constexpr char kServerAddressValue[] = "Server Address";

// A toolkit exception: a handler that raises it ends, the toolkit shows the
// message, and the program goes on.
class RegistryError : public gui::Exception {
 public:
  using gui::Exception::Exception;
};

class RegistryKey {
 public:
  // How the key is opened: with full access, created by the first write
  // when missing (the wizard's way), or to read only, where a write fails.
  // Full32: with full access in the 32-bit programs' view.
  enum class Access { Full, ReadOnly, Full32 };
  // `path` names a key under HKEY_LOCAL_MACHINE; a leading backslash is
  // dropped (the same key; Wine refuses the name with it).  Opened at once
  // when it is there.
  RegistryKey(platform::Registry& registry, const std::string& path, Access access = Access::Full);
  ~RegistryKey();
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  bool opened() const { return key_ != 0; }
  // A string value: empty when the key or the value is missing or cannot be
  // read.  A value of another type than REG_SZ or REG_EXPAND_SZ raises
  // "Invalid data type for '<name>'".
  std::string readString(const std::string& name);
  // Stores REG_SZ; a failure raises "Failed to set data for '<name>'".
  void writeString(const std::string& name, const std::string& value);

 private:
  platform::Registry& registry_;
  std::string path_;
  platform::RegKey key_ = 0;
  bool readOnly_ = false;
};

}  // namespace monitor
