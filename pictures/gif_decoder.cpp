// GIF through giflib's record-level API, so that every frame's size is
// checked before its pixels are allocated.  Frames are composited onto the
// full logical screen the way browsers play them.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "pictures/image.h"

namespace pictures {
namespace {

struct MemoryReader {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos;
  bool atEnd() const { return pos >= size; }
};

int readMemory(GifFileType* gif, GifByteType* out, int length) {
  auto* reader = static_cast<MemoryReader*>(gif->UserData);
  if (!reader || length <= 0) return 0;
  const std::size_t n = std::min(static_cast<std::size_t>(length), reader->size - reader->pos);
  if (n > 0) std::memcpy(out, reader->data + reader->pos, n);
  reader->pos += n;
  return static_cast<int>(n);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int ignored = 0;
    DGifCloseFile(gif, &ignored);
  }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

DecodeResult gifError(const char* what, int code) {
  const char* text = GifErrorString(code);
  return DecodeResult::failure(std::string("GIF: ") + what + ": " + (text ? text : "unknown error"));
}

void fillRect(Image& canvas, int left, int top, int right, int bottom, const std::uint8_t bgr[3]) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) std::memcpy(&canvas.bgr[canvas.offset(x, y)], bgr, 3);
}

DecodeResult decodeChecked(std::span<const std::uint8_t> data) {
  MemoryReader reader{data.data(), data.size(), 0};
  int error = 0;
  GifHandle gif(DGifOpen(&reader, readMemory, &error));
  if (!gif) return gifError("cannot open", error);

  const int screenWidth = gif->SWidth, screenHeight = gif->SHeight;
  if (!sizeAccepted(screenWidth, screenHeight))
    return DecodeResult::failure("GIF: logical screen empty or too large");

  std::uint8_t background[3] = {0, 0, 0};
  if (const ColorMapObject* global = gif->SColorMap;
      global && gif->SBackGroundColor >= 0 && gif->SBackGroundColor < global->ColorCount) {
    const GifColorType& c = global->Colors[gif->SBackGroundColor];
    background[0] = c.Blue;
    background[1] = c.Green;
    background[2] = c.Red;
  }

  Image canvas(screenWidth, screenHeight, background[0], background[1], background[2]);
  const std::size_t frameBytes = canvas.bgr.size();
  Picture picture;
  GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
  std::vector<GifPixelType> raster;

  for (;;) {
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR) {
      // A file that ends after a complete frame without its trailer byte
      // still plays, as it does elsewhere.
      if (reader.atEnd() && !picture.frames.empty()) break;
      return gifError("bad record", gif->Error);
    }
    if (record == TERMINATE_RECORD_TYPE) break;

    if (record == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* block = nullptr;
      if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR)
        return gifError("bad extension", gif->Error);
      bool first = true;
      while (block) {
        if (first && code == GRAPHICS_EXT_FUNC_CODE &&
            DGifExtensionToGCB(block[0], block + 1, &control) == GIF_ERROR)
          return DecodeResult::failure("GIF: bad graphics control block");
        first = false;
        if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR)
          return gifError("bad extension", gif->Error);
      }
      continue;
    }

    if (record != IMAGE_DESC_RECORD_TYPE) return DecodeResult::failure("GIF: unexpected record");
    if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return gifError("bad image descriptor", gif->Error);
    const GifImageDesc& desc = gif->Image;
    if (!sizeAccepted(desc.Width, desc.Height))
      return DecodeResult::failure("GIF: frame empty or too large");
    if ((picture.frames.size() + 1) * frameBytes > kMaxTotalBytes)
      return DecodeResult::failure("GIF: too many frames");
    const ColorMapObject* colors = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (!colors) return DecodeResult::failure("GIF: frame without a colour table");

    const std::size_t frameWidth = static_cast<std::size_t>(desc.Width);
    raster.assign(frameWidth * static_cast<std::size_t>(desc.Height), 0);
    if (DGifGetLine(gif.get(), raster.data(), static_cast<int>(raster.size())) == GIF_ERROR)
      return gifError("bad frame data", gif->Error);

    // The rows in the order they were stored: interlaced frames store every
    // 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
    std::vector<int> rowOf(static_cast<std::size_t>(desc.Height));
    if (desc.Interlace) {
      static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
      std::size_t stored = 0;
      for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < desc.Height; y += kStep[pass]) rowOf[stored++] = y;
    } else {
      for (int y = 0; y < desc.Height; ++y) rowOf[static_cast<std::size_t>(y)] = y;
    }

    // The part of the frame on the screen (frames may reach past its edge).
    const long long left = desc.Left, top = desc.Top;
    const int clipLeft = static_cast<int>(std::clamp<long long>(left, 0, screenWidth));
    const int clipTop = static_cast<int>(std::clamp<long long>(top, 0, screenHeight));
    const int clipRight = static_cast<int>(std::clamp<long long>(left + desc.Width, 0, screenWidth));
    const int clipBottom =
        static_cast<int>(std::clamp<long long>(top + desc.Height, 0, screenHeight));

    std::optional<Image> previous;
    if (control.DisposalMode == DISPOSE_PREVIOUS) previous = canvas;

    for (std::size_t stored = 0; stored < rowOf.size(); ++stored) {
      const long long y = top + rowOf[stored];
      if (y < clipTop || y >= clipBottom) continue;
      const GifPixelType* src = raster.data() + stored * frameWidth;
      for (int x = clipLeft; x < clipRight; ++x) {
        const int index = src[x - left];
        if (index == control.TransparentColor) continue;
        std::uint8_t* out = &canvas.bgr[canvas.offset(x, static_cast<int>(y))];
        if (index < colors->ColorCount) {
          const GifColorType& c = colors->Colors[index];
          out[0] = c.Blue;
          out[1] = c.Green;
          out[2] = c.Red;
        } else {
          out[0] = out[1] = out[2] = 0;
        }
      }
    }
    picture.frames.push_back(Frame{canvas, static_cast<unsigned>(control.DelayTime) * 10u});

    if (control.DisposalMode == DISPOSE_BACKGROUND)
      fillRect(canvas, clipLeft, clipTop, clipRight, clipBottom, background);
    else if (previous)
      canvas = std::move(*previous);
    control = GraphicsControlBlock{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
  }
  if (picture.frames.empty()) return DecodeResult::failure("GIF: no frames");
  return DecodeResult::success(std::move(picture));
}

}  // namespace

DecodeResult decodeGif(std::span<const std::uint8_t> data) {
  try {
    return decodeChecked(data);
  } catch (const std::bad_alloc&) {
    return DecodeResult::failure("GIF: out of memory");
  }
}

}  // namespace pictures
