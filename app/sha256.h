// SHA-256 (FIPS 180-4) of bytes, as 64 lower-case hex digits.  Portable:
// the 32-bit wizard checks the 64-bit one before starting it, on every
// Windows it runs on, including those whose crypto providers lack SHA-256.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace app {

class Sha256 {
 public:
  Sha256();
  void add(const void* data, std::size_t size);
  // The digest as hex; the object is spent afterwards.
  std::string hex();

 private:
  void block(const std::uint8_t* p);
  std::uint32_t h_[8];
  std::uint8_t buffer_[64];
  std::size_t used_ = 0;
  std::uint64_t bytes_ = 0;
};

std::string sha256Hex(const std::string& bytes);

}  // namespace app
