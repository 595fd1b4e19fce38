// Printer device contexts and documents: what the test page is drawn on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/faults.h"
#include "platform/windows.h"

namespace platform {

enum class PrintingCall : int {
  EnumPrinters,
  CreateDC,
  PrintDlg,
  GetDeviceCaps,
  StartDoc,
  StartPage,
  EndPage,
  EndDoc,
  DeleteDC,
  TextExtent,
  TextOut,
  StretchDIBits,
};
constexpr Area areaOf(PrintingCall) { return Area::Printing; }

// A printer device context; 0 when none.
using PrinterDc = std::uintptr_t;

// LOGPIXELSX/Y and PHYSICALOFFSETX/Y: device (0, 0) is the printable area's
// top-left corner, `offset` pixels in from the paper's.
struct DeviceCaps {
  int dpiX = 0;
  int dpiY = 0;
  int offsetX = 0;
  int offsetY = 0;
};

// A font by its em height in device pixels.
struct PrintFont {
  std::string face;
  int emPixels = 0;
  bool bold = false;
  bool operator<(const PrintFont& o) const {
    return face != o.face ? face < o.face : emPixels != o.emPixels ? emPixels < o.emPixels
                                                                   : bold < o.bold;
  }
};

struct PrintRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};


// A printer the reporting side can print to: its name and its ports (a
// comma-separated list, as the spooler keeps it).
struct PrintTarget {
  std::string name;
  std::string ports;
};

// The printers a list holds: EnumPrintersA's PRINTER_ENUM_LOCAL, and
// PRINTER_ENUM_CONNECTIONS with it (a flag of the NT family only).
enum class PrinterKinds { Local, LocalAndConnections };

// A sheet of paper in tenths of a millimetre, as a DEVMODE gives it.
struct PaperSize {
  int width = 0;
  int height = 0;
};

// What the print dialog hands back: the printer and the number of copies.
struct PrintChoice {
  std::string printer;
  int copies = 1;
};

class Printing : public virtual Faults {
 public:
  // The printers of these kinds (EnumPrintersA at level 2), in the
  // spooler's order.
  Error printTargets(PrinterKinds kinds, std::vector<PrintTarget>& targets);
  // CreateDCA on the spooler's printer of this name, for portrait pages of
  // `paper`, one copy each: the printer's settings are taken and changed
  // for this context only (DocumentPropertiesA), its defaults stay as they are.
  Error createPrinterDc(const std::string& printer, const PaperSize& paper, PrinterDc& dc);
  // The print dialog (PrintDlgA): the printer and the copies chosen;
  // `confirmed` false when the user cancelled, and then `choice` is the
  // default printer with one copy (no printer when there is none).
  Error printDialog(WindowId owner, bool& confirmed, PrintChoice& choice);
  Error deviceCaps(PrinterDc dc, DeviceCaps& caps);
  Error startDoc(PrinterDc dc, const std::string& documentName);
  Error startPage(PrinterDc dc);
  Error endPage(PrinterDc dc);
  Error endDoc(PrinterDc dc);
  Error deleteDc(PrinterDc dc);
  // One line's advance width and the font's line height (tmHeight).
  Error textExtent(PrinterDc dc, const PrintFont& font, const std::string& text, int& width,
                   int& lineHeight);
  // Black text whose cell's top-left corner is (x, y), clipped to `clip`.
  Error textOut(PrinterDc dc, const PrintFont& font, int x, int y, const std::string& text,
                const PrintRect& clip);
  // A 24-bit top-down picture (rows of `width` B, G, R bytes, no padding)
  // scaled into `dest`.
  Error drawPicture(PrinterDc dc, int width, int height, const std::uint8_t* bgr,
                    const PrintRect& dest);

 protected:
  virtual Error doPrintTargets(PrinterKinds kinds, std::vector<PrintTarget>& targets) = 0;
  virtual Error doCreatePrinterDc(const std::string& printer, const PaperSize& paper,
                                  PrinterDc& dc) = 0;
  virtual Error doPrintDialog(WindowId owner, bool& confirmed, PrintChoice& choice) = 0;
  virtual Error doDeviceCaps(PrinterDc dc, DeviceCaps& caps) = 0;
  virtual Error doStartDoc(PrinterDc dc, const std::string& documentName) = 0;
  virtual Error doStartPage(PrinterDc dc) = 0;
  virtual Error doEndPage(PrinterDc dc) = 0;
  virtual Error doEndDoc(PrinterDc dc) = 0;
  virtual Error doDeleteDc(PrinterDc dc) = 0;
  virtual Error doTextExtent(PrinterDc dc, const PrintFont& font, const std::string& text,
                             int& width, int& lineHeight) = 0;
  virtual Error doTextOut(PrinterDc dc, const PrintFont& font, int x, int y,
                          const std::string& text, const PrintRect& clip) = 0;
  virtual Error doDrawPicture(PrinterDc dc, int width, int height, const std::uint8_t* bgr,
                              const PrintRect& dest) = 0;
};

}  // namespace platform
