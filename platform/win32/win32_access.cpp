#include "platform/win32/win32_access.h"

#include <cstring>

#include "platform/win32/win32_late.h"

namespace platform {

namespace {

// A SID of up to six sub-authorities, laid out as the system lays one out.
struct KnownSid {
  BYTE revision;
  BYTE count;
  BYTE authority[6];
  DWORD sub[6];
};
KnownSid kSystem{1, 1, {0, 0, 0, 0, 0, 5}, {18}};
KnownSid kAdministrators{1, 2, {0, 0, 0, 0, 0, 5}, {32, 544}};
KnownSid kEveryone{1, 1, {0, 0, 0, 0, 0, 1}, {0}};
KnownSid kTrustedInstaller{
    1, 6, {0, 0, 0, 0, 0, 5}, {80, 956008885, 3418522649, 1831038044, 1853292631, 2271478464}};

bool same(PSID sid, const KnownSid& known) {
  const auto* s = static_cast<const SID*>(sid);
  if (!s || s->Revision != known.revision || s->SubAuthorityCount != known.count) return false;
  if (std::memcmp(s->IdentifierAuthority.Value, known.authority, 6) != 0) return false;
  for (BYTE i = 0; i < known.count; ++i)
    if (s->SubAuthority[i] != known.sub[i]) return false;
  return true;
}

bool sameSid(PSID a, PSID b) {
  const auto* x = static_cast<const SID*>(a);
  const auto* y = static_cast<const SID*>(b);
  if (!x || !y || x->Revision != y->Revision || x->SubAuthorityCount != y->SubAuthorityCount)
    return false;
  return std::memcmp(x, y, 8 + 4 * x->SubAuthorityCount) == 0;
}

PSID sid(KnownSid& known) { return &known; }

}  // namespace

bool isLocalSystem(PSID s) { return same(s, kSystem); }

bool isTrusted(PSID s, PSID self) {
  return same(s, kSystem) || same(s, kAdministrators) || same(s, kTrustedInstaller) ||
         (self && sameSid(s, self));
}

bool processUser(std::vector<BYTE>& tokenUser) {
  auto openProcessToken =
      lateBound<BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE)>("advapi32.dll", "OpenProcessToken");
  auto getTokenInformation =
      lateBound<BOOL(WINAPI*)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD)>(
          "advapi32.dll", "GetTokenInformation");
  if (!openProcessToken || !getTokenInformation) return false;
  HANDLE token = nullptr;
  if (!openProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  tokenUser.assign(128, 0);
  DWORD needed = 0;
  BOOL ok = getTokenInformation(token, TokenUser, tokenUser.data(),
                                static_cast<DWORD>(tokenUser.size()), &needed);
  if (!ok && GetLastError() == ERROR_INSUFFICIENT_BUFFER && needed > tokenUser.size()) {
    tokenUser.assign(needed, 0);
    ok = getTokenInformation(token, TokenUser, tokenUser.data(), needed, &needed);
  }
  DWORD error = GetLastError();
  CloseHandle(token);
  SetLastError(error);
  return ok != FALSE;
}

Descriptor::Descriptor(Kind kind) {
  auto initializeDescriptor = lateBound<BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, DWORD)>(
      "advapi32.dll", "InitializeSecurityDescriptor");
  auto initializeAcl =
      lateBound<BOOL(WINAPI*)(PACL, DWORD, DWORD)>("advapi32.dll", "InitializeAcl");
  auto addAllowed = lateBound<BOOL(WINAPI*)(PACL, DWORD, DWORD, PSID)>("advapi32.dll",
                                                                        "AddAccessAllowedAce");
  auto getAce = lateBound<BOOL(WINAPI*)(PACL, DWORD, LPVOID*)>("advapi32.dll", "GetAce");
  auto setDacl = lateBound<BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, BOOL, PACL, BOOL)>(
      "advapi32.dll", "SetSecurityDescriptorDacl");
  // Windows 2000 and later: a protected DACL takes nothing from the parent.
  auto setControl = lateBound<BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, SECURITY_DESCRIPTOR_CONTROL,
                                            SECURITY_DESCRIPTOR_CONTROL)>(
      "advapi32.dll", "SetSecurityDescriptorControl");
  if ((GetVersion() & 0x80000000u) || !initializeDescriptor || !initializeAcl || !addAllowed ||
      !getAce || !setDacl)
    return;
  auto* acl = reinterpret_cast<PACL>(acl_);
  if (!initializeDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
      !initializeAcl(acl, sizeof acl_, ACL_REVISION))
    return;
  const DWORD inherit = kind == AdminOnly ? OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE : 0;
  const DWORD full = kind == AdminOnly ? FILE_ALL_ACCESS : MUTEX_ALL_ACCESS;
  struct Entry {
    KnownSid* who;
    DWORD rights;
  } entries[] = {{&kSystem, full},
                 {&kAdministrators, full},
                 {&kEveryone, SYNCHRONIZE | MUTEX_MODIFY_STATE}};
  const DWORD count = kind == OpenToAll ? 3 : 2;
  for (DWORD i = 0; i < count; ++i) {
    if (!addAllowed(acl, ACL_REVISION, entries[i].rights, sid(*entries[i].who))) return;
    ACE_HEADER* ace = nullptr;
    if (!getAce(acl, i, reinterpret_cast<LPVOID*>(&ace))) return;
    ace->AceFlags = static_cast<BYTE>(ace->AceFlags | inherit);
  }
  if (!setDacl(&descriptor_, TRUE, acl, FALSE)) return;
  if (kind == AdminOnly && setControl)
    setControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
  attributes_.nLength = sizeof attributes_;
  attributes_.lpSecurityDescriptor = &descriptor_;
  attributes_.bInheritHandle = FALSE;
  made_ = true;
}

}  // namespace platform
