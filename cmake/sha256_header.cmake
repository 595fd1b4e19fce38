# Writes the header that gives the 32-bit wizard the SHA-256 of the 64-bit
# wizard built with it (as shipped: signed, when the build signs), so that it
# starts that file and no other.  Rewritten only when the hash changes, so
# that the 32-bit exe is built again only then.
#   cmake -Dexe=PrnWizard64.exe -Dheader=prnwizard64_sha256.h -P sha256_header.cmake
file(SHA256 ${exe} hash)
set(text "// Made by the build (cmake/sha256_header.cmake): the SHA-256 of the\n")
string(APPEND text "// PrnWizard64.exe built with this exe.\n#pragma once\n\n")
string(APPEND text "inline constexpr char kPrnWizard64Sha256[] = \"${hash}\";\n")
if(EXISTS ${header})
  file(READ ${header} old)
  if(old STREQUAL text)
    return()
  endif()
endif()
file(WRITE ${header} "${text}")
