// One 24-bit image type for every picture the wizard shows, and the
// decoders that fill it from the bytes of a BMP, GIF or JPEG file.
//
// Decoding never throws and never reads outside the buffer it is given: a
// malformed, truncated or oversized file gives a result with an error text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pictures {

// Top-down rows, 3 bytes per pixel in the order blue, green, red, and no
// padding between rows: the pixel (x, y) starts at (y * width + x) * 3.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bgr;

  Image() = default;
  // Filled with one colour.
  Image(int width, int height, std::uint8_t blue = 0, std::uint8_t green = 0,
        std::uint8_t red = 0);

  bool empty() const { return width <= 0 || height <= 0; }
  std::size_t offset(int x, int y) const {
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
            static_cast<std::size_t>(x)) * 3;
  }
};

// One frame of a picture; a still picture has one frame with delay 0.
struct Frame {
  Image image;
  unsigned delayMs = 0;  // how long the frame stays before the next one
};

// Every frame has the full size of the picture (animations are composited).
struct Picture {
  std::vector<Frame> frames;
  int width() const { return frames.empty() ? 0 : frames.front().image.width; }
  int height() const { return frames.empty() ? 0 : frames.front().image.height; }
};

// What a decoder gives back: a picture, or why there is none.
struct DecodeResult {
  std::optional<Picture> picture;  // set on success
  std::string error;               // empty on success

  bool ok() const { return picture.has_value(); }
  explicit operator bool() const { return ok(); }
  static DecodeResult failure(std::string why) { return {std::nullopt, std::move(why)}; }
  static DecodeResult success(Picture p) { return {std::move(p), {}}; }
};

// Deflated: a zlib stream (RFC 1950) holding one BMP, GIF or JPEG file, as
// the exe stores its bitmaps.
enum class Format { Unknown, Bmp, Gif, Jpeg, Deflated };

// Largest picture accepted, so that a crafted header cannot ask for
// gigabytes: each side at most kMaxSide pixels, at most kMaxPixels per frame
// and at most kMaxTotalBytes of decoded pixels over all frames.
inline constexpr int kMaxSide = 16384;
inline constexpr std::size_t kMaxPixels = std::size_t{1} << 24;
inline constexpr std::size_t kMaxTotalBytes = std::size_t{1} << 27;

// True when a width x height frame is within the limits above.
bool sizeAccepted(long long width, long long height);

// The format, from the first bytes ("BM", "GIF87a"/"GIF89a", FF D8 FF, or a
// zlib header: deflate with a window of at most 32 KiB and a valid check).
Format detectFormat(std::span<const std::uint8_t> data);
const char* formatName(Format format);

// Uncompressed BMP: 1, 4 and 8-bit palettized, 16, 24 and 32-bit (BI_RGB and
// BI_BITFIELDS), bottom-up and top-down, Windows and OS/2 headers.
DecodeResult decodeBmp(std::span<const std::uint8_t> data);
// GIF with every frame composited onto the full logical screen, honouring
// transparency, delays and the disposal methods.  Areas no frame has drawn
// yet, and areas disposed to the background, take the background colour of
// the global colour table (black when there is none).
DecodeResult decodeGif(std::span<const std::uint8_t> data);
// Baseline and progressive JPEG; greyscale, YCbCr and CMYK/YCCK.
DecodeResult decodeJpeg(std::span<const std::uint8_t> data);
// Any of the three, chosen by detectFormat, also when deflated (once).
DecodeResult decode(std::span<const std::uint8_t> data);

// The bytes a zlib stream holds, at most `limit` of them; false with the
// reason in `why` when the stream is damaged, truncated or longer.
bool inflateAll(std::span<const std::uint8_t> data, std::size_t limit,
                std::vector<std::uint8_t>& out, std::string& why);

}  // namespace pictures
