// The picture decoders: BMP built byte by byte, GIF encoded with giflib and
// JPEG encoded with libjpeg here in the test, damaged copies of each, and
// every picture in assets/.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
#include <zlib.h>

#include "pictures/image.h"

namespace {

using pictures::DecodeResult;
using pictures::Image;
using Bytes = std::vector<std::uint8_t>;
using Bgr = std::array<int, 3>;  // blue, green, red

Bgr pixel(const Image& image, int x, int y) {
  const std::size_t at = image.offset(x, y);
  return {image.bgr.at(at), image.bgr.at(at + 1), image.bgr.at(at + 2)};
}

DecodeResult decodeBytes(const Bytes& bytes) { return pictures::decode(bytes); }

// The image is well formed: the pixel buffer matches the size.
void expectConsistent(const DecodeResult& result) {
  if (!result) return;
  ASSERT_FALSE(result.picture->frames.empty());
  for (const auto& frame : result.picture->frames) {
    EXPECT_GT(frame.image.width, 0);
    EXPECT_GT(frame.image.height, 0);
    EXPECT_EQ(frame.image.bgr.size(), static_cast<std::size_t>(frame.image.width) *
                                          static_cast<std::size_t>(frame.image.height) * 3);
  }
}

void put16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(Bytes& b, std::uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}
void set32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// ---------------------------------------------------------------- BMP

struct BmpLayout {
  int width = 0;
  int height = 0;  // positive; topDown decides the sign written
  int bpp = 24;
  bool topDown = false;
  std::vector<Bgr> palette = {};
  std::uint32_t compression = 0;
  std::vector<std::uint32_t> masks = {};  // red, green, blue, written after the header
};

// rows: top-down, each the packed pixel bytes of one row without padding.
Bytes makeBmp(const BmpLayout& l, const std::vector<Bytes>& rows) {
  const std::uint32_t stride = (static_cast<std::uint32_t>(l.width * l.bpp) + 31) / 32 * 4;
  const std::uint32_t offBits = static_cast<std::uint32_t>(
      14 + 40 + l.masks.size() * 4 + l.palette.size() * 4);
  Bytes b{'B', 'M'};
  put32(b, offBits + stride * static_cast<std::uint32_t>(l.height));
  put32(b, 0);
  put32(b, offBits);
  put32(b, 40);
  put32(b, static_cast<std::uint32_t>(l.width));
  put32(b, static_cast<std::uint32_t>(l.topDown ? -l.height : l.height));
  put16(b, 1);
  put16(b, static_cast<std::uint32_t>(l.bpp));
  put32(b, l.compression);
  put32(b, stride * static_cast<std::uint32_t>(l.height));
  put32(b, 2835);
  put32(b, 2835);
  put32(b, static_cast<std::uint32_t>(l.palette.size()));
  put32(b, 0);
  for (auto m : l.masks) put32(b, m);
  for (const auto& c : l.palette) {
    b.push_back(static_cast<std::uint8_t>(c[0]));
    b.push_back(static_cast<std::uint8_t>(c[1]));
    b.push_back(static_cast<std::uint8_t>(c[2]));
    b.push_back(0);
  }
  for (int i = 0; i < l.height; ++i) {
    const Bytes& row = rows.at(static_cast<std::size_t>(l.topDown ? i : l.height - 1 - i));
    Bytes padded = row;
    padded.resize(stride, 0xEE);  // padding that must be ignored
    b.insert(b.end(), padded.begin(), padded.end());
  }
  return b;
}

// A 3 x 2 picture, six different colours (rows of 9 bytes, padded to 12).
const std::vector<Bgr> kSix = {{1, 2, 3},   {40, 50, 60},  {255, 0, 128},
                               {7, 8, 9},   {200, 100, 0}, {0, 255, 255}};
std::vector<Bytes> sixRows() {
  std::vector<Bytes> rows(2);
  for (int i = 0; i < 6; ++i)
    for (int c = 0; c < 3; ++c) rows[static_cast<std::size_t>(i / 3)].push_back(static_cast<std::uint8_t>(kSix[static_cast<std::size_t>(i)][static_cast<std::size_t>(c)]));
  return rows;
}

void expectSix(const DecodeResult& r) {
  ASSERT_TRUE(r) << r.error;
  ASSERT_EQ(r.picture->frames.size(), 1u);
  const Image& image = r.picture->frames[0].image;
  ASSERT_EQ(image.width, 3);
  ASSERT_EQ(image.height, 2);
  EXPECT_EQ(r.picture->frames[0].delayMs, 0u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(pixel(image, i % 3, i / 3), kSix[static_cast<std::size_t>(i)]) << i;
}

TEST(BmpDecoder, TwentyFourBitBottomUpAndTopDownGiveTheSamePixels) {
  BmpLayout layout{.width = 3, .height = 2};
  const Bytes bottomUp = makeBmp(layout, sixRows());
  EXPECT_EQ(pictures::detectFormat(bottomUp), pictures::Format::Bmp);
  expectSix(pictures::decodeBmp(bottomUp));
  layout.topDown = true;
  expectSix(pictures::decodeBmp(makeBmp(layout, sixRows())));
  expectSix(decodeBytes(makeBmp(layout, sixRows())));
}

TEST(BmpDecoder, PalettizedDepths) {
  const std::vector<Bgr> palette = {{10, 20, 30}, {200, 150, 100}, {0, 0, 255}, {255, 255, 255}};
  {  // 8-bit, 5 x 3, rows padded to 8; index 9 is beyond the palette: black
    BmpLayout layout{.width = 5, .height = 3, .bpp = 8, .palette = palette};
    std::vector<Bytes> rows = {{0, 1, 2, 3, 0}, {3, 3, 9, 1, 1}, {2, 1, 0, 2, 3}};
    DecodeResult r = pictures::decodeBmp(makeBmp(layout, rows));
    ASSERT_TRUE(r) << r.error;
    const Image& image = r.picture->frames.at(0).image;
    ASSERT_EQ(image.width, 5);
    ASSERT_EQ(image.height, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) {
        const unsigned index = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
        const Bgr want = index < palette.size() ? palette[index] : Bgr{0, 0, 0};
        EXPECT_EQ(pixel(image, x, y), want) << x << "," << y;
      }
    layout.topDown = true;
    DecodeResult again = pictures::decodeBmp(makeBmp(layout, rows));
    ASSERT_TRUE(again) << again.error;
    EXPECT_EQ(again.picture->frames.at(0).image.bgr, image.bgr);
  }
  {  // 4-bit, 3 x 1: high nibble first
    BmpLayout layout{.width = 3, .height = 1, .bpp = 4, .palette = palette};
    DecodeResult r = pictures::decodeBmp(makeBmp(layout, {{0x21, 0x30}}));
    ASSERT_TRUE(r) << r.error;
    const Image& image = r.picture->frames.at(0).image;
    EXPECT_EQ(pixel(image, 0, 0), palette[2]);
    EXPECT_EQ(pixel(image, 1, 0), palette[1]);
    EXPECT_EQ(pixel(image, 2, 0), palette[3]);
  }
  {  // 1-bit, 10 x 1: leftmost pixel in the highest bit
    BmpLayout layout{.width = 10, .height = 1, .bpp = 1, .palette = {palette[0], palette[3]}};
    DecodeResult r = pictures::decodeBmp(makeBmp(layout, {{0xA3, 0x40}}));
    ASSERT_TRUE(r) << r.error;
    const Image& image = r.picture->frames.at(0).image;
    const int bits[10] = {1, 0, 1, 0, 0, 0, 1, 1, 0, 1};
    for (int x = 0; x < 10; ++x)
      EXPECT_EQ(pixel(image, x, 0), bits[x] ? palette[3] : palette[0]) << x;
  }
}

TEST(BmpDecoder, SixteenAndThirtyTwoBitPixels) {
  {  // 32-bit, default masks (x8r8g8b8)
    BmpLayout layout{.width = 2, .height = 1, .bpp = 32};
    DecodeResult r = pictures::decodeBmp(makeBmp(layout, {{1, 2, 3, 99, 250, 251, 252, 0}}));
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(pixel(r.picture->frames[0].image, 0, 0), (Bgr{1, 2, 3}));
    EXPECT_EQ(pixel(r.picture->frames[0].image, 1, 0), (Bgr{250, 251, 252}));
  }
  {  // 16-bit 5-6-5 bit fields: white, pure red, pure green
    BmpLayout layout{.width = 3, .height = 1, .bpp = 16, .compression = 3,
                     .masks = {0xF800, 0x07E0, 0x001F}};
    DecodeResult r = pictures::decodeBmp(makeBmp(layout, {{0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07}}));
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(pixel(r.picture->frames[0].image, 0, 0), (Bgr{255, 255, 255}));
    EXPECT_EQ(pixel(r.picture->frames[0].image, 1, 0), (Bgr{0, 0, 255}));
    EXPECT_EQ(pixel(r.picture->frames[0].image, 2, 0), (Bgr{0, 255, 0}));
  }
}

TEST(BmpDecoder, EveryTruncationFailsCleanly) {
  const Bytes full = makeBmp({.width = 5, .height = 3, .bpp = 8, .palette = {{1, 2, 3}, {4, 5, 6}}},
                             {{0, 1, 0, 1, 0}, {1, 1, 1, 1, 1}, {0, 0, 0, 0, 0}});
  ASSERT_TRUE(pictures::decodeBmp(full));
  for (std::size_t n = 0; n < full.size(); ++n) {
    const Bytes part(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
    DecodeResult r = pictures::decodeBmp(part);
    EXPECT_FALSE(r) << "prefix of " << n << " bytes";
    EXPECT_FALSE(r.error.empty());
  }
}

TEST(BmpDecoder, MalformedHeadersAreRejected) {
  const Bytes good = makeBmp({.width = 3, .height = 2}, sixRows());
  auto withField = [&](std::size_t at, std::uint32_t v) {
    Bytes b = good;
    set32(b, at, v);
    return b;
  };
  auto expectFailure = [](const Bytes& b, const std::string& why) {
    DecodeResult r = pictures::decodeBmp(b);
    EXPECT_FALSE(r);
    EXPECT_NE(r.error.find(why), std::string::npos) << r.error;
  };
  expectFailure(withField(14, 20), "header size");                // no such header
  expectFailure(withField(18, 0), "size");                        // zero width
  expectFailure(withField(18, 0x80000000u), "size");              // negative width
  expectFailure(withField(22, 0x80000000u), "too large");         // height INT_MIN
  expectFailure(withField(18, 40000), "too large");               // absurd width
  expectFailure(withField(22, 4000), "truncated");                // taller than the data
  expectFailure(withField(10, 0xFFFFFFF0u), "truncated");         // pixels past the end
  expectFailure(withField(30, 1), "compressed");                  // RLE8
  Bytes depth = good;
  depth[28] = 7;
  expectFailure(depth, "bit depth");
  Bytes signature = good;
  signature[1] = 'X';
  expectFailure(signature, "signature");
  // 4000 x 4000 is within the limits, but the file holds 2 rows: refused
  // before 48 MB are allocated.
  Bytes big = withField(18, 4000);
  set32(big, 22, 4000);
  expectFailure(big, "truncated");
}

// ---------------------------------------------------------------- GIF

struct GifFrameIn {
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<std::uint8_t> indices = {};  // width * height, in the order written
  int delayCs = 0;
  int disposal = DISPOSAL_UNSPECIFIED;
  int transparent = NO_TRANSPARENT_COLOR;
  bool interlace = false;
  std::vector<GifColorType> local = {};  // a power of two entries, or none
};

int writeToVector(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

Bytes makeGif(int width, int height, const std::vector<GifColorType>& global, int background,
              const std::vector<GifFrameIn>& frames) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, writeToVector, &error);
  EXPECT_NE(gif, nullptr) << GifErrorString(error);
  if (!gif) return {};
  EGifSetGifVersion(gif, true);
  ColorMapObject* globalMap =
      global.empty() ? nullptr : GifMakeMapObject(static_cast<int>(global.size()), global.data());
  EXPECT_EQ(EGifPutScreenDesc(gif, width, height, 8, background, globalMap), GIF_OK);
  GifFreeMapObject(globalMap);
  for (const auto& f : frames) {
    GraphicsControlBlock gcb{f.disposal, false, f.delayCs, f.transparent};
    GifByteType ext[4];
    const size_t len = EGifGCBToExtension(&gcb, ext);
    EXPECT_EQ(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(len), ext), GIF_OK);
    ColorMapObject* localMap =
        f.local.empty() ? nullptr : GifMakeMapObject(static_cast<int>(f.local.size()), f.local.data());
    EXPECT_EQ(EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlace, localMap), GIF_OK);
    GifFreeMapObject(localMap);
    std::vector<GifPixelType> pixels(f.indices.begin(), f.indices.end());
    EXPECT_EQ(pixels.size(), static_cast<std::size_t>(f.width * f.height));
    EXPECT_EQ(EGifPutLine(gif, pixels.data(), static_cast<int>(pixels.size())), GIF_OK);
  }
  EXPECT_EQ(EGifCloseFile(gif, &error), GIF_OK) << GifErrorString(error);
  return out;
}

