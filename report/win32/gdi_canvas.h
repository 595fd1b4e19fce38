// The layout engine's canvas over a Windows device context: a printer's for
// the real test page, or a memory DC with a DIB section in tests.  Drawing
// leaves the DC with black text, a transparent background, top-left text
// alignment and halftone stretching; the DC's font is put back when the
// canvas goes.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "report/layout.h"

namespace report {

class GdiCanvas : public Canvas {
 public:
  // Resolution and printable-area offset as the device reports them.
  explicit GdiCanvas(HDC dc);
  // A given resolution and offset, for a memory DC that stands in for a
  // printer (a memory DC reports the screen's resolution).
  GdiCanvas(HDC dc, DeviceGeometry geometry);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  // LOGPIXELSX/Y and PHYSICALOFFSETX/Y of the device.
  static DeviceGeometry deviceGeometry(HDC dc);

  DeviceGeometry geometry() const override { return geometry_; }
  int textWidth(const Font& font, std::string_view text) override;
  int lineHeight(const Font& font) override;
  void drawText(const Font& font, int x, int y, std::string_view text,
                const Rect& clip) override;
  void drawImage(const pictures::Image& image, const Rect& dest) override;

  // The first GDI call that failed, and its error code; empty and 0 when
  // none did.
  const std::string& failedCall() const { return failedCall_; }
  DWORD failedError() const { return failedError_; }

 private:
  struct FontEntry {
    HFONT font = nullptr;
    int height = 0;  // tmHeight
  };
  const FontEntry& select(const Font& font);
  void failed(const char* call);

  HDC dc_;
  DeviceGeometry geometry_;
  HGDIOBJ originalFont_ = nullptr;
  std::map<std::tuple<std::string, int, bool>, FontEntry> fonts_;
  std::string failedCall_;
  DWORD failedError_ = 0;
};

// The test page's pictures from a module's RCDATA resources TEST_LOGO and
// TEST_GLYPH (the exe embeds assets/test_logo.bmp and assets/test_glyph.bmp
// under these names).  A missing or broken one is left empty and `error`
// says why.
TestPagePictures testPagePicturesFromResources(HMODULE module, std::string* error = nullptr);

}  // namespace report
