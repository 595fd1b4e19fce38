// FreeType rendering of text lines, and bilinear scaling of pictures.
#include "report/image_canvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace report {

struct ImageCanvas::Fonts {
  FT_Library library = nullptr;
  FT_Face regular = nullptr;
  FT_Face bold = nullptr;
  // The pixel size last set on each face.
  std::map<FT_Face, std::pair<int, int>> sizes;
  // Advance widths by face, em width, em height and character.
  std::map<std::tuple<FT_Face, int, int, char32_t>, int> advances;

  ~Fonts() {
    if (regular) FT_Done_Face(regular);
    if (bold) FT_Done_Face(bold);
    if (library) FT_Done_FreeType(library);
  }
};

namespace {

constexpr char32_t kHigh1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int scaled(long fontUnits, int em, int unitsPerEm) {
  if (unitsPerEm <= 0) return 0;
  return static_cast<int>(std::lround(static_cast<double>(fontUnits) * em / unitsPerEm));
}

}  // namespace

char32_t windows1252(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHigh1252[byte - 0x80];
  return byte;
}

std::unique_ptr<ImageCanvas> ImageCanvas::create(pictures::Image& target, DeviceGeometry g,
                                                 const FontFiles& files, std::string* error) {
  auto fonts = std::make_unique<Fonts>();
  auto fail = [error](std::string why) {
    if (error) *error = std::move(why);
    return nullptr;
  };
  if (g.dpiX <= 0 || g.dpiY <= 0) return fail("resolution must be positive");
  if (FT_Init_FreeType(&fonts->library) != 0) return fail("FreeType did not start");
  if (FT_New_Face(fonts->library, files.regular.c_str(), 0, &fonts->regular) != 0)
    return fail("cannot load the font " + files.regular);
  if (FT_New_Face(fonts->library, files.bold.c_str(), 0, &fonts->bold) != 0)
    return fail("cannot load the font " + files.bold);
  if (error) error->clear();
  return std::unique_ptr<ImageCanvas>(new ImageCanvas(target, g, std::move(fonts)));
}

ImageCanvas::ImageCanvas(pictures::Image& target, DeviceGeometry g, std::unique_ptr<Fonts> fonts)
    : target_(target), geometry_(g), fonts_(std::move(fonts)) {}

ImageCanvas::~ImageCanvas() = default;

namespace {

// The face for the font at its pixel size, and that size.
struct Sized {
  FT_Face face;
  int emX;
  int emY;
};

}  // namespace

static Sized sizeFace(ImageCanvas::Fonts& fonts, const Font& font, const DeviceGeometry& g) {
  FT_Face face = font.bold ? fonts.bold : fonts.regular;
  const int emX = std::max(1, emPixels(font.points, g.dpiX));
  const int emY = std::max(1, emPixels(font.points, g.dpiY));
  auto& size = fonts.sizes[face];
  if (size != std::pair{emX, emY}) {
    FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(emX), static_cast<FT_UInt>(emY));
    size = {emX, emY};
  }
  return Sized{face, emX, emY};
}

static int advance(ImageCanvas::Fonts& fonts, const Sized& s, char32_t ch) {
  auto key = std::tuple{s.face, s.emX, s.emY, ch};
  auto it = fonts.advances.find(key);
  if (it != fonts.advances.end()) return it->second;
  int width = 0;
  if (FT_Load_Char(s.face, ch, FT_LOAD_DEFAULT) == 0)
    width = static_cast<int>((s.face->glyph->advance.x + 32) >> 6);
  fonts.advances.emplace(key, width);
  return width;
}

int ImageCanvas::textWidth(const Font& font, std::string_view text) {
  const Sized s = sizeFace(*fonts_, font, geometry_);
  int width = 0;
  for (char c : text) width += advance(*fonts_, s, windows1252(static_cast<unsigned char>(c)));
  return width;
}