constexpr GifColorType kWhite{255, 255, 255}, kRed{255, 0, 0}, kGreen{0, 255, 0},
    kBlue{0, 0, 255}, kGrey{212, 208, 200}, kYellow{255, 255, 0};
Bgr bgrOf(GifColorType c) { return {c.Blue, c.Green, c.Red}; }

void expectFilled(const Image& image, Bgr colour) {
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) ASSERT_EQ(pixel(image, x, y), colour) << x << "," << y;
}

Bytes threeFrames() {
  auto full = [](std::uint8_t index, int delay) {
    return GifFrameIn{.width = 8, .height = 6, .indices = std::vector<std::uint8_t>(48, index),
                      .delayCs = delay};
  };
  GifFrameIn third = full(1, 25);
  third.local = {kYellow, kBlue};  // its own colour table
  return makeGif(8, 6, {kGrey, kRed, kGreen, kWhite}, 0, {full(1, 5), full(2, 10), third});
}

TEST(GifDecoder, AnimationGivesEveryFrameWithItsDelay) {
  const Bytes gif = threeFrames();
  EXPECT_EQ(pictures::detectFormat(gif), pictures::Format::Gif);
  DecodeResult r = decodeBytes(gif);
  ASSERT_TRUE(r) << r.error;
  const auto& frames = r.picture->frames;
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(r.picture->width(), 8);
  EXPECT_EQ(r.picture->height(), 6);
  const unsigned delays[] = {50, 100, 250};
  const Bgr colours[] = {bgrOf(kRed), bgrOf(kGreen), bgrOf(kBlue)};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(frames[i].image.width, 8);
    EXPECT_EQ(frames[i].image.height, 6);
    EXPECT_EQ(frames[i].delayMs, delays[i]) << i;
    expectFilled(frames[i].image, colours[i]);
  }
}

