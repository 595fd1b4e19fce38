// The layout engine: turns a report into text lines and pictures placed in
// device units, then draws them on a canvas (a printer, an image in memory).
//
// Laying out and drawing are two steps, so that two canvases can be compared
// on where every box and line lands before anything is drawn.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "pictures/image.h"
#include "report/test_page.h"

namespace report {

// Device units; right and bottom are outside the rectangle.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool operator==(const Rect&) const = default;
};

// Resolution and the printable area's offset from the paper's top-left
// corner; device (0, 0) is the printable area's top-left corner.
struct DeviceGeometry {
  int dpiX = 0;
  int dpiY = 0;
  int offsetX = 0;
  int offsetY = 0;
  bool operator==(const DeviceGeometry&) const = default;
};

// Tenths of a millimetre from the paper's edge to device units:
// round(mm * dpi / 25.4) - offset.
int toDeviceX(int tenthsMm, const DeviceGeometry& g);
int toDeviceY(int tenthsMm, const DeviceGeometry& g);
// A rectangle measured from the paper's top-left corner.  Both edges are
// converted, so that boxes that meet on paper meet on the device too.
Rect toDevice(const MmRect& onPaper, const DeviceGeometry& g);

// Font size in device pixels (the em height): points * dpiY / 72, rounded.
int emPixels(int points, int dpiY);

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual DeviceGeometry geometry() const = 0;
  // Advance width of the text on one line.
  virtual int textWidth(const Font& font, std::string_view text) = 0;
  // Height of one line of the font (ascent plus descent); lines follow one
  // another by this much.
  virtual int lineHeight(const Font& font) = 0;
  // One line of black text whose cell's top-left corner is (x, y); nothing
  // is drawn outside `clip`.
  virtual void drawText(const Font& font, int x, int y, std::string_view text,
                        const Rect& clip) = 0;
  // The image scaled to fill `dest`.
  virtual void drawImage(const pictures::Image& image, const Rect& dest) = 0;
};

// Breaks text into lines no wider than `width`: word by word at spaces, a
// word wider than the box between characters (at least one character a
// line), '\n' ends a line.  Spaces at the ends of lines are dropped.
std::vector<std::string> wrapText(std::string_view text, int width,
                                  const std::function<int(std::string_view)>& measure);

struct PlacedLine {
  std::string text;
  int x = 0;
  int y = 0;
  int width = 0;
  bool drawn = false;  // false: its bottom would pass the box's bottom (cut)
};

struct PlacedText {
  std::string name;
  Font font;
  Rect box;
  int lineHeight = 0;
  std::vector<PlacedLine> lines;  // every wrapped line, drawn or cut
  int drawnLines() const;
  std::string drawnText() const;  // the drawn lines joined by '\n'
};

struct PlacedPicture {
  std::string name;
  Rect frame;
  Rect dest;                               // where the picture lands inside its frame
  const pictures::Image* image = nullptr;  // points into the report; never empty
};

struct PageLayout {
  DeviceGeometry geometry;
  Rect paper;               // the whole sheet
  std::vector<Rect> bands;  // in the report's order
  std::vector<PlacedText> texts;
  std::vector<PlacedPicture> pictures;
  const PlacedText* text(std::string_view name) const;
  const PlacedPicture* picture(std::string_view name) const;
};

// Pictures are drawn at their design size, 96 pixels to the inch (the size
// they had on the screen the report was designed on), from the frame's
// top-left corner, and shrunk keeping their proportions where they would not
// fit the frame.
inline constexpr int kPictureDesignDpi = 96;
Rect pictureDest(const pictures::Image& image, const Rect& frame, const DeviceGeometry& g);

// The layout uses the canvas only to measure.  The result points into the
// report's pictures: keep the report alive while the layout is used.
PageLayout layOut(const Report& report, Canvas& canvas);
// Draws the pictures, then the lines that are not cut.
void draw(const PageLayout& layout, Canvas& canvas);

// A white image of the printable area of a sheet `paperWidth` by
// `paperHeight` tenths of a millimetre, with the same offset on all sides.
pictures::Image blankPrintableArea(int paperWidth, int paperHeight, const DeviceGeometry& g);

}  // namespace report
