// The test page on Wine's spooler and PostScript driver, printed as the
// completion page prints it: on a printer whose own defaults are US Letter
// landscape it is still an A4 portrait job, the printer's defaults stay as
// they were, and the copies chosen in the real print dialog are printed.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/win32/win32_platform.h"
#include "report/print_target.h"
#include "tests/report_sample.h"
#include "tests/win32/port_to_file.h"
#include "tests/win32/processes.h"
#include "tools/fixtures/test_pc.h"

namespace {

constexpr char kPrinter[] = "Wzt Letter Landscape";
constexpr char kPort[] = "WZTL:";

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class Win32TestPage : public ::testing::Test {
 protected:
  void SetUp() override {
    testpc::deletePrinter(kPrinter);
    ASSERT_TRUE(wintest::makePrinter("oddprinter", kPrinter, kPort));
  }
  void TearDown() override { testpc::deletePrinter(kPrinter); }

  platform::Win32Platform os;
  wintest::PortToFile output{kPort, "test_page_job.ps"};
  const report::Report page = report::testPage(report_sample::values(), {});
};

TEST_F(Win32TestPage, IsAnA4PortraitJobWhateverThePrintersDefaults) {
  {
    // The printer's own defaults, as a plain device context gets them.
    HDC plain = CreateDCA("WINSPOOL", kPrinter, nullptr, nullptr);
    ASSERT_NE(plain, nullptr);
    const double mmWide = GetDeviceCaps(plain, PHYSICALWIDTH) * 25.4 / GetDeviceCaps(plain, LOGPIXELSX);
    const double mmHigh = GetDeviceCaps(plain, PHYSICALHEIGHT) * 25.4 / GetDeviceCaps(plain, LOGPIXELSY);
    DeleteDC(plain);
    ASSERT_NEAR(mmWide, 279.4, 1.0) << "US Letter, landscape";
    ASSERT_NEAR(mmHigh, 215.9, 1.0);
  }
  report::Destination at;
  at.printer = kPrinter;
  ASSERT_EQ(report::printAt(os, at, page), platform::kOk);
  const std::string job = output.printed();
  EXPECT_NE(job.find("%%Orientation: Portrait"), std::string::npos) << job.substr(0, 600);
  EXPECT_NE(job.find("/PageSize[595 842]"), std::string::npos) << "A4";
  EXPECT_EQ(job.find("[612 792]"), std::string::npos) << "no Letter page";
  EXPECT_EQ(count(job, "%%Page: "), 1u);

  EXPECT_TRUE(testpc::landscapeByDefault(kPrinter)) << "the printer's defaults stay";
}

// The dialog's copies field (edt3) set to 3, then OK, as a user would.
void answerPrintDialog(std::atomic<bool>& answered) {
  for (DWORD waited = 0; waited < wintest::patience(30000) && !answered; waited += 100) {
    HWND dialog = FindWindowA("#32770", "Print");
    HWND copies = dialog ? GetDlgItem(dialog, 0x482) : nullptr;
    if (copies && IsWindowVisible(dialog)) {
      SetWindowTextA(copies, "3");
      PostMessageA(dialog, WM_COMMAND, IDOK, 0);
      answered = true;
      return;
    }
    Sleep(100);
  }
}

TEST_F(Win32TestPage, PrintsTheCopiesChosenInThePrintDialog) {
  // The dialog starts on the default printer.
  char before[256] = "";
  DWORD size = sizeof before;
  GetDefaultPrinterA(before, &size);
  ASSERT_TRUE(SetDefaultPrinterA(kPrinter));
  std::atomic<bool> answered{false};
  std::thread user(answerPrintDialog, std::ref(answered));
  // No entry of the engine's list is this: the dialog asks.
  std::uint32_t version = 0;
  os.getVersion(version);
  const report::Destination at =
      report::chooseDestination(os, version, 0, "No Such Printer on Remote Port");
  answered = true;
  user.join();
  if (before[0]) SetDefaultPrinterA(before);
  ASSERT_EQ(at.error, platform::kOk);
  EXPECT_TRUE(at.dialogShown);
  EXPECT_EQ(at.printer, kPrinter);
  EXPECT_EQ(at.copies, 3);
  ASSERT_EQ(report::printAt(os, at, page), platform::kOk);
  const std::string job = output.printed();
  EXPECT_EQ(count(job, "%%Page: "), 3u);
}

}  // namespace
