// Uncompressed Windows and OS/2 bitmaps.  Every read is checked against the
// buffer before it is made.
#include <bit>
#include <cstring>
#include <new>
#include <string>

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

// What the file header and the bitmap header say.
struct Header {
  std::uint64_t offBits = 0;     // where the pixels start; 0: right after the palette
  std::uint64_t headerSize = 0;  // kCoreHeader (OS/2), or kInfoHeader and more (Windows)
  long long width = 0, height = 0;  // the height made positive, with topDown telling the order
  bool topDown = false;
  unsigned bpp = 0;
  std::uint32_t compression = kBiRgb, colorsUsed = 0;
};

// The headers, read and checked: empty, or why the file is refused.
std::string readHeader(std::span<const std::uint8_t> d, Header& h) {
  if (d.size() < kFileHeader + kCoreHeader) return "BMP: file too short";
  if (d[0] != 'B' || d[1] != 'M') return "BMP: no \"BM\" signature";
  h.offBits = u32(d, 10);
  h.headerSize = u32(d, 14);
  if (h.headerSize != kCoreHeader && (h.headerSize < kInfoHeader || h.headerSize > 4096))
    return "BMP: unknown header size " + std::to_string(h.headerSize);
  if (kFileHeader + h.headerSize > d.size()) return "BMP: header truncated";

  if (h.headerSize == kCoreHeader) {
    h.width = u16(d, 18);
    h.height = u16(d, 20);
    h.bpp = u16(d, 24);
  } else {
    h.width = s32(d, 18);
    h.height = s32(d, 22);
    h.bpp = u16(d, 28);
    h.compression = u32(d, 30);
    h.colorsUsed = u32(d, 46);
  }
  h.topDown = h.height < 0;
  if (h.topDown) h.height = -h.height;
  if (h.width <= 0 || h.height <= 0) return "BMP: empty or negative size";
  if (!sizeAccepted(h.width, h.height)) return "BMP: picture too large";
  if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 16 && h.bpp != 24 && h.bpp != 32)
    return "BMP: unsupported bit depth " + std::to_string(h.bpp);
  return {};
}

// The colour channels of 16 and 32-bit pixels.
struct Channels {
  Channel red{0x7C00}, green{0x03E0}, blue{0x001F};
};

// Masks for 16 and 32-bit pixels: in the header from version 4 on, after a
// 40-byte header otherwise (and then the palette, at tableStart, comes after
// them).  Empty, or why the file is refused.
std::string readMasks(std::span<const std::uint8_t> d, const Header& h, std::uint64_t& tableStart,
                      Channels& c) {
  if (h.bpp == 32) {
    c.red = Channel(0x00FF0000);
    c.green = Channel(0x0000FF00);
    c.blue = Channel(0xFF);
  }
  if (h.compression == kBiBitfields) {
    if (h.bpp != 16 && h.bpp != 32) return "BMP: bit fields need 16 or 32 bits per pixel";
    if (h.headerSize == kInfoHeader) tableStart += 12;
    if (kFileHeader + kInfoHeader + 12 > d.size()) return "BMP: colour masks truncated";
    c.red = Channel(u32(d, 54));
    c.green = Channel(u32(d, 58));
    c.blue = Channel(u32(d, 62));
  } else if (h.compression != kBiRgb) {
    return "BMP: compressed bitmaps are not supported";
  }
  return {};
}

// Palette: entries beyond what the bit depth can address are ignored, and
// an index beyond the palette gives black.
struct Palette {
  std::uint8_t colors[256][3] = {};
  std::uint64_t entries = 0;
  std::uint64_t end = 0;  // the first byte after the table
};

// The palette of 1, 4 and 8-bit pictures, from tableStart: empty, or why the
// file is refused.
std::string readPalette(std::span<const std::uint8_t> d, const Header& h,
                        std::uint64_t tableStart, Palette& p) {
  const std::uint64_t entrySize = h.headerSize == kCoreHeader ? 3 : 4;
  if (h.bpp <= 8) {
    const std::uint64_t most = std::uint64_t{1} << h.bpp;
    p.entries = (h.colorsUsed == 0 || h.colorsUsed > most) ? most : h.colorsUsed;
    if (tableStart + p.entries * entrySize > d.size()) return "BMP: palette truncated";
    for (std::uint64_t i = 0; i < p.entries; ++i) {
      const std::size_t at = static_cast<std::size_t>(tableStart + i * entrySize);
      p.colors[i][0] = d[at];
      p.colors[i][1] = d[at + 1];
      p.colors[i][2] = d[at + 2];
    }
  }
  p.end = tableStart + p.entries * entrySize;
  return {};
}

// One row of the file (src, checked to hold the whole row) into one row of
// the image.
void decodeRow(const std::uint8_t* src, std::uint8_t* out, const Header& h, const Channels& c,
               const Palette& p) {
  const unsigned bpp = h.bpp;
  for (long long x = 0; x < h.width; ++x, out += 3) {
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
        out[0] = c.blue(v);
        out[1] = c.green(v);
        out[2] = c.red(v);
        break;
      }
      default: {  // 1, 4 or 8 bits per palette index, leftmost pixel in the high bits
        const std::uint64_t bit = static_cast<std::uint64_t>(x) * bpp;
        const unsigned shift = 8 - bpp - static_cast<unsigned>(bit % 8);
        const unsigned index = (src[bit / 8] >> shift) & ((1u << bpp) - 1);
        if (index < p.entries) std::memcpy(out, p.colors[index], 3);
        else out[0] = out[1] = out[2] = 0;
        break;
      }
    }
  }
}

DecodeResult decodeChecked(std::span<const std::uint8_t> d) {
  Header h;
  if (std::string why = readHeader(d, h); !why.empty()) return DecodeResult::failure(why);
  std::uint64_t tableStart = kFileHeader + h.headerSize;
  Channels channels;
  if (std::string why = readMasks(d, h, tableStart, channels); !why.empty())
    return DecodeResult::failure(why);
  Palette palette;
  if (std::string why = readPalette(d, h, tableStart, palette); !why.empty())
    return DecodeResult::failure(why);

  const std::uint64_t pixelStart = h.offBits != 0 ? h.offBits : palette.end;
  const std::uint64_t stride = (static_cast<std::uint64_t>(h.width) * h.bpp + 31) / 32 * 4;
  const std::uint64_t rows = static_cast<std::uint64_t>(h.height);
  if (pixelStart > d.size() || stride * rows > d.size() - pixelStart)
    return DecodeResult::failure("BMP: pixel data truncated");

  Image image(static_cast<int>(h.width), static_cast<int>(h.height));
  for (std::uint64_t y = 0; y < rows; ++y) {
    const std::uint64_t fileRow = h.topDown ? y : rows - 1 - y;
    decodeRow(d.data() + pixelStart + fileRow * stride,
              image.bgr.data() + image.offset(0, static_cast<int>(y)), h, channels, palette);
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
