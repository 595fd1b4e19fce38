// The stored server address, the welcome page's status and "Uninstall",
// the silent removal, and the manual dialog's field, on the in-memory PC.
#include <gtest/gtest.h>

#include "journal/journal.h"
#include "monitor/install.h"
#include "monitor/registry_key.h"
#include "monitor/status.h"
#include "tests/native/monitor_fixture.h"

namespace {

using monitortest::kMonitorKey;
using monitortest::kSys;
using platform::Answer;
using platform::Buttons;
using Outcome = monitor::UninstallOutcome;

class Address : public monitortest::MonitorPc {
 protected:
  void stored(const std::string& address) {
    pc.setRegistryString(kMonitorKey, "Server Address", address);
  }
  std::optional<std::string> value() const {
    return pc.registryString(kMonitorKey, "Server Address");
  }
  std::string question(const std::string& from, const std::string& to) const {
    return "Change the server from \"" + from + "\" \nto the new IP address \"" + to + "\" ?";
  }
};

TEST_F(Address, ShorterThanEightCharactersIsReplacedWithoutAQuestion) {
  monitor::storeServerAddress(pc, pc.prompter(), "10.77.0.2");
  EXPECT_EQ(value(), "10.77.0.2") << "missing value and key: written";
  // REG_SZ with its terminating zero counted.
  EXPECT_EQ(pc.registryValue(kMonitorKey, "Server Address"),
            (platform::FakePc::RegValue{platform::kRegSz, std::string("10.77.0.2\0", 10)}));
  stored("1.2.3.4");
  monitor::storeServerAddress(pc, pc.prompter(), "10.0.0.1");
  EXPECT_EQ(value(), "10.0.0.1");
  EXPECT_TRUE(pc.boxes.empty());
}

TEST_F(Address, EightCharactersOrMoreAsksAndOnlyYesWrites) {
  stored("10.0.0.1");
  pc.answers = {Answer::No, Answer::Yes};
  monitor::storeServerAddress(pc, pc.prompter(), "10.77.0.2");
  EXPECT_EQ(value(), "10.0.0.1");
  monitor::storeServerAddress(pc, pc.prompter(), "10.77.0.2");
  EXPECT_EQ(value(), "10.77.0.2");
  ASSERT_EQ(pc.boxes.size(), 2u);
  expectInformation(pc.boxes[0], question("10.0.0.1", "10.77.0.2"), "Information",
                    Buttons::YesNo);
}

TEST_F(Address, EqualAddressWritesNothingAndAsksNothing) {
  stored("192.168.100.200");
  pc.failCall(platform::RegistryCall::RegSetValueEx, platform::kErrorAccessDenied);
  monitor::storeServerAddress(pc, pc.prompter(), "192.168.100.200");
  EXPECT_TRUE(pc.boxes.empty());
  // Case counts: another case is another address.
  stored("abcdefgh");
  pc.clearFaults();
  pc.answers = {Answer::Yes};
  monitor::storeServerAddress(pc, pc.prompter(), "ABCDEFGH");
  EXPECT_EQ(value(), "ABCDEFGH");
}

TEST_F(Address, LongStoredAddressIsQuotedWhole) {
  std::string longOne(5000, '7');
  stored(longOne);
  pc.answers = {Answer::Yes};
  monitor::storeServerAddress(pc, pc.prompter(), "10.77.0.2");
  ASSERT_EQ(pc.boxes.size(), 1u);
  EXPECT_EQ(pc.boxes[0].text, question(longOne, "10.77.0.2"));
  EXPECT_EQ(monitor::storedServerAddress(pc), "10.77.0.2");
  monitor::storeServerAddress(pc, pc.prompter(), longOne + longOne);
  EXPECT_EQ(monitor::storedServerAddress(pc), "10.77.0.2") << "no answer left: No";
  pc.unexpectedQuestion = false;
}

TEST_F(Address, FailedWriteRaisesTheRegistryErrorAndClosesTheKey) {
  pc.failCall(platform::RegistryCall::RegSetValueEx, platform::kErrorAccessDenied, 1);
  try {
    monitor::storeServerAddress(pc, pc.prompter(), "10.77.0.2");
    FAIL() << "no error";
  } catch (const gui::Exception& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'Server Address'");
  }
  EXPECT_FALSE(value());
}

TEST_F(Address, KeyThatCannotBeOpenedReadsEmptyAndFailsToWrite) {
  stored("10.77.0.9");
  pc.registryWritable = false;
  EXPECT_EQ(monitor::storedServerAddress(pc), "");
  EXPECT_THROW(monitor::storeServerAddress(pc, pc.prompter(), "10.77.0.2"), monitor::RegistryError);
  pc.registryWritable = true;
  EXPECT_EQ(value(), "10.77.0.9");
}

TEST_F(Address, ValueOfAnotherTypeRaisesInvalidDataType) {
  pc.setRegistryValue(kMonitorKey, "Server Address", {platform::kRegBinary, "\x0a\x4d\0\x02"});
  EXPECT_THROW(
      {
        try {
          monitor::storedServerAddress(pc);
        } catch (const monitor::RegistryError& e) {
          EXPECT_STREQ(e.what(), "Invalid data type for 'Server Address'");
          throw;
        }
      },
      gui::Exception);
  EXPECT_THROW(monitor::storeServerAddress(pc, pc.prompter(), "10.77.0.2"), monitor::RegistryError);
  // An expandable string is a string; an empty value of any type is empty.
  pc.setRegistryValue(kMonitorKey, "Server Address", {platform::kRegExpandSz, "10.1.1.1\0"});
  EXPECT_EQ(monitor::storedServerAddress(pc), "10.1.1.1");
  pc.setRegistryValue(kMonitorKey, "Server Address", {platform::kRegDword, ""});
  EXPECT_EQ(monitor::storedServerAddress(pc), "");
  // A string stored without its zero is read whole.
  pc.setRegistryValue(kMonitorKey, "Server Address", {platform::kRegSz, "10.2.2.2"});
  EXPECT_EQ(monitor::storedServerAddress(pc), "10.2.2.2");
}

TEST_F(Address, KeysAreNamedWithoutTheLeadingBackslash) {
  {
    monitor::RegistryKey key(pc, "\\Software\\Varn\\Other");
    EXPECT_FALSE(key.opened()) << "not there, and not made by opening it";
    key.writeString("Name", "value");
    EXPECT_TRUE(key.opened()) << "the fake refuses a leading backslash, as Wine does";
  }
  EXPECT_EQ(pc.registryString("Software\\Varn\\Other", "Name"), "value");
  platform::RegKey raw = 0;
  EXPECT_EQ(pc.regCreateKey("\\Software\\Varn\\Other", raw), platform::kErrorBadPathname);
}

TEST_F(Address, ManualTextIsStoredExactlyUnchecked) {
  monitor::storeManualAddress(pc, pc.prompter(), "abc");
  EXPECT_EQ(value(), "abc");
  monitor::storeManualAddress(pc, pc.prompter(), "10.77.0.2-and-more-text");
  EXPECT_EQ(value(), "10.77.0.2-and-more-text");
  // An emptied field after a long stored address: asked, then stored empty.
  pc.answers = {Answer::Yes};
  monitor::storeManualAddress(pc, pc.prompter(), "");
  EXPECT_EQ(value(), "");
  EXPECT_EQ(texts(), std::vector<std::string>{question("10.77.0.2-and-more-text", "")});
}

class Welcome : public monitortest::MonitorPc {};

TEST_F(Welcome, NoMonitorHidesThePanelAndMakesNoKey) {
  monitor::MonitorStatus s = monitor::monitorStatus({pc, pc, pc, pc.prompter(), osMajorVersion});
  EXPECT_FALSE(s.installed);
  EXPECT_EQ(s.version, "0");
  EXPECT_EQ(s.address, "");
  EXPECT_FALSE(pc.registryKeyExists(kMonitorKey)) << "reading made it";
  EXPECT_TRUE(pc.boxes.empty());
  // A key made by an earlier wizard: the installation takes it over.
  pc.setRegistryString(kMonitorKey, "Server Address", "10.77.0.2");
  EXPECT_FALSE(registered()) << "a key without its DLL is no monitor";
  shipAll(4u);
  EXPECT_TRUE(monitor::installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_TRUE(registered());
}

TEST_F(Welcome, InstalledMonitorShowsItsVersionAndAddress) {
  installOld(0x0102u);
  pc.setRegistryString(kMonitorKey, "Server Address", "10.77.0.2");
  monitor::MonitorStatus s = monitor::monitorStatus({pc, pc, pc, pc.prompter(), osMajorVersion});
  EXPECT_TRUE(s.installed);
  EXPECT_EQ(s.version, "258");
  EXPECT_EQ(s.address, "10.77.0.2");
}

TEST_F(Welcome, InstalledWithoutItsDllOrExportShowsZero) {
  installOld(3u);
  pc.files.erase(kSys + "\\talomon.dll");
  monitor::MonitorStatus s = monitor::monitorStatus({pc, pc, pc, pc.prompter(), osMajorVersion});
  EXPECT_TRUE(s.installed);
  EXPECT_EQ(s.version, "0");
  installOld(std::nullopt);
  EXPECT_EQ(monitor::monitorStatus({pc, pc, pc, pc.prompter(), osMajorVersion}).version, "0");
  EXPECT_TRUE(pc.boxes.empty());
}

TEST_F(Welcome, TopBitShowsNegativeAndTheFamilysDllCounts) {
  installOld(0x80000001u);
  EXPECT_EQ(monitor::installedVersionText(pc, osMajorVersion), "-2147483647");
  installOld(0xFFFFFFFFu);
  EXPECT_EQ(monitor::installedVersionText(pc, osMajorVersion), "-1");
  osMajorVersion = 4;
  EXPECT_EQ(monitor::installedVersionText(pc, osMajorVersion), "0") << "no lprmon.dll";
  pc.putFile(kSys + "\\lprmon.dll", platform::FakePc::monitorDll(6u));
  EXPECT_EQ(monitor::installedVersionText(pc, osMajorVersion), "6");
}

TEST_F(Welcome, EachCallFailingGivesTheQuietDefault) {
  installOld(7u);
  pc.setRegistryString(kMonitorKey, "Server Address", "10.77.0.2");
  struct Case {
    platform::FilesCall call;
    const char* version;
  };
  for (Case c : {Case{platform::FilesCall::GetSystemDirectory, "0"},
                 Case{platform::FilesCall::LoadLibrary, "0"},
                 Case{platform::FilesCall::GetProcAddress, "0"}}) {
    pc.failCall(c.call, platform::kErrorAccessDenied, 1);
    EXPECT_EQ(monitor::monitorStatus({pc, pc, pc, pc.prompter(), osMajorVersion}).version,
              c.version);
  }
  pc.failCall(platform::RegistryCall::RegOpenKeyEx, platform::kErrorAccessDenied, 1);
  EXPECT_EQ(monitor::monitorStatus({pc, pc, pc, pc.prompter(), osMajorVersion}).address, "");
  pc.failCall(platform::RegistryCall::RegQueryValueEx, platform::kErrorAccessDenied, 1);
  EXPECT_EQ(monitor::monitorStatus({pc, pc, pc, pc.prompter(), osMajorVersion}).address, "");
  pc.failCall(platform::SpoolerCall::EnumMonitorsSizing, platform::kErrorAccessDenied, 1);
  monitor::MonitorStatus s = monitor::monitorStatus({pc, pc, pc, pc.prompter(), osMajorVersion});
  EXPECT_FALSE(s.installed);
  EXPECT_EQ(s.version, "7");
  EXPECT_EQ(s.address, "10.77.0.2");
  EXPECT_EQ(texts(), std::vector<std::string>{"EnumMonitors Failed!!\nCode 5"});
}

class Uninstall : public monitortest::MonitorPc {
 protected:
  Outcome run() {
    return monitor::uninstall({pc, pc, pc, pc.prompter(), osMajorVersion}, [this](bool on) {
      busy.push_back(on ? "on" : "off");
      boxesWhenBusyChanged.push_back(pc.boxes.size());
    });
  }
  std::vector<std::string> busy;
  std::vector<std::size_t> boxesWhenBusyChanged;
};

const char kUsing[] =
    "You have some printers using the printer sharing server!\nDo you want to remove this remote "
    "port ?";
const char kDone[] = "The Printer Sharing Drvier\nunistall successfully.";

TEST_F(Uninstall, NotInstalledSaysSoAndRestoresTheCursorAfterwards) {
  EXPECT_EQ(run(), Outcome::NotInstalled);
  ASSERT_EQ(pc.boxes.size(), 1u);
  expectInformation(pc.boxes[0], "Printer Sharing Port Monitor does not exist!\n", "Information",
                    Buttons::Ok);
  EXPECT_EQ(busy, (std::vector<std::string>{"on", "off"}));
  EXPECT_EQ(boxesWhenBusyChanged, (std::vector<std::size_t>{0, 1}));
}

TEST_F(Uninstall, WithoutPrintersOnThePortRemovesAndReportsAfterTheCursor) {
  installOld(2u);
  pc.addPrinter("Plotter", "LPT1:");
  pc.setRegistryString(kMonitorKey, "Server Address", "10.77.0.2");
  EXPECT_EQ(run(), Outcome::Removed);
  ASSERT_EQ(pc.boxes.size(), 1u);
  expectInformation(pc.boxes[0], kDone, "Information", Buttons::Ok);
  EXPECT_EQ(boxesWhenBusyChanged, (std::vector<std::size_t>{0, 0}));
  EXPECT_EQ(portOf("Plotter"), "LPT1:");
  EXPECT_TRUE(pc.printerWrites.empty());
  EXPECT_FALSE(registered());
  ASSERT_EQ(pc.monitorRequests.size(), 1u);
  EXPECT_EQ(pc.monitorRequests[0].environment, "Windows NT x86");
  // The DLLs stay; the spooler took the key.
  EXPECT_EQ(content(kSys + "\\talomon.dll"), "old talomon");
  EXPECT_FALSE(pc.registryKeyExists(kMonitorKey));
}

TEST_F(Uninstall, PrintersOnThePortAskFirstAndNoChangesNothing) {
  installOld(2u);
  pc.addPrinter("Office Laser", "Remote Port");
  pc.answers = {Answer::No};
  EXPECT_EQ(run(), Outcome::Declined);
  ASSERT_EQ(pc.boxes.size(), 1u);
  expectInformation(pc.boxes[0], kUsing, "Information", Buttons::YesNo);
  EXPECT_EQ(portOf("Office Laser"), "Remote Port");
  EXPECT_TRUE(pc.printerWrites.empty());
  EXPECT_TRUE(registered());
  EXPECT_EQ(busy, (std::vector<std::string>{"on", "off"}));
  EXPECT_EQ(boxesWhenBusyChanged, (std::vector<std::size_t>{0, 1}));
}

TEST_F(Uninstall, PrintersOnThePortYesMovesThemAndRemoves) {
  installOld(2u);
  pc.addPrinter("Office Laser", "Remote Port");
  pc.addPrinter("Back Office", "Remote Port");
  pc.answers = {Answer::Yes};
  EXPECT_EQ(run(), Outcome::Removed);
  EXPECT_EQ(portOf("Office Laser"), "LPT1:");
  EXPECT_EQ(portOf("Back Office"), "LPT1:");
  EXPECT_EQ(texts(), (std::vector<std::string>{kUsing, kDone}));
  EXPECT_FALSE(registered());
}

TEST_F(Uninstall, PrinterThatCouldNotBeMovedStopsTheRemoval) {
  installOld(2u);
  pc.addPrinter("Office Laser", "Remote Port");
  pc.failCall(platform::SpoolerCall::SetPrinter, platform::kErrorAccessDenied, 1);
  pc.answers = {Answer::Yes};
  EXPECT_EQ(run(), Outcome::Failed);
  EXPECT_EQ(texts(), (std::vector<std::string>{kUsing, "SetPrinter Failed!!\nCode 5"}));
  EXPECT_EQ(portOf("Office Laser"), "Remote Port");
  EXPECT_TRUE(registered());
  EXPECT_TRUE(pc.monitorRequests.empty());
  EXPECT_EQ(busy, (std::vector<std::string>{"on", "off"}));
}

// Printers that cannot be listed may use the port: removing the monitor
// would leave them on a port that is gone.  The removal stops.
TEST_F(Uninstall, PrintersThatCannotBeListedStopTheRemoval) {
  installOld(2u);
  pc.addPrinter("Office Laser", "Remote Port");
  auto before = pc.state();
  pc.failCall(platform::SpoolerCall::EnumPrintersSizing, platform::kErrorAccessDenied, 1);
  EXPECT_EQ(run(), Outcome::Failed);
  EXPECT_EQ(texts(), (std::vector<std::string>{"EnumPrinters Failed!!"}));
  EXPECT_TRUE(pc.state() == before) << platform::FakePc::difference(before, pc.state());
  EXPECT_TRUE(pc.monitorRequests.empty());
  EXPECT_EQ(busy, (std::vector<std::string>{"on", "off"}));
}

TEST_F(Uninstall, SpoolerRefusingTheDeletion) {
  installOld(2u);
  pc.failCall(platform::SpoolerCall::DeleteMonitor, platform::kErrorAccessDenied, 1);
  EXPECT_EQ(run(), Outcome::Failed);
  ASSERT_EQ(pc.boxes.size(), 1u);
  expectInformation(pc.boxes[0], "DeleteMonitor Failed !", "", Buttons::Ok);
  EXPECT_EQ(boxesWhenBusyChanged, (std::vector<std::size_t>{0, 1}));
  EXPECT_TRUE(registered());
}

// Each printer goes back to its own port when the spooler still has it;
// to "LPT1:" when it is gone or unknown (settings of an earlier version).
TEST_F(Uninstall, GivesEachPrinterItsOwnPortBack) {
  installOld(2u);
  pc.addPrinter("From File", "Remote Port");
  pc.addPrinter("From Usb", "Remote Port");
  pc.addPrinter("Unknown", "Remote Port");
  pc.addPrinter("Elsewhere", "LPT2:");
  pc.setRegistryString(journal::kPortsKey, "From File", "FILE:");
  pc.setRegistryString(journal::kPortsKey, "From Usb", "USB001");  // unplugged since
  pc.setRegistryString(journal::kPortsKey, "Elsewhere", "COM1:");
  pc.answers = {Answer::Yes};
  EXPECT_EQ(run(), Outcome::Removed);
  EXPECT_EQ(portOf("From File"), "FILE:");
  EXPECT_EQ(portOf("From Usb"), "LPT1:");
  EXPECT_EQ(portOf("Unknown"), "LPT1:");
  EXPECT_EQ(portOf("Elsewhere"), "LPT2:");
  // Remembered ports are forgotten once given back.
  EXPECT_FALSE(pc.registryValue(journal::kPortsKey, "From File"));
  EXPECT_FALSE(pc.registryValue(journal::kPortsKey, "From Usb"));
  EXPECT_EQ(pc.registryString(journal::kPortsKey, "Elsewhere"), "COM1:");
  EXPECT_FALSE(pc.registryKeyExists(journal::kJournalKey));

  // Without a port list nothing is moved: the ports could not be checked.
  installOld(2u);
  pc.printer("From File")->portName = "Remote Port";
  auto before = pc.state();
  pc.answers = {Answer::Yes};
  pc.failCall(platform::SpoolerCall::EnumPortsSizing, 1722, 1);
  EXPECT_EQ(run(), Outcome::Failed);
  EXPECT_EQ(pc.boxes.back().text, "EnumPorts Failed!!\nCode 1722");
  EXPECT_TRUE(pc.state() == before) << platform::FakePc::difference(before, pc.state());

  // Nor when the remembered ports cannot be read, whole: they would be lost.
  pc.setRegistryString(journal::kPortsKey, "From File", "FILE:");
  pc.setRegistryString(journal::kPortsKey, "Unknown", "COM2:");
  before = pc.state();
  for (auto call : {platform::RegistryCall::RegOpenKeyEx, platform::RegistryCall::RegEnumValue}) {
    pc.answers = {Answer::Yes};
    pc.failCall(call, 1117, 1);
    EXPECT_EQ(run(), Outcome::Failed);
    EXPECT_EQ(pc.boxes.back().text,
              std::string(call == platform::RegistryCall::RegOpenKeyEx ? "RegOpenKeyEx"
                                                                       : "RegEnumValue") +
                  " Failed!!\nCode 1117");
    EXPECT_TRUE(pc.state() == before) << platform::FakePc::difference(before, pc.state());
  }
}

// A removal that stops half-way puts back what it did; a list of monitors
// that cannot be read stops it before anything.
TEST_F(Uninstall, AFailureLeavesThePcAsItWas) {
  installOld(2u);
  pc.addPrinter("Office Laser", "Remote Port");
  pc.addPrinter("Back Office", "Remote Port");
  pc.setRegistryString(journal::kPortsKey, "Office Laser", "FILE:");
  pc.setRegistryString(kMonitorKey, "Server Address", "10.77.0.2");
  pc.setRegistryString(kMonitorKey + "\\Ports\\Remote Port", "Timeout", "30");
  auto before = pc.state();
  pc.answers = {Answer::Yes};
  pc.failCall(platform::SpoolerCall::DeleteMonitor, platform::kErrorAccessDenied, 1);
  EXPECT_EQ(run(), Outcome::Failed);
  EXPECT_TRUE(pc.state() == before) << platform::FakePc::difference(before, pc.state());
  EXPECT_EQ(portOf("Office Laser"), "Remote Port") << "not left on its own port";

  pc.failCall(platform::SpoolerCall::EnumMonitorsSizing, platform::kErrorAccessDenied, 1);
  EXPECT_EQ(run(), Outcome::Failed);
  EXPECT_EQ(texts().back(), "EnumMonitors Failed!!\nCode 5");
  EXPECT_TRUE(pc.state() == before) << platform::FakePc::difference(before, pc.state());
}

TEST_F(Uninstall, NineXFamilyDeletesForWindows40) {
  osMajorVersion = 4;
  installOld(2u, "lprmon");
  EXPECT_EQ(run(), Outcome::Removed);
  ASSERT_EQ(pc.monitorRequests.size(), 1u);
  EXPECT_EQ(pc.monitorRequests[0].environment, "Windows 4.0");
}

class Removal : public monitortest::MonitorPc {};

TEST_F(Removal, NotFoundMessageHasNoCaptionOfItsOwn) {
  EXPECT_EQ(monitor::removeMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}), 0);
  ASSERT_EQ(pc.boxes.size(), 1u);
  expectInformation(pc.boxes[0], "Printer Sharing Port Monitor does not exist!\n", "",
                    Buttons::Ok);
  EXPECT_TRUE(pc.printerOpens.empty());
}