TEST(GifDecoder, FramesAreCompositedWithTransparencyAndDisposal) {
  // 0 white (background), 1 red, 2 green, 3 blue.
  const std::vector<GifFrameIn> frames = {
      {.width = 4, .height = 4, .indices = std::vector<std::uint8_t>(16, 1), .delayCs = 1,
       .disposal = DISPOSE_DO_NOT},
      // 2 x 2 at (1,1), its top-right pixel transparent, then cleared to the background.
      {.left = 1, .top = 1, .width = 2, .height = 2, .indices = {2, 3, 2, 2}, .delayCs = 2,
       .disposal = DISPOSE_BACKGROUND, .transparent = 3},
      // 2 x 2 blue at (2,2), then the screen as it was before it.
      {.left = 2, .top = 2, .width = 2, .height = 2, .indices = {3, 3, 3, 3}, .delayCs = 3,
       .disposal = DISPOSE_PREVIOUS},
      // 3 x 1 green at (3,0): reaches past the right edge.
      {.left = 3, .top = 0, .width = 3, .height = 1, .indices = {2, 2, 2}, .delayCs = 4},
  };
  DecodeResult r = pictures::decodeGif(makeGif(4, 4, {kWhite, kRed, kGreen, kBlue}, 0, frames));
  ASSERT_TRUE(r) << r.error;
  ASSERT_EQ(r.picture->frames.size(), 4u);
  const Bgr W = bgrOf(kWhite), R = bgrOf(kRed), G = bgrOf(kGreen), B = bgrOf(kBlue);
  const std::vector<std::vector<Bgr>> want = {
      {R, R, R, R, R, R, R, R, R, R, R, R, R, R, R, R},
      {R, R, R, R, R, G, R, R, R, G, G, R, R, R, R, R},
      {R, R, R, R, R, W, W, R, R, W, B, B, R, R, B, B},
      {R, R, R, G, R, W, W, R, R, W, W, R, R, R, R, R},
  };
  for (std::size_t f = 0; f < 4; ++f) {
    const Image& image = r.picture->frames[f].image;
    ASSERT_EQ(image.width, 4);
    ASSERT_EQ(image.height, 4);
    EXPECT_EQ(r.picture->frames[f].delayMs, 10u * static_cast<unsigned>(f + 1));
    for (int i = 0; i < 16; ++i)
      EXPECT_EQ(pixel(image, i % 4, i / 4), want[f][static_cast<std::size_t>(i)])
          << "frame " << f << " at " << i % 4 << "," << i / 4;
  }
}

