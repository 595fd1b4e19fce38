// Printer device contexts through GDI: CreateDCA on the spooler's printer
// with the paper set for this context, the common print dialog, documents
// and pages, fonts by em height in the system's code page, text clipped to
// its box, pictures with StretchDIBits.
#include <windows.h>
#include <commdlg.h>
#include <winspool.h>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "platform/win32/win32_late.h"
#include "platform/win32/win32_platform.h"

namespace platform {

namespace {
HDC hdc(PrinterDc dc) { return reinterpret_cast<HDC>(dc); }

// The fonts made on each device context, deleted with it.
std::map<std::pair<PrinterDc, PrintFont>, HFONT>& fonts() {
  static std::map<std::pair<PrinterDc, PrintFont>, HFONT> made;
  return made;
}

Error selectFont(PrinterDc dc, const PrintFont& font) {
  HFONT& f = fonts()[{dc, font}];
  if (!f) {
    // A negative height asks for the em size rather than the cell height.
    // The texts are in the system's code page: so is the font's character set.
    f = CreateFontA(-font.emPixels, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                    DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    DEFAULT_PITCH | FF_ROMAN, font.face.c_str());
    if (!f) {
      fonts().erase({dc, font});
      return lastWin32Error();
    }
  }
  return SelectObject(hdc(dc), f) ? kOk : lastWin32Error();
}

// The page of `paper`, portrait, one copy: a DEVMODE's paper fields (A4 by
// its number, other sizes by their length and width in tenths of a mm).
void setPaper(DEVMODEA& mode, const PaperSize& paper) {
  mode.dmFields &= ~static_cast<DWORD>(DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH);
  if (paper.width == 2100 && paper.height == 2970) {
    mode.dmPaperSize = DMPAPER_A4;
    mode.dmFields |= DM_PAPERSIZE;
  } else {
    mode.dmPaperSize = 0;
    mode.dmPaperWidth = static_cast<short>(paper.width);
    mode.dmPaperLength = static_cast<short>(paper.height);
    mode.dmFields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
  }
  mode.dmOrientation = DMORIENT_PORTRAIT;
  mode.dmCopies = 1;
  mode.dmFields |= DM_ORIENTATION | DM_COPIES;
}

// The printer's own settings with the paper changed, merged by its driver;
// the printer's defaults are not written (no DM_UPDATE).
Error pageSettings(const std::string& printer, const PaperSize& paper, std::vector<BYTE>& mode) {
  std::string name = printer;
  HANDLE h = nullptr;
  if (!spool::OpenPrinterA(name.data(), &h, nullptr)) return lastWin32Error();
  Error result = kOk;
  LONG size = spool::DocumentPropertiesA(nullptr, h, name.data(), nullptr, nullptr, 0);
  if (size <= 0) {
    result = lastWin32Error();
  } else {
    std::vector<BYTE> own(static_cast<std::size_t>(size));
    mode.assign(static_cast<std::size_t>(size), 0);
    auto* in = reinterpret_cast<DEVMODEA*>(own.data());
    auto* out = reinterpret_cast<DEVMODEA*>(mode.data());
    if (spool::DocumentPropertiesA(nullptr, h, name.data(), in, nullptr, DM_OUT_BUFFER) != IDOK) {
      result = lastWin32Error();
    } else {
      setPaper(*in, paper);
      if (spool::DocumentPropertiesA(nullptr, h, name.data(), out, in,
                                     DM_IN_BUFFER | DM_OUT_BUFFER) != IDOK)
        result = lastWin32Error();
    }
  }
  spool::ClosePrinter(h);
  return result;
}

std::string deviceName(HGLOBAL names) {
  const auto* dn = static_cast<const DEVNAMES*>(names ? GlobalLock(names) : nullptr);
  if (!dn) return {};
  std::string device = reinterpret_cast<const char*>(dn) + dn->wDeviceOffset;
  GlobalUnlock(names);
  return device;
}

// The copies asked for: in the DEVMODE when the driver makes them, else in
// nCopies.
int copiesOf(const PRINTDLGA& pd) {
  int copies = pd.nCopies > 0 ? pd.nCopies : 1;
  if (const auto* dm = static_cast<const DEVMODEA*>(pd.hDevMode ? GlobalLock(pd.hDevMode) : nullptr)) {
    if ((dm->dmFields & DM_COPIES) && dm->dmCopies > copies) copies = dm->dmCopies;
    GlobalUnlock(pd.hDevMode);
  }
  return copies;
}
}  // namespace

Error Win32Platform::doPrintTargets(PrinterKinds kinds, std::vector<PrintTarget>& targets) {
  DWORD flags = PRINTER_ENUM_LOCAL;
  if (kinds == PrinterKinds::LocalAndConnections) flags |= PRINTER_ENUM_CONNECTIONS;
  DWORD needed = 0, count = 0;
  if (spool::EnumPrintersA(flags, nullptr, 2, nullptr, 0, &needed, &count)) return kOk;  // none
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return lastWin32Error();
  std::vector<BYTE> buffer(needed);
  if (!spool::EnumPrintersA(flags, nullptr, 2, buffer.data(), needed, &needed, &count))
    return lastWin32Error();
  const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i)
    targets.push_back({info[i].pPrinterName ? info[i].pPrinterName : "",
                       info[i].pPortName ? info[i].pPortName : ""});
  return kOk;
}

