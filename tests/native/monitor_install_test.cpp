// Installing and updating the port monitor on the in-memory PC: the version
// table, the copies and the registration, every failure with its message.
#include <gtest/gtest.h>

#include "journal/journal.h"
#include "monitor/install.h"
#include "tests/native/monitor_fixture.h"

namespace {

using monitor::installMonitor;
using monitortest::kAppPath;
using monitortest::kSys;
using platform::Answer;
using platform::Buttons;
using Kind = platform::FakePc::MonitorRequest::Kind;

const char kReplace[] = "Replace the old driver with newer one ?";

class Install : public monitortest::MonitorPc {};

TEST_F(Install, FreshInstallCopiesBothFilesOverOldOnesAndRegistersWithoutAsking) {
  shipAll(5u);
  // DLLs of the same names but no registration: overwritten silently.
  pc.putFile(kSys + "\\talomon.dll", platform::FakePc::monitorDll(9u, "stray"));
  EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_TRUE(pc.boxes.empty());
  EXPECT_EQ(dwDriverVersion, 0u) << "no version is read without a registered monitor";
  EXPECT_EQ(content(kSys + "\\talomon.dll"), "shipped talomon");
  EXPECT_EQ(content(kSys + "\\taloui.dll"), "shipped taloui");
  EXPECT_TRUE(registered());
  ASSERT_EQ(pc.monitorRequests.size(), 1u);
  EXPECT_EQ(pc.monitorRequests[0].kind, Kind::Add);
  EXPECT_EQ(pc.monitorRequests[0].name, "Printer Sharing Port Monitor");
  EXPECT_EQ(pc.monitorRequests[0].environment, "Windows NT x86");
  EXPECT_EQ(pc.monitorRequests[0].dllName, "talomon.dll");

  // Run again ("Next >" after "Manual Set IP"): equal versions, nothing done.
  pc.monitorRequests.clear();
  EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_TRUE(pc.boxes.empty());
  EXPECT_TRUE(pc.monitorRequests.empty());
  EXPECT_EQ(dwDriverVersion, 5u);
}

TEST_F(Install, NineXFamilyCopiesLprmonAndRegistersItForWindows40) {
  osMajorVersion = 4;
  shipAll(5u);
  ship(3u, "lprmon");
  EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_EQ(content(kSys + "\\lprmon.dll"), "shipped lprmon");
  EXPECT_EQ(pc.file(kSys + "\\talomon.dll"), nullptr);
  EXPECT_EQ(pc.file(kSys + "\\taloui.dll"), nullptr);
  ASSERT_EQ(pc.monitorRequests.size(), 1u);
  EXPECT_EQ(pc.monitorRequests[0].environment, "Windows 4.0");
  EXPECT_EQ(pc.monitorRequests[0].dllName, "lprmon.dll");
  EXPECT_EQ(pc.monitorRequests[0].result, platform::kOk);

  // Its update compares lprmon's versions.
  ship(4u, "lprmon");
  pc.answers = {Answer::No};
  EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  ASSERT_EQ(texts(), std::vector<std::string>{kReplace});
  EXPECT_EQ(dwDriverVersion, 3u);
}

// Each row: the installed DLL's and the shipped file's LprGetVersion
// (nullopt: the export is missing; kMissing: the file is), the answer.
constexpr std::uint32_t kMissingFile = 0xDEAD;
struct Row {
  const char* name;
  std::optional<std::uint32_t> installed;
  std::optional<std::uint32_t> shipped;
  std::optional<Answer> answer;  // nullopt: no question expected
  std::uint32_t driverVersion;
  bool replaced;
};

class VersionTable : public monitortest::MonitorPc, public ::testing::WithParamInterface<Row> {};

TEST_P(VersionTable, DecidesQuestionDriverVersionAndReplacement) {
  const Row& row = GetParam();
  installOld(row.installed == kMissingFile ? 0u : row.installed);
  if (row.installed == kMissingFile) pc.files.erase(kSys + "\\talomon.dll");
  shipAll(row.shipped == kMissingFile ? 0u : row.shipped);
  if (row.shipped == kMissingFile) pc.files.erase(kAppPath + "\\talomon.dl_");
  if (row.answer) pc.answers = {*row.answer};
  pc.addPrinter("Office Laser", "Remote Port");
  pc.setRegistryString(monitortest::kMonitorKey, "Server Address", "10.77.0.2");

  EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  if (row.answer) {
    ASSERT_EQ(pc.boxes.size(), 1u);
    expectInformation(pc.boxes[0], kReplace, "Information", Buttons::YesNo);
  } else {
    EXPECT_TRUE(pc.boxes.empty()) << pc.boxes[0].text;
  }
  EXPECT_EQ(dwDriverVersion, row.driverVersion);
  if (row.replaced) {
    EXPECT_EQ(requestKinds(), (std::vector<Kind>{Kind::Delete, Kind::Add}));
    EXPECT_EQ(content(kSys + "\\talomon.dll"), "shipped talomon");
    EXPECT_EQ(content(kSys + "\\taloui.dll"), "shipped taloui");
    EXPECT_TRUE(registered());
    // The spooler deleted the monitor's whole key, settings included.
    EXPECT_FALSE(pc.registryString(monitortest::kMonitorKey, "Server Address"));
    EXPECT_EQ(portOf("Office Laser"), "LPT1:") << "moved off the port without a question";
  } else {
    EXPECT_TRUE(pc.monitorRequests.empty());
    EXPECT_EQ(portOf("Office Laser"), "Remote Port");
    EXPECT_EQ(content(kSys + "\\taloui.dll"), "old taloui");
    EXPECT_TRUE(registered());
    EXPECT_EQ(pc.registryString(monitortest::kMonitorKey, "Server Address"), "10.77.0.2");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, VersionTable,
    ::testing::Values(
        Row{"Equal", 2u, 2u, std::nullopt, 2u, false},
        Row{"InstalledNewer", 5u, 2u, std::nullopt, 2u, false},
        Row{"OlderAnsweredYes", 1u, 2u, Answer::Yes, 2u, true},
        Row{"OlderAnsweredNo", 1u, 2u, Answer::No, 1u, false},
        Row{"InstalledDllMissing", kMissingFile, 5u, Answer::Yes, 5u, true},
        Row{"InstalledDllMissingNo", kMissingFile, 5u, Answer::No, 0u, false},
        Row{"InstalledWithoutExport", std::nullopt, 2u, Answer::No, 0u, false},
        // A shipped file that cannot be read counts as version 1.
        Row{"ShippedMissing", 2u, kMissingFile, std::nullopt, 1u, false},
        Row{"ShippedWithoutExport", 1u, std::nullopt, std::nullopt, 1u, false},
        Row{"ShippedMissingInstalledZero", 0u, kMissingFile, Answer::No, 0u, false},
        // Unsigned: a top bit set is a large version.
        Row{"InstalledTopBit", 0x80000001u, 5u, std::nullopt, 5u, false},
        Row{"ShippedTopBit", 5u, 0x80000001u, Answer::Yes, 0x80000001u, true}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

TEST_F(Install, ReplacementWithTheShippedFileMissingKeepsTheOldMonitor) {
  // The question is asked (1 > 0); Yes finds no file to install before
  // anything old is touched.
  installOld(0u);
  pc.addPrinter("Office Laser", "Remote Port");
  pc.putFile(kAppPath + "\\taloui.dl_", platform::FakePc::plainDll());
  auto before = pc.state();
  pc.answers = {Answer::Yes};
  EXPECT_FALSE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_EQ(texts(), (std::vector<std::string>{kReplace, "Failed to Copy file !"}));
  EXPECT_TRUE(pc.state() == before) << platform::FakePc::difference(before, pc.state());
  EXPECT_TRUE(pc.monitorRequests.empty());
  EXPECT_EQ(dwDriverVersion, 1u);
}

TEST_F(Install, ShippedTalouiMissingCopiesNothing) {
  ship(5u);  // no taloui.dl_
  auto before = pc.state();
  EXPECT_FALSE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  ASSERT_EQ(pc.boxes.size(), 1u);
  expectPlainMessage(pc.boxes[0], "Failed to Copy file !");
  EXPECT_TRUE(pc.state() == before) << platform::FakePc::difference(before, pc.state());
  EXPECT_TRUE(pc.monitorRequests.empty());
}

TEST_F(Install, EmptyOrMissingAppPathSaysTheUtilitiesAreMissingAndCopiesNothing) {
  const char kMissing[] =
      "The Varn Vuvarode Lanwarden Utilities are not installed.\nTheir folder holds the printer "
      "sharing driver's files: please install them first.";
  pc.setRegistryString(monitor::kCompanionKey, "AppPath", "");
  shipAll(5u);
  // Not the root of the current drive.
  pc.putFile("\\talomon.dl_", platform::FakePc::monitorDll(7u, "root talomon"));
  auto before = pc.state();
  EXPECT_FALSE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  ASSERT_EQ(pc.boxes.size(), 1u);
  expectPlainMessage(pc.boxes[0], kMissing);
  EXPECT_TRUE(pc.state() == before) << platform::FakePc::difference(before, pc.state());
  // A key that is not there is read as empty, and not made.
  pc.deleteRegistryTree("Software");
  before = pc.state();
  EXPECT_FALSE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_EQ(texts(), (std::vector<std::string>{kMissing, kMissing}));
  EXPECT_TRUE(pc.state() == before) << platform::FakePc::difference(before, pc.state());
  // With a monitor there, the version of the missing shipped file is 1:
  // an installed version 1 or more is kept, nothing asked.
  installOld(1u);
  EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_EQ(pc.boxes.size(), 2u);
}

TEST_F(Install, AppPathOfAnyLengthIsUsedWhole) {
  std::string deep = "C:";
  for (int i = 0; i < 40; ++i) deep += "\\folder number " + std::to_string(i);
  pc.setRegistryString(monitor::kCompanionKey, "AppPath", deep);
  pc.putFile(deep + "\\talomon.dl_", platform::FakePc::monitorDll(5u, "deep talomon"));
  pc.putFile(deep + "\\taloui.dl_", platform::FakePc::plainDll("deep taloui"));
  EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_EQ(content(kSys + "\\talomon.dll"), "deep talomon");
}

TEST_F(Install, AppPathOfAnotherTypeRaisesTheRegistryError) {
  pc.setRegistryValue(monitor::kCompanionKey, "AppPath", {platform::kRegDword, "\x05\0\0\0"});
  shipAll(5u);
  try {
    installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion});
    FAIL() << "no error raised";
  } catch (const gui::Exception& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'AppPath'");
  }
  EXPECT_TRUE(pc.monitorRequests.empty());
}

TEST_F(Install, RegistrationRefusedShowsTheSystemsCode) {
  // A shipped DLL that is no monitor: the spooler cannot start it.
  pc.putFile(kAppPath + "\\talomon.dl_", platform::FakePc::plainDll("not a monitor"));
  pc.putFile(kAppPath + "\\taloui.dl_", platform::FakePc::plainDll());
  auto before = pc.state();
  EXPECT_FALSE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  ASSERT_EQ(pc.boxes.size(), 1u);
  expectPlainMessage(pc.boxes[0], "AddMonitor Failed\nCode 127");
  EXPECT_TRUE(pc.state() == before)
      << "no copy stays: " << platform::FakePc::difference(before, pc.state());
}

// A list of monitors that cannot be read is no "not installed": the step
// stops before anything, with the code.
TEST_F(Install, MonitorListFailingStopsBeforeAnything) {
  installOld(2u);
  shipAll(3u);
  auto before = pc.state();
  pc.failCall(platform::SpoolerCall::EnumMonitorsSizing, platform::kErrorAccessDenied, 1);
  EXPECT_FALSE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  ASSERT_EQ(pc.boxes.size(), 1u);
  expectPlainMessage(pc.boxes[0], "EnumMonitors Failed!!\nCode 5");
  EXPECT_TRUE(pc.monitorRequests.empty());
  EXPECT_TRUE(pc.state() == before) << platform::FakePc::difference(before, pc.state());
}

TEST_F(Install, SecondListCallFailing) {
  pc.failCall(platform::SpoolerCall::EnumMonitors, 1722, 1);
  shipAll(2u);
  EXPECT_EQ(monitor::monitorInstalled(pc, pc.prompter(), "Local Port"), -1);
  ASSERT_EQ(pc.boxes.size(), 1u);
  expectPlainMessage(pc.boxes[0], "EnumMonitors Failed!!\nCode 1722");
  EXPECT_EQ(monitor::monitorInstalled(pc, pc.prompter(), "Local Port"), 1);
  EXPECT_EQ(monitor::monitorInstalled(pc, pc.prompter(), "local port"), 0)
      << "names compare case-sensitively";
  EXPECT_EQ(monitor::monitorInstalled(pc, pc.prompter(), "Local"), 0);
}

TEST_F(Install, RemovalRefusedDuringAnUpdateKeepsTheOldMonitorAndItsVersion) {
  installOld(1u);
  shipAll(2u);
  pc.answers = {Answer::Yes};
  pc.failCall(platform::SpoolerCall::DeleteMonitor, platform::kErrorAccessDenied, 1);
  EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  ASSERT_EQ(pc.boxes.size(), 2u);
  expectInformation(pc.boxes[1], "DeleteMonitor Failed !", "", Buttons::Ok);
  EXPECT_TRUE(registered());
  EXPECT_EQ(content(kSys + "\\talomon.dll"), "old talomon") << "nothing copied";
  EXPECT_EQ(dwDriverVersion, 1u) << "the version in force";
}

TEST_F(Install, UpdateMovesPrintersOffTheRemotePortWithoutAsking) {
  installOld(1u);
  shipAll(2u);
  pc.answers = {Answer::Yes};
  pc.addPrinter("Office Laser", "Remote Port");
  pc.addPrinter("Shared Inkjet", "Remote Port,LPT1:");
  pc.addPrinter("Plotter", "COM1:");
  EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_EQ(texts(), std::vector<std::string>{kReplace});
  EXPECT_EQ(portOf("Office Laser"), "LPT1:");
  EXPECT_EQ(portOf("Shared Inkjet"), "Remote Port,LPT1:");
  EXPECT_EQ(portOf("Plotter"), "COM1:");
  EXPECT_EQ(pc.printerWrites.size(), 1u);
  EXPECT_EQ(content(kSys + "\\talomon.dll"), "shipped talomon");
}

TEST_F(Install, PrinterThatCouldNotBeMovedKeepsTheOldMonitor) {
  installOld(1u);
  shipAll(2u);
  pc.answers = {Answer::Yes};
  pc.addPrinter("Office Laser", "Remote Port");
  pc.failCall(platform::SpoolerCall::SetPrinter, platform::kErrorAccessDenied, 1);
  EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_EQ(texts(), (std::vector<std::string>{kReplace, "SetPrinter Failed!!\nCode 5"}));
  EXPECT_EQ(portOf("Office Laser"), "Remote Port");
  EXPECT_TRUE(pc.monitorRequests.empty()) << "the monitor was deleted under a printer";
  EXPECT_TRUE(registered());
  EXPECT_EQ(content(kSys + "\\talomon.dll"), "old talomon");
  EXPECT_EQ(dwDriverVersion, 1u);
}

// Every call of the installation made to fail once.
TEST_F(Install, SystemDirectoryUnknownStopsBeforeAnything) {
  installOld(1u);
  shipAll(2u);
  dwDriverVersion = 77;
  pc.failCall(platform::FilesCall::GetSystemDirectory, 8, 1);
  EXPECT_FALSE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  ASSERT_EQ(pc.boxes.size(), 1u);
  expectPlainMessage(pc.boxes[0], "Failed to Copy file !");
  EXPECT_EQ(dwDriverVersion, 77u);
  EXPECT_TRUE(pc.monitorRequests.empty());
  EXPECT_EQ(content(kSys + "\\talomon.dll"), "old talomon");
}

TEST_F(Install, SystemDirectoryTooLongForItsRoom) {
  pc.systemDir = "C:\\" + std::string(509, 's');  // 512 characters
  pc.addFolder(pc.systemDir);
  shipAll(2u);
  EXPECT_FALSE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_EQ(texts(), std::vector<std::string>{"Failed to Copy file !"});
  pc.systemDir.resize(511);
  pc.addFolder(pc.systemDir);
  pc.boxes.clear();
  EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_EQ(content(pc.systemDir + "\\talomon.dll"), "shipped talomon");
}

TEST_F(Install, FirstCopyFailingCopiesNothing) {
  shipAll(2u);
  pc.failCall(platform::FilesCall::CopyFile, platform::kErrorAccessDenied, 1);
  EXPECT_FALSE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_EQ(texts(), std::vector<std::string>{"Failed to Copy file !"});
  EXPECT_EQ(pc.file(kSys + "\\talomon.dll"), nullptr);
  EXPECT_EQ(pc.file(kSys + "\\taloui.dll"), nullptr);
  EXPECT_FALSE(registered());
}

TEST_F(Install, RegistrationFailingOnDemand) {
  shipAll(2u);
  pc.failCall(platform::SpoolerCall::AddMonitor, platform::kErrorInvalidEnvironment, 1);
  EXPECT_FALSE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  ASSERT_EQ(pc.boxes.size(), 1u);
  expectPlainMessage(pc.boxes[0], "AddMonitor Failed\nCode 1805");
  EXPECT_EQ(pc.file(kSys + "\\taloui.dll"), nullptr);
  EXPECT_FALSE(registered());
}

TEST_F(Install, InstalledDllThatCannotBeLoadedOrLacksTheExportCountsAsZero) {
  for (platform::FilesCall call :
       {platform::FilesCall::LoadLibrary, platform::FilesCall::GetProcAddress}) {
    SCOPED_TRACE(static_cast<int>(call));
    pc.boxes.clear();
    installOld(3u);
    shipAll(3u);
    pc.failCall(call, platform::kErrorModNotFound, 1);
    pc.answers = {Answer::No};
    EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
    // 3 > 0: the question, silently; No keeps the "installed" 0.
    EXPECT_EQ(texts(), std::vector<std::string>{kReplace});
    EXPECT_EQ(dwDriverVersion, 0u);
    EXPECT_EQ(pc.loadedModules(), 0u);
  }
}

TEST_F(Install, FreeLibraryFailingStillReadsTheVersion) {
  installOld(3u);
  shipAll(3u);
  pc.failCall(platform::FilesCall::FreeLibrary, 6, 1);
  EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_TRUE(pc.boxes.empty());
  EXPECT_EQ(dwDriverVersion, 3u);
  EXPECT_EQ(pc.loadedModules(), 1u) << "the one that failed to go";
  pc.clearFaults();
  // The fake's own bookkeeping: the leaked module is the test's to drop.
  for (platform::Module m = 0x10000000; pc.loadedModules() && m < 0x20000000; m += 0x10000)
    pc.freeLibrary(m);
}

TEST_F(Install, RegistryCallsFailingOnceReadAnEmptyAppPath) {
  for (platform::RegistryCall call :
       {platform::RegistryCall::RegOpenKeyEx, platform::RegistryCall::RegQueryValueEx}) {
    SCOPED_TRACE(static_cast<int>(call));
    pc.boxes.clear();
    shipAll(2u);
    pc.failCall(call, platform::kErrorAccessDenied, 1);
    EXPECT_FALSE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
    ASSERT_EQ(pc.boxes.size(), 1u);
    EXPECT_EQ(pc.boxes[0].text.rfind("The Varn Vuvarode Lanwarden Utilities are not installed.", 0),
              0u);
    EXPECT_FALSE(registered());
  }
}

TEST_F(Install, KeyThatFailsToCloseDoesNotStopTheInstallation) {
  shipAll(2u);
  pc.failCall(platform::RegistryCall::RegCloseKey, 6, 1);
  EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_TRUE(registered());
  EXPECT_EQ(pc.openRegistryKeys(), 1u);
  pc.clearFaults();
  for (platform::RegKey k = 0x200; pc.openRegistryKeys() && k < 0x400; k += 4) pc.regCloseKey(k);
}

}  // namespace

// The shipped files are used only from where no user but the
// administrators can write, and what is checked is what is installed.
class Staging : public monitortest::MonitorPc {
 protected:
  // An earlier installation of version 1 at work: a printer on its port,
  // its settings and port key, and a newer version shipped.
  void olderAtWork() {
    installOld(1u);
    shipAll(2u);
    pc.addPrinter("Office Laser", "Remote Port");
    pc.setRegistryString(monitortest::kMonitorKey, "Server Address", "10.77.0.2");
    pc.setRegistryString(monitortest::kMonitorKey + "\\Ports\\Remote Port", "Timeout", "30");
  }
  // Nothing of the step's own left: no folder, no new or old copies, no journal.
  void expectNoLeftOvers() {
    for (const auto& [path, file] : pc.files) {
      EXPECT_EQ(path.find(".new"), std::string::npos) << path;
      EXPECT_EQ(path.find(".old"), std::string::npos) << path;
      EXPECT_EQ(path.find("PrnWizard."), std::string::npos) << path;
    }
    for (const std::string& folder : pc.folders)
      EXPECT_EQ(folder.find("PrnWizard."), std::string::npos) << folder;
    EXPECT_FALSE(pc.registryKeyExists(journal::kJournalKey));
  }
};

TEST_F(Staging, OnNt6ACompanionFolderOrFileOthersCanWriteIsRefusedByName) {
  osMajorVersion = 6;
  shipAll(5u);
  const std::string kRefused =
      "The printer sharing driver's files in \"" + kAppPath +
      "\" are not used: users other than the administrators can change that folder or its "
      "files.\nReinstall the Varn Vuvarode Lanwarden Utilities, or let only administrators write "
      "to that folder.";
  pc.openFolders.insert(kAppPath);
  auto before = pc.state();
  EXPECT_FALSE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  ASSERT_EQ(pc.boxes.size(), 1u);
  expectPlainMessage(pc.boxes[0], kRefused);
  EXPECT_TRUE(pc.state() == before) << platform::FakePc::difference(before, pc.state());
  EXPECT_TRUE(pc.libraryLoads.empty()) << "nothing of it was loaded";

  pc.openFolders.clear();
  pc.files[kAppPath + "\\taloui.dl_"].writableByOthers = true;
  EXPECT_FALSE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_EQ(pc.boxes.back().text, kRefused);
  pc.files[kAppPath + "\\taloui.dl_"].writableByOthers = false;
  pc.failCall(platform::FilesCall::WritableByOthers, platform::kErrorAccessDenied, 1);
  EXPECT_FALSE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_EQ(pc.boxes.back().text,
            "The rights on \"" + kAppPath +
                "\" could not be read, so the printer sharing driver's files there are not "
                "used.\nCode 5");
  EXPECT_FALSE(registered());

  // Windows XP and older are not asked.
  osMajorVersion = 5;
  pc.openFolders.insert(kAppPath);
  EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  osMajorVersion = 6;
  pc.openFolders.clear();
  pc.deleteMonitor("", monitor::kMonitorName);
  pc.files.erase(kSys + "\\talomon.dll");
  pc.files.erase(kSys + "\\taloui.dll");
  EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  expectNoLeftOvers();
}

TEST_F(Staging, TheCopyInTheAdministratorsFolderIsReadAndInstalledAndThenRemoved) {
  olderAtWork();
  // From a CD: read-only.
  pc.files[kAppPath + "\\talomon.dl_"].readOnly = true;
  bool stagedWhenAsked = false;
  pc.whileShown = [&](const platform::FakePc::ShownBox&) {
    stagedWhenAsked = pc.adminOnlyFolders.count(kSys + "\\PrnWizard.1") &&
                      content(kSys + "\\PrnWizard.1\\talomon.dl_") == "shipped talomon";
  };
  pc.answers = {Answer::Yes};
  EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_TRUE(stagedWhenAsked);
  EXPECT_EQ(pc.libraryLoads, (std::vector<std::string>{kSys + "\\talomon.dll",
                                                       kSys + "\\PrnWizard.1\\talomon.dl_"}));
  EXPECT_EQ(content(kSys + "\\talomon.dll"), "shipped talomon");
  EXPECT_FALSE(pc.file(kSys + "\\talomon.dll")->readOnly) << "or no update could replace it";
  EXPECT_EQ(content(kSys + "\\taloui.dll"), "shipped taloui");
  EXPECT_EQ(pc.spoolerModules[monitor::kMonitorName], kSys + "\\talomon.dll");
  EXPECT_EQ(portOf("Office Laser"), "LPT1:") << "an update moves the printers as before";
  expectNoLeftOvers();
}

TEST_F(Staging, AFolderThereAlreadyIsNeverTaken) {
  shipAll(2u);
  pc.putFile(kSys + "\\PrnWizard.1\\talomon.dl_", platform::FakePc::monitorDll(9u, "planted"));
  EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_EQ(content(kSys + "\\talomon.dll"), "shipped talomon");
  EXPECT_EQ(content(kSys + "\\PrnWizard.1\\talomon.dl_"), "planted");
  EXPECT_FALSE(pc.folders.count(kSys + "\\PrnWizard.2")) << "its own folder, removed";
}

// The old monitor keeps working when its files cannot be replaced: read-
// only ones stop the update before anything changes; one that another
// process holds open stops it at the rename, and all is put back.
TEST_F(Staging, AnInstalledFileThatCannotBeReplacedKeepsTheOldMonitorWorking) {
  olderAtWork();
  pc.files[kSys + "\\taloui.dll"].readOnly = true;
  auto before = pc.state();
  pc.answers = {Answer::Yes};
  EXPECT_FALSE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_EQ(texts(), (std::vector<std::string>{kReplace, "Failed to Copy file !"}));
  EXPECT_TRUE(pc.monitorRequests.empty());
  EXPECT_TRUE(pc.state() == before) << platform::FakePc::difference(before, pc.state());

  pc.files[kSys + "\\taloui.dll"].readOnly = false;
  pc.lockedFiles.insert(kSys + "\\taloui.dll");
  before = pc.state();
  pc.answers = {Answer::Yes};
  EXPECT_FALSE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_EQ(pc.boxes.back().text, "Failed to Copy file !");
  EXPECT_EQ(requestKinds(), (std::vector<Kind>{Kind::Delete, Kind::Add}));
  EXPECT_EQ(pc.monitorRequests[1].dllName, "talomon.dll");
  // Registered again, with its settings, its port key, its printer.
  EXPECT_TRUE(pc.state() == before) << platform::FakePc::difference(before, pc.state());
  expectNoLeftOvers();
}

TEST_F(Staging, RemovalRefusedDuringAnUpdatePutsThePrintersBack) {
  olderAtWork();
  auto before = pc.state();
  pc.answers = {Answer::Yes};
  pc.failCall(platform::SpoolerCall::DeleteMonitor, platform::kErrorAccessDenied, 1);
  // The old monitor stays in force: the step completes with it.
  EXPECT_TRUE(installMonitor({pc, pc, pc, pc.prompter(), osMajorVersion}));
  EXPECT_EQ(portOf("Office Laser"), "Remote Port") << "not left on LPT1:";
  EXPECT_EQ(dwDriverVersion, 1u);
  EXPECT_TRUE(pc.state() == before) << platform::FakePc::difference(before, pc.state());
  expectNoLeftOvers();
}