TEST(GifDecoder, InterlacedRowsLandInPlaceAndUndrawnAreaIsBackground) {
  // 2 x 10 frame on a 3 x 10 screen; row y has colour y.  Interlaced files
  // store rows 0 8 | 4 | 2 6 | 1 3 5 7 9.
  std::vector<GifColorType> palette(16);
  for (int i = 0; i < 16; ++i)
    palette[static_cast<std::size_t>(i)] = {static_cast<GifByteType>(i * 10), static_cast<GifByteType>(i),
                                            static_cast<GifByteType>(255 - i)};
  const int order[] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
  GifFrameIn frame{.width = 2, .height = 10, .interlace = true};
  for (int y : order) frame.indices.insert(frame.indices.end(), 2, static_cast<std::uint8_t>(y));
  DecodeResult r = pictures::decodeGif(makeGif(3, 10, palette, 12, {frame}));
  ASSERT_TRUE(r) << r.error;
  const Image& image = r.picture->frames.at(0).image;
  for (int y = 0; y < 10; ++y) {
    EXPECT_EQ(pixel(image, 0, y), bgrOf(palette[static_cast<std::size_t>(y)])) << y;
    EXPECT_EQ(pixel(image, 1, y), bgrOf(palette[static_cast<std::size_t>(y)])) << y;
    EXPECT_EQ(pixel(image, 2, y), bgrOf(palette[12])) << y;
  }
}

