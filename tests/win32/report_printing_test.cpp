// The test page through the code the wizard prints with (the printer canvas
// over the platform's printing calls) on a memory DC standing in for a 300
// dpi printer: every box where the native layout puts it, the same line
// breaks, and ink only inside the boxes and pictures.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "report/printer_canvas.h"
#include "tests/report_sample.h"
#include "tests/win32/processes.h"

namespace {

using report::DeviceGeometry;
using report::Rect;

// A white 24-bit top-down DIB section selected into a memory DC.
class Surface {
 public:
  Surface(int width, int height) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint8_t*>(bits);
    if (dc_ && bitmap_) {
      old_ = SelectObject(dc_, bitmap_);
      PatBlt(dc_, 0, 0, width, height, WHITENESS);
      GdiFlush();
    }
  }
  ~Surface() {
    if (old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  bool ok() const { return dc_ && bitmap_ && bits_; }
  HDC dc() const { return dc_; }
  platform::PrinterDc printerDc() const { return reinterpret_cast<platform::PrinterDc>(dc_); }
  const std::uint8_t* pixel(int x, int y) const {
    const std::size_t stride = (static_cast<std::size_t>(width_) * 3 + 3) & ~std::size_t{3};
    return bits_ + stride * static_cast<std::size_t>(y) + static_cast<std::size_t>(x) * 3;
  }
  bool white(int x, int y) const {
    const std::uint8_t* p = pixel(x, y);
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
  }
  bool ink(int x, int y) const {
    const std::uint8_t* p = pixel(x, y);
    return p[0] < 128 && p[1] < 128 && p[2] < 128;
  }
  int inkIn(const Rect& r) const {
    int n = 0;
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, height_); ++y)
      for (int x = std::max(r.left, 0); x < std::min(r.right, width_); ++x) n += ink(x, y);
    return n;
  }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  std::uint8_t* bits_ = nullptr;
};

// A banner red on its left half and blue on its right; a glyph red on its
// top quarter and green below.
report::TestPagePictures pictures() {
  report::TestPagePictures p{pictures::Image(400, 79, 0, 0, 255), pictures::Image(144, 126, 0, 200, 0)};
  for (int y = 0; y < 79; ++y)
    for (int x = 200; x < 400; ++x) {
      std::uint8_t* px = &p.banner.bgr[p.banner.offset(x, y)];
      px[0] = 255, px[1] = 0, px[2] = 0;
    }
  for (int y = 0; y < 126 / 4; ++y)
    for (int x = 0; x < 144; ++x) {
      std::uint8_t* px = &p.glyph.bgr[p.glyph.offset(x, y)];
      px[0] = 0, px[1] = 0, px[2] = 255;
    }
  return p;
}

TEST(Win32ReportPrinting, PageLandsWhereTheNativeLayoutPutsIt) {
  const DeviceGeometry g{300, 300, 75, 75};
  const report::Report page = report::testPage(report_sample::values(), pictures());
  const pictures::Image area = report::blankPrintableArea(page.paperWidth, page.paperHeight, g);
  ASSERT_EQ(area.width, 2330);
  ASSERT_EQ(area.height, 3358);
  Surface surface(area.width, area.height);
  ASSERT_TRUE(surface.ok()) << GetLastError();

  platform::Win32Platform os;
  report::PrinterCanvas canvas(os, surface.printerDc(), g);
  const report::PageLayout layout = report::layOut(page, canvas);

  report_sample::expectLayoutAt300(layout);
  // Times New Roman 12 point at 300 dpi: a 50-pixel em, lines of about 4.7 mm.
  const report::PlacedText* congrats = layout.text("LblCongrats");
  EXPECT_GE(congrats->lineHeight, 54);
  EXPECT_LE(congrats->lineHeight, 57);

  report::draw(layout, canvas);
  GdiFlush();
  EXPECT_EQ(canvas.error(), platform::kOk);

  for (const report::PlacedText& t : layout.texts)
    EXPECT_GT(surface.inkIn(t.box), 0) << t.name << " holds text but shows none";
  const report::PlacedText* prn = layout.text("QRLblPrn");
  EXPECT_EQ(surface.inkIn({prn->box.left, prn->box.top + prn->lineHeight, prn->box.right,
                           prn->box.bottom}),
            0)
      << "the printer's cut line shows";

  int strays = 0;
  std::string where;
  for (int y = 0; y < surface.height(); ++y) {
    for (int x = 0; x < surface.width(); ++x) {
      if (surface.white(x, y)) continue;
      bool inside = false;
      for (const report::PlacedText& t : layout.texts) inside = inside || t.box.contains(x, y);
      for (const report::PlacedPicture& p : layout.pictures) inside = inside || p.dest.contains(x, y);
      if (!inside && strays++ == 0) where = std::to_string(x) + "," + std::to_string(y);
    }
  }
  EXPECT_EQ(strays, 0) << "first at " << where;

  // The pictures fill their places the right way round.
  const report::PlacedPicture* banner = layout.picture("Banner");
  ASSERT_NE(banner, nullptr);
  EXPECT_EQ(banner->dest, (Rect{683, 123, 683 + 1250, 123 + 247}));
  const int midY = (banner->dest.top + banner->dest.bottom) / 2;
  const std::uint8_t* left = surface.pixel(banner->dest.left + 10, midY);
  const std::uint8_t* right = surface.pixel(banner->dest.right - 10, midY);
  EXPECT_GT(left[2], 200);
  EXPECT_LT(left[0], 60);
  EXPECT_GT(right[0], 200);
  EXPECT_LT(right[2], 60);
  const report::PlacedPicture* glyph = layout.picture("Glyph");
  ASSERT_NE(glyph, nullptr);
  const std::uint8_t* green = surface.pixel(glyph->dest.left + 5, glyph->dest.bottom - 5);
  EXPECT_GT(green[1], 150);
  EXPECT_LT(green[2], 60);
  const std::uint8_t* red = surface.pixel(glyph->dest.left + 5, glyph->dest.top + 5);
  EXPECT_GT(red[2], 200) << "the picture is upside down";
  EXPECT_LT(red[1], 60);
}

