#include "report/printer_canvas.h"

#include <algorithm>

namespace report {

platform::PrintFont PrinterCanvas::printFont(const Font& font) const {
  return {font.face, emPixels(font.points, geometry_.dpiY), font.bold};
}

int PrinterCanvas::textWidth(const Font& font, std::string_view text) {
  int width = 0, height = 0;
  note(os_.textExtent(dc_, printFont(font), std::string(text), width, height));
  return width;
}

int PrinterCanvas::lineHeight(const Font& font) {
  int width = 0, height = 0;
  note(os_.textExtent(dc_, printFont(font), "", width, height));
  return height;
}

void PrinterCanvas::drawText(const Font& font, int x, int y, std::string_view text,
                             const Rect& clip) {
  note(os_.textOut(dc_, printFont(font), x, y, std::string(text),
                   {clip.left, clip.top, clip.right, clip.bottom}));
}

void PrinterCanvas::drawImage(const pictures::Image& image, const Rect& dest) {
  if (image.empty()) return;
  note(os_.drawPicture(dc_, image.width, image.height, image.bgr.data(),
                       {dest.left, dest.top, dest.right, dest.bottom}));
}

platform::Error printReport(platform::Printing& os, platform::PrinterDc dc, const Report& report,
                            int copies) {
  platform::DeviceCaps caps;
  if (platform::Error e = os.deviceCaps(dc, caps)) return e;
  if (platform::Error e = os.startDoc(dc, report.title)) return e;
  PrinterCanvas canvas(os, dc, {caps.dpiX, caps.dpiY, caps.offsetX, caps.offsetY});
  const PageLayout layout = layOut(report, canvas);
  platform::Error failed = canvas.error();
  for (int copy = 0; copy < std::max(copies, 1) && !failed; ++copy) {
    failed = os.startPage(dc);
    if (failed) break;
    draw(layout, canvas);
    failed = canvas.error();
    platform::Error ended = os.endPage(dc);
    if (!failed) failed = ended;
  }
  // The document is closed either way, so the spooler does not keep half a
  // job open; its own failure counts when nothing failed before.
  platform::Error closed = os.endDoc(dc);
  return failed ? failed : closed;
}

}  // namespace report
