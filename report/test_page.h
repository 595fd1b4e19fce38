// The printed test page as data: paper, margins, bands, text boxes and
// picture frames in millimetres, and the values the wizard fills in.
//
// Lengths are whole tenths of a millimetre.  Every size of the page is given
// to 0.1 mm, and whole numbers keep the conversion to device units exact and
// the same on every compiler and processor.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "pictures/image.h"

namespace report {

// A rectangle on paper, in tenths of a millimetre.
struct MmRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const MmRect&) const = default;
};

struct Font {
  std::string face;
  int points = 12;
  bool bold = false;
  bool operator==(const Font&) const = default;
};

// Left-aligned text in a box of fixed size: wrapped word by word inside the
// box's width, lines that do not fit the box's height are cut off.
struct TextBox {
  std::string name;
  MmRect box;  // from the top-left corner of its band
  Font font;
  std::string text;
};

// A picture in a frame.  Empty images leave the frame blank.
struct PictureBox {
  std::string name;
  MmRect frame;  // from the top-left corner of its band
  pictures::Image image;
};

enum class BandKind { PageHeader, Title, ColumnHeader, Detail, Summary, PageFooter };

// Bands print once each, top to bottom, the full width inside the margins.
struct Band {
  BandKind kind = BandKind::Detail;
  int height = 0;
  std::vector<TextBox> texts;
  std::vector<PictureBox> pictures;
};

struct Report {
  std::string title;  // also the name of the print job
  int paperWidth = 0;
  int paperHeight = 0;
  int marginLeft = 0;
  int marginTop = 0;
  int marginRight = 0;
  int marginBottom = 0;
  std::vector<Band> bands;
  // Texts placed on the report itself, outside the bands; their boxes are
  // measured from the paper's top-left corner.
  std::vector<TextBox> surfaceTexts;
};

// What the wizard fills into the value labels of the test page.
struct TestPageValues {
  std::string serverAddress;           // QRLblIP
  std::string printer;                 // QRLblPrn
  std::string computerName;            // QRLblName
  std::string wizardVersion = "1000";  // LblWizVer
  std::uint32_t driverVersion = 0;     // LblDrvVer
};

struct TestPagePictures {
  pictures::Image banner;  // 400 x 79, in the title band
  pictures::Image glyph;   // 144 x 126, in the detail band
};

inline constexpr const char* kTestPageTitle = "Test Page";
inline constexpr const char* kTestPageFace = "Times New Roman";

// The driver version as an unsigned decimal number.
std::string driverVersionText(std::uint32_t version);

// The test page with its values filled in.
Report testPage(const TestPageValues& values, TestPagePictures pictures = {});

// Decodes the two pictures from the bytes of their files (BMP, GIF or JPEG).
// A picture that does not decode is left empty and `error` (when given)
// says why; the page prints without it.
TestPagePictures decodeTestPagePictures(std::span<const std::uint8_t> banner,
                                        std::span<const std::uint8_t> glyph,
                                        std::string* error = nullptr);

}  // namespace report
