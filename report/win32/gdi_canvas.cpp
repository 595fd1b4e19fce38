// Fonts by point size at the device's vertical resolution, text with
// ExtTextOutA clipped to its box, pictures with StretchDIBits.
#include "report/win32/gdi_canvas.h"

#include <algorithm>
#include <span>
#include <vector>

namespace report {

DeviceGeometry GdiCanvas::deviceGeometry(HDC dc) {
  return DeviceGeometry{GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY),
                        GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY)};
}

GdiCanvas::GdiCanvas(HDC dc) : GdiCanvas(dc, deviceGeometry(dc)) {}

GdiCanvas::GdiCanvas(HDC dc, DeviceGeometry geometry) : dc_(dc), geometry_(geometry) {}

GdiCanvas::~GdiCanvas() {
  if (originalFont_) SelectObject(dc_, originalFont_);
  for (auto& [key, entry] : fonts_)
    if (entry.font) DeleteObject(entry.font);
}

void GdiCanvas::failed(const char* call) {
  if (!failedCall_.empty()) return;
  failedError_ = GetLastError();
  failedCall_ = call;
}

const GdiCanvas::FontEntry& GdiCanvas::select(const Font& font) {
  auto key = std::tuple{font.face, font.points, font.bold};
  auto it = fonts_.find(key);
  const bool created = it == fonts_.end();
  if (created) {
    // A negative height asks for the em size rather than the cell height,
    // as point sizes are meant.
    HFONT made = CreateFontA(-emPixels(font.points, geometry_.dpiY), 0, 0, 0,
                             font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_ROMAN, font.face.c_str());
    if (!made) failed("CreateFontA");
    it = fonts_.emplace(key, FontEntry{made, 0}).first;
  }
  FontEntry& entry = it->second;
  if (!entry.font) return entry;
  HGDIOBJ previous = SelectObject(dc_, entry.font);
  if (!originalFont_) originalFont_ = previous;
  if (created) {
    TEXTMETRICA tm{};
    if (GetTextMetricsA(dc_, &tm))
      entry.height = tm.tmHeight;
    else
      failed("GetTextMetricsA");
  }
  return entry;
}

int GdiCanvas::textWidth(const Font& font, std::string_view text) {
  if (text.empty()) return 0;
  select(font);
  SIZE size{};
  if (!GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size)) {
    failed("GetTextExtentPoint32A");
    return 0;
  }
  return size.cx;
}

int GdiCanvas::lineHeight(const Font& font) { return select(font).height; }

void GdiCanvas::drawText(const Font& font, int x, int y, std::string_view text,
                         const Rect& clip) {
  if (text.empty()) return;
  select(font);
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, RGB(0, 0, 0));
  SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  RECT rc{clip.left, clip.top, clip.right, clip.bottom};
  if (!ExtTextOutA(dc_, x, y, ETO_CLIPPED, &rc, text.data(), static_cast<UINT>(text.size()),
                   nullptr))
    failed("ExtTextOutA");
}

void GdiCanvas::drawImage(const pictures::Image& image, const Rect& dest) {
  if (image.empty() || dest.width() <= 0 || dest.height() <= 0) return;
  // A bottom-up DIB with rows padded to four bytes: the form every printer
  // driver takes.
  const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) & ~std::size_t{3};
  std::vector<std::uint8_t> bits(stride * static_cast<std::size_t>(image.height));
  for (int y = 0; y < image.height; ++y)
    std::copy_n(&image.bgr[image.offset(0, y)], static_cast<std::size_t>(image.width) * 3,
                &bits[stride * static_cast<std::size_t>(image.height - 1 - y)]);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = image.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(dc_, HALFTONE);
  SetBrushOrgEx(dc_, 0, 0, nullptr);
  const int lines = StretchDIBits(dc_, dest.left, dest.top, dest.width(), dest.height(), 0, 0,
                                  image.width, image.height, bits.data(), &info, DIB_RGB_COLORS,
                                  SRCCOPY);
  if (lines == 0 || lines == static_cast<int>(GDI_ERROR)) failed("StretchDIBits");
}

namespace {

std::span<const std::uint8_t> resourceBytes(HMODULE module, const char* name) {
  HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return {};
  return {static_cast<const std::uint8_t*>(data), SizeofResource(module, found)};
}

}  // namespace

TestPagePictures testPagePicturesFromResources(HMODULE module, std::string* error) {
  return decodeTestPagePictures(resourceBytes(module, "TEST_LOGO"),
                                resourceBytes(module, "TEST_GLYPH"), error);
}

}  // namespace report
