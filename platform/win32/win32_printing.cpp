// Printer device contexts through GDI: CreateDCA on the spooler's printer,
// the common print dialog, documents and pages, fonts by em height, text
// clipped to its box, pictures with StretchDIBits.
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
    f = CreateFontA(-font.emPixels, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                    ANSI_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    DEFAULT_PITCH | FF_ROMAN, font.face.c_str());
    if (!f) {
      fonts().erase({dc, font});
      return lastWin32Error();
    }
  }
  return SelectObject(hdc(dc), f) ? kOk : lastWin32Error();
}
}  // namespace

Error Win32Platform::doPrintTargets(std::vector<PrintTarget>& targets) {
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  DWORD needed = 0, count = 0;
  if (EnumPrintersA(flags, nullptr, 2, nullptr, 0, &needed, &count)) return kOk;  // none
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return lastWin32Error();
  std::vector<BYTE> buffer(needed);
  if (!EnumPrintersA(flags, nullptr, 2, buffer.data(), needed, &needed, &count))
    return lastWin32Error();
  const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i)
    targets.push_back({info[i].pPrinterName ? info[i].pPrinterName : "",
                       info[i].pPortName ? info[i].pPortName : ""});
  return kOk;
}

Error Win32Platform::doCreatePrinterDc(const std::string& printer, PrinterDc& dc) {
  HDC made = CreateDCA("WINSPOOL", printer.c_str(), nullptr, nullptr);
  if (!made) return lastWin32Error();
  dc = reinterpret_cast<PrinterDc>(made);
  return kOk;
}

Error Win32Platform::doPrintDialog(WindowId owner, bool& confirmed, PrinterDc& dc) {
  // The common dialogs are only needed here.
  auto printDlg = lateBound<BOOL(WINAPI*)(PRINTDLGA*)>("comdlg32.dll", "PrintDlgA");
  auto extendedError = lateBound<DWORD(WINAPI*)()>("comdlg32.dll", "CommDlgExtendedError");
  if (!printDlg || !extendedError) return lastWin32Error();
  PRINTDLGA pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = reinterpret_cast<HWND>(owner);
  pd.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS;
  pd.nCopies = 1;
  confirmed = printDlg(&pd) != FALSE;
  if (!confirmed) {
    DWORD error = extendedError();
    if (error != 0) return error;
    // Cancelled: the default printer's context, as the dialog would have had.
    PRINTDLGA def{};
    def.lStructSize = sizeof def;
    def.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    if (!printDlg(&def)) return extendedError();
    pd.hDC = def.hDC;
    pd.hDevMode = def.hDevMode;
    pd.hDevNames = def.hDevNames;
  }
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  dc = reinterpret_cast<PrinterDc>(pd.hDC);
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
