// The in-memory PC's printer device contexts: each document becomes a job
// that records what was drawn where.
#include "platform/fake/fake_pc.h"

namespace platform {

bool FakePc::hasPrinter(const std::string& name) const {
  return const_cast<FakePc*>(this)->printer(name) != nullptr;
}

Error FakePc::doPrintTargets(PrinterKinds kinds, std::vector<PrintTarget>& targets) {
  const bool connections = kinds == PrinterKinds::LocalAndConnections;
  if (connections && (version & 0x80000000u)) return kErrorInvalidParameter;
  for (const PrinterInfo2& p : printers)
    targets.push_back({p.printerName.value_or(""), p.portName.value_or("")});
  if (connections) targets.insert(targets.end(), printerConnections.begin(), printerConnections.end());
  return kOk;
}

FakePc::DcState* FakePc::dcState(PrinterDc dc) {
  auto it = dcs_.find(dc);
  return it == dcs_.end() ? nullptr : &it->second;
}

Error FakePc::doCreatePrinterDc(const std::string& printer, const PaperSize& paper,
                                PrinterDc& dc) {
  if (!hasPrinter(printer)) return kErrorInvalidPrinterName;
  dc = nextDc_;
  nextDc_ += 4;
  dcs_[dc] = DcState{printer, paper};
  return kOk;
}

Error FakePc::doPrintDialog(WindowId, bool& confirmed, PrintChoice& choice) {
  ++printDialogs;
  if (whilePrintDialog) whilePrintDialog();
  confirmed = dialogConfirms;
  choice.printer = confirmed ? dialogPrinter : defaultPrinterName;
  choice.copies = confirmed ? dialogCopies : 1;
  return kOk;
}

Error FakePc::doDeviceCaps(PrinterDc dc, DeviceCaps& caps) {
  if (!dcState(dc)) return kErrorInvalidHandle;
  caps = printerCaps;
  return kOk;
}

Error FakePc::doStartDoc(PrinterDc dc, const std::string& documentName) {
  DcState* state = dcState(dc);
  if (!state || state->job >= 0) return kErrorInvalidHandle;
  PrintJob job;
  job.printer = state->printer;
  job.paper = state->paper;
  job.document = documentName;
  jobs.push_back(std::move(job));
  state->job = static_cast<int>(jobs.size()) - 1;
  return kOk;
}

Error FakePc::doStartPage(PrinterDc dc) {
  DcState* state = dcState(dc);
  if (!state || state->job < 0 || state->inPage) return kErrorInvalidParameter;
  state->inPage = true;
  ++jobs[static_cast<std::size_t>(state->job)].pages;
  return kOk;
}

Error FakePc::doEndPage(PrinterDc dc) {
  DcState* state = dcState(dc);
  if (!state || !state->inPage) return kErrorInvalidParameter;
  state->inPage = false;
  return kOk;
}

Error FakePc::doEndDoc(PrinterDc dc) {
  DcState* state = dcState(dc);
  if (!state || state->job < 0 || state->inPage) return kErrorInvalidParameter;
  jobs[static_cast<std::size_t>(state->job)].ended = true;
  state->job = -1;
  return kOk;
}

Error FakePc::doDeleteDc(PrinterDc dc) {
  return dcs_.erase(dc) ? kOk : kErrorInvalidHandle;
}

Error FakePc::doTextExtent(PrinterDc dc, const PrintFont& font, const std::string& text,
                           int& width, int& lineHeight) {
  if (!dcState(dc)) return kErrorInvalidHandle;
  width = static_cast<int>(text.size()) * fakeAdvance(font);
  lineHeight = font.emPixels * 115 / 100;
  return kOk;
}

Error FakePc::doTextOut(PrinterDc dc, const PrintFont& font, int x, int y, const std::string& text,
                        const PrintRect& clip) {
  DcState* state = dcState(dc);
  if (!state || !state->inPage) return kErrorInvalidParameter;
  jobs[static_cast<std::size_t>(state->job)].texts.push_back({text, font, x, y, clip});
  return kOk;
}

Error FakePc::doDrawPicture(PrinterDc dc, int width, int height, const std::uint8_t*,
                            const PrintRect& dest) {
  DcState* state = dcState(dc);
  if (!state || !state->inPage) return kErrorInvalidParameter;
  jobs[static_cast<std::size_t>(state->job)].pictures.push_back({width, height, dest});
  return kOk;
}

}  // namespace platform