TEST(Win32ReportPrinting, GeometryAndFontsFromTheDevice) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  const auto pdc = reinterpret_cast<platform::PrinterDc>(dc);
  platform::Win32Platform os;
  platform::DeviceCaps caps;
  ASSERT_EQ(os.deviceCaps(pdc, caps), platform::kOk);
  EXPECT_EQ(caps.dpiX, GetDeviceCaps(dc, LOGPIXELSX));
  EXPECT_EQ(caps.dpiY, GetDeviceCaps(dc, LOGPIXELSY));
  EXPECT_EQ(caps.offsetX, 0) << "a display has no unprintable margin";
  EXPECT_EQ(caps.offsetY, 0);
  {
    const DeviceGeometry g{caps.dpiX, caps.dpiY, 0, 0};
    report::PrinterCanvas canvas(os, pdc, g);
    // The font follows the canvas's resolution: twice the dpi, twice the line.
    const report::Font font{"Times New Roman", 12, true};
    const int screenLine = canvas.lineHeight(font);
    report::PrinterCanvas doubled(os, pdc, DeviceGeometry{g.dpiX * 2, g.dpiY * 2, 0, 0});
    EXPECT_NEAR(doubled.lineHeight(font), 2 * screenLine, 2);
    EXPECT_GT(doubled.textWidth(font, "Congratulations !"),
              canvas.textWidth(font, "Congratulations !"));
    EXPECT_EQ(canvas.textWidth(font, ""), 0);
    EXPECT_EQ(canvas.error(), platform::kOk);
    EXPECT_EQ(doubled.error(), platform::kOk);
  }
  // The fonts made on the context go with it.
  EXPECT_EQ(os.deleteDc(pdc), platform::kOk);
}

// The bytes of a module's RCDATA resource; empty when it has none.
std::vector<std::uint8_t> rcdata(HMODULE module, const char* name) {
  HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(10));
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const auto* bytes = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
  if (!bytes) return {};
  return {bytes, bytes + SizeofResource(module, found)};
}

// The test page's pictures as the completion page takes them from the exe.
report::TestPagePictures picturesOf(HMODULE module, std::string* error) {
  return report::decodeTestPagePictures(rcdata(module, "TEST_LOGO"), rcdata(module, "TEST_GLYPH"),
                                        error);
}

TEST(Win32ReportPrinting, PicturesFromTheExeResources) {
  const std::string exe = wintest::exeDir() + "\\PrnWizard.exe";
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << exe << ": " << GetLastError();
  std::string error = "not cleared";
  const report::TestPagePictures p = picturesOf(module, &error);
  EXPECT_EQ(error, "");
  EXPECT_EQ(p.banner.width, 400);
  EXPECT_EQ(p.banner.height, 79);
  EXPECT_EQ(p.glyph.width, 144);
  EXPECT_EQ(p.glyph.height, 126);
  FreeLibrary(module);

  // This test's own exe has no such resources: both pictures stay empty.
  const report::TestPagePictures none = picturesOf(GetModuleHandleA(nullptr), &error);
  EXPECT_TRUE(none.banner.empty());
  EXPECT_TRUE(none.glyph.empty());
  EXPECT_NE(error.find("banner"), std::string::npos) << error;
  EXPECT_NE(error.find("glyph"), std::string::npos) << error;
}

}  // namespace
