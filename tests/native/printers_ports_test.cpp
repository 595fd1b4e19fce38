// The printer choice and the port changes on the in-memory PC's spooler:
// what is proposed, what is asked and shown, what the spooler holds after.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/state/wizard_state.h"
#include "platform/fake/fake_pc.h"
#include "printers/matching.h"
#include "printers/ports.h"
#include "printers/printer_list.h"
#include "journal/journal.h"

namespace {

using platform::Answer;
using platform::Buttons;
using platform::Error;
using platform::FakePc;
using platform::Icon;
using platform::OpenMode;
using platform::PrinterInfo2;
using platform::SpoolerCall;
using printers::MoveOutcome;

constexpr Error kAccessDenied = 5;

// A printer with every field of its record set to something of its own.
void addRich(FakePc& pc, const std::string& name, const std::string& port) {
  PrinterInfo2& p = pc.addPrinter(name, port, name + " Driver");
  p.serverName = std::nullopt;
  p.shareName = "share " + name;
  p.comment = "comment of " + name;
  p.location = "room 12";
  p.sepFile = "C:\\sep\\page.sep";
  p.printProcessor = "WinPrint";
  p.datatype = "NT EMF 1.008";
  p.parameters = "duplex=1";
  p.devMode.assign(188, 0x5A);
  p.devMode[36] = 156;
  p.devMode[38] = 32;  // dmDriverExtra
  p.securityDescriptor = {1, 0, 4, 0x80, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9};
  p.attributes = 0x248;
  p.priority = 7;
  p.defaultPriority = 3;
  p.startTime = 60;
  p.untilTime = 1200;
  p.status = 0x8;
  p.jobs = 2;
  p.averagePpm = 9;
}

// The remembered ports, read without a failure.
printers::RememberedPorts remembered(FakePc& pc) {
  printers::RememberedPorts ports;
  EXPECT_TRUE(printers::rememberedPorts(pc, pc.prompter(), ports));
  return ports;
}

// The move as the pages and the unattended mode make it: a step of its own.
template <class Pc>
MoveOutcome move(Pc& pc, const std::string& name, const std::function<void(bool)>& busy) {
  journal::Journal journal({pc, pc, pc, osMajorVersion}, "the change of the printer's port");
  MoveOutcome m =
      printers::moveToRemotePort(pc, pc.prompter(), osMajorVersion, name, busy, journal);
  journal.end(m == MoveOutcome::Moved, pc.prompter());
  return m;
}

struct Box {
  std::string text, caption;
  Buttons buttons;
  Icon icon;
  platform::WindowId owner;
};

class PrinterPorts : public ::testing::Test {
 protected:
  void SetUp() override {
    resetWizardState();
    osMajorVersion = 5;
    app = pc.addWindow(kAppClass, kAppTitle);
    pc.setApplication(app, kAppTitle);
  }
  void TearDown() override {
    EXPECT_TRUE(pc.printerHandles.empty()) << "a printer was left open";
    EXPECT_FALSE(pc.unexpectedQuestion);
  }

  // The plain dialog: the program's title, OK, no icon, the application window.
  void expectPlainMessages(const std::vector<std::string>& texts) {
    ASSERT_EQ(pc.boxes.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
      EXPECT_EQ(pc.boxes[i].text, texts[i]);
      EXPECT_EQ(pc.boxes[i].caption, kAppTitle);
      EXPECT_EQ(pc.boxes[i].buttons, Buttons::Ok);
      EXPECT_EQ(pc.boxes[i].icon, Icon::None);
      EXPECT_EQ(pc.boxes[i].owner, app);
    }
  }
  std::vector<OpenMode> openModes() const {
    std::vector<OpenMode> modes;
    for (const auto& o : pc.printerOpens) modes.push_back(o.mode);
    return modes;
  }
  // The record as it should be after a move to `port`: only the port differs.
  static PrinterInfo2 movedTo(PrinterInfo2 record, const std::string& port) {
    record.portName = port;
    return record;
  }

