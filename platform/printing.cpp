#include "platform/printing.h"

namespace platform {

Error Printing::printTargets(PrinterKinds kinds, std::vector<PrintTarget>& targets) {
  targets.clear();
  if (Error e = injected(PrintingCall::EnumPrinters)) return e;
  return doPrintTargets(kinds, targets);
}

Error Printing::createPrinterDc(const std::string& printer, const PaperSize& paper,
                                PrinterDc& dc) {
  dc = 0;
  if (Error e = injected(PrintingCall::CreateDC)) return e;
  return doCreatePrinterDc(printer, paper, dc);
}

Error Printing::printDialog(WindowId owner, bool& confirmed, PrintChoice& choice) {
  confirmed = false;
  choice = {};
  if (Error e = injected(PrintingCall::PrintDlg)) return e;
  return doPrintDialog(owner, confirmed, choice);
}

Error Printing::deviceCaps(PrinterDc dc, DeviceCaps& caps) {
  caps = {};
  if (Error e = injected(PrintingCall::GetDeviceCaps)) return e;
  return doDeviceCaps(dc, caps);
}

Error Printing::startDoc(PrinterDc dc, const std::string& documentName) {
  if (Error e = injected(PrintingCall::StartDoc)) return e;
  return doStartDoc(dc, documentName);
}

Error Printing::startPage(PrinterDc dc) {
  if (Error e = injected(PrintingCall::StartPage)) return e;
  return doStartPage(dc);
}

Error Printing::endPage(PrinterDc dc) {
  if (Error e = injected(PrintingCall::EndPage)) return e;
  return doEndPage(dc);
}

Error Printing::endDoc(PrinterDc dc) {
  if (Error e = injected(PrintingCall::EndDoc)) return e;
  return doEndDoc(dc);
}

Error Printing::deleteDc(PrinterDc dc) {
  if (Error e = injected(PrintingCall::DeleteDC)) return e;
  return doDeleteDc(dc);
}

Error Printing::textExtent(PrinterDc dc, const PrintFont& font, const std::string& text,
                           int& width, int& lineHeight) {
  width = 0;
  lineHeight = 0;
  if (Error e = injected(PrintingCall::TextExtent)) return e;
  return doTextExtent(dc, font, text, width, lineHeight);
}

Error Printing::textOut(PrinterDc dc, const PrintFont& font, int x, int y,
                        const std::string& text, const PrintRect& clip) {
  if (Error e = injected(PrintingCall::TextOut)) return e;
  return doTextOut(dc, font, x, y, text, clip);
}

Error Printing::drawPicture(PrinterDc dc, int width, int height, const std::uint8_t* bgr,
                            const PrintRect& dest) {
  if (Error e = injected(PrintingCall::StretchDIBits)) return e;
  return doDrawPicture(dc, width, height, bgr, dest);
}

}  // namespace platform
