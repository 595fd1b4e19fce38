// zlib streams, inflated with a bound on what they may hold.
#include <zlib.h>

#include <climits>

#include "pictures/image.h"

namespace pictures {

bool inflateAll(std::span<const std::uint8_t> data, std::size_t limit,
                std::vector<std::uint8_t>& out, std::string& why) {
  out.clear();
  if (data.size() > UINT_MAX) {
    why = "the deflated stream is too long";
    return false;
  }
  z_stream z{};
  if (inflateInit(&z) != Z_OK) {
    why = "zlib could not start";
    return false;
  }
  z.next_in = const_cast<Bytef*>(data.data());
  z.avail_in = static_cast<uInt>(data.size());
  int result = Z_OK;
  std::uint8_t chunk[16384];
  while (result == Z_OK) {
    z.next_out = chunk;
    z.avail_out = sizeof chunk;
    result = inflate(&z, Z_NO_FLUSH);
    const std::size_t got = sizeof chunk - z.avail_out;
    if (out.size() + got > limit) {
      why = "the deflated stream holds more than " + std::to_string(limit) + " bytes";
      inflateEnd(&z);
      return false;
    }
    out.insert(out.end(), chunk, chunk + got);
    // No progress with input left over or none left: the stream is cut short.
    if (result == Z_BUF_ERROR || (result == Z_OK && got == 0 && z.avail_in == 0)) break;
  }
  inflateEnd(&z);
  if (result != Z_STREAM_END) {
    why = result == Z_DATA_ERROR || result == Z_NEED_DICT ? "the deflated stream is damaged"
                                                          : "the deflated stream is cut short";
    return false;
  }
  if (z.avail_in != 0) {
    why = "bytes follow the deflated stream";
    return false;
  }
  return true;
}

}  // namespace pictures
