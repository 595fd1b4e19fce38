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
    case Format::Unknown:
      break;
  }
  return "unknown";
}

DecodeResult decode(std::span<const std::uint8_t> data) {
  try {
    switch (detectFormat(data)) {
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
