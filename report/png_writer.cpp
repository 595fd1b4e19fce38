// PNG: signature, IHDR, IDAT, IEND; each chunk with its CRC-32.
#include "report/png_writer.h"

#include <zlib.h>

#include <cstdio>
#include <memory>

namespace report {
namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void chunk(std::vector<std::uint8_t>& out, const char type[4],
           const std::vector<std::uint8_t>& data) {
  put32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, out.data() + typeAt, static_cast<uInt>(4 + data.size()));
  put32(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

std::vector<std::uint8_t> encodePng(const pictures::Image& image) {
  if (image.empty() || image.bgr.size() != image.offset(0, image.height)) return {};
  const std::size_t w = static_cast<std::size_t>(image.width);
  const std::size_t h = static_cast<std::size_t>(image.height);

  // Filter type 0 before each row, pixels as red, green, blue.
  std::vector<std::uint8_t> raw;
  raw.reserve(h * (1 + 3 * w));
  for (std::size_t y = 0; y < h; ++y) {
    raw.push_back(0);
    const std::uint8_t* row = &image.bgr[image.offset(0, static_cast<int>(y))];
    for (std::size_t x = 0; x < w; ++x) {
      raw.push_back(row[3 * x + 2]);
      raw.push_back(row[3 * x + 1]);
      raw.push_back(row[3 * x]);
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()),
                Z_BEST_COMPRESSION) != Z_OK)
    return {};
  packed.resize(packedSize);

  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  put32(header, static_cast<std::uint32_t>(w));
  put32(header, static_cast<std::uint32_t>(h));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit truecolour, deflate, filter method 0, no interlace
  chunk(out, "IHDR", header);
  chunk(out, "IDAT", packed);
  chunk(out, "IEND", {});
  return out;
}

bool writePng(const std::string& path, const pictures::Image& image, std::string* error) {
  auto fail = [error](std::string why) {
    if (error) *error = std::move(why);
    return false;
  };
  const std::vector<std::uint8_t> bytes = encodePng(image);
  if (bytes.empty()) return fail("the image is empty or could not be compressed");
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!file) return fail("cannot create " + path);
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
    return fail("cannot write " + path);
  if (std::fclose(file.release()) != 0) return fail("cannot write " + path);
  if (error) error->clear();
  return true;
}

}  // namespace report