TEST_F(Removal, MovesPrintersWithoutAskingAndDeletesSilently) {
  installOld(2u);
  pc.addPrinter("Office Laser", "Remote Port");
  pc.addPrinter("Plotter", "LPT2:");
  EXPECT_EQ(monitor::removeMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}), 1);
  EXPECT_TRUE(pc.boxes.empty());
  EXPECT_EQ(portOf("Office Laser"), "LPT1:");
  EXPECT_EQ(portOf("Plotter"), "LPT2:");
  EXPECT_FALSE(registered());
}

TEST_F(Removal, RefusedOrStoppedKeepsTheMonitor) {
  installOld(2u);
  pc.failCall(platform::SpoolerCall::DeleteMonitor, platform::kErrorAccessDenied, 1);
  EXPECT_EQ(monitor::removeMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}), -1);
  expectInformation(pc.boxes.at(0), "DeleteMonitor Failed !", "", Buttons::Ok);
  pc.addPrinter("Office Laser", "Remote Port");
  pc.failCall(platform::SpoolerCall::SetPrinter, platform::kErrorAccessDenied, 1);
  EXPECT_EQ(monitor::removeMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}), -1);
  EXPECT_EQ(texts(), (std::vector<std::string>{"DeleteMonitor Failed !",
                                               "SetPrinter Failed!!\nCode 5"}));
  EXPECT_TRUE(registered());
  EXPECT_TRUE(pc.monitorRequests.empty()) << "the spooler was never asked";
}

}  // namespace
