// A test-only Win32 program that links the pages: it shows one page as the
// main window ("show NAME"), for the Wine tests and the screenshot tool.  The work behind the buttons does nothing but fill in sample values.
// "browsebench N" times the browse list's tick with N servers in the table.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/context.h"
#include "app/wizard_state.h"
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
#include "pages/live_work.h"
#include "pages/wizard_work.h"
#include "discovery/device_table.h"
#include "pictures/win32_picture_source.h"
#include "platform/win32/win32_platform.h"

namespace {

// Sample values, so that the pictures show filled labels and lists.
class SampleWork : public pages::NoWork {
 public:
  void welcomeShow() override {
    MainForm->lblVer->setText("1010");
    MainForm->lblIP->setText("10.77.0.2");
  }
  void detectionShow() override {
    TaloWizard->LblProduct->setText("KX220");
    TaloWizard->LblIP->setText("10.77.0.2");
    TaloWizard->LblPrinter->setText("HP LaserJet 4");
  }
  void browseShow() override {
    BrowTaloForm->ListView->addRow({"", "KX220", "10.77.0.2", "HP LaserJet 4"});
    BrowTaloForm->ListView->addRow({"", "KX230", "10.77.0.3", ""});
  }
  void pickPrinter() override { PrnWizard->LblProduct->setText("HP LaserJet 4"); }
  void fillPrinterList() override {
    PrnForm->ListView->addRow({"", "HP LaserJet 4", "Remote Port"});
    PrnForm->ListView->addRow({"", "Epson LQ-570", "LPT1:"});
  }
  void endShow() override {
    EndForm->LblIP->setText("10.77.0.2");
    EndForm->LblPrn->setText("HP LaserJet 4");
  }
};

SampleWork sampleWork;
gui::Win32Ui* theUi = nullptr;
void CALLBACK quit(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); }

// The UI-thread cost of one browse-list tick with a full table: the tick
// that adds every row (and sorts), and a tick that finds nothing new, each
// with the repaint it causes.
pages::LiveWork liveWork;
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
  liveWork.browseTick();
  UpdateWindow(reinterpret_cast<HWND>(theUi->windowOf(*BrowTaloForm)));
  RedrawWindow(reinterpret_cast<HWND>(theUi->windowOf(*BrowTaloForm)), nullptr, nullptr,
               RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("%s: min %.2f ms, median %.2f ms, max %.2f ms over %zu ticks\n", what, ms.front(),
              ms[ms.size() / 2], ms.back(), ms.size());
}

void CALLBACK benchBrowse(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  BrowTaloForm->Timer1->setEnabled(false);
  std::vector<double> adding, steady;
  for (int run = 0; run < 20; ++run) {
    BrowTaloForm->ListView->clear();
    BrowTaloForm->LblTALO->setText("0");
    adding.push_back(millisecondsOf(tickAndPaint));
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
  platform::Win32Platform& os = *new platform::Win32Platform;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  pictures::Win32PictureSource pictures(instance);
  gui::Win32Ui ui(os, instance, &pictures);
  theUi = &ui;
  os.setWindowText(ui.applicationWindow(), "Page shots");
  os.setApplication(ui.applicationWindow(), "Page shots");
  osMajorVersion = os.osMajorVersion();
  app::setContext(&os, &ui);
  pages::setWizardWork(&sampleWork);
  app::createPages(ui);
  const std::vector<gui::Form*>& all = app::createdPages();
  if (mode == "show") {
    for (auto& p : all) {
      if (p->name() != arg) continue;
      // Bounded: the page ends by itself after two minutes.
      SetTimer(nullptr, 0, 120000, quit);
      ui.run(*p);
      return 0;
    }
    return 3;
  }
  if (mode == "browsebench") {
    benchServers = std::max(1, std::min(255, std::atoi(arg.c_str())));
    pages::setWizardWork(&liveWork);
    for (int i = 0; i < benchServers; ++i) {
      std::string ip = "10.77." + std::to_string(i / 200) + "." + std::to_string(2 + i % 200);
      discovery::insertTalo(ip, "KX220", i % 3 ? "HP LaserJet 1100 #" + std::to_string(i) : "");
    }
    TaloWizard->LblIP->setText("10.77.0.100");
    SetTimer(nullptr, 0, 1000, benchBrowse);
    ui.showModal(*BrowTaloForm);
    return 0;
  }
  return 2;
}
