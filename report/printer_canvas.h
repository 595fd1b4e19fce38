// The layout engine's canvas over a printer device context of the platform
// seam, and the whole document: the page printed as one job.
#pragma once

#include <string>

#include "platform/printing.h"
#include "report/layout.h"

namespace report {

class PrinterCanvas : public Canvas {
 public:
  PrinterCanvas(platform::Printing& os, platform::PrinterDc dc, DeviceGeometry geometry)
      : os_(os), dc_(dc), geometry_(geometry) {}

  DeviceGeometry geometry() const override { return geometry_; }
  int textWidth(const Font& font, std::string_view text) override;
  int lineHeight(const Font& font) override;
  void drawText(const Font& font, int x, int y, std::string_view text,
                const Rect& clip) override;
  void drawImage(const pictures::Image& image, const Rect& dest) override;

  // The first call that failed, 0 when none did.
  platform::Error error() const { return error_; }

 private:
  platform::PrintFont printFont(const Font& font) const;
  void note(platform::Error e) {
    if (!error_) error_ = e;
  }

  platform::Printing& os_;
  platform::PrinterDc dc_;
  DeviceGeometry geometry_;
  platform::Error error_ = platform::kOk;
};

// Prints the report as one document named after its title on `dc`: the
// device's resolution and offset, one page per copy, every drawing call.
// 0 when the spooler took the whole job, else the error of the first call
// that failed (the document is then ended as far as it got).
platform::Error printReport(platform::Printing& os, platform::PrinterDc dc, const Report& report,
                            int copies = 1);

}  // namespace report
