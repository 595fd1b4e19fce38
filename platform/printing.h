// Printer device contexts and documents: what the test page is drawn on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/faults.h"
#include "platform/windows.h"

namespace platform {

// The calls (the format is in platform/faults.h).  Adding one: a row here,
// FakePc::do... in platform/fake/fake_printing.cpp and Win32Platform::do...
// in platform/win32/win32_printing.cpp.
#define PLATFORM_PRINTING_CALLS(X)                                                                 \
  /* The printers of these kinds (EnumPrintersA at level 2), in the spooler's order. */            \
  X(EnumPrinters, printTargets, doPrintTargets,                                                    \
    (PrinterKinds kinds, std::vector<PrintTarget>& targets), (kinds, targets),                     \
    targets.clear())                                                                               \
  /* CreateDCA on the spooler's printer of this name, for portrait pages of `paper`, one           \
     copy each: the printer's settings are taken and changed for this context only                 \
     (DocumentPropertiesA), its defaults stay as they are. */                                      \
  X(CreateDC, createPrinterDc, doCreatePrinterDc,                                                  \
    (const std::string& printer, const PaperSize& paper, PrinterDc& dc),                           \
    (printer, paper, dc), dc = 0)                                                                  \
  /* The print dialog (PrintDlgA): the printer and the copies chosen; `confirmed` false when       \
     the user cancelled, and then `choice` is the default printer with one copy (no printer        \
     when there is none). */                                                                       \
  X(PrintDlg, printDialog, doPrintDialog,                                                          \
    (WindowId owner, bool& confirmed, PrintChoice& choice), (owner, confirmed, choice),            \
    (confirmed = false, choice = {}))                                                              \
  X(GetDeviceCaps, deviceCaps, doDeviceCaps, (PrinterDc dc, DeviceCaps& caps), (dc, caps),         \
    caps = {})                                                                                     \
  X(StartDoc, startDoc, doStartDoc, (PrinterDc dc, const std::string& documentName),               \
    (dc, documentName), )                                                                          \
  X(StartPage, startPage, doStartPage, (PrinterDc dc), (dc), )                                     \
  X(EndPage, endPage, doEndPage, (PrinterDc dc), (dc), )                                           \
  X(EndDoc, endDoc, doEndDoc, (PrinterDc dc), (dc), )                                              \
  X(DeleteDC, deleteDc, doDeleteDc, (PrinterDc dc), (dc), )                                        \
  /* One line's advance width and the font's line height (tmHeight). */                            \
  X(TextExtent, textExtent, doTextExtent,                                                          \
    (PrinterDc dc, const PrintFont& font, const std::string& text, int& width,                     \
     int& lineHeight),                                                                             \
    (dc, font, text, width, lineHeight), (width = 0, lineHeight = 0))                              \
  /* Black text whose cell's top-left corner is (x, y), clipped to `clip`. */                      \
  X(TextOut, textOut, doTextOut,                                                                   \
    (PrinterDc dc, const PrintFont& font, int x, int y, const std::string& text,                   \
     const PrintRect& clip),                                                                       \
    (dc, font, x, y, text, clip), )                                                                \
  /* A 24-bit top-down picture (rows of `width` B, G, R bytes, no padding) scaled into             \
     `dest`. */                                                                                    \
  X(StretchDIBits, drawPicture, doDrawPicture,                                                     \
    (PrinterDc dc, int width, int height, const std::uint8_t* bgr, const PrintRect& dest),         \
    (dc, width, height, bgr, dest), )

enum class PrintingCall : int { PLATFORM_PRINTING_CALLS(PLATFORM_CALL_ENUMERATOR) };
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
  PLATFORM_PRINTING_CALLS(PLATFORM_CALL_PUBLIC)

 protected:
  PLATFORM_PRINTING_CALLS(PLATFORM_CALL_VIRTUAL)
};

}  // namespace platform
