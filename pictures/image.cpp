// The image type, format detection and the decoder dispatch.
#include "pictures/image.h"

#include <new>

namespace pictures {

Image::Image(int w, int h, std::uint8_t blue, std::uint8_t green, std::uint8_t red)
    : width(w > 0 && h > 0 ? w : 0), height(w > 0 && h > 0 ? h : 0) {
  bgr.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  for (std::size_t i = 0; i < bgr.size(); i += 3) {
    bgr[i] = blue;
    bgr[i + 1] = green;
    bgr[i + 2] = red;
  }
}

bool sizeAccepted(long long width, long long height) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
  return static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) <=
         kMaxPixels;
}

Format detectFormat(std::span<const std::uint8_t> d) {
  if (d.size() >= 2 && d[0] == 'B' && d[1] == 'M') return Format::Bmp;
  if (d.size() >= 6 && d[0] == 'G' && d[1] == 'I' && d[2] == 'F' && d[3] == '8' &&
      (d[4] == '7' || d[4] == '9') && d[5] == 'a')
    return Format::Gif;
  if (d.size() >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) return Format::Jpeg;
  if (d.size() >= 2 && (d[0] & 0x0F) == 8 && (d[0] >> 4) <= 7 && (d[0] * 256 + d[1]) % 31 == 0 &&
      (d[1] & 0x20) == 0)
    return Format::Deflated;
  return Format::Unknown;
}

const char* formatName(Format format) {
  switch (format) {
    case Format::Bmp:
      return "BMP";
    case Format::Gif:
      return "GIF";
    case Format::Jpeg:
      return "JPEG";
    case Format::Deflated:
      return "deflated";
    case Format::Unknown:
      break;
  }
  return "unknown";
}

namespace {

// The largest file a deflated picture may hold: a 32-bit BMP of the largest
// accepted frame, with room for its headers and palette.
constexpr std::size_t kMaxDeflatedFile = kMaxPixels * 4 + 65536;

DecodeResult decodeDeflated(std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> file;
  std::string why;
  if (!inflateAll(data, kMaxDeflatedFile, file, why)) return DecodeResult::failure(why);
  if (detectFormat(file) == Format::Deflated)
    return DecodeResult::failure("a deflated picture holds another deflated stream");
  return decode(file);
}

}  // namespace

DecodeResult decode(std::span<const std::uint8_t> data) {
  try {
    switch (detectFormat(data)) {
      case Format::Deflated:
        return decodeDeflated(data);
      case Format::Bmp:
        return decodeBmp(data);
      case Format::Gif:
        return decodeGif(data);
      case Format::Jpeg:
        return decodeJpeg(data);
      case Format::Unknown:
        break;
    }
  } catch (const std::bad_alloc&) {
    return DecodeResult::failure("out of memory while decoding the picture");
  }
  return DecodeResult::failure("not a BMP, GIF or JPEG file");
}

}  // namespace pictures
