// GIF through giflib's record-level API, so that every frame's size is
// checked before its pixels are allocated.  Frames are composited onto the
// full logical screen the way browsers play them.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

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

std::string gifError(const char* what, int code) {
  const char* text = GifErrorString(code);
  return std::string("GIF: ") + what + ": " + (text ? text : "unknown error");
}

void fillRect(Image& canvas, int left, int top, int right, int bottom, const std::uint8_t bgr[3]) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) std::memcpy(&canvas.bgr[canvas.offset(x, y)], bgr, 3);
}

// What a frame without a graphics control block gets.
constexpr GraphicsControlBlock kNoControl{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};

// The logical screen the frames are composited on, and the frames so far.
struct Screen {
  int width = 0, height = 0;
  std::uint8_t background[3] = {0, 0, 0};
  Image canvas;
  std::size_t frameBytes = 0;  // of one frame, the canvas's size
  Picture picture;
};

// The logical screen's size, checked, and its canvas in the background
// colour: empty, or why the file is refused.
std::string readScreen(const GifFileType& gif, Screen& screen) {
  screen.width = gif.SWidth;
  screen.height = gif.SHeight;
  if (!sizeAccepted(screen.width, screen.height)) return "GIF: logical screen empty or too large";

  if (const ColorMapObject* global = gif.SColorMap;
      global && gif.SBackGroundColor >= 0 && gif.SBackGroundColor < global->ColorCount) {
    const GifColorType& c = global->Colors[gif.SBackGroundColor];
    screen.background[0] = c.Blue;
    screen.background[1] = c.Green;
    screen.background[2] = c.Red;
  }
  const std::uint8_t* bg = screen.background;
  screen.canvas = Image(screen.width, screen.height, bg[0], bg[1], bg[2]);
  screen.frameBytes = screen.canvas.bgr.size();
  return {};
}

// An extension's blocks; a graphics control block is kept in `control` for
// the next frame.  Empty, or why the file is refused.
std::string readExtension(GifFileType* gif, GraphicsControlBlock& control) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
    return gifError("bad extension", gif->Error);
  bool first = true;
  while (block) {
    if (first && code == GRAPHICS_EXT_FUNC_CODE &&
        DGifExtensionToGCB(block[0], block + 1, &control) == GIF_ERROR)
      return "GIF: bad graphics control block";
    first = false;
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
      return gifError("bad extension", gif->Error);
  }
  return {};
}

// The rows in the order they were stored: interlaced frames store every
// 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
std::vector<int> storedRows(const GifImageDesc& desc) {
  std::vector<int> rowOf(static_cast<std::size_t>(desc.Height));
  if (desc.Interlace) {
    static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    std::size_t stored = 0;
    for (int pass = 0; pass < 4; ++pass)
      for (int y = kStart[pass]; y < desc.Height; y += kStep[pass]) rowOf[stored++] = y;
  } else {
    for (int y = 0; y < desc.Height; ++y) rowOf[static_cast<std::size_t>(y)] = y;
  }
  return rowOf;
}

// The part of a frame on the screen (frames may reach past its edge).
struct Clip {
  int left, top, right, bottom;
};

Clip clipOf(const GifImageDesc& desc, const Screen& screen) {
  const long long left = desc.Left, top = desc.Top;
  return Clip{static_cast<int>(std::clamp<long long>(left, 0, screen.width)),
              static_cast<int>(std::clamp<long long>(top, 0, screen.height)),
              static_cast<int>(std::clamp<long long>(left + desc.Width, 0, screen.width)),
              static_cast<int>(std::clamp<long long>(top + desc.Height, 0, screen.height))};
}

