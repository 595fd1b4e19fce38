// Who may change a file or folder, decided from its DACL as Windows keeps
// it.  Portable, so that the decision is tested where no Windows security
// exists (Wine reports a file's rights from its Unix mode bits only).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

// Rights that let their holder change what a file or folder holds, delete
// or replace it, or give itself more rights: write or append data (add a
// file or a subfolder), delete a child, delete, change the DACL or the
// owner, and the generic write and all.
inline constexpr std::uint32_t kWriteRights =
    0x2 | 0x4 | 0x40 | 0x10000 | 0x40000 | 0x80000 | 0x10000000 | 0x40000000;

// Whether a DACL (its bytes as stored: the ACL header and its ACEs; nullopt
// for a null DACL, which lets everyone do everything) gives a write right
// (kWriteRights) to anyone but SYSTEM, the Administrators, TrustedInstaller
// and CREATOR OWNER, through an access-allowed ACE that applies to the
// object itself (inherit-only ACEs do not).  Deny ACEs are not weighed: a
// grant counts even where a deny may stand before it.  A DACL that cannot
// be read counts as writable.
// `self`, when given, is this process's account (a SID's bytes), trusted too.
bool writableByOthers(const std::optional<std::vector<std::uint8_t>>& dacl,
                      const std::vector<std::uint8_t>& self = {});

// The DACL of a folder only administrators can write: full control for
// SYSTEM and the Administrators, inherited by its files and subfolders.
std::vector<std::uint8_t> adminOnlyDacl();

}  // namespace platform
