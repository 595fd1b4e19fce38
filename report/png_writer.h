// A small PNG writer for 24-bit images: one IDAT chunk, zlib-compressed
// rows without filtering.  Enough for previews and test output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pictures/image.h"

namespace report {

// The PNG file's bytes; empty for an empty image.
std::vector<std::uint8_t> encodePng(const pictures::Image& image);

// Writes the image as a PNG file; false with the reason in `error` when it
// cannot be encoded or written.
bool writePng(const std::string& path, const pictures::Image& image, std::string* error);

}  // namespace report