// Draws a frame's pixels (raster, in stored order) onto the screen, keeps
// the screen as the picture's next frame, then disposes of the frame as its
// control block says.
void composite(const GifImageDesc& desc, const ColorMapObject& colors,
               const GraphicsControlBlock& control, const std::vector<GifPixelType>& raster,
               Screen& screen) {
  const std::size_t frameWidth = static_cast<std::size_t>(desc.Width);
  const std::vector<int> rowOf = storedRows(desc);
  const long long left = desc.Left, top = desc.Top;
  const Clip clip = clipOf(desc, screen);
  Image& canvas = screen.canvas;

  std::optional<Image> previous;
  if (control.DisposalMode == DISPOSE_PREVIOUS) previous = canvas;

  for (std::size_t stored = 0; stored < rowOf.size(); ++stored) {
    const long long y = top + rowOf[stored];
    if (y < clip.top || y >= clip.bottom) continue;
    const GifPixelType* src = raster.data() + stored * frameWidth;
    for (int x = clip.left; x < clip.right; ++x) {
      const int index = src[x - left];
      if (index == control.TransparentColor) continue;
      std::uint8_t* out = &canvas.bgr[canvas.offset(x, static_cast<int>(y))];
      if (index < colors.ColorCount) {
        const GifColorType& c = colors.Colors[index];
        out[0] = c.Blue;
        out[1] = c.Green;
        out[2] = c.Red;
      } else {
        out[0] = out[1] = out[2] = 0;
      }
    }
  }
  screen.picture.frames.push_back(Frame{canvas, static_cast<unsigned>(control.DelayTime) * 10u});

  if (control.DisposalMode == DISPOSE_BACKGROUND)
    fillRect(canvas, clip.left, clip.top, clip.right, clip.bottom, screen.background);
  else if (previous)
    canvas = std::move(*previous);
}

// One frame: its descriptor and its pixels (into raster), checked, then
// composited.  Empty, or why the file is refused.
std::string readFrame(GifFileType* gif, const GraphicsControlBlock& control,
                      std::vector<GifPixelType>& raster, Screen& screen) {
  if (DGifGetImageDesc(gif) == GIF_ERROR) return gifError("bad image descriptor", gif->Error);
  const GifImageDesc& desc = gif->Image;
  if (!sizeAccepted(desc.Width, desc.Height)) return "GIF: frame empty or too large";
  if ((screen.picture.frames.size() + 1) * screen.frameBytes > kMaxTotalBytes)
    return "GIF: too many frames";
  const ColorMapObject* colors = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
  if (!colors) return "GIF: frame without a colour table";

  const std::size_t frameWidth = static_cast<std::size_t>(desc.Width);
  raster.assign(frameWidth * static_cast<std::size_t>(desc.Height), 0);
  if (DGifGetLine(gif, raster.data(), static_cast<int>(raster.size())) == GIF_ERROR)
    return gifError("bad frame data", gif->Error);
  composite(desc, *colors, control, raster, screen);
  return {};
}

// Every record up to the trailer: extensions, and frames composited onto
// the screen.  Empty, or why the file is refused.
std::string readRecords(GifFileType* gif, const MemoryReader& reader, Screen& screen) {
  GraphicsControlBlock control = kNoControl;
  std::vector<GifPixelType> raster;
  for (;;) {
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif, &record) == GIF_ERROR) {
      // A file that ends after a complete frame without its trailer byte
      // still plays, as it does elsewhere.
      if (reader.atEnd() && !screen.picture.frames.empty()) return {};
      return gifError("bad record", gif->Error);
    }
    if (record == TERMINATE_RECORD_TYPE) return {};

    std::string why;
    if (record == EXTENSION_RECORD_TYPE) {
      why = readExtension(gif, control);
    } else if (record != IMAGE_DESC_RECORD_TYPE) {
      why = "GIF: unexpected record";
    } else {
      why = readFrame(gif, control, raster, screen);
      control = kNoControl;
    }
    if (!why.empty()) return why;
  }
}

DecodeResult decodeChecked(std::span<const std::uint8_t> data) {
  MemoryReader reader{data.data(), data.size(), 0};
  int error = 0;
  GifHandle gif(DGifOpen(&reader, readMemory, &error));
  if (!gif) return DecodeResult::failure(gifError("cannot open", error));

  Screen screen;
  std::string why = readScreen(*gif, screen);
  if (why.empty()) why = readRecords(gif.get(), reader, screen);
  if (!why.empty()) return DecodeResult::failure(why);
  if (screen.picture.frames.empty()) return DecodeResult::failure("GIF: no frames");
  return DecodeResult::success(std::move(screen.picture));
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