  FakePc pc;
  platform::WindowId app = 0;
};

// --- choosePrinterPage -----------------------------------------------------

TEST_F(PrinterPorts, ChoosePageAutomaticWithoutPrintersOrList) {
  EXPECT_EQ(printers::choosePrinterPage(pc, "Lexmark Z34"), printers::PrinterPage::Automatic);
  pc.addPrinter("Epson A", "LPT1:");
  pc.failCall(SpoolerCall::EnumPrintersSizing, kAccessDenied, 1);
  EXPECT_EQ(printers::choosePrinterPage(pc, "Lexmark Z34"), printers::PrinterPage::Automatic);
  pc.failCall(SpoolerCall::EnumPrinters, kAccessDenied, 1);
  EXPECT_EQ(printers::choosePrinterPage(pc, "Lexmark Z34"), printers::PrinterPage::Automatic);
  EXPECT_TRUE(pc.boxes.empty());  // it reports nothing
  // The list read again: no fit.
  EXPECT_EQ(printers::choosePrinterPage(pc, "Lexmark Z34"), printers::PrinterPage::AskPrinter);
}

TEST_F(PrinterPorts, ChoosePageAsksWhenAReadableListIsEmpty) {
  // The size query wants a buffer, then the list holds no records: no full match.
  pc.failCall(SpoolerCall::EnumPrintersSizing, platform::kErrorInsufficientBuffer, 1);
  EXPECT_EQ(printers::choosePrinterPage(pc, "Lexmark Z34"), printers::PrinterPage::AskPrinter);
}

TEST_F(PrinterPorts, ChoosePageByFullMatch) {
  for (const char* name : {"Epson A", "Lexmark X50", "Lexmark X52"}) pc.addPrinter(name, "LPT1:");
  EXPECT_EQ(printers::choosePrinterPage(pc, "Lexmark Z34"), printers::PrinterPage::AskPrinter);
  EXPECT_EQ(printers::choosePrinterPage(pc, ""), printers::PrinterPage::AskPrinter);
  pc.addPrinter("Lexmark Z34 Color Jetprinter", "LPT1:");
  EXPECT_EQ(printers::choosePrinterPage(pc, "LexMark Z34"), printers::PrinterPage::Automatic);
  EXPECT_EQ(printers::choosePrinterPage(pc, ""), printers::PrinterPage::AskPrinter);
  pc.addPrinter("HP LaserJet 1100", "LPT1:");
  EXPECT_EQ(printers::choosePrinterPage(pc, "Hewlett-Packard LaserJet 1100"),
            printers::PrinterPage::Automatic);
  EXPECT_TRUE(pc.boxes.empty());
}

// --- pickPrinter -----------------------------------------------------------

TEST_F(PrinterPorts, PickKeepsTheGivenNameWithoutPrinters) {
  EXPECT_EQ(printers::pickPrinter(pc, pc.prompter(), "Lexmark Z34", ""), "");
  EXPECT_EQ(printers::pickPrinter(pc, pc.prompter(), "Lexmark Z34", "given"), "given");
  EXPECT_TRUE(pc.boxes.empty());
}

TEST_F(PrinterPorts, PickProposesFullMatchElseLastSameMakerElseFirst) {
  for (const char* name : {"Epson A", "Lexmark X50", "Lexmark X52"}) pc.addPrinter(name, "LPT1:");
  EXPECT_EQ(printers::pickPrinter(pc, pc.prompter(), "Lexmark Z34", ""), "Lexmark X52");
  EXPECT_EQ(printers::pickPrinter(pc, pc.prompter(), "Canon i560", ""), "Epson A");
  EXPECT_EQ(printers::pickPrinter(pc, pc.prompter(), "", "given"), "Epson A");
  // The first full match stops the walk.
  pc.addPrinter("Lexmark Z34 Color", "LPT1:");
  pc.addPrinter("Lexmark Z34 Mono", "LPT1:");
  pc.addPrinter("Lexmark X99", "LPT1:");
  EXPECT_EQ(printers::pickPrinter(pc, pc.prompter(), "Lexmark Z34", ""), "Lexmark Z34 Color");
  EXPECT_TRUE(pc.boxes.empty());
}

TEST_F(PrinterPorts, PickShowsEnumerationFailures) {
  pc.addPrinter("Epson A", "LPT1:");
  pc.failCall(SpoolerCall::EnumPrintersSizing, kAccessDenied, 1);
  EXPECT_EQ(printers::pickPrinter(pc, pc.prompter(), "Epson", "given"), "given");
  pc.failCall(SpoolerCall::EnumPrinters, kAccessDenied, 1);
  EXPECT_EQ(printers::pickPrinter(pc, pc.prompter(), "Epson", ""), "");
  expectPlainMessages({"EnumPrinters Failed!!", "EnumPrinters Failed!!"});
}

// --- setPrinterPort --------------------------------------------------------

TEST_F(PrinterPorts, SetPortChangesOnlyThePort) {
  addRich(pc, "Lexmark Z34", "LPT1:");
  addRich(pc, "Epson A", "LPT1:");
  const PrinterInfo2 before = *pc.printer("Lexmark Z34");
  const PrinterInfo2 other = *pc.printer("Epson A");
  ASSERT_TRUE(
      printers::setPrinterPort(pc, pc.prompter(), osMajorVersion, "Lexmark Z34", "Remote Port"));
  EXPECT_EQ(*pc.printer("Lexmark Z34"), movedTo(before, "Remote Port"));
  EXPECT_EQ(*pc.printer("Epson A"), other);
  // The write carried no security descriptor and everything else as read.
  ASSERT_EQ(pc.printerWrites.size(), 1u);
  PrinterInfo2 expected = movedTo(before, "Remote Port");
  expected.securityDescriptor.clear();
  EXPECT_EQ(pc.printerWrites[0], expected);
  EXPECT_TRUE(pc.boxes.empty());

  ASSERT_TRUE(printers::setPrinterPort(pc, pc.prompter(), osMajorVersion, "Lexmark Z34", "LPT1:"));
  EXPECT_EQ(*pc.printer("Lexmark Z34"), before);
}

TEST_F(PrinterPorts, SetPortOpenModeByVersion) {
  pc.addPrinter("Epson A", "LPT1:");
  osMajorVersion = 4;
  ASSERT_TRUE(
      printers::setPrinterPort(pc, pc.prompter(), osMajorVersion, "Epson A", "Remote Port"));
  osMajorVersion = 5;
  ASSERT_TRUE(printers::setPrinterPort(pc, pc.prompter(), osMajorVersion, "Epson A", "LPT1:"));
  osMajorVersion = 6;
  ASSERT_TRUE(
      printers::setPrinterPort(pc, pc.prompter(), osMajorVersion, "Epson A", "Remote Port"));
  EXPECT_EQ(openModes(),
            (std::vector<OpenMode>{OpenMode::NoDefaults, OpenMode::Administer,
                                   OpenMode::Administer}));
}

TEST_F(PrinterPorts, SetPortFailuresChangeNothing) {
  pc.addPrinter("Epson A", "LPT1:");
  const PrinterInfo2 before = *pc.printer("Epson A");
  EXPECT_FALSE(printers::setPrinterPort(pc, pc.prompter(), osMajorVersion, "No Such Printer",
                                        "Remote Port"));
  pc.failCall(SpoolerCall::GetPrinterSizing, kAccessDenied, 1);
  EXPECT_FALSE(
      printers::setPrinterPort(pc, pc.prompter(), osMajorVersion, "Epson A", "Remote Port"));
  pc.failCall(SpoolerCall::GetPrinter, platform::kErrorInsufficientBuffer, 1);
  EXPECT_FALSE(
      printers::setPrinterPort(pc, pc.prompter(), osMajorVersion, "Epson A", "Remote Port"));
  pc.failCall(SpoolerCall::SetPrinter, kAccessDenied, 1);
  EXPECT_FALSE(
      printers::setPrinterPort(pc, pc.prompter(), osMajorVersion, "Epson A", "Remote Port"));
  EXPECT_EQ(*pc.printer("Epson A"), before);
  expectPlainMessages({"GetPrinter Failed!!", "GetPrinter Failed!!", "GetPrinter Falied!!",
                       "SetPrinter Failed!!\nCode 5"});
}

// A spooler whose size query says the record needs no buffer.
class SizeQuerySucceeds : public FakePc {
 protected:
  Error doPrinterSize(platform::PrinterHandle, std::uint32_t& needed) override {
    needed = 0;
    return platform::kOk;
  }
};

TEST(PrinterPortsOddSpooler, SizeQueryThatSucceedsIsAFailure) {
  resetWizardState();
  osMajorVersion = 5;
  SizeQuerySucceeds pc;
  pc.setApplication(pc.addWindow(kAppClass, kAppTitle), kAppTitle);
  pc.addPrinter("Epson A", "LPT1:");
  EXPECT_FALSE(
      printers::setPrinterPort(pc, pc.prompter(), osMajorVersion, "Epson A", "Remote Port"));
  int busyCalls = 0;
  EXPECT_EQ(move(pc, "Epson A", [&](bool) { ++busyCalls; }), MoveOutcome::Failed);
  EXPECT_EQ(busyCalls, 0);
  ASSERT_EQ(pc.boxes.size(), 2u);
  EXPECT_EQ(pc.boxes[0].text, "GetPrinter Falied!!");
  EXPECT_EQ(pc.boxes[1].text, "GetPrinter Falied!!");
  EXPECT_EQ(pc.printer("Epson A")->portName, "LPT1:");
  EXPECT_TRUE(pc.printerWrites.empty());
  EXPECT_TRUE(pc.printerHandles.empty());
}

// --- moveToRemotePort (the automatic page's Next) -------------------------

TEST_F(PrinterPorts, MoveAsksAndMovesOnYes) {
  addRich(pc, "Lexmark Z34", "LPT1:");
  const PrinterInfo2 before = *pc.printer("Lexmark Z34");
  pc.answers.push_back(Answer::Yes);
  std::vector<bool> busy;
  std::size_t writesWhenBusy = 99;
  EXPECT_EQ(move(pc, "Lexmark Z34",
                 [&](bool b) {
                   busy.push_back(b);
                   if (b) writesWhenBusy = pc.printerWrites.size();
                 }),
            MoveOutcome::Moved);
  ASSERT_EQ(pc.boxes.size(), 1u);
  EXPECT_EQ(pc.boxes[0].text,
            "Change Lexmark Z34 port setting \n from \"LPT1:\" to \"Remote Port\" ?");
  EXPECT_EQ(pc.boxes[0].caption, "Information");
  EXPECT_EQ(pc.boxes[0].buttons, Buttons::YesNo);
  EXPECT_EQ(pc.boxes[0].icon, Icon::Information);
  EXPECT_EQ(pc.boxes[0].owner, app);
  EXPECT_EQ(busy, (std::vector<bool>{true, false}));
  EXPECT_EQ(writesWhenBusy, 0u);  // busy before the write
  EXPECT_EQ(*pc.printer("Lexmark Z34"), movedTo(before, "Remote Port"));
  ASSERT_EQ(pc.printerWrites.size(), 1u);
  EXPECT_TRUE(pc.printerWrites[0].securityDescriptor.empty());
  // Opened without defaults, then again to administer it before the write.
  EXPECT_EQ(openModes(), (std::vector<OpenMode>{OpenMode::NoDefaults, OpenMode::Administer}));
}

TEST_F(PrinterPorts, MoveOnVersion4KeepsTheFirstOpen) {
  pc.addPrinter("Epson A", "LPT1:");
  osMajorVersion = 4;
  pc.answers.push_back(Answer::Yes);
  EXPECT_EQ(move(pc, "Epson A", nullptr), MoveOutcome::Moved);
  EXPECT_EQ(openModes(), (std::vector<OpenMode>{OpenMode::NoDefaults}));
  EXPECT_EQ(pc.printer("Epson A")->portName, "Remote Port");
}

TEST_F(PrinterPorts, MoveDeclinedLeavesThePrinter) {
  addRich(pc, "Epson A", "LPT1:");
  const PrinterInfo2 before = *pc.printer("Epson A");
  pc.answers.push_back(Answer::No);
  int busyCalls = 0;
  EXPECT_EQ(move(pc, "Epson A", [&](bool) { ++busyCalls; }), MoveOutcome::Declined);
  EXPECT_EQ(busyCalls, 0);
  EXPECT_EQ(*pc.printer("Epson A"), before);
  EXPECT_TRUE(pc.printerWrites.empty());
  ASSERT_EQ(pc.boxes.size(), 1u);
  EXPECT_EQ(pc.boxes[0].answer, Answer::No);
}

TEST_F(PrinterPorts, MoveAlreadyOnRemotePortAsksNothingAndWritesAgain) {
  addRich(pc, "Epson A", "Remote Port");
  const PrinterInfo2 before = *pc.printer("Epson A");
  EXPECT_EQ(move(pc, "Epson A", nullptr), MoveOutcome::Moved);
  EXPECT_TRUE(pc.boxes.empty());
  EXPECT_EQ(pc.printerWrites.size(), 1u);
  EXPECT_EQ(*pc.printer("Epson A"), before);
}

TEST_F(PrinterPorts, MoveAsksAboutAPortListAndAMissingPort) {
  pc.addPrinter("Epson A", "Remote Port,LPT1:");
  pc.addPrinter("Epson B", "LPT1:").portName = std::nullopt;
  pc.answers = {Answer::No, Answer::No};
  EXPECT_EQ(move(pc, "Epson A", nullptr), MoveOutcome::Declined);
  EXPECT_EQ(move(pc, "Epson B", nullptr), MoveOutcome::Declined);
  ASSERT_EQ(pc.boxes.size(), 2u);
  EXPECT_EQ(pc.boxes[0].text,
            "Change Epson A port setting \n from \"Remote Port,LPT1:\" to \"Remote Port\" ?");
  EXPECT_EQ(pc.boxes[1].text, "Change Epson B port setting \n from \"\" to \"Remote Port\" ?");
}

// "Epson A" on "LPT1:" moved after a Yes, and the move fails: the hourglass
// comes and goes, the printer stays where it was, and the box after the
// question says `why`.
template <class Pc>
void expectFailedMove(Pc& pc, const std::string& why) {
  pc.answers.push_back(Answer::Yes);
  std::vector<bool> busy;
  EXPECT_EQ(move(pc, "Epson A", [&](bool b) { busy.push_back(b); }), MoveOutcome::Failed);
  EXPECT_EQ(busy, (std::vector<bool>{true, false}));
  EXPECT_EQ(pc.printer("Epson A")->portName, "LPT1:");
  ASSERT_EQ(pc.boxes.size(), 2u);
  EXPECT_EQ(pc.boxes[1].text, why);
}

TEST_F(PrinterPorts, MoveWriteFailureStaysWithTheMessage) {
  pc.addPrinter("Epson A", "LPT1:");
  pc.failCall(SpoolerCall::SetPrinter, kAccessDenied, 1);
  ASSERT_NO_FATAL_FAILURE(expectFailedMove(pc, "SetPrinter Failed!!\nCode 5"));
  EXPECT_EQ(pc.boxes[1].caption, kAppTitle);
  EXPECT_EQ(pc.boxes[1].icon, Icon::None);
  EXPECT_EQ(pc.boxes[1].owner, app);
}

TEST_F(PrinterPorts, MoveReadFailuresShowTheirMessages) {
  pc.addPrinter("Epson A", "LPT1:");
  EXPECT_EQ(move(pc, "Nobody", nullptr), MoveOutcome::Failed);
  pc.failCall(SpoolerCall::GetPrinterSizing, platform::kErrorInvalidHandle, 1);
  EXPECT_EQ(move(pc, "Epson A", nullptr), MoveOutcome::Failed);
  pc.failCall(SpoolerCall::GetPrinter, kAccessDenied, 1);
  EXPECT_EQ(move(pc, "Epson A", nullptr), MoveOutcome::Failed);
  expectPlainMessages({"GetPrinter Failed!!", "GetPrinter Failed!!", "GetPrinter Falied!!"});
  EXPECT_TRUE(pc.printerWrites.empty());
}

// A spooler that refuses administer access, as for a user without rights.
class NoAdminRights : public FakePc {
 protected:
  Error doOpenPrinter(const std::string& name, OpenMode mode,
                      platform::PrinterHandle& handle) override {
    if (mode == OpenMode::Administer) return kAccessDenied;
    return FakePc::doOpenPrinter(name, mode, handle);
  }
};

TEST(PrinterPortsOddSpooler, MoveWithoutAdministerAccessFails) {
  resetWizardState();
  osMajorVersion = 5;
  NoAdminRights pc;
  pc.setApplication(pc.addWindow(kAppClass, kAppTitle), kAppTitle);
  pc.addPrinter("Epson A", "LPT1:");
  expectFailedMove(pc, "OpenPrinter Failed!\nCode 5");  // the call that failed
  EXPECT_TRUE(pc.printerHandles.empty());
  // setPrinterPort opens the same way and fails the same way.
  EXPECT_FALSE(
      printers::setPrinterPort(pc, pc.prompter(), osMajorVersion, "Epson A", "Remote Port"));
  EXPECT_EQ(pc.boxes.back().text, "GetPrinter Failed!!");
}

// Names past 255 characters: compared by their first 255, used whole.
TEST_F(PrinterPorts, LongNamesAreUsedWhole) {
  std::string longName = "Lexmark " + std::string(300, 'Q') + " 34";
  pc.addPrinter("Epson A", "LPT1:");
  pc.addPrinter(longName, "LPT1:");
  // Its model number lies past the limit: same maker, model 0.
  EXPECT_EQ(printers::pickPrinter(pc, pc.prompter(), "Lexmark Z34", ""), longName);
  EXPECT_EQ(printers::choosePrinterPage(pc, "Lexmark Z34"), printers::PrinterPage::AskPrinter);
  EXPECT_EQ(printers::choosePrinterPage(pc, "Lexmark"), printers::PrinterPage::Automatic);

  pc.answers.push_back(Answer::Yes);
  EXPECT_EQ(move(pc, longName, nullptr), MoveOutcome::Moved);
  ASSERT_EQ(pc.boxes.size(), 1u);
  EXPECT_EQ(pc.boxes[0].text,
            "Change " + longName + " port setting \n from \"LPT1:\" to \"Remote Port\" ?");
  std::string longPort = "Port " + std::string(300, 'P');
  ASSERT_TRUE(printers::setPrinterPort(pc, pc.prompter(), osMajorVersion, longName, longPort));
  EXPECT_EQ(pc.printer(longName)->portName, longPort);
  EXPECT_EQ(pc.printerOpens.back().name, longName);
}

// --- checkRemotePort -------------------------------------------------------

class PrinterRemotePortCheck : public PrinterPorts {
 protected:
  void SetUp() override {
    PrinterPorts::SetUp();
    addRich(pc, "A remote", "Remote Port");
    addRich(pc, "B parallel", "LPT1:");
    addRich(pc, "C both", "Remote Port,LPT1:");
    before = pc.printers;
  }
  std::vector<PrinterInfo2> before;
};

TEST_F(PrinterRemotePortCheck, LookingChangesNothing) {
  EXPECT_EQ(printers::checkRemotePort(pc, pc.prompter(), osMajorVersion, 0), 1);
  EXPECT_EQ(pc.printers, before);
  EXPECT_TRUE(pc.printerOpens.empty());
  EXPECT_TRUE(pc.printerWrites.empty());
  EXPECT_TRUE(pc.boxes.empty());
}

TEST_F(PrinterRemotePortCheck, MovingMovesOnlyTheExactPort) {
  EXPECT_EQ(printers::checkRemotePort(pc, pc.prompter(), osMajorVersion, 1), 1);
  EXPECT_EQ(pc.printers[0], movedTo(before[0], "LPT1:"));
  EXPECT_EQ(pc.printers[1], before[1]);
  EXPECT_EQ(pc.printers[2], before[2]);
  ASSERT_EQ(pc.printerWrites.size(), 1u);
  PrinterInfo2 written = movedTo(before[0], "LPT1:");
  written.securityDescriptor.clear();
  EXPECT_EQ(pc.printerWrites[0], written);
  EXPECT_EQ(openModes(), (std::vector<OpenMode>{OpenMode::Administer}));
  EXPECT_EQ(printers::checkRemotePort(pc, pc.prompter(), osMajorVersion, 0), 0);
  EXPECT_TRUE(pc.boxes.empty());
}

TEST_F(PrinterRemotePortCheck, MovingOnVersion4OpensWithoutDefaults) {
  osMajorVersion = 4;
  EXPECT_EQ(printers::checkRemotePort(pc, pc.prompter(), osMajorVersion, 1), 1);
  EXPECT_EQ(openModes(), (std::vector<OpenMode>{OpenMode::NoDefaults}));
}

// The caller puts back what was moved before: no further printer moves.
TEST_F(PrinterRemotePortCheck, AFailedMoveStopsTheMovesAndReportsFailure) {
  addRich(pc, "D remote", "Remote Port");
  pc.failCall(SpoolerCall::SetPrinter, kAccessDenied, 1);
  EXPECT_EQ(printers::checkRemotePort(pc, pc.prompter(), osMajorVersion, 1), -1);
  EXPECT_EQ(pc.printers[0].portName, "Remote Port");  // the failed one stays
  EXPECT_EQ(pc.printers[3].portName, "Remote Port");  // and the next one
  expectPlainMessages({"SetPrinter Failed!!\nCode 5"});
  EXPECT_EQ(printers::checkRemotePort(pc, pc.prompter(), osMajorVersion, 0), 1);
}

TEST_F(PrinterRemotePortCheck, AFailedOpenCountsAsAFailedMove) {
  pc.failCall(SpoolerCall::OpenPrinter, kAccessDenied, 1);
  EXPECT_EQ(printers::checkRemotePort(pc, pc.prompter(), osMajorVersion, 1), -1);
  EXPECT_EQ(pc.printers, before);
  expectPlainMessages({"OpenPrinter Failed!\nCode 5"});
}

TEST_F(PrinterRemotePortCheck, ListFailureIsAMessageBoxWithoutCaption) {
  pc.failCall(SpoolerCall::EnumPrintersSizing, kAccessDenied, 1);
  EXPECT_EQ(printers::checkRemotePort(pc, pc.prompter(), osMajorVersion, 0), -1);
  pc.failCall(SpoolerCall::EnumPrinters, kAccessDenied, 1);
  EXPECT_EQ(printers::checkRemotePort(pc, pc.prompter(), osMajorVersion, 1), -1);
  EXPECT_EQ(pc.printers, before);
  ASSERT_EQ(pc.boxes.size(), 2u);
  for (const auto& b : pc.boxes) {
    EXPECT_EQ(b.text, "EnumPrinters Failed!!");
    EXPECT_EQ(b.caption, "");
    EXPECT_EQ(b.buttons, Buttons::Ok);
    EXPECT_EQ(b.icon, Icon::None);
    EXPECT_EQ(b.owner, app);
  }
}

// Each printer's own port is remembered when it goes to "Remote Port", and
// a move that fails forgets it again.
TEST_F(PrinterPorts, TheMoveRemembersThePrintersOwnPort) {
  pc.addPrinter("Epson A", "FILE:");
  pc.addPrinter("Epson B", "LPT1:");
  pc.answers.assign(5, Answer::Yes);
  ASSERT_EQ(move(pc, "Epson A", nullptr), MoveOutcome::Moved);
  ASSERT_EQ(move(pc, "epson b", nullptr), MoveOutcome::Moved);
  EXPECT_EQ(remembered(pc),
            (printers::RememberedPorts{{"Epson A", "FILE:"}, {"Epson B", "LPT1:"}}));
  // Moved to "LPT1:" by an update and back: its own port stays "FILE:".
  pc.printer("Epson A")->portName = "LPT1:";
  ASSERT_EQ(move(pc, "Epson A", nullptr), MoveOutcome::Moved);
  EXPECT_EQ(remembered(pc)["Epson A"], "FILE:");
  // Moved elsewhere by the user meanwhile: that is its port now.
  pc.printer("Epson A")->portName = "USB001";
  pc.failCall(SpoolerCall::SetPrinter, kAccessDenied, 1);
  EXPECT_EQ(move(pc, "Epson A", nullptr), MoveOutcome::Failed);
  EXPECT_EQ(remembered(pc)["Epson A"], "FILE:") << "the failed move forgot it";
  ASSERT_EQ(move(pc, "Epson A", nullptr), MoveOutcome::Moved);
  EXPECT_EQ(remembered(pc)["Epson A"], "USB001");
  EXPECT_FALSE(pc.registryKeyExists(journal::kJournalKey));
  // A list that cannot be read is no "nothing remembered": an update's
  // "LPT1:" would take the place of the printer's own port.
  pc.printer("Epson A")->portName = "LPT1:";
  auto before = pc.state();
  pc.answers = {Answer::Yes};
  pc.failCall(platform::RegistryCall::RegEnumValue, 1117, 1);
  EXPECT_EQ(move(pc, "Epson A", nullptr), MoveOutcome::Failed);
  EXPECT_EQ(pc.boxes.back().text, "RegEnumValue Failed!!\nCode 1117");
  EXPECT_TRUE(pc.state() == before) << platform::FakePc::difference(before, pc.state());
}

TEST_F(PrinterPorts, CheckWithoutRemotePrinters) {
  EXPECT_EQ(printers::checkRemotePort(pc, pc.prompter(), osMajorVersion, 0), 0);
  EXPECT_EQ(printers::checkRemotePort(pc, pc.prompter(), osMajorVersion, 1), 0);
  pc.addPrinter("Epson A", "LPT1:");
  pc.addPrinter("Epson B", "remote port");  // the case counts
  pc.addPrinter("Epson C", "x").portName = std::nullopt;
  EXPECT_EQ(printers::checkRemotePort(pc, pc.prompter(), osMajorVersion, 1), 0);
  EXPECT_TRUE(pc.printerWrites.empty());
  EXPECT_TRUE(pc.boxes.empty());
}

// --- listPrinters (the manual list) ---------------------------------------

TEST_F(PrinterPorts, ListRowsInSpoolerOrder) {
  std::vector<printers::PrinterRow> rows;
  ASSERT_TRUE(printers::listPrinters(pc, pc.prompter(), rows));
  EXPECT_TRUE(rows.empty());
  pc.addPrinter("Zeta", "Remote Port");
  pc.addPrinter("Alpha", "LPT1:");
  pc.addPrinter("Mid", "Remote Port,LPT1:");
  pc.addPrinter("None", "x").portName = std::nullopt;
  ASSERT_TRUE(printers::listPrinters(pc, pc.prompter(), rows));
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].name, "Zeta");
  EXPECT_TRUE(rows[0].remotePort);
  EXPECT_EQ(rows[1].port, "LPT1:");
  EXPECT_FALSE(rows[1].remotePort);
  EXPECT_EQ(rows[2].port, "Remote Port,LPT1:");
  EXPECT_FALSE(rows[2].remotePort);
  EXPECT_EQ(rows[3].port, "");
  EXPECT_TRUE(pc.boxes.empty());
}

TEST_F(PrinterPorts, ListFailureShowsThePlainMessage) {
  pc.addPrinter("Alpha", "LPT1:");
  std::vector<printers::PrinterRow> rows;
  pc.failCall(SpoolerCall::EnumPrintersSizing, kAccessDenied, 1);
  EXPECT_FALSE(printers::listPrinters(pc, pc.prompter(), rows));
  pc.failCall(SpoolerCall::EnumPrinters, kAccessDenied, 1);
  EXPECT_FALSE(printers::listPrinters(pc, pc.prompter(), rows));
  EXPECT_TRUE(rows.empty());
  expectPlainMessages({"EnumPrinters Failed!!", "EnumPrinters Failed!!"});
}

}  // namespace
