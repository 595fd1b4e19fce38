// A canvas that renders onto a 24-bit image in memory with FreeType, for
// previews and tests.  Liberation Serif stands in for Times New Roman: its
// glyphs have the same advance widths and vertical metrics.
//
// Widths follow what GDI does: the em is points * dpiY / 72 pixels, rounded;
// each glyph advances by its hinted width in whole pixels; no kerning; the
// line height is the font's Windows ascent plus descent.  Texts are 8-bit
// in the Windows-1252 code page.
#pragma once

#include <memory>
#include <string>

#include "report/layout.h"

namespace report {

struct FontFiles {
  std::string regular = "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf";
  std::string bold = "/usr/share/fonts/truetype/liberation/LiberationSerif-Bold.ttf";
};

class ImageCanvas : public Canvas {
 public:
  // Draws onto `target`, which must outlive the canvas; device (0, 0) is its
  // top-left pixel.  Null when a font file cannot be loaded; `error` says why.
  static std::unique_ptr<ImageCanvas> create(pictures::Image& target, DeviceGeometry geometry,
                                             const FontFiles& fonts, std::string* error);
  ~ImageCanvas() override;
  ImageCanvas(const ImageCanvas&) = delete;
  ImageCanvas& operator=(const ImageCanvas&) = delete;

  DeviceGeometry geometry() const override { return geometry_; }
  int textWidth(const Font& font, std::string_view text) override;
  int lineHeight(const Font& font) override;
  void drawText(const Font& font, int x, int y, std::string_view text,
                const Rect& clip) override;
  // Bilinear scaling, sampled at pixel centres; clipped to the image.
  void drawImage(const pictures::Image& image, const Rect& dest) override;

 // The loaded faces and cached glyph widths; opaque.
  struct Fonts;

 private:
  ImageCanvas(pictures::Image& target, DeviceGeometry geometry, std::unique_ptr<Fonts> fonts);
  pictures::Image& target_;
  DeviceGeometry geometry_;
  std::unique_ptr<Fonts> fonts_;
};

// The Unicode character of a Windows-1252 byte (0 for the five unused ones).
char32_t windows1252(unsigned char byte);

}  // namespace report