namespace {

std::pair<int, int> ascentDescent(FT_Face face, int emY) {
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF)
    return {scaled(os2->usWinAscent, emY, face->units_per_EM),
            scaled(os2->usWinDescent, emY, face->units_per_EM)};
  return {scaled(face->ascender, emY, face->units_per_EM),
          scaled(-face->descender, emY, face->units_per_EM)};
}

}  // namespace

int ImageCanvas::lineHeight(const Font& font) {
  const Sized s = sizeFace(*fonts_, font, geometry_);
  auto [ascent, descent] = ascentDescent(s.face, s.emY);
  return ascent + descent;
}

void ImageCanvas::drawText(const Font& font, int x, int y, std::string_view text,
                           const Rect& clip) {
  const Sized s = sizeFace(*fonts_, font, geometry_);
  const int baseline = y + ascentDescent(s.face, s.emY).first;
  const int left = std::max(clip.left, 0), top = std::max(clip.top, 0);
  const int right = std::min(clip.right, target_.width);
  const int bottom = std::min(clip.bottom, target_.height);
  int pen = x;
  for (char c : text) {
    const char32_t ch = windows1252(static_cast<unsigned char>(c));
    const int step = advance(*fonts_, s, ch);
    if (FT_Load_Char(s.face, ch, FT_LOAD_RENDER) == 0) {
      const FT_Bitmap& bm = s.face->glyph->bitmap;
      const int gx = pen + s.face->glyph->bitmap_left;
      const int gy = baseline - s.face->glyph->bitmap_top;
      if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
        for (unsigned row = 0; row < bm.rows; ++row) {
          const int py = gy + static_cast<int>(row);
          if (py < top || py >= bottom) continue;
          const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(row) * bm.pitch;
          for (unsigned col = 0; col < bm.width; ++col) {
            const int px = gx + static_cast<int>(col);
            const unsigned cover = src[col];
            if (px < left || px >= right || cover == 0) continue;
            std::uint8_t* p = &target_.bgr[target_.offset(px, py)];
            for (int k = 0; k < 3; ++k)
              p[k] = static_cast<std::uint8_t>(p[k] * (255u - cover) / 255u);
          }
        }
      }
    }
    pen += step;
  }
}

void ImageCanvas::drawImage(const pictures::Image& image, const Rect& dest) {
  if (image.empty() || dest.width() <= 0 || dest.height() <= 0) return;
  const int x0 = std::max(dest.left, 0), x1 = std::min(dest.right, target_.width);
  const int y0 = std::max(dest.top, 0), y1 = std::min(dest.bottom, target_.height);
  const double sx = static_cast<double>(image.width) / dest.width();
  const double sy = static_cast<double>(image.height) / dest.height();
  for (int y = y0; y < y1; ++y) {
    const double fy = std::clamp((y - dest.top + 0.5) * sy - 0.5, 0.0, image.height - 1.0);
    const int iy = static_cast<int>(fy);
    const int iy2 = std::min(iy + 1, image.height - 1);
    const double ty = fy - iy;
    for (int x = x0; x < x1; ++x) {
      const double fx = std::clamp((x - dest.left + 0.5) * sx - 0.5, 0.0, image.width - 1.0);
      const int ix = static_cast<int>(fx);
      const int ix2 = std::min(ix + 1, image.width - 1);
      const double tx = fx - ix;
      std::uint8_t* out = &target_.bgr[target_.offset(x, y)];
      for (int k = 0; k < 3; ++k) {
        const double a = image.bgr[image.offset(ix, iy) + k];
        const double b = image.bgr[image.offset(ix2, iy) + k];
        const double c = image.bgr[image.offset(ix, iy2) + k];
        const double d = image.bgr[image.offset(ix2, iy2) + k];
        const double v = (a * (1 - tx) + b * tx) * (1 - ty) + (c * (1 - tx) + d * tx) * ty;
        out[k] = static_cast<std::uint8_t>(std::lround(v));
      }
    }
  }
}

}  // namespace report
