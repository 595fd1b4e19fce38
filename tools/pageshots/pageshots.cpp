// A test-only Win32 program that links the pages: it shows one page as the
// main window ("show NAME"), for the Wine tests and the screenshot tool,
// with sample values in its labels and lists; "show BrowTaloForm N" lists N
// servers through the browse list's own tick.
// "browsebench N" times the browse list's tick with N servers in the table
// and says whether the list shows the current row after it.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/state/context.h"
#include "app/state/wizard_state.h"
#include "gui/win32/win32_ui.h"
#include "pages/Browtalo.h"
#include "pages/Endfrm.h"
#include "pages/Frmakprn.h"
#include "pages/Frmhacd.h"
#include "pages/Frmhawiz.h"
#include "pages/Frmhenet.h"
#include "pages/Frmhiprn.h"
#include "pages/Frmhlex.h"
#include "pages/Frmhlex98.h"
#include "pages/Frmnoprn.h"
#include "pages/Frmsvrip.h"
#include "pages/Mainfrm.h"
#include "pages/Prnfrm.h"
#include "pages/Prnwiz.h"
#include "pages/Qpage.h"
#include "pages/Talowiz.h"
#include "discovery/device_table.h"
#include "monitor/registry_key.h"
#include "gui/win32/win32_picture_source.h"
#include "platform/win32/win32_platform.h"

namespace {

// A PC whose spooler lists two sample printers, so that the printer pages
// show them (and the automatic page does not open "Printer Setting not found").
class SamplePc : public platform::Win32Platform {
 protected:
  platform::Error doEnumPrintersSize(std::uint32_t& needed) override {
    needed = 1024;
    return platform::kErrorInsufficientBuffer;
  }
  platform::Error doEnumPrinters(std::uint32_t,
                                 std::vector<platform::PrinterInfo2>& printers) override {
    printers.resize(2);
    printers[0].printerName = "HP LaserJet 4";
    printers[0].portName = "Remote Port";
    printers[1].printerName = "Epson LQ-570";
    printers[1].portName = "LPT1:";
    return platform::kOk;
  }
  // A stored server address, as after an installation: the monitor's key
  // is there (made when missing), its value the sample.
  platform::Error doRegOpenKey(const std::string& path, platform::RegKey& key) override {
    platform::Error e = Win32Platform::doRegOpenKey(path, key);
    if (e == platform::kErrorFileNotFound && path == monitor::kMonitorKey)
      e = Win32Platform::doRegCreateKey(path, key);
    return e;
  }
  platform::Error doRegQueryValue(platform::RegKey key, const std::string& name,
                                  std::uint32_t& type, std::string& data) override {
    if (name != "Server Address") return Win32Platform::doRegQueryValue(key, name, type, data);
    type = platform::kRegSz;
    data = std::string("10.77.0.2") + '\0';
    return platform::kOk;
  }
  // One adapter, so the search has a subnet (its sends go nowhere here).
  platform::Error doAdaptersInfoSize(std::uint32_t& size) override {
    size = 640;
    return platform::kErrorBufferOverflow;
  }
  platform::Error doAdaptersInfo(std::uint32_t, std::vector<platform::Adapter>& adapters) override {
    adapters = {platform::Adapter{{{"10.77.0.1", "255.255.255.0"}}}};
    return platform::kOk;
  }
};

// Servers in the device table for the browse list's tick; 0: two sample rows.
int sampleServers = 0;

void insertServers(int count) {
  for (int i = 0; i < count; ++i) {
    std::string ip = "10.77." + std::to_string(i / 200) + "." + std::to_string(2 + i % 200);
    discovery::insertTalo(ip, "KX220", i % 3 ? "HP LaserJet 1100 #" + std::to_string(i) : "");
  }
}

// Sample values, set just after the page's show handler has run, so that
// the pictures show filled labels and lists.
void fillSamples() {
  MainForm->PanelUninstall->show();
  MainForm->lblVer->setText("1010");
  MainForm->lblIP->setText("10.77.0.2");
  // The detection page as its first tick would leave it, "Next >" aside.
  TaloWizard->stopSearch();
  TaloWizard->LblProduct->setText("KX220");
  TaloWizard->LblIP->setText("10.77.0.2");
  TaloWizard->LblPrinter->setText("HP LaserJet 4");
  if (sampleServers == 0) {  // else the browse list's tick lists them
    if (BrowTaloForm->ListView->count() == 0) {
      BrowTaloForm->ListView->addRow({"", "KX220", "10.77.0.2", "HP LaserJet 4"});
      BrowTaloForm->ListView->addRow({"", "KX230", "10.77.0.3", ""});
    }
    BrowTaloForm->Timer1->setEnabled(false);
  }
  PrnWizard->LblProduct->setText("HP LaserJet 4");
  EndForm->LblIP->setText("10.77.0.2");
  EndForm->LblPrn->setText("HP LaserJet 4");
}
void CALLBACK samples(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  fillSamples();
}

gui::Win32Ui* theUi = nullptr;
void CALLBACK quit(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); }

