// The port changes on Wine's real spooler, through the Win32 seam: test
// printers are made with AddPrinterDriverA/AddPrinterA, changed by the
// printers library, and read back with GetPrinterA directly.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/state/wizard_state.h"
#include "platform/win32/win32_platform.h"
#include "printers/matching.h"
#include "printers/ports.h"
#include "printers/printer_list.h"
#include "journal/journal.h"
#include "tools/fixtures/test_pc.h"

namespace {

const char kDriver[] = "Wzt Test PostScript";
// Made in this order; Wine lists them by name, Alpha first.
const char* const kPrinters[] = {"Wzt Beta 20", "Wzt Alpha 10"};

// The seam with message boxes recorded instead of shown, and questions
// answered Yes.
class QuietWin32 : public platform::Win32Platform {
 public:
  std::vector<std::string> boxes;

 protected:
  platform::Error doMessageBox(platform::WindowId, const std::string& text, const std::string&,
                               platform::Buttons buttons, platform::Icon,
                               platform::Answer& answer) override {
    boxes.push_back(text);
    answer = buttons == platform::Buttons::YesNo ? platform::Answer::Yes : platform::Answer::Ok;
    return platform::kOk;
  }
};

// One printer's level-2 record as the spooler gives it, read without the seam.
struct Raw {
  bool found = false;
  std::vector<std::string> texts;  // every text field, "<null>" for none
  std::string port;
  std::vector<BYTE> devMode;
  bool securityDescriptor = false;
  std::vector<DWORD> numbers;
};

std::string text(const char* t) { return t ? t : "<null>"; }

Raw readDirect(const std::string& name) {
  Raw raw;
  HANDLE h = nullptr;
  std::string n = name;
  if (!OpenPrinterA(n.data(), &h, nullptr)) return raw;
  DWORD needed = 0;
  GetPrinterA(h, 2, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed ? needed : 1);
  if (GetPrinterA(h, 2, buffer.data(), needed, &needed)) {
    const auto* r = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    raw.found = true;
    raw.texts = {text(r->pServerName), text(r->pPrinterName),    text(r->pShareName),
                 text(r->pDriverName), text(r->pComment),        text(r->pLocation),
                 text(r->pSepFile),    text(r->pPrintProcessor), text(r->pDatatype),
                 text(r->pParameters)};
    raw.port = text(r->pPortName);
    if (r->pDevMode) {
      const auto* d = reinterpret_cast<const BYTE*>(r->pDevMode);
      raw.devMode.assign(d, d + r->pDevMode->dmSize + r->pDevMode->dmDriverExtra);
    }
    raw.securityDescriptor = r->pSecurityDescriptor != nullptr;
    raw.numbers = {r->Attributes, r->Priority, r->DefaultPriority, r->StartTime,
                   r->UntilTime,  r->Status,   r->cJobs,           r->AveragePPM};
  }
  ClosePrinter(h);
  return raw;
}

// Everything but the port is the same.
void expectSameButPort(const Raw& after, const Raw& before) {
  ASSERT_TRUE(after.found);
  EXPECT_EQ(after.texts, before.texts);
  EXPECT_EQ(after.devMode, before.devMode);
  EXPECT_EQ(after.securityDescriptor, before.securityDescriptor);
  EXPECT_EQ(after.numbers, before.numbers);
}

void deletePrinter(const char* name) {
  PRINTER_DEFAULTSA all{nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE h = nullptr;
  std::string n = name;
  if (!OpenPrinterA(n.data(), &h, &all)) return;
  DeletePrinter(h);
  ClosePrinter(h);
}

class Win32Spooler : public ::testing::Test {
 protected:
  void SetUp() override {
    resetWizardState();
    for (const char* p : kPrinters) deletePrinter(p);
    ASSERT_TRUE(testpc::addPostScriptDriver(kDriver)) << GetLastError();
    DWORD priority = 3;
    for (const char* name : kPrinters) {
      std::string share = std::string("share ") + name;
      std::string comment = std::string("comment of ") + name;
      PRINTER_INFO_2A p{};
      p.pPrinterName = const_cast<char*>(name);
      p.pShareName = share.data();
      p.pPortName = const_cast<char*>("LPT1:");
      p.pDriverName = const_cast<char*>(kDriver);
      p.pComment = comment.data();
      p.pLocation = const_cast<char*>("room 12");
      p.pPrintProcessor = const_cast<char*>("WinPrint");
      p.pDatatype = const_cast<char*>("RAW");
      p.pParameters = const_cast<char*>("");
      p.Attributes = PRINTER_ATTRIBUTE_LOCAL;
      p.Priority = priority++;
      p.DefaultPriority = 1;
      p.StartTime = 60;
      p.UntilTime = 1200;
      HANDLE h = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&p));
      ASSERT_NE(h, nullptr) << name << ": " << GetLastError();
      ClosePrinter(h);
    }
    osMajorVersion = os.osMajorVersion();
  }
  void TearDown() override {
    for (const char* p : kPrinters) deletePrinter(p);
    DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(kDriver));
    for (const char* p : kPrinters) EXPECT_FALSE(readDirect(p).found) << p << " left behind";
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, journal::kPortsKey);
  }

  // The automatic page's move, a step of its own as the page makes it.
  printers::MoveOutcome move(const std::string& name, const std::function<void(bool)>& busy) {
    journal::Journal journal({os, os, os, osMajorVersion}, "the change of the printer's port");
    printers::MoveOutcome m =
        printers::moveToRemotePort(os, os.prompter(), osMajorVersion, name, busy, journal);
    journal.end(m == printers::MoveOutcome::Moved, os.prompter());
    return m;
  }

  QuietWin32 os;
};

