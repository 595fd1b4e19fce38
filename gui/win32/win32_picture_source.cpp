// Pictures from the exe's RCDATA resources, as DIB sections.
#include "gui/win32/win32_picture_source.h"

#include <cstring>
#include <span>

namespace gui {
namespace {

// The resource name for a picture name, or "" when the name cannot be one:
// "#123" would mean the numeric resource 123 to FindResource.
std::string resourceName(const std::string& picture) {
  if (picture.empty() || picture[0] == '#') return {};
  std::string name;
  for (char c : picture) {
    if (c == '\0') return {};
    name += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return name;
}

}  // namespace

HBITMAP makeBitmap(const pictures::Image& image) {
  if (image.empty() || image.bgr.size() != image.offset(0, image.height)) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // top-down, as the image
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
  }
  // DIB rows are padded to 4 bytes.
  const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
  const std::size_t stride = (rowBytes + 3) & ~std::size_t{3};
  auto* out = static_cast<std::uint8_t*>(bits);
  for (int y = 0; y < image.height; ++y)
    std::memcpy(out + static_cast<std::size_t>(y) * stride, &image.bgr[image.offset(0, y)], rowBytes);
  GdiFlush();
  return bitmap;
}

Win32PictureSource::Win32PictureSource(HMODULE module) : module_(module) {}

Win32PictureSource::~Win32PictureSource() {
  for (auto& [name, frames] : cache_)
    for (auto& frame : frames) DeleteObject(frame.bitmap);
}

const std::vector<PictureSource::Frame>& Win32PictureSource::frames(
    const std::string& resource) {
  auto found = cache_.find(resource);
  if (found == cache_.end()) found = cache_.emplace(resource, load(resource)).first;
  return found->second;
}

std::vector<PictureSource::Frame> Win32PictureSource::load(const std::string& resource) {
  const std::string name = resourceName(resource);
  if (name.empty()) {
    lastError_ = "\"" + resource + "\" is not a picture name";
    return {};
  }
  DWORD lastError = 0;
  HRSRC info = FindResourceA(module_, name.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (!info) lastError = GetLastError();
  HGLOBAL handle = info ? LoadResource(module_, info) : nullptr;
  if (info && !handle) lastError = GetLastError();
  const void* bytes = handle ? LockResource(handle) : nullptr;
  const DWORD size = info ? SizeofResource(module_, info) : 0;
  if (!bytes || size == 0) {
    lastError_ = "no picture resource " + name + " (error " + std::to_string(lastError) + ")";
    return {};
  }
  pictures::DecodeResult decoded =
      pictures::decode(std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(bytes), size));
  if (!decoded) {
    lastError_ = name + ": " + decoded.error;
    return {};
  }
  std::vector<Frame> frames;
  frames.reserve(decoded.picture->frames.size());
  for (const auto& frame : decoded.picture->frames) {
    HBITMAP bitmap = makeBitmap(frame.image);
    if (!bitmap) {
      const DWORD error = GetLastError();
      lastError_ = name + ": cannot create a bitmap (error " + std::to_string(error) + ")";
      for (auto& made : frames) DeleteObject(made.bitmap);
      return {};
    }
    frames.push_back(Frame{bitmap, frame.delayMs});
  }
  return frames;
}

}  // namespace gui
