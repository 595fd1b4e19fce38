// Who may open or write what: the security descriptors of the objects the
// wizard makes, and the well-known accounts they name.  The advapi32 calls
// are bound late (the 9x family has no security, and older systems lack
// some of them).
#pragma once

#include <windows.h>

#include <vector>

namespace platform {

// LocalSystem, the account of services and deployment tools (S-1-5-18).
bool isLocalSystem(PSID sid);
// SYSTEM, the Administrators (S-1-5-32-544), TrustedInstaller (the owner of
// the system's own folders), or `self`.
bool isTrusted(PSID sid, PSID self);

// The user of this process's token, as GetTokenInformation gives it
// (TOKEN_USER); false with GetLastError set when it cannot be read.
bool processUser(std::vector<BYTE>& tokenUser);

// A security descriptor for CreateMutexA or CreateDirectoryA.  attributes()
// is null where the system has no security (the object gets the default).
class Descriptor {
 public:
  enum Kind {
    // Every account may open and wait on it; SYSTEM and the Administrators
    // have full control.
    OpenToAll,
    // Full control for SYSTEM and the Administrators only, inherited by
    // what is made inside, and nothing inherited from the parent.
    AdminOnly,
  };
  explicit Descriptor(Kind kind);
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  SECURITY_ATTRIBUTES* attributes() { return made_ ? &attributes_ : nullptr; }

 private:
  bool made_ = false;
  SECURITY_DESCRIPTOR descriptor_{};
  SECURITY_ATTRIBUTES attributes_{};
  alignas(DWORD) BYTE acl_[256] = {};
};

}  // namespace platform