Error Win32Platform::doCreatePrinterDc(const std::string& printer, const PaperSize& paper,
                                       PrinterDc& dc) {
  std::vector<BYTE> mode;
  if (Error e = pageSettings(printer, paper, mode)) return e;
  HDC made = CreateDCA("WINSPOOL", printer.c_str(), nullptr,
                       reinterpret_cast<const DEVMODEA*>(mode.data()));
  if (!made) return lastWin32Error();
  dc = reinterpret_cast<PrinterDc>(made);
  return kOk;
}

Error Win32Platform::doPrintDialog(WindowId owner, bool& confirmed, PrintChoice& choice) {
  // The common dialogs are only needed here.
  static PLATFORM_LATE_FUNCTION("comdlg32.dll", PrintDlgA);
  static PLATFORM_LATE_FUNCTION("comdlg32.dll", CommDlgExtendedError);
  auto printDlg = PrintDlgA.get();
  auto extendedError = CommDlgExtendedError.get();
  if (!printDlg || !extendedError) return lastWin32Error();
  PRINTDLGA pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = reinterpret_cast<HWND>(owner);
  pd.Flags = PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE;
  pd.nCopies = 1;
  confirmed = printDlg(&pd) != FALSE;
  if (confirmed) {
    choice.copies = copiesOf(pd);
  } else {
    DWORD error = extendedError();
    if (error != 0) return error;
    // Cancelled: the default printer, as the dialog would have had it.
    PRINTDLGA def{};
    def.lStructSize = sizeof def;
    def.Flags = PD_RETURNDEFAULT;
    if (!printDlg(&def)) return extendedError();
    pd.hDevMode = def.hDevMode;
    pd.hDevNames = def.hDevNames;
    choice.copies = 1;
  }
  choice.printer = deviceName(pd.hDevNames);
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  return kOk;
}

Error Win32Platform::doDeviceCaps(PrinterDc dc, DeviceCaps& caps) {
  caps.dpiX = GetDeviceCaps(hdc(dc), LOGPIXELSX);
  caps.dpiY = GetDeviceCaps(hdc(dc), LOGPIXELSY);
  caps.offsetX = GetDeviceCaps(hdc(dc), PHYSICALOFFSETX);
  caps.offsetY = GetDeviceCaps(hdc(dc), PHYSICALOFFSETY);
  return caps.dpiX > 0 && caps.dpiY > 0 ? kOk : lastWin32Error();
}