TEST_F(Win32Spooler, EnumeratesTheTestPrintersInNameOrder) {
  std::uint32_t needed = 0;
  ASSERT_EQ(os.enumPrintersSize(needed), platform::kErrorInsufficientBuffer);
  EXPECT_GT(needed, 0u);
  std::vector<platform::PrinterInfo2> list;
  ASSERT_EQ(os.enumPrinters(needed, list), platform::kOk);
  EXPECT_EQ(os.enumPrinters(needed / 2, list), platform::kErrorInsufficientBuffer);
  ASSERT_EQ(os.enumPrinters(needed, list), platform::kOk);
  int alpha = -1, beta = -1;
  for (int i = 0; i < static_cast<int>(list.size()); ++i) {
    if (list[i].printerName == kPrinters[1]) alpha = i;
    if (list[i].printerName == kPrinters[0]) beta = i;
  }
  ASSERT_GE(alpha, 0);
  ASSERT_GE(beta, 0);
  EXPECT_LT(alpha, beta);  // by name, not by creation
  const platform::PrinterInfo2& a = list[static_cast<std::size_t>(alpha)];
  EXPECT_EQ(a.portName, "LPT1:");
  EXPECT_EQ(a.driverName, kDriver);
  EXPECT_EQ(a.comment, std::string("comment of ") + kPrinters[1]);
  EXPECT_EQ(a.location, "room 12");
  EXPECT_EQ(a.shareName, std::string("share ") + kPrinters[1]);
  EXPECT_FALSE(a.devMode.empty());

  // The matching over the real list: Alpha 10 fits, a 30 does not.
  EXPECT_EQ(printers::pickPrinter(os, os.prompter(), "WZT Alpha 10", ""), kPrinters[1]);
  EXPECT_EQ(printers::pickPrinter(os, os.prompter(), "Wzt Beta 20", ""), kPrinters[0]);
  EXPECT_EQ(printers::choosePrinterPage(os, "Wzt 30"), printers::PrinterPage::AskPrinter);
  EXPECT_EQ(printers::choosePrinterPage(os, "Wzt 20"), printers::PrinterPage::Automatic);
  std::vector<printers::PrinterRow> rows;
  ASSERT_TRUE(printers::listPrinters(os, os.prompter(), rows));
  EXPECT_GE(rows.size(), 2u);
  EXPECT_TRUE(os.boxes.empty());
}

