// Pictures embedded in the exe as RCDATA resources, decoded once and kept as
// 24-bit DIB sections, one per frame.  The resource of the picture "banner"
// is named BANNER (the file's base name in upper case).
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "gui/win32/win32_ui.h"
#include "pictures/image.h"

namespace gui {

// A top-down 24-bit DIB section holding the image; nullptr if it cannot be made.
HBITMAP makeBitmap(const pictures::Image& image);

class Win32PictureSource : public PictureSource {
 public:
  explicit Win32PictureSource(HMODULE module);
  ~Win32PictureSource() override;
  Win32PictureSource(const Win32PictureSource&) = delete;
  Win32PictureSource& operator=(const Win32PictureSource&) = delete;

  // Decoded on first use and cached, failures included (as an empty list).
  const std::vector<Frame>& frames(const std::string& resource) override;
  // Why the last failed load failed (empty if none did).
  const std::string& lastError() const { return lastError_; }

 private:
  std::vector<Frame> load(const std::string& resource);
  HMODULE module_;
  std::map<std::string, std::vector<Frame>> cache_;
  std::string lastError_;
};

}  // namespace gui