// The UI-thread cost of one browse-list tick with a full table: the tick
// that adds every row (and sorts), and a tick that finds nothing new, each
// with the repaint it causes.
int benchServers = 255;

double millisecondsOf(void (*step)()) {
  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&a);
  step();
  QueryPerformanceCounter(&b);
  return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

void tickAndPaint() {
  BrowTaloForm->Timer1Timer();
  UpdateWindow(reinterpret_cast<HWND>(theUi->windowOf(*BrowTaloForm)));
  RedrawWindow(reinterpret_cast<HWND>(theUi->windowOf(*BrowTaloForm)), nullptr, nullptr,
               RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("%s: min %.2f ms, median %.2f ms, max %.2f ms over %zu ticks\n", what, ms.front(),
              ms[ms.size() / 2], ms.back(), ms.size());
}

// What the list view shows after the tick: the current row focused,
// selected and scrolled into view, as the model has it.
void reportCurrentRow() {
  HWND form = reinterpret_cast<HWND>(theUi->windowOf(*BrowTaloForm));
  HWND list = FindWindowExA(form, nullptr, WC_LISTVIEWA, nullptr);
  auto next = [&](UINT flags) {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), flags));
  };
  int focused = next(LVNI_FOCUSED), selected = next(LVNI_SELECTED);
  int top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
  int page = static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
  int model = BrowTaloForm->ListView->focusedRow();
  bool ok = focused == model && selected == model && model >= top && model < top + page;
  std::printf("current row %d: %s (list: focused %d, selected %d, rows %d to %d shown)\n", model,
              ok ? "focused, selected and shown" : "NOT as the model has it", focused, selected,
              top, top + page - 1);
}

void CALLBACK benchBrowse(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  BrowTaloForm->Timer1->setEnabled(false);
  std::vector<double> adding, steady;
  for (int run = 0; run < 20; ++run) {
    BrowTaloForm->ListView->clear();
    BrowTaloForm->LblTALO->setText("0");
    adding.push_back(millisecondsOf(tickAndPaint));
    if (run == 0) reportCurrentRow();
    steady.push_back(millisecondsOf(tickAndPaint));
  }
  std::printf("rows %d\n", BrowTaloForm->ListView->count());
  report("tick adding every row", adding);
  report("tick with nothing new", steady);
  std::fflush(stdout);
  BrowTaloForm->close();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  std::string mode = argv[1], arg = argv[2];
  // Never destroyed: the receiver thread is not waited for at exit.
  SamplePc& os = *new SamplePc;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  gui::Win32PictureSource pictures(instance);
  gui::Win32Ui ui(os, instance, &pictures);
  theUi = &ui;
  os.setWindowText(ui.applicationWindow(), "Page shots");
  os.setApplication(ui.applicationWindow(), "Page shots");
  osMajorVersion = os.osMajorVersion();
  app::setContext(&os, &ui);
  app::createPages(ui);
  const std::vector<gui::Form*>& all = app::createdPages();
  if (mode == "show") {
    if (argc > 3) {
      sampleServers = std::max(0, std::min(255, std::atoi(argv[3])));
      insertServers(sampleServers);
    }
    for (auto& p : all) {
      if (p->name() != arg) continue;
      // Bounded: the page ends by itself after two minutes.
      SetTimer(nullptr, 0, 120000, quit);
      SetTimer(nullptr, 0, 50, samples);
      // What other pages read while this one shows: the detection page's
      // server and the chosen printer.
      TaloWizard->LblPrinter->setText("HP LaserJet 4");
      PrnWizard->LblProduct->setText("HP LaserJet 4");
      ui.run(*p);
      return 0;
    }
    return 3;
  }
  if (mode == "browsebench") {
    benchServers = std::max(1, std::min(255, std::atoi(arg.c_str())));
    insertServers(benchServers);
    TaloWizard->LblIP->setText("10.77.0.100");
    SetTimer(nullptr, 0, 1000, benchBrowse);
    ui.showModal(*BrowTaloForm);
    return 0;
  }
  return 2;
}