TEST_F(Win32Spooler, PortChangesKeepEveryOtherField) {
  const Raw alpha = readDirect(kPrinters[1]);
  const Raw beta = readDirect(kPrinters[0]);
  ASSERT_TRUE(alpha.found);
  ASSERT_EQ(alpha.port, "LPT1:");

  ASSERT_TRUE(
      printers::setPrinterPort(os, os.prompter(), osMajorVersion, kPrinters[1], "Remote Port"));
  Raw moved = readDirect(kPrinters[1]);
  EXPECT_EQ(moved.port, "Remote Port");
  expectSameButPort(moved, alpha);
  expectSameButPort(readDirect(kPrinters[0]), beta);
  EXPECT_EQ(readDirect(kPrinters[0]).port, "LPT1:");

  // Only look, then move it back.
  EXPECT_EQ(printers::checkRemotePort(os, os.prompter(), osMajorVersion, 0), 1);
  EXPECT_EQ(readDirect(kPrinters[1]).port, "Remote Port");
  EXPECT_EQ(printers::checkRemotePort(os, os.prompter(), osMajorVersion, 1), 1);
  Raw back = readDirect(kPrinters[1]);
  EXPECT_EQ(back.port, "LPT1:");
  expectSameButPort(back, alpha);
  EXPECT_EQ(printers::checkRemotePort(os, os.prompter(), osMajorVersion, 0), 0);
  EXPECT_TRUE(os.boxes.empty());
}

TEST_F(Win32Spooler, AutomaticPageMoveAsksAndMoves) {
  const Raw beta = readDirect(kPrinters[0]);
  std::vector<bool> busy;
  EXPECT_EQ(move(kPrinters[0], [&](bool b) { busy.push_back(b); }), printers::MoveOutcome::Moved);
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0],
            std::string("Change ") + kPrinters[0] +
                " port setting \n from \"LPT1:\" to \"Remote Port\" ?");
  EXPECT_EQ(busy, (std::vector<bool>{true, false}));
  Raw moved = readDirect(kPrinters[0]);
  EXPECT_EQ(moved.port, "Remote Port");
  expectSameButPort(moved, beta);
  // Its own port, remembered for "Uninstall"; the step's journal gone.
  printers::RememberedPorts remembered;
  EXPECT_TRUE(printers::rememberedPorts(os, os.prompter(), remembered));
  EXPECT_EQ(remembered[kPrinters[0]], "LPT1:");
  EXPECT_FALSE(testpc::keyExists(journal::kJournalKey));
  // Already there: no question.
  EXPECT_EQ(move(kPrinters[0], nullptr), printers::MoveOutcome::Moved);
  EXPECT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(printers::checkRemotePort(os, os.prompter(), osMajorVersion, 1), 1);
  EXPECT_EQ(readDirect(kPrinters[0]).port, "LPT1:");
}

TEST_F(Win32Spooler, Version4OpensWithoutDefaults) {
  osMajorVersion = 4;
  const Raw alpha = readDirect(kPrinters[1]);
  ASSERT_TRUE(
      printers::setPrinterPort(os, os.prompter(), osMajorVersion, kPrinters[1], "Remote Port"));
  Raw moved = readDirect(kPrinters[1]);
  EXPECT_EQ(moved.port, "Remote Port");
  expectSameButPort(moved, alpha);
  EXPECT_EQ(printers::checkRemotePort(os, os.prompter(), osMajorVersion, 1), 1);
  EXPECT_EQ(readDirect(kPrinters[1]).port, "LPT1:");
}

TEST_F(Win32Spooler, UnknownPrinterIsReported) {
  EXPECT_FALSE(
      printers::setPrinterPort(os, os.prompter(), osMajorVersion, "Wzt Nobody", "Remote Port"));
  EXPECT_EQ(move("Wzt Nobody", nullptr), printers::MoveOutcome::Failed);
  ASSERT_EQ(os.boxes.size(), 2u);
  EXPECT_EQ(os.boxes[0], "GetPrinter Failed!!");
  EXPECT_EQ(os.boxes[1], "GetPrinter Failed!!");
  platform::PrinterHandle h = 0;
  EXPECT_EQ(os.openPrinter("Wzt Nobody", platform::OpenMode::NoDefaults, h),
            platform::kErrorInvalidPrinterName);
  EXPECT_EQ(h, 0u);
}

}  // namespace