TEST(GifDecoder, TruncatedFilesFailOrKeepOnlyCompleteFrames) {
  const Bytes full = threeFrames();
  DecodeResult whole = pictures::decodeGif(full);
  ASSERT_TRUE(whole) << whole.error;
  // Without only the trailer byte the animation is complete.
  DecodeResult noTrailer = pictures::decodeGif(Bytes(full.begin(), full.end() - 1));
  ASSERT_TRUE(noTrailer) << noTrailer.error;
  EXPECT_EQ(noTrailer.picture->frames.size(), 3u);
  std::size_t failures = 0;
  for (std::size_t n = 0; n + 1 < full.size(); ++n) {
    DecodeResult r = pictures::decodeGif(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n)));
    if (!r) {
      ++failures;
      EXPECT_FALSE(r.error.empty());
      continue;
    }
    // Cut between two frames: the frames before the cut, unchanged.
    ASSERT_LT(r.picture->frames.size(), 3u) << n;
    for (std::size_t i = 0; i < r.picture->frames.size(); ++i)
      EXPECT_EQ(r.picture->frames[i].image.bgr, whole.picture->frames[i].image.bgr);
  }
  EXPECT_GT(failures, full.size() * 9 / 10);
}

TEST(GifDecoder, CorruptFilesFailCleanly) {
  const Bytes good = threeFrames();
  {  // absurd logical screen: refused before the canvas is allocated
    Bytes b = good;
    b[6] = b[7] = b[8] = b[9] = 0xFF;
    DecodeResult r = pictures::decodeGif(b);
    EXPECT_FALSE(r);
    EXPECT_NE(r.error.find("too large"), std::string::npos) << r.error;
  }
  {  // empty logical screen
    Bytes b = good;
    b[6] = b[7] = 0;
    EXPECT_FALSE(pictures::decodeGif(b));
  }
  {  // a frame without any colour table: giflib will not write one, so the
     // global table (2 entries, 6 bytes after the screen descriptor) is cut out
    GifFrameIn frame{.width = 2, .height = 2, .indices = {0, 1, 1, 0}};
    Bytes b = makeGif(2, 2, {kRed, kBlue}, 0, {frame});
    ASSERT_TRUE(pictures::decodeGif(b));
    ASSERT_EQ(b[10] & 0x87, 0x80);
    b[10] &= 0x7F;
    b.erase(b.begin() + 13, b.begin() + 19);
    DecodeResult r = pictures::decodeGif(b);
    EXPECT_FALSE(r);
    EXPECT_NE(r.error.find("colour table"), std::string::npos) << r.error;
  }
  // Every byte flipped in turn: a failure or a well-formed picture.
  for (std::size_t i = 6; i < good.size(); ++i) {
    Bytes b = good;
    b[i] ^= 0x5A;
    expectConsistent(pictures::decodeGif(b));
  }
  EXPECT_FALSE(pictures::decodeGif(Bytes{'G', 'I', 'F', '8', '9', 'a'}));
  EXPECT_FALSE(pictures::decodeGif(Bytes{}));
}

