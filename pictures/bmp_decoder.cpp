// Uncompressed Windows and OS/2 bitmaps.  Every read is checked against the
// buffer before it is made.
#include <bit>
#include <cstring>
#include <new>

#include "pictures/image.h"

namespace pictures {
namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kCoreHeader = 12;
constexpr std::size_t kInfoHeader = 40;

std::uint32_t u16(std::span<const std::uint8_t> d, std::size_t at) {
  return static_cast<std::uint32_t>(d[at]) | static_cast<std::uint32_t>(d[at + 1]) << 8;
}
std::uint32_t u32(std::span<const std::uint8_t> d, std::size_t at) {
  return u16(d, at) | u16(d, at + 2) << 16;
}
std::int32_t s32(std::span<const std::uint8_t> d, std::size_t at) {
  return static_cast<std::int32_t>(u32(d, at));
}

// One colour channel described by a bit mask, scaled to 0..255.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  explicit Channel(std::uint32_t m) : mask(m) {
    if (mask == 0) return;
    shift = std::countr_zero(mask);
    bits = std::countr_one(mask >> shift);  // a gap in the mask ends the channel
  }
  std::uint8_t operator()(std::uint32_t value) const {
    if (bits == 0) return 0;
    std::uint32_t v = (value >> shift) & ((bits >= 32) ? 0xFFFFFFFFu : ((1u << bits) - 1));
    if (bits >= 8) return static_cast<std::uint8_t>(v >> (bits - 8));
    return static_cast<std::uint8_t>(v * 255u / ((1u << bits) - 1));
  }
};

DecodeResult decodeChecked(std::span<const std::uint8_t> d) {
  if (d.size() < kFileHeader + kCoreHeader) return DecodeResult::failure("BMP: file too short");
  if (d[0] != 'B' || d[1] != 'M') return DecodeResult::failure("BMP: no \"BM\" signature");
  const std::uint64_t offBits = u32(d, 10);
  const std::uint64_t headerSize = u32(d, 14);
  if (headerSize != kCoreHeader && (headerSize < kInfoHeader || headerSize > 4096))
    return DecodeResult::failure("BMP: unknown header size " + std::to_string(headerSize));
  if (kFileHeader + headerSize > d.size()) return DecodeResult::failure("BMP: header truncated");

  long long width = 0, height = 0;
  unsigned bpp = 0;
  std::uint32_t compression = kBiRgb, colorsUsed = 0;
  if (headerSize == kCoreHeader) {
    width = u16(d, 18);
    height = u16(d, 20);
    bpp = u16(d, 24);
  } else {
    width = s32(d, 18);
    height = s32(d, 22);
    bpp = u16(d, 28);
    compression = u32(d, 30);
    colorsUsed = u32(d, 46);
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0) return DecodeResult::failure("BMP: empty or negative size");
  if (!sizeAccepted(width, height)) return DecodeResult::failure("BMP: picture too large");
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    return DecodeResult::failure("BMP: unsupported bit depth " + std::to_string(bpp));

  // Masks for 16 and 32-bit pixels: in the header from version 4 on, after a
  // 40-byte header otherwise.
  std::uint64_t tableStart = kFileHeader + headerSize;
  Channel red(0x7C00), green(0x03E0), blue(0x001F);
  if (bpp == 32) red = Channel(0x00FF0000), green = Channel(0x0000FF00), blue = Channel(0xFF);
  if (compression == kBiBitfields) {
    if (bpp != 16 && bpp != 32)
      return DecodeResult::failure("BMP: bit fields need 16 or 32 bits per pixel");
    if (headerSize == kInfoHeader) tableStart += 12;
    if (kFileHeader + kInfoHeader + 12 > d.size())
      return DecodeResult::failure("BMP: colour masks truncated");
    red = Channel(u32(d, 54));
    green = Channel(u32(d, 58));
    blue = Channel(u32(d, 62));
  } else if (compression != kBiRgb) {
    return DecodeResult::failure("BMP: compressed bitmaps are not supported");
  }

  // Palette: entries beyond what the bit depth can address are ignored, and
  // an index beyond the palette gives black.
  std::uint8_t palette[256][3] = {};
  std::uint64_t paletteEntries = 0;
  const std::uint64_t entrySize = headerSize == kCoreHeader ? 3 : 4;
  if (bpp <= 8) {
    const std::uint64_t most = std::uint64_t{1} << bpp;
    paletteEntries = (colorsUsed == 0 || colorsUsed > most) ? most : colorsUsed;
    if (tableStart + paletteEntries * entrySize > d.size())
      return DecodeResult::failure("BMP: palette truncated");
    for (std::uint64_t i = 0; i < paletteEntries; ++i) {
      const std::size_t at = static_cast<std::size_t>(tableStart + i * entrySize);
      palette[i][0] = d[at];
      palette[i][1] = d[at + 1];
      palette[i][2] = d[at + 2];
    }
  }

  const std::uint64_t pixelStart = offBits != 0 ? offBits : tableStart + paletteEntries * entrySize;
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bpp + 31) / 32 * 4;
  const std::uint64_t rows = static_cast<std::uint64_t>(height);
  if (pixelStart > d.size() || stride * rows > d.size() - pixelStart)
    return DecodeResult::failure("BMP: pixel data truncated");

  Image image(static_cast<int>(width), static_cast<int>(height));
  for (std::uint64_t y = 0; y < rows; ++y) {
    const std::uint64_t fileRow = topDown ? y : rows - 1 - y;
    const std::uint8_t* src = d.data() + pixelStart + fileRow * stride;
    std::uint8_t* out = image.bgr.data() + image.offset(0, static_cast<int>(y));
    for (long long x = 0; x < width; ++x, out += 3) {
      switch (bpp) {
        case 24:
          std::memcpy(out, src + x * 3, 3);
          break;
        case 16:
        case 32: {
          const std::size_t at = static_cast<std::size_t>(x) * (bpp / 8);
          std::uint32_t v = src[at] | static_cast<std::uint32_t>(src[at + 1]) << 8;
          if (bpp == 32)
            v |= static_cast<std::uint32_t>(src[at + 2]) << 16 |
                 static_cast<std::uint32_t>(src[at + 3]) << 24;
          out[0] = blue(v);
          out[1] = green(v);
          out[2] = red(v);
          break;
        }
        default: {  // 1, 4 or 8 bits per palette index, leftmost pixel in the high bits
          const std::uint64_t bit = static_cast<std::uint64_t>(x) * bpp;
          const unsigned shift = 8 - bpp - static_cast<unsigned>(bit % 8);
          const unsigned index = (src[bit / 8] >> shift) & ((1u << bpp) - 1);
          if (index < paletteEntries) std::memcpy(out, palette[index], 3);
          else out[0] = out[1] = out[2] = 0;
          break;
        }
      }
    }
  }
  Picture picture;
  picture.frames.push_back(Frame{std::move(image), 0});
  return DecodeResult::success(std::move(picture));
}

}  // namespace

DecodeResult decodeBmp(std::span<const std::uint8_t> data) {
  try {
    return decodeChecked(data);
  } catch (const std::bad_alloc&) {
    return DecodeResult::failure("BMP: out of memory");
  }
}

}  // namespace pictures
