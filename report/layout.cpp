// Millimetres to device units, word wrapping, and the placing of every box.
#include "report/layout.h"

#include <algorithm>
#include <cstdint>

namespace report {
namespace {

// num / den rounded to the nearest whole number, halves away from zero
// (as MulDiv does); den > 0.
int roundDiv(std::int64_t num, std::int64_t den) {
  const std::int64_t q = (num >= 0 ? 2 * num + den : 2 * num - den) / (2 * den);
  return static_cast<int>(q);
}

bool isSpace(char c) { return c == ' '; }

std::string_view trimRight(std::string_view s) {
  while (!s.empty() && (isSpace(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// Lines of one paragraph (text without '\n'); at least one line.
void wrapParagraph(std::string_view p, int width,
                   const std::function<int(std::string_view)>& measure,
                   std::vector<std::string>& out) {
  const std::size_t n = p.size();
  std::size_t pos = 0;
  bool any = false;
  while (true) {
    if (any)
      while (pos < n && isSpace(p[pos])) ++pos;  // a wrapped line starts at a word
    if (pos >= n || trimRight(p.substr(pos)).empty()) break;
    // Words, each with the spaces before it, while the line still fits.
    std::size_t lineEnd = pos;
    for (std::size_t scan = pos; scan < n;) {
      std::size_t wordEnd = scan;
      while (wordEnd < n && isSpace(p[wordEnd])) ++wordEnd;
      while (wordEnd < n && !isSpace(p[wordEnd])) ++wordEnd;
      if (measure(trimRight(p.substr(pos, wordEnd - pos))) > width) break;
      lineEnd = scan = wordEnd;
    }
    if (lineEnd == pos) {
      // The first word alone is too wide: as many of its characters as fit,
      // and at least one, so that the text always moves on.
      while (pos < n && isSpace(p[pos])) ++pos;
      std::size_t wordEnd = pos;
      while (wordEnd < n && !isSpace(p[wordEnd])) ++wordEnd;
      lineEnd = pos + 1;
      while (lineEnd < wordEnd && measure(p.substr(pos, lineEnd + 1 - pos)) <= width) ++lineEnd;
    }
    out.emplace_back(trimRight(p.substr(pos, lineEnd - pos)));
    any = true;
    pos = lineEnd;
  }
  if (!any) out.emplace_back();
}

PlacedText placeText(const TextBox& t, const Rect& box, Canvas& canvas) {
  PlacedText placed;
  placed.name = t.name;
  placed.font = t.font;
  placed.box = box;
  placed.lineHeight = std::max(1, canvas.lineHeight(t.font));
  auto measure = [&](std::string_view s) { return canvas.textWidth(t.font, s); };
  const std::vector<std::string> lines = wrapText(t.text, box.width(), measure);
  int y = box.top;
  for (const std::string& line : lines) {
    PlacedLine pl;
    pl.text = line;
    pl.x = box.left;
    pl.y = y;
    pl.width = measure(line);
    pl.drawn = y + placed.lineHeight <= box.bottom;
    placed.lines.push_back(std::move(pl));
    y += placed.lineHeight;
  }
  return placed;
}

MmRect offsetBy(const MmRect& r, int left, int top) {
  return MmRect{r.left + left, r.top + top, r.width, r.height};
}

}  // namespace

int toDeviceX(int tenthsMm, const DeviceGeometry& g) {
  return roundDiv(std::int64_t{tenthsMm} * g.dpiX, 254) - g.offsetX;
}

int toDeviceY(int tenthsMm, const DeviceGeometry& g) {
  return roundDiv(std::int64_t{tenthsMm} * g.dpiY, 254) - g.offsetY;
}

Rect toDevice(const MmRect& r, const DeviceGeometry& g) {
  return Rect{toDeviceX(r.left, g), toDeviceY(r.top, g), toDeviceX(r.left + r.width, g),
              toDeviceY(r.top + r.height, g)};
}

int emPixels(int points, int dpiY) { return roundDiv(std::int64_t{points} * dpiY, 72); }

std::vector<std::string> wrapText(std::string_view text, int width,
                                  const std::function<int(std::string_view)>& measure) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find('\n', start);
    wrapParagraph(text.substr(start, end == std::string_view::npos ? end : end - start), width,
                  measure, lines);
    if (end == std::string_view::npos || end + 1 == text.size()) break;
    start = end + 1;
  }
  return lines;
}

int PlacedText::drawnLines() const {
  return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                        [](const PlacedLine& l) { return l.drawn; }));
}

std::string PlacedText::drawnText() const {
  std::string out;
  for (const PlacedLine& l : lines) {
    if (!l.drawn) continue;
    if (!out.empty()) out += '\n';
    out += l.text;
  }
  return out;
}

const PlacedText* PageLayout::text(std::string_view name) const {
  for (const PlacedText& t : texts)
    if (t.name == name) return &t;
  return nullptr;
}

const PlacedPicture* PageLayout::picture(std::string_view name) const {
  for (const PlacedPicture& p : pictures)
    if (p.name == name) return &p;
  return nullptr;
}

Rect pictureDest(const pictures::Image& image, const Rect& frame, const DeviceGeometry& g) {
  std::int64_t w = roundDiv(std::int64_t{image.width} * g.dpiX, kPictureDesignDpi);
  std::int64_t h = roundDiv(std::int64_t{image.height} * g.dpiY, kPictureDesignDpi);
  const std::int64_t fw = std::max(0, frame.width());
  const std::int64_t fh = std::max(0, frame.height());
  if (w <= 0 || h <= 0 || fw == 0 || fh == 0) return Rect{frame.left, frame.top, frame.left, frame.top};
  if (w > fw || h > fh) {
    if (w * fh >= h * fw) {  // the width decides
      h = std::max<std::int64_t>(1, roundDiv(h * fw, w));
      w = fw;
    } else {
      w = std::max<std::int64_t>(1, roundDiv(w * fh, h));
      h = fh;
    }
  }
  return Rect{frame.left, frame.top, frame.left + static_cast<int>(w),
              frame.top + static_cast<int>(h)};
}

PageLayout layOut(const Report& report, Canvas& canvas) {
  PageLayout layout;
  const DeviceGeometry g = canvas.geometry();
  layout.geometry = g;
  layout.paper = toDevice(MmRect{0, 0, report.paperWidth, report.paperHeight}, g);
  const int left = report.marginLeft;
  const int width = report.paperWidth - report.marginLeft - report.marginRight;
  int top = report.marginTop;
  for (const Band& band : report.bands) {
    layout.bands.push_back(toDevice(MmRect{left, top, width, band.height}, g));
    for (const PictureBox& p : band.pictures) {
      if (p.image.empty()) continue;
      PlacedPicture placed;
      placed.name = p.name;
      placed.frame = toDevice(offsetBy(p.frame, left, top), g);
      placed.dest = pictureDest(p.image, placed.frame, g);
      placed.image = &p.image;
      if (placed.dest.width() > 0 && placed.dest.height() > 0)
        layout.pictures.push_back(std::move(placed));
    }
    for (const TextBox& t : band.texts)
      layout.texts.push_back(placeText(t, toDevice(offsetBy(t.box, left, top), g), canvas));
    top += band.height;
  }
  for (const TextBox& t : report.surfaceTexts)
    layout.texts.push_back(placeText(t, toDevice(t.box, g), canvas));
  return layout;
}

void draw(const PageLayout& layout, Canvas& canvas) {
  for (const PlacedPicture& p : layout.pictures) canvas.drawImage(*p.image, p.dest);
  for (const PlacedText& t : layout.texts)
    for (const PlacedLine& l : t.lines)
      if (l.drawn) canvas.drawText(t.font, l.x, l.y, l.text, t.box);
}

pictures::Image blankPrintableArea(int paperWidth, int paperHeight, const DeviceGeometry& g) {
  const int w = roundDiv(std::int64_t{paperWidth} * g.dpiX, 254) - 2 * g.offsetX;
  const int h = roundDiv(std::int64_t{paperHeight} * g.dpiY, 254) - 2 * g.offsetY;
  return pictures::Image(w, h, 255, 255, 255);
}

}  // namespace report