// ---------------------------------------------------------------- JPEG

Bytes makeJpeg(const Image& image, int quality, bool progressive, bool grey) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(image.width);
  cinfo.image_height = static_cast<JDIMENSION>(image.height);
  cinfo.input_components = grey ? 1 : 3;
  cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row;
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = static_cast<int>(cinfo.next_scanline);
    row.clear();
    for (int x = 0; x < image.width; ++x) {
      const Bgr p = pixel(image, x, y);
      if (grey) row.push_back(static_cast<JSAMPLE>(p[1]));
      else row.insert(row.end(), {static_cast<JSAMPLE>(p[0]), static_cast<JSAMPLE>(p[1]), static_cast<JSAMPLE>(p[2])});
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  Bytes out(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return out;
}

// 16 x 16 in four flat 8 x 8 blocks, so the colours survive compression.
const Bgr kQuadrants[4] = {{20, 60, 220}, {230, 40, 30}, {40, 200, 60}, {250, 250, 250}};
Image quadrants() {
  Image image(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      for (int c = 0; c < 3; ++c)
        image.bgr[image.offset(x, y) + static_cast<std::size_t>(c)] =
            static_cast<std::uint8_t>(kQuadrants[(y / 8) * 2 + x / 8][static_cast<std::size_t>(c)]);
  return image;
}

void expectNear(const Image& image, int x, int y, Bgr want, int tolerance) {
  const Bgr got = pixel(image, x, y);
  for (int c = 0; c < 3; ++c)
    EXPECT_NEAR(got[static_cast<std::size_t>(c)], want[static_cast<std::size_t>(c)], tolerance)
        << "channel " << c << " at " << x << "," << y;
}

TEST(JpegDecoder, BaselineAndProgressiveColourPictures) {
  for (bool progressive : {false, true}) {
    SCOPED_TRACE(progressive ? "progressive" : "baseline");
    const Bytes jpeg = makeJpeg(quadrants(), 95, progressive, false);
    EXPECT_EQ(pictures::detectFormat(jpeg), pictures::Format::Jpeg);
    DecodeResult r = decodeBytes(jpeg);
    ASSERT_TRUE(r) << r.error;
    ASSERT_EQ(r.picture->frames.size(), 1u);
    const Image& image = r.picture->frames[0].image;
    ASSERT_EQ(image.width, 16);
    ASSERT_EQ(image.height, 16);
    for (int q = 0; q < 4; ++q) {
      const int x0 = (q % 2) * 8, y0 = (q / 2) * 8;
      for (int y = y0 + 2; y < y0 + 6; ++y)
        for (int x = x0 + 2; x < x0 + 6; ++x) expectNear(image, x, y, kQuadrants[q], 12);
    }
  }
}

TEST(JpegDecoder, GreyscaleGivesEqualChannels) {
  Image ramp(24, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 24; ++x)
      std::memset(&ramp.bgr[ramp.offset(x, y)], (x / 8) * 100 + 20, 3);  // 20, 120, 220
  DecodeResult r = pictures::decodeJpeg(makeJpeg(ramp, 95, false, true));
  ASSERT_TRUE(r) << r.error;
  const Image& image = r.picture->frames.at(0).image;
  ASSERT_EQ(image.width, 24);
  ASSERT_EQ(image.height, 8);
  for (int x = 2; x < 24; x += 8) {
    const Bgr p = pixel(image, x + 2, 4);
    EXPECT_EQ(p[0], p[1]);
    EXPECT_EQ(p[1], p[2]);
    EXPECT_NEAR(p[0], (x / 8) * 100 + 20, 4);
  }
}

TEST(JpegDecoder, TruncatedAndCorruptDataFailCleanly) {
  const Bytes good = makeJpeg(quadrants(), 90, false, false);
  ASSERT_TRUE(pictures::decodeJpeg(good));
  for (std::size_t n = 0; n < good.size(); ++n) {
    DecodeResult r = pictures::decodeJpeg(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)));
    EXPECT_FALSE(r) << "prefix of " << n << " bytes";
    EXPECT_FALSE(r.error.empty());
  }
  const Bytes progressive = makeJpeg(quadrants(), 90, true, false);
  for (std::size_t n = 0; n < progressive.size(); n += 3)
    EXPECT_FALSE(pictures::decodeJpeg(Bytes(progressive.begin(), progressive.begin() + static_cast<std::ptrdiff_t>(n))))
        << "progressive prefix of " << n << " bytes";

  // Every byte flipped in turn: a failure or a well-formed picture.
  for (std::size_t i = 2; i < good.size(); ++i) {
    Bytes b = good;
    b[i] ^= 0xA5;
    expectConsistent(pictures::decodeJpeg(b));
  }
  // A frame header asking for 20000 x 20000 pixels is refused.
  Bytes huge = good;
  bool patched = false;
  for (std::size_t i = 2; i + 8 < huge.size(); ++i)
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
      huge[i + 5] = huge[i + 7] = 20000 >> 8;
      huge[i + 6] = huge[i + 8] = 20000 & 0xFF;
      patched = true;
      break;
    }
  ASSERT_TRUE(patched);
  DecodeResult r = pictures::decodeJpeg(huge);
  EXPECT_FALSE(r);
  EXPECT_NE(r.error.find("too large"), std::string::npos) << r.error;
  // A start marker and then noise.
  Bytes noise{0xFF, 0xD8, 0xFF};
  for (int i = 0; i < 200; ++i) noise.push_back(static_cast<std::uint8_t>(i * 37 + 11));
  EXPECT_FALSE(pictures::decodeJpeg(noise));
}

