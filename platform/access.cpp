#include "platform/access.h"

#include <cstddef>

namespace platform {

namespace {

using Bytes = std::vector<std::uint8_t>;

// Well-known SIDs in their binary form: revision 1, the count of
// sub-authorities, the 6-byte authority (big-endian), the sub-authorities
// (32-bit, little-endian).
Bytes sid(std::uint8_t authority, std::vector<std::uint32_t> subs) {
  Bytes b{1, static_cast<std::uint8_t>(subs.size()), 0, 0, 0, 0, 0, authority};
  for (std::uint32_t s : subs)
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(s >> (8 * i)));
  return b;
}

const Bytes& systemSid() {
  static const Bytes s = sid(5, {18});
  return s;
}
const Bytes& administratorsSid() {
  static const Bytes s = sid(5, {32, 544});
  return s;
}
const Bytes& trustedInstallerSid() {
  static const Bytes s =
      sid(5, {80, 956008885u, 3418522649u, 1831038044u, 1853292631u, 2271478464u});
  return s;
}
const Bytes& creatorOwnerSid() {
  static const Bytes s = sid(3, {0});
  return s;
}

std::uint16_t word(const Bytes& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
std::uint32_t dword(const Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// ACE types that allow: plain, object, callback, callback object.
constexpr std::uint8_t kAllowed = 0, kAllowedObject = 5, kAllowedCallback = 9,
                       kAllowedCallbackObject = 11;
constexpr std::uint8_t kInheritOnly = 0x08;
constexpr std::size_t kAclHeader = 8, kAceHeader = 4;

bool trusted(const Bytes& s) {
  return s == systemSid() || s == administratorsSid() || s == trustedInstallerSid() ||
         s == creatorOwnerSid();
}

void add(Bytes& b, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

bool writableByOthers(const std::optional<Bytes>& dacl, const Bytes& self) {
  if (!dacl) return true;
  const Bytes& b = *dacl;
  if (b.size() < kAclHeader) return true;
  std::size_t size = word(b, 2);
  std::size_t count = word(b, 4);
  if (size > b.size() || size < kAclHeader) return true;
  std::size_t at = kAclHeader;
  for (std::size_t i = 0; i < count; ++i) {
    if (at + kAceHeader > size) return true;
    std::uint8_t type = b[at];
    std::uint8_t flags = b[at + 1];
    std::size_t aceSize = word(b, at + 2);
    if (aceSize < kAceHeader || at + aceSize > size) return true;
    std::size_t end = at + aceSize;
    bool allows = type == kAllowed || type == kAllowedCallback || type == kAllowedObject ||
                  type == kAllowedCallbackObject;
    if (allows && !(flags & kInheritOnly)) {
      if (at + 8 > end) return true;
      std::uint32_t mask = dword(b, at + 4);
      std::size_t sidAt = at + 8;
      if (type == kAllowedObject || type == kAllowedCallbackObject) {
        // The object flags, then the GUIDs they announce.
        if (at + 12 > end) return true;
        std::uint32_t objectFlags = dword(b, at + 8);
        sidAt = at + 12 + (objectFlags & 1 ? 16 : 0) + (objectFlags & 2 ? 16 : 0);
      }
      if (sidAt + 8 > end) return true;
      std::size_t sidSize = 8 + 4 * static_cast<std::size_t>(b[sidAt + 1]);
      if (sidAt + sidSize > end) return true;
      Bytes who(b.begin() + static_cast<std::ptrdiff_t>(sidAt),
                b.begin() + static_cast<std::ptrdiff_t>(sidAt + sidSize));
      if ((mask & kWriteRights) && !trusted(who) && (self.empty() || who != self)) return true;
    }
    at = end;
  }
  return false;
}

std::vector<std::uint8_t> adminOnlyDacl() {
  constexpr std::uint8_t kObjectAndContainerInherit = 0x03;
  constexpr std::uint32_t kFileAllAccess = 0x1F01FF;
  Bytes aces;
  for (const Bytes* who : {&systemSid(), &administratorsSid()}) {
    aces.push_back(kAllowed);
    aces.push_back(kObjectAndContainerInherit);
    add(aces, static_cast<std::uint32_t>(kAceHeader + 4 + who->size()), 2);
    add(aces, kFileAllAccess, 4);
    aces.insert(aces.end(), who->begin(), who->end());
  }
  Bytes acl{2, 0};  // ACL_REVISION
  add(acl, static_cast<std::uint32_t>(kAclHeader + aces.size()), 2);
  add(acl, 2, 2);
  add(acl, 0, 2);
  acl.insert(acl.end(), aces.begin(), aces.end());
  return acl;
}

}  // namespace platform