Error Win32Platform::doStartDoc(PrinterDc dc, const std::string& documentName) {
  DOCINFOA info{};
  info.cbSize = sizeof info;
  info.lpszDocName = documentName.c_str();
  return StartDocA(hdc(dc), &info) > 0 ? kOk : lastWin32Error();
}

Error Win32Platform::doStartPage(PrinterDc dc) {
  return StartPage(hdc(dc)) > 0 ? kOk : lastWin32Error();
}

Error Win32Platform::doEndPage(PrinterDc dc) {
  return EndPage(hdc(dc)) > 0 ? kOk : lastWin32Error();
}

Error Win32Platform::doEndDoc(PrinterDc dc) {
  return EndDoc(hdc(dc)) > 0 ? kOk : lastWin32Error();
}

Error Win32Platform::doDeleteDc(PrinterDc dc) {
  SelectObject(hdc(dc), GetStockObject(SYSTEM_FONT));
  auto& made = fonts();
  for (auto it = made.begin(); it != made.end();) {
    if (it->first.first == dc) {
      DeleteObject(it->second);
      it = made.erase(it);
    } else {
      ++it;
    }
  }
  return DeleteDC(hdc(dc)) ? kOk : lastWin32Error();
}

Error Win32Platform::doTextExtent(PrinterDc dc, const PrintFont& font, const std::string& text,
                                  int& width, int& lineHeight) {
  if (Error e = selectFont(dc, font)) return e;
  TEXTMETRICA tm{};
  if (!GetTextMetricsA(hdc(dc), &tm)) return lastWin32Error();
  lineHeight = tm.tmHeight;
  if (text.empty()) return kOk;
  SIZE size{};
  if (!GetTextExtentPoint32A(hdc(dc), text.data(), static_cast<int>(text.size()), &size))
    return lastWin32Error();
  width = size.cx;
  return kOk;
}

Error Win32Platform::doTextOut(PrinterDc dc, const PrintFont& font, int x, int y,
                               const std::string& text, const PrintRect& clip) {
  if (text.empty()) return kOk;
  if (Error e = selectFont(dc, font)) return e;
  SetBkMode(hdc(dc), TRANSPARENT);
  SetTextColor(hdc(dc), RGB(0, 0, 0));
  SetTextAlign(hdc(dc), TA_LEFT | TA_TOP | TA_NOUPDATECP);
  RECT rc{clip.left, clip.top, clip.right, clip.bottom};
  return ExtTextOutA(hdc(dc), x, y, ETO_CLIPPED, &rc, text.data(),
                     static_cast<UINT>(text.size()), nullptr)
             ? kOk
             : lastWin32Error();
}

Error Win32Platform::doDrawPicture(PrinterDc dc, int width, int height, const std::uint8_t* bgr,
                                   const PrintRect& dest) {
  if (width <= 0 || height <= 0) return kOk;
  // A bottom-up DIB with rows padded to four bytes: the form every printer
  // driver takes.
  const std::size_t row = static_cast<std::size_t>(width) * 3;
  const std::size_t stride = (row + 3) & ~std::size_t{3};
  std::vector<std::uint8_t> bits(stride * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    std::copy_n(bgr + row * static_cast<std::size_t>(y), row,
                &bits[stride * static_cast<std::size_t>(height - 1 - y)]);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(hdc(dc), HALFTONE);
  SetBrushOrgEx(hdc(dc), 0, 0, nullptr);
  int lines = StretchDIBits(hdc(dc), dest.left, dest.top, dest.right - dest.left,
                            dest.bottom - dest.top, 0, 0, width, height, bits.data(), &info,
                            DIB_RGB_COLORS, SRCCOPY);
  return lines == 0 || lines == static_cast<int>(GDI_ERROR) ? lastWin32Error() : kOk;
}

}  // namespace platform