// ---------------------------------------------------------------- dispatch

TEST(PictureFormat, DetectedFromTheFirstBytes) {
  using pictures::Format;
  EXPECT_EQ(pictures::detectFormat(Bytes{'B', 'M', 0}), Format::Bmp);
  EXPECT_EQ(pictures::detectFormat(Bytes{'G', 'I', 'F', '8', '7', 'a'}), Format::Gif);
  EXPECT_EQ(pictures::detectFormat(Bytes{'G', 'I', 'F', '8', '9', 'a'}), Format::Gif);
  EXPECT_EQ(pictures::detectFormat(Bytes{'G', 'I', 'F', '8', '8', 'a'}), Format::Unknown);
  EXPECT_EQ(pictures::detectFormat(Bytes{0xFF, 0xD8, 0xFF, 0xE0}), Format::Jpeg);
  EXPECT_EQ(pictures::detectFormat(Bytes{0xFF, 0xD8}), Format::Unknown);
  EXPECT_EQ(pictures::detectFormat(Bytes{'B'}), Format::Unknown);
  EXPECT_EQ(pictures::detectFormat(Bytes{}), Format::Unknown);
  EXPECT_EQ(pictures::detectFormat(Bytes{0x89, 'P', 'N', 'G'}), Format::Unknown);
  for (const Bytes& b : {Bytes{}, Bytes{0x89, 'P', 'N', 'G', 13, 10, 26, 10}, Bytes{'B', 'M'}}) {
    DecodeResult r = pictures::decode(b);
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.error.empty());
  }
}

// ---------------------------------------------------------------- deflated

Bytes deflated(const Bytes& plain) {
  uLongf size = compressBound(plain.size());
  Bytes out(size);
  EXPECT_EQ(compress2(out.data(), &size, plain.data(), plain.size(), 9), Z_OK);
  out.resize(size);
  return out;
}

TEST(DeflatedPictures, DamagedNestedOrOverlongStreamsAreRefused) {
  const Bytes good = deflated(makeBmp(BmpLayout{.width = 3, .height = 2}, sixRows()));
  EXPECT_EQ(pictures::detectFormat(good), pictures::Format::Deflated);
  expectSix(pictures::decode(good));

  Bytes cut(good.begin(), good.end() - 6);
  Bytes flipped = good;
  flipped[good.size() / 2] ^= 0x55;
  Bytes trailing = good;
  trailing.push_back(0);
  for (const Bytes& bad : {cut, flipped, trailing, deflated(good), deflated(Bytes(100, 'x'))}) {
    DecodeResult r = pictures::decode(bad);
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.error.empty());
  }
  // A stream that would inflate past its limit stops there.
  Bytes out;
  std::string why;
  EXPECT_FALSE(pictures::inflateAll(deflated(Bytes(1 << 20, 0)), 1 << 16, out, why));
  EXPECT_LE(out.size(), std::size_t{1} << 16);
  EXPECT_NE(why.find("more than"), std::string::npos) << why;
}

// ---------------------------------------------------------------- assets

struct AssetSize {
  int width, height;
  std::size_t frames;
};

TEST(PictureAssets, EveryPictureDecodesWithItsSize) {
  const std::filesystem::path assets =
      std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "assets";
  ASSERT_TRUE(std::filesystem::exists(assets / "README.md")) << assets;
  const std::map<std::string, AssetSize> expected = {
      {"banner.bmp", {150, 339, 1}},         {"header.jpg", {41, 36, 1}},
      {"server.gif", {72, 45, 22}},          {"printer.bmp", {72, 45, 1}},
      {"help_glyph.bmp", {16, 16, 1}},       {"noprn_printers.bmp", {250, 150, 1}},
      {"addprn_local.bmp", {250, 60, 1}},    {"addprn_ports.bmp", {250, 96, 1}},
      {"cd_ports.bmp", {230, 120, 1}},       {"neterror_tcpip.bmp", {250, 150, 1}},
      {"lexmark_options.bmp", {200, 170, 1}}, {"lexmark98_error.bmp", {180, 59, 1}},
      {"list_server.bmp", {16, 16, 1}},      {"list_printer.bmp", {16, 16, 1}},
      {"list_printer_remote.bmp", {16, 16, 1}}, {"test_logo.bmp", {400, 79, 1}},
      {"test_glyph.bmp", {144, 126, 1}},
  };
  std::map<std::string, pictures::Picture> decoded;
  for (const auto& entry : std::filesystem::directory_iterator(assets)) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".bmp" && ext != ".gif" && ext != ".jpg") continue;
    const std::string name = entry.path().filename().string();
    std::ifstream in(entry.path(), std::ios::binary);
    const Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    DecodeResult r = pictures::decode(bytes);
    ASSERT_TRUE(r) << name << ": " << r.error;
    // Deflated, as the exe stores it, the picture is the same, pixel for pixel.
    DecodeResult packed = pictures::decode(deflated(bytes));
    ASSERT_TRUE(packed) << name << ": " << packed.error;
    ASSERT_EQ(packed.picture->frames.size(), r.picture->frames.size()) << name;
    for (std::size_t i = 0; i < r.picture->frames.size(); ++i)
      EXPECT_EQ(packed.picture->frames[i].image.bgr, r.picture->frames[i].image.bgr) << name;
    auto want = expected.find(name);
    ASSERT_NE(want, expected.end()) << name << " is not in this test's list";
    ASSERT_EQ(r.picture->frames.size(), want->second.frames) << name;
    for (const auto& frame : r.picture->frames) {
      EXPECT_EQ(frame.image.width, want->second.width) << name;
      EXPECT_EQ(frame.image.height, want->second.height) << name;
    }
    decoded.emplace(name, std::move(*r.picture));
  }
  EXPECT_EQ(decoded.size(), expected.size());

  // Pictures drawn on the dialog colour RGB(212,208,200) show it in the corners.
  const Bgr face{200, 208, 212};
  for (const char* name : {"printer.bmp", "help_glyph.bmp", "server.gif"}) {
    ASSERT_TRUE(decoded.count(name)) << name;
    const Image& image = decoded[name].frames[0].image;
    EXPECT_EQ(pixel(image, 0, 0), face) << name;
    EXPECT_EQ(pixel(image, image.width - 1, image.height - 1), face) << name;
  }
  // The list icons are on white.
  EXPECT_EQ(pixel(decoded["list_server.bmp"].frames[0].image, 0, 0), (Bgr{255, 255, 255}));
  // The animation runs at 100 ms a frame and its frames differ.
  const auto& server = decoded["server.gif"].frames;
  bool changes = false;
  for (const auto& frame : server) {
    EXPECT_EQ(frame.delayMs, 100u);
    changes = changes || frame.image.bgr != server[0].image.bgr;
  }
  EXPECT_TRUE(changes);
}

}  // namespace
