// The command line and the unattended installation on the in-memory PC.
#include "app/unattended.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "app/application.h"
#include "app/command_line.h"
#include "discovery/device_table.h"
#include "discovery/receiver.h"
#include "gui/headless/headless_ui.h"
#include "journal/journal.h"
#include "monitor_fixture.h"
#include "printers/logon_default.h"
#include "tests/native/discovery_fixture.h"

namespace {

using app::ExitCode;

const std::string kInstall = "/quiet /server:10.77.0.4 \"/printer:HP LaserJet 1100 (MS)\"";

TEST(CommandLine, ReadsSwitchesInAnyCaseWithEitherPrefixAndQuotedValues) {
  app::CommandLine l = app::parseCommandLine(
      " -QUIET /Server:10.77.0.4 \"/printer:HP LaserJet 1100\" /default -TestPage /wait:15"
      " /log:\"C:\\Program Files\\x.log\"");
  ASSERT_EQ(l.error, "");
  EXPECT_TRUE(l.options.quiet && l.options.makeDefault && l.options.testPage);
  EXPECT_FALSE(l.options.uninstall || l.options.help);
  EXPECT_EQ(l.options.server, "10.77.0.4");
  EXPECT_EQ(l.options.printer, "HP LaserJet 1100");
  EXPECT_EQ(l.options.waitSeconds, 15u);
  EXPECT_EQ(l.options.logFile, "C:\\Program Files\\x.log");

  EXPECT_EQ(app::parseCommandLine("   ").error, "");
  EXPECT_FALSE(app::parseCommandLine("").options.quiet);
  EXPECT_EQ(app::parseCommandLine("/printer:\"A \\\"B\\\"\" /quiet").options.printer, "A \"B\"");
  EXPECT_EQ(app::splitCommandLine("a\\\\\"b c\" d\\e"),
            (std::vector<std::string>{"a\\b c", "d\\e"}));
}

// The MSI package passes its properties through installSwitches: a value
// with quotes, backslashes or blanks must come back whole, never as switches.
TEST(CommandLine, InstallSwitchesCarryEveryValueWhole) {
  const std::string values[] = {"HP LaserJet 1100",
                                "Nobody\" /uninstall \"x",
                                "ends in\\",
                                "\\\\host\\q \"a\\\"b\"\\",
                                "\"\"",
                                "tab\there",
                                ""};
  for (const std::string& v : values) {
    std::vector<std::string> words = app::splitCommandLine(app::installSwitches(v, v, true, false));
    std::vector<std::string> want = {"/quiet", "/server:" + v};
    if (!v.empty()) want.push_back("/printer:" + v);
    want.push_back("/default");
    EXPECT_EQ(words, want) << v;
  }
  app::CommandLine l = app::parseCommandLine(
      app::installSwitches("10.77.0.4", "Nobody\" /uninstall \"", false, true));
  ASSERT_EQ(l.error, "");
  EXPECT_EQ(l.options.printer, "Nobody\" /uninstall \"");
  EXPECT_TRUE(l.options.quiet && l.options.testPage);
  EXPECT_FALSE(l.options.uninstall || l.options.makeDefault);
}

TEST(CommandLine, EveryMistakeIsNamedAndTheLogIsStillRead) {
  struct Case {
    const char* line;
    const char* error;
  } cases[] = {
      {"/quiet /frobnicate", "Unknown switch \"/frobnicate\"; /? lists the switches."},
      {"/quiet /server", "/server: needs a value."},
      {"/quiet /server:", "/server: needs a value."},
      {"/quiet /server:10.0.0", "/server:10.0.0 is not an IPv4 address such as 10.0.0.5."},
      {"/quiet /server:10.0.0.256", "/server:10.0.0.256 is not an IPv4 address such as 10.0.0.5."},
      {"/quiet /server:255.255.255.255",
       "/server:255.255.255.255 is not an IPv4 address such as 10.0.0.5."},
      {"/quiet /wait:601", "/wait:601 is not a number of seconds from 0 to 600."},
      {"/quiet /wait:-1", "/wait:-1 is not a number of seconds from 0 to 600."},
      {"/quiet /default:yes", "/default takes no value."},
      {"/quiet /printer:A /printer:B", "/printer is given twice."},
      {"/quiet server", "Unexpected argument \"server\": switches begin with / or -."},
      {"/server:10.0.0.5", "The switches work only with /quiet."},
      {"/uninstall", "The switches work only with /quiet."},
      {"/help", "Unknown switch \"/help\"; /? lists the switches."},
      {"/quiet /uninstall /server:10.0.0.5", "/uninstall takes no /server."},
      {"/quiet /status /default", "/status takes no /default."},
      {"/quiet /status /uninstall", "/uninstall and /status exclude each other."},
      {"/? /quiet", "/? stands alone."},
  };
  for (const Case& c : cases) {
    app::CommandLine l = app::parseCommandLine(std::string(c.line) + " /log:C:\\x.log");
    EXPECT_EQ(l.error, c.error) << c.line;
    EXPECT_EQ(l.options.logFile, "C:\\x.log") << c.line;
  }
  std::string longAddress(300, '1');
  EXPECT_EQ(app::parseCommandLine("/quiet /server:" + longAddress).error,
            "/server:" + std::string(40, '1') + "... is not an IPv4 address such as 10.0.0.5.");
  EXPECT_EQ(app::parseCommandLine("/? /frobnicate").error,
            "Unknown switch \"/frobnicate\"; /? lists the switches.");
}

// Other installers' quiet switches mean /quiet, in any number, and
// /norestart, which deployment tools add, changes nothing.
TEST(CommandLine, QuietAliasesAndNorestart) {
  for (const char* line :
       {"/q", "/qn", "/s", "/silent", "-QN", "/quiet /q /norestart /norestart"}) {
    app::CommandLine l = app::parseCommandLine(std::string(line) + " /server:10.0.0.5");
    EXPECT_EQ(l.error, "") << line;
    EXPECT_TRUE(l.options.quiet) << line;
    EXPECT_FALSE(l.empty || l.helpAlone) << line;
  }
  EXPECT_EQ(app::parseCommandLine("/norestart").error, "The switches work only with /quiet.");
  EXPECT_TRUE(app::parseCommandLine(" -? ").helpAlone);
  EXPECT_TRUE(app::parseCommandLine("").empty);
  EXPECT_TRUE(app::parseCommandLine("/quiet /status /server:10.0.0.5 /printer:P").options.status);
}

// The package's properties: only "1" turns DEFAULT and TESTPAGE on; WAIT
// becomes /wait, quoted like every value.
TEST(CommandLine, PackagePropertiesTurnOnOnlyWithOne) {
  for (const char* off : {"", "0", "yes", "true", " 1", "1 ", "01"})
    EXPECT_FALSE(app::propertyOn(off)) << off;
  EXPECT_TRUE(app::propertyOn("1"));
  app::CommandLine l =
      app::parseCommandLine(app::installSwitches("10.0.0.5", "", false, true, "20"));
  ASSERT_EQ(l.error, "");
  EXPECT_EQ(l.options.waitSeconds, 20u);
  std::string smuggled = app::installSwitches("10.0.0.5", "", false, false, "2 /uninstall");
  EXPECT_EQ(app::parseCommandLine(smuggled).error,
            "/wait:2 /uninstall is not a number of seconds from 0 to 600.");
}

// A PC with the companion folder's files, an LaserJet and another printer.
class Unattended : public monitortest::MonitorPc {
 protected:
  void SetUp() override {
    MonitorPc::SetUp();
    discovery::resetReceiver();
    discovery::clearTaloInfo();
    pc.window(app)->title = "";  // this copy's window, untitled
    ui.setApplicationWindow(app);
    shipAll(0x200);
    pc.addPrinter("Epson LQ-570", "LPT1:");
    pc.addPrinter("HP LaserJet 1100 (MS)", "LPT1:");
    pc.addFolder("C:\\logs");
    pc.addFolder(kKeptFolder);  // as an earlier run made it: for the administrators only
  }
  void TearDown() override {
    endProcess();
    app::destroyPages();
    MonitorPc::TearDown();
  }
  // The last run's process ends: its socket and its receiver go with it.
  void endProcess() {
    discovery::bStopReceiver = 1;
    pc.endProcess();
    discovery::resetReceiver();
  }

  // Each run is a new process.
  ExitCode run(const std::string& line) {
    endProcess();
    int code = app::runApplication(pc, ui, line + " /log:C:\\logs\\run.log");
    EXPECT_TRUE(pc.mutexesOwned().empty()) << "the guard is released at the end";
    return static_cast<ExitCode>(code);
  }
  std::string log() const { return content("C:\\logs\\run.log"); }
  // The PC without the run's log: what a run must leave as it was.
  platform::FakePc::State state() const {
    platform::FakePc::State s = pc.state();
    s.files.erase("C:\\logs\\run.log");
    s.forget("C:\\ProgramData\\Varn");  // the kept log
    return s;
  }
  bool logHas(const std::string& text) const { return log().find(text) != std::string::npos; }
  std::string kept() const { return content(kKept); }
  bool keptHas(const std::string& text) const { return kept().find(text) != std::string::npos; }

  // Servers on the LAN: each answers the first request of a search, and
  // the run goes on only once the receiver has entered them all.
  void lan(std::vector<std::pair<std::string, std::string>> servers) {
    pc.addAdapter({{"10.77.0.1", "255.255.255.0"}});
    pc.onSend = [this, servers](const platform::FakePc::Sent& sent) {
      if (sent.port != 9999 || discovery::taloCount() > 0) return;
      for (const auto& [address, printer] : servers)
        pc.deliver(testnet::ip(address), testnet::reply(0x00020000, printer));
      for (int i = 0; i < 400 && discovery::taloCount() < static_cast<int>(servers.size()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
  }

  // What a run may change: the spooler's printers and monitors, the
  // registry, the files and folders, the default printer.
  struct Snapshot {
    std::vector<std::string> ports, monitors;
    platform::FakePc::RegKeys registry;
    std::map<std::string, platform::FakePc::File, platform::FakePc::NoCase> files;
    std::set<std::string, platform::FakePc::NoCase> folders;
    std::string defaultPrinter;
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot snapshot() const {
    Snapshot s{{}, pc.monitorNames(), pc.registry, pc.files, pc.folders, pc.defaultPrinterName};
    for (const auto& p : pc.printers) s.ports.push_back(p.portName.value_or(""));
    // The logs are no change to the PC.
    s.files.erase("C:\\logs\\run.log");
    s.files.erase(kKept);
    s.files.erase(std::string(kKeptFolder) + "\\PrnWizard.previous.log");
    return s;
  }

  static constexpr char kKeptFolder[] = "C:\\ProgramData\\Varn\\PRN WIZARD";
  static constexpr char kKept[] = "C:\\ProgramData\\Varn\\PRN WIZARD\\PrnWizard.log";
  gui::HeadlessUi ui{pc};
};

TEST_F(Unattended, InstallsStoresMovesAndMakesDefaultWithoutAWindowOrABox) {
  ASSERT_EQ(run("/quiet /server:10.77.0.4 /default \"/printer:HP LaserJet 1100 (MS)\""),
            ExitCode::Done)
      << log();
  EXPECT_TRUE(registered());
  EXPECT_EQ(content(monitortest::kSys + "\\talomon.dll"), "shipped talomon");
  EXPECT_EQ(pc.registryString(monitortest::kMonitorKey, "Server Address"), "10.77.0.4");
  EXPECT_EQ(portOf("HP LaserJet 1100 (MS)"), "Remote Port");
  EXPECT_EQ(portOf("Epson LQ-570"), "LPT1:");
  EXPECT_EQ(pc.defaultPrinterName, "HP LaserJet 1100 (MS)");
  EXPECT_FALSE(pc.registryKeyExists(printers::kLogonDefaultKey));
  EXPECT_TRUE(pc.boxes.empty());
  EXPECT_TRUE(app::createdPages().empty());
  EXPECT_TRUE(ui.applicationWindowHidden);
  // Its hidden window is no wizard to bring to the front: the guard says
  // that an installation runs.
  EXPECT_EQ(pc.window(app)->title, "");
  EXPECT_TRUE(
      logHas("question [Information]: Change HP LaserJet 1100 (MS) port setting from "
             "\"LPT1:\" to \"Remote Port\" ? -> Yes"))
      << log();
  EXPECT_TRUE(logHas("Run by TESTPC\\alice in session 1 on 2024-03-05 at 14:07:09 UTC.")) << log();
  EXPECT_TRUE(logHas("Exit code 0: done.")) << log();
  EXPECT_EQ(kept(), log()) << "the kept log holds the same lines";
}

TEST_F(Unattended, NewerShippedReplacesOlderButOlderShippedNeverReplacesNewer) {
  installOld(0x100);
  pc.putFile(monitortest::kSys + "\\talomon.dll", platform::FakePc::monitorDll(0x100, "old"));
  EXPECT_EQ(run("/quiet /server:10.77.0.4 /printer:\"Epson LQ-570\""), ExitCode::Done) << log();
  EXPECT_EQ(content(monitortest::kSys + "\\talomon.dll"), "shipped talomon");
  EXPECT_TRUE(logHas("question [Information]: Replace the old driver with newer one ? -> Yes"));
  EXPECT_EQ(portOf("Epson LQ-570"), "Remote Port");

  shipAll(0x80);
  EXPECT_EQ(run("/quiet /server:10.77.0.5 /printer:\"Epson LQ-570\""), ExitCode::Done) << log();
  EXPECT_EQ(content(monitortest::kSys + "\\talomon.dll"), "shipped talomon");
  EXPECT_FALSE(logHas("Replace the old driver"));
  EXPECT_EQ(pc.registryString(monitortest::kMonitorKey, "Server Address"), "10.77.0.5");
}

TEST_F(Unattended, RefusalsBeforeAnyChangeLeaveThePcAsItWas) {
  EXPECT_EQ(run("/quiet /server:10.77.0.4 /printer:Nonesuch"), ExitCode::BadCommandLine);
  EXPECT_TRUE(logHas("No local printer is named \"Nonesuch\".")) << log();
  EXPECT_EQ(run("/quiet /server:10.77.0.4 /bogus"), ExitCode::BadCommandLine);
  EXPECT_TRUE(logHas("Unknown switch \"/bogus\"")) << log();
  EXPECT_TRUE(logHas("Exit code 1: bad command line.")) << log();

  // Without /printer the server is asked for its printer; it does not answer.
  pc.addAdapter({{"10.77.0.1", "255.255.255.0"}});
  EXPECT_EQ(run("/quiet /server:10.77.0.4 /wait:1"), ExitCode::NoServer);
  EXPECT_TRUE(logHas("The server 10.77.0.4 did not answer")) << log();
  ASSERT_FALSE(pc.sent().empty());
  for (const auto& sent : pc.sent()) EXPECT_EQ(sent.to, 0x04004D0Au);  // to it alone

  EXPECT_FALSE(registered());
  EXPECT_FALSE(pc.registryString(monitortest::kMonitorKey, "Server Address").has_value());
  EXPECT_EQ(portOf("Epson LQ-570"), "LPT1:");
  EXPECT_TRUE(pc.boxes.empty());
  // A log that cannot be written is a bad command line too, said in the
  // kept log.
  EXPECT_EQ(app::runApplication(pc, ui, "/quiet /printer:Epson /log:C:\\none\\x.log"), 1);
  EXPECT_TRUE(keptHas("The log C:\\none\\x.log cannot be written.")) << kept();
}

// The whole run is one step: whichever step fails, nothing was changed.
TEST_F(Unattended, EachFailedStepHasItsCodeAndChangesNothing) {
  pc.defaultPrinterName = "Epson LQ-570";
  auto before = state();
  auto expectUnchanged = [&](const char* what) {
    EXPECT_TRUE(state() == before) << what << ": " << platform::FakePc::difference(before, state());
    EXPECT_TRUE(logHas("Nothing was changed.")) << log();
  };
  pc.failCall(platform::SpoolerCall::AddMonitor, 5, 1);
  EXPECT_EQ(run(kInstall), ExitCode::MonitorFailed);
  EXPECT_TRUE(logHas("message: AddMonitor Failed Code 5")) << log();
  expectUnchanged("registration");

  // The old monitor could not be removed for the newer one: the wizard
  // would go on with the old one, the unattended run reports it.
  installOld(0x100);
  before = state();
  pc.failCall(platform::SpoolerCall::DeleteMonitor, 5, 1);
  EXPECT_EQ(run(kInstall), ExitCode::MonitorFailed);
  EXPECT_TRUE(logHas("DeleteMonitor Failed !")) << log();
  expectUnchanged("removal");

  pc.failCall(platform::SpoolerCall::SetPrinter, 5, 1);
  EXPECT_EQ(run(kInstall), ExitCode::PortFailed);
  EXPECT_TRUE(logHas("message: SetPrinter Failed!! Code 5")) << log();
  expectUnchanged("port");

  pc.failCall(platform::SpoolerCall::SetDefaultPrinter, 5, 1);
  EXPECT_EQ(run(kInstall + " /default"), ExitCode::DefaultFailed);
  expectUnchanged("default");

  pc.failCall(platform::PrintingCall::CreateDC, 1801, 1);
  EXPECT_EQ(run(kInstall + " /default /testpage"), ExitCode::TestPageFailed);
  EXPECT_TRUE(logHas("The test page could not be printed. Code 1801")) << log();
  EXPECT_TRUE(logHas("\"HP LaserJet 1100 (MS)\" is the default printer.")) << log();
  expectUnchanged("test page: the default printer is put back too");

  EXPECT_EQ(run(kInstall + " /testpage"), ExitCode::Done) << log();
  EXPECT_EQ(pc.jobs.size(), 1u);
  EXPECT_TRUE(pc.boxes.empty());
}

TEST_F(Unattended, UninstallMovesPrintersBackAndDeletesTheMonitor) {
  EXPECT_EQ(run("/quiet /uninstall"), ExitCode::Done);  // nothing to remove
  EXPECT_TRUE(logHas("does not exist!")) << log();

  ASSERT_EQ(run(kInstall), ExitCode::Done);
  pc.failCall(platform::SpoolerCall::DeleteMonitor, 5, 1);
  EXPECT_EQ(run("/quiet /uninstall"), ExitCode::UninstallStopped);
  EXPECT_TRUE(registered());
  EXPECT_EQ(portOf("HP LaserJet 1100 (MS)"), "Remote Port") << "put back on its port";
  // A list of monitors that cannot be read is no "not installed".
  pc.failCall(platform::SpoolerCall::EnumMonitorsSizing, 1722, 1);
  EXPECT_EQ(run("/quiet /uninstall"), ExitCode::UninstallStopped);
  EXPECT_TRUE(logHas("message: EnumMonitors Failed!! Code 1722")) << log();
  EXPECT_TRUE(logHas("Nothing was changed.")) << log();
  EXPECT_TRUE(registered());

  EXPECT_EQ(run("/quiet /uninstall"), ExitCode::Done) << log();
  EXPECT_FALSE(registered());
  EXPECT_EQ(portOf("HP LaserJet 1100 (MS)"), "LPT1:");
  EXPECT_TRUE(logHas("unistall successfully.")) << log();
  EXPECT_TRUE(pc.boxes.empty());
}

// Only "/?" alone, from a person, shows a box.  Every other line, a
// mistake or not, answers with its code and a log line (the kept log
// without /log), and never a window: in session 0 nobody would answer it.
TEST_F(Unattended, NoLineButHelpAloneShowsAWindow) {
  EXPECT_EQ(app::runApplication(pc, ui, "/?"), 0);
  ASSERT_EQ(pc.boxes.size(), 1u);
  EXPECT_NE(pc.boxes[0].text.find("  9  the uninstall stopped"), std::string::npos);
  EXPECT_NE(pc.boxes[0].text.find("  1618  another installation is in progress"),
            std::string::npos);
  pc.boxes.clear();
  struct Case {
    const char* line;
    int code;
    const char* logged;
  } cases[] = {
      {"/server:10.0.0.5", 1, "The switches work only with /quiet."},
      {"/uninstall", 1, "The switches work only with /quiet."},
      {"/help", 1, "Unknown switch \"/help\""},
      {"/? /frobnicate", 1, "Unknown switch \"/frobnicate\""},
      {"/q /server:10.77.0.4 /printer:Nonesuch", 1, "No local printer is named"},
      {"/qn /norestart /server:10.77.0.4 /printer:Nonesuch", 1, "No local printer is named"},
      {"/s /uninstall", 0, "does not exist!"},
      {"/silent /uninstall /norestart", 0, "does not exist!"},
  };
  for (const Case& c : cases) {
    endProcess();
    pc.files.erase(kKept);
    EXPECT_EQ(app::runApplication(pc, ui, c.line), c.code) << c.line;
    EXPECT_TRUE(keptHas(c.logged)) << c.line << ": " << kept();
    EXPECT_TRUE(keptHas(std::string("started with: ") + c.line)) << kept();
    EXPECT_TRUE(pc.boxes.empty()) << c.line;
    EXPECT_TRUE(app::createdPages().empty()) << c.line;
  }
  EXPECT_FALSE(registered());
}

// One installation at a time, machine-wide: the guard that a run of
// another session or account holds is waited for, a bounded time.
TEST_F(Unattended, AnotherInstallationIsWaitedForThenRefusedWith1618) {
  const std::string guard = "Global\\Varn PRN WIZARD";
  // Released within the wait: this run goes on, after it.
  pc.mutexesElsewhere[guard].releasedAt = pc.now + 5000;
  EXPECT_EQ(run(kInstall), ExitCode::Done) << log();
  EXPECT_GE(pc.now.load(), 5000u);
  EXPECT_TRUE(logHas("It has ended.")) << log();
  EXPECT_TRUE(registered());
  ASSERT_EQ(run("/quiet /uninstall"), ExitCode::Done);

  // Held on: nothing is changed, and the code says "retry".
  for (bool otherAccount : {false, true}) {
    pc.mutexesElsewhere[guard] = {otherAccount, std::nullopt};
    Snapshot before = snapshot();
    const std::uint32_t start = pc.now;
    EXPECT_EQ(run(kInstall + " /default"), ExitCode::AnotherInstallation);
    EXPECT_EQ(pc.now - start, app::kGuardWaitMs);
    EXPECT_TRUE(logHas(std::string("Another installation of the Printer Sharing Server driver "
                                   "is in progress") +
                       (otherAccount ? " in another account" : "") +
                       "; waiting up to 30 s for it to end."))
        << log();
    EXPECT_TRUE(logHas("It did not end within 30 s.  Nothing is changed.")) << log();
    EXPECT_TRUE(logHas("Exit code 1618: another installation is in progress")) << log();
    EXPECT_TRUE(snapshot() == before);
    EXPECT_EQ(run("/quiet /uninstall"), ExitCode::AnotherInstallation);
  }
  // The kept log is the holder's, which is still writing it: a run that
  // does not hold the guard neither cuts it nor moves it aside, and adds
  // its own lines at its end, at once.  So does a mistaken line.
  const std::string holders = "Varn PRN WIZARD, started with: /quiet /server:10.77.0.5\r\n";
  pc.files.erase(std::string(kKeptFolder) + "\\PrnWizard.previous.log");
  pc.putFile(kKept, platform::FakePc::dataFile(holders));
  EXPECT_EQ(run(kInstall), ExitCode::AnotherInstallation);
  EXPECT_EQ(kept().rfind(holders, 0), 0u) << kept();
  EXPECT_EQ(kept().substr(holders.size()), log()) << "its lines after the holder's";
  EXPECT_EQ(pc.file(std::string(kKeptFolder) + "\\PrnWizard.previous.log"), nullptr);
  pc.mutexesElsewhere.clear();
  EXPECT_EQ(run("/quiet /bogus"), ExitCode::BadCommandLine);
  EXPECT_EQ(kept().rfind(holders, 0), 0u) << kept();
  EXPECT_NE(kept().find("Exit code 1618"), std::string::npos) << kept();
  EXPECT_TRUE(keptHas("Unknown switch \"/bogus\"")) << kept();
  EXPECT_EQ(pc.file(std::string(kKeptFolder) + "\\PrnWizard.previous.log"), nullptr);
  // The run that takes the guard starts it anew, the last one moved aside.
  ASSERT_EQ(run(kInstall), ExitCode::Done);
  EXPECT_EQ(kept(), log());
  EXPECT_EQ(content(std::string(kKeptFolder) + "\\PrnWizard.previous.log").rfind(holders, 0), 0u);
  ASSERT_EQ(run("/quiet /uninstall"), ExitCode::Done);
  // A guard that cannot be made is tried for as long, and not run without.
  pc.mutexesElsewhere.clear();
  pc.failCall(platform::WindowsCall::TakeMutex, 1450);
  EXPECT_EQ(run(kInstall), ExitCode::AnotherInstallation);
  EXPECT_TRUE(logHas("The single-instance guard cannot be taken (code 1450); trying again for up "
                     "to 30 s."))
      << log();
  EXPECT_FALSE(registered());
  pc.clearFaults();
  // The guard is held while the run works (here: while it searches).
  std::vector<std::string> heldWhileSearching;
  pc.addAdapter({{"10.77.0.1", "255.255.255.0"}});
  pc.onSend = [&](const platform::FakePc::Sent&) { heldWhileSearching = pc.mutexesOwned(); };
  EXPECT_EQ(run("/quiet /wait:0"), ExitCode::NoServer);
  EXPECT_EQ(heldWhileSearching, std::vector<std::string>{guard});
  // /status changes nothing and takes no guard.
  pc.mutexesElsewhere[guard] = {};
  EXPECT_EQ(run("/quiet /status"), ExitCode::MonitorNotRegistered);
}

// A run that is not the signed-in user's own (SYSTEM, or another account)
// sets no default printer of its own: it registers Windows' printer
// command to make the printer each user's default at their next logon.
TEST_F(Unattended, DefaultPrinterForTheUsersWhenNotRunAsTheSignedInUser) {
  const std::string command =
      "\"C:\\windows\\system32\\rundll32.exe\" printui.dll,PrintUIEntry /y /n "
      "\"HP LaserJet 1100 (MS)\"";
  struct Case {
    bool system;
    const char* account;
    const char* why;
  } cases[] = {{true, "NT AUTHORITY\\SYSTEM", "This run is SYSTEM in session 1 (signed in there: "
                                              "TESTPC\\alice), not the signed-in user's own"},
               {false, "TESTPC\\admin", "This run is TESTPC\\admin in session 1 (signed in there: "
                                        "TESTPC\\alice)"}};
  for (const Case& c : cases) {
    pc.account = {c.system, c.account};
    ASSERT_EQ(run(kInstall + " /default"), ExitCode::Done) << log();
    EXPECT_EQ(pc.defaultPrinterName, "") << "no default of its own";
    EXPECT_EQ(pc.registryString(printers::kLogonDefaultKey, "StubPath"), command);
    EXPECT_EQ(pc.registryString(printers::kLogonDefaultKey, ""),
              "Printer Sharing Server default printer");
    EXPECT_EQ(pc.registryString(printers::kLogonDefaultKey, "Version"), "2024,305,1407,9");
    EXPECT_TRUE(logHas(c.why)) << log();
    EXPECT_TRUE(logHas("\"HP LaserJet 1100 (MS)\" becomes each user's default printer at their "
                       "next logon (Active Setup"))
        << log();
    // Removed with the monitor.
    ASSERT_EQ(run("/quiet /uninstall"), ExitCode::Done) << log();
    EXPECT_FALSE(pc.registryKeyExists(printers::kLogonDefaultKey));
    EXPECT_TRUE(logHas("The default printer arranged for each user's logon is unregistered."));
  }
  // A later registration is newer, so users who ran the first run it too.
  pc.clock = {2024, 12, 31, 23, 59, 58};
  ASSERT_EQ(run(kInstall + " /default"), ExitCode::Done) << log();
  EXPECT_EQ(pc.registryString(printers::kLogonDefaultKey, "Version"), "2024,1231,2359,58");

  // The signed-in user's own run (also where the system has no sessions:
  // NT 4.0) sets the default itself, as the wizard does.
  pc.deleteRegistryTree(printers::kLogonDefaultKey);
  ship(0x200, "lprmon");
  for (std::uint32_t version : {0x0A280105u, 0x05650004u}) {
    pc.version = version;
    pc.account = {false, "TESTPC\\Alice"};
    pc.defaultPrinterName = "";
    ASSERT_EQ(run(kInstall + " /default"), ExitCode::Done) << log();
    EXPECT_EQ(pc.defaultPrinterName, "HP LaserJet 1100 (MS)");
    EXPECT_FALSE(pc.registryKeyExists(printers::kLogonDefaultKey));
  }
  // Nobody signed in to the session (a task "whether or not the user is
  // signed in"): the users' way.
  pc.version = 0x1DB10106;
  pc.sessionUsers.clear();
  pc.defaultPrinterName = "";
  ASSERT_EQ(run(kInstall + " /default"), ExitCode::Done) << log();
  EXPECT_EQ(pc.defaultPrinterName, "");
  EXPECT_TRUE(pc.registryKeyExists(printers::kLogonDefaultKey));
}

TEST_F(Unattended, DefaultForTheUsersThatCannotBeRegisteredFailsCleanly) {
  pc.account = {true, "NT AUTHORITY\\SYSTEM"};
  // A name Windows' printer command cannot carry: refused before any change.
  pc.addPrinter("Odd \"quoted\" LaserJet 1100", "LPT1:");
  Snapshot before = snapshot();
  EXPECT_EQ(run("/quiet /server:10.77.0.4 \"/printer:Odd \\\"quoted\\\" LaserJet 1100\" /default"),
            ExitCode::BadCommandLine);
  EXPECT_TRUE(logHas("Windows' printer command cannot name")) << log();
  EXPECT_TRUE(snapshot() == before);
  // A registration that fails at any of its writes leaves none behind,
  // and the whole run is put back.  The run's writes before it (the
  // record of its changes, the printer's own port) pass.
  const platform::FakePc::State whole = state();
  int failedThere = 0;
  for (int passing = 0; passing < 40; ++passing) {
    pc.failCall(platform::RegistryCall::RegSetValueEx, 5, 1, passing);
    ExitCode code = run(kInstall + " /default");
    pc.clearFaults();
    ASSERT_NE(code, ExitCode::Done) << "no write failed: " << log();
    if (!logHas("Each user's default printer could not be arranged for their next logon. "
                "Code 5"))
      continue;
    ++failedThere;
    EXPECT_EQ(code, ExitCode::DefaultFailed) << log();
    EXPECT_TRUE(logHas("Nothing was changed.")) << log();
    EXPECT_TRUE(state() == whole) << platform::FakePc::difference(whole, state());
    if (failedThere == 3) break;  // its three values, each in turn
  }
  EXPECT_EQ(failedThere, 3);
  EXPECT_FALSE(pc.registryKeyExists(printers::kLogonDefaultKey));
  EXPECT_EQ(pc.defaultPrinterName, "");
}

// /status reads what an installation leaves, changes nothing (no key
// made, not even the kept log), and says what it found.
TEST_F(Unattended, StatusReadsTheSetUpAndChangesNothing) {
  struct Case {
    const char* line;
    ExitCode code;
    const char* found;
  };
  auto expect = [&](const Case& c) {
    Snapshot before = snapshot();
    EXPECT_EQ(run(c.line), c.code) << c.line << ": " << log();
    EXPECT_TRUE(logHas(c.found)) << c.line << ": " << log();
    EXPECT_TRUE(snapshot() == before) << c.line;
    EXPECT_TRUE(pc.boxes.empty());
  };
  pc.folders.erase(kKeptFolder);
  pc.folders.erase("C:\\ProgramData\\Varn");
  expect({"/quiet /status", ExitCode::MonitorNotRegistered,
          "The port monitor \"Printer Sharing Port Monitor\" is not registered."});
  EXPECT_FALSE(pc.registryKeyExists(monitortest::kMonitorKey));
  EXPECT_FALSE(pc.folders.count("C:\\ProgramData\\Varn")) << "no folder made for the kept log";
  ASSERT_EQ(run(kInstall), ExitCode::Done);
  pc.files.erase(kKept);
  expect({"/quiet /status", ExitCode::Done, "The PC is set up."});
  EXPECT_TRUE(logHas("\"HP LaserJet 1100 (MS)\" prints to \"Remote Port\"."));
  EXPECT_EQ(pc.file(kKept), nullptr) << "no kept log";
  expect({"/quiet /status /server:10.77.0.4 \"/printer:HP LaserJet 1100 (MS)\"", ExitCode::Done,
          "The stored server address is 10.77.0.4."});
  expect({"/quiet /status /server:10.77.0.9", ExitCode::AddressNotStored,
          "The stored server address is 10.77.0.4, not 10.77.0.9."});
  expect({"/quiet /status \"/printer:Epson LQ-570\"", ExitCode::NoRemotePortPrinter,
          "\"Epson LQ-570\" does not print to \"Remote Port\"."});
  // A user without administrator rights reads it all the same.
  pc.registryWritable = false;
  expect({"/quiet /status", ExitCode::Done, "The PC is set up."});
  pc.registryWritable = true;

  pc.printer("HP LaserJet 1100 (MS)")->portName = "LPT1:";
  expect({"/quiet /status", ExitCode::NoRemotePortPrinter,
          "No printer prints to \"Remote Port\"."});
  pc.printer("HP LaserJet 1100 (MS)")->portName = "Remote Port";
  pc.setRegistryString(monitortest::kMonitorKey, "Server Address", "");
  expect({"/quiet /status", ExitCode::AddressNotStored, "No server address is stored."});
  pc.setRegistryString(monitortest::kMonitorKey, "Server Address", "10.77.0.4");

  // Any read that fails makes it "not set up" or "unreadable", never 0.
  struct Fault {
    std::function<void()> fail;
    ExitCode code;
  } faults[] = {
      {[&] { pc.failCall(platform::SpoolerCall::EnumMonitorsSizing, 5, 1); },
       ExitCode::StateUnreadable},
      {[&] { pc.failCall(platform::SpoolerCall::EnumMonitors, 5, 1); }, ExitCode::StateUnreadable},
      {[&] { pc.failCall(platform::RegistryCall::RegOpenKeyExToRead, 5, 1); },
       ExitCode::AddressNotStored},
      {[&] { pc.failCall(platform::RegistryCall::RegQueryValueEx, 5, 1); },
       ExitCode::AddressNotStored},
      {[&] { pc.failCall(platform::SpoolerCall::EnumPrintersSizing, 5, 1); },
       ExitCode::StateUnreadable},
      {[&] { pc.failCall(platform::SpoolerCall::EnumPrinters, 5, 1); },
       ExitCode::StateUnreadable},
  };
  for (const Fault& f : faults) {
    f.fail();
    Snapshot before = snapshot();
    EXPECT_EQ(run("/quiet /status"), f.code) << log();
    EXPECT_TRUE(snapshot() == before);
    pc.clearFaults();
  }

  // An uninstall ended in the middle: its changes wait for the next start
  // to undo them, so the PC is not set up meanwhile.
  for (std::uint64_t k = 1; !pc.registryKeyExists(journal::kJournalKey); ++k) {
    ASSERT_LT(k, 500u) << "the uninstall never wrote its record";
    endProcess();
    pc.killAfter(k);
    app::runApplication(pc, ui, "/quiet /uninstall");  // its guard is abandoned, not released
    pc.revive();
    pc.newProcess();  // its handles closed
  }
  expect({"/quiet /status", ExitCode::NotYetUndone,
          "the wizard's next start undoes its changes."});
  // The record's key, after the monitor's and the leftovers' keys.
  pc.failCall(platform::RegistryCall::RegOpenKeyExToRead, 5, 1, 2);
  EXPECT_EQ(run("/quiet /status"), ExitCode::StateUnreadable) << log();
  EXPECT_TRUE(logHas("The record of an unfinished run cannot be read. Code 5")) << log();
  pc.clearFaults();
  ASSERT_EQ(run(kInstall), ExitCode::Done) << log();  // its start undoes the removal first
  expect({"/quiet /status", ExitCode::Done, "The PC is set up."});
}

// Without /server, a LAN with more than one server is not guessed at.
TEST_F(Unattended, SeveralServersAreRefusedUnlessThePrinterPicksOne) {
  lan({{"10.77.0.4", "HP LaserJet 1100"}, {"10.77.0.5", "Canon BJC-1000"}, {"10.77.0.3", ""}});
  Snapshot before = snapshot();
  EXPECT_EQ(run("/quiet"), ExitCode::SeveralServers) << log();
  EXPECT_TRUE(logHas("3 servers answered; /server: names the one to use.  Nothing is changed."))
      << log();
  EXPECT_TRUE(logHas("  10.77.0.4 (KX230) reports the printer \"HP LaserJet 1100\".")) << log();
  EXPECT_TRUE(logHas("  10.77.0.5 (KX230) reports the printer \"Canon BJC-1000\".")) << log();
  EXPECT_TRUE(logHas("  10.77.0.3 (KX230) reports no printer.")) << log();
  EXPECT_TRUE(logHas("Exit code 11: more than one server answered")) << log();
  EXPECT_TRUE(snapshot() == before);

  // Only one of them fits the printer named: that one.
  EXPECT_EQ(run("/quiet \"/printer:HP LaserJet 1100 (MS)\""), ExitCode::Done) << log();
  EXPECT_TRUE(logHas("3 servers answered; only 10.77.0.4 reports a printer that fits")) << log();
  EXPECT_EQ(pc.registryString(monitortest::kMonitorKey, "Server Address"), "10.77.0.4");
  ASSERT_EQ(run("/quiet /uninstall"), ExitCode::Done);

  // Two fit it: refused.
  lan({{"10.77.0.4", "HP LaserJet 1100"}, {"10.77.0.6", "HP LaserJet 1100"}});
  EXPECT_EQ(run("/quiet \"/printer:HP LaserJet 1100 (MS)\""), ExitCode::SeveralServers) << log();
  EXPECT_TRUE(logHas("2 servers answered, and 2 of them report a printer that fits")) << log();
  EXPECT_FALSE(registered());

  // One server alone is taken.
  lan({{"10.77.0.5", "HP LaserJet 1100"}});
  EXPECT_EQ(run("/quiet"), ExitCode::Done) << log();
  EXPECT_EQ(pc.registryString(monitortest::kMonitorKey, "Server Address"), "10.77.0.5");
}

// A discovery port that another program holds has its own code; the
// companion utility's window on this desktop is left open.
TEST_F(Unattended, ADiscoveryPortHeldElsewhereIsReportedAndItsHolderLeftAlone) {
  pc.addAdapter({{"10.77.0.1", "255.255.255.0"}});
  pc.portsHeldElsewhere.insert(9999);
  EXPECT_EQ(run("/quiet"), ExitCode::DiscoveryPortHeld) << log();
  EXPECT_TRUE(logHas("message: The discovery port 9999 is held by another program (the Varn "
                     "Lanwarden Discovery utility of another session, perhaps). Code 10048"))
      << log();
  platform::WindowId companion = pc.addWindow("TLanwarden", "Varn Lanwarden Discovery");
  pc.portOfWindow[companion] = 9999;
  EXPECT_EQ(run("/quiet /server:10.77.0.4"), ExitCode::DiscoveryPortHeld) << log();
  EXPECT_TRUE(logHas("is held by the Varn Lanwarden Discovery utility, which is left open."))
      << log();
  EXPECT_TRUE(pc.sentMessages.empty()) << "nothing is asked to close";
  EXPECT_NE(pc.window(companion), nullptr);
  EXPECT_TRUE(logHas("Exit code 12: the discovery port is held by another program.")) << log();
  EXPECT_FALSE(registered());
}

// The log kept whatever /log says, in a folder only administrators may
// write: made so when missing, and not written when others may write to
// it (a link planted there would take the writes of a SYSTEM run).
TEST_F(Unattended, TheLogIsKeptInAFolderOnlyAdministratorsMayWrite) {
  const std::string folder = kKeptFolder;
  pc.folders.erase(folder);
  pc.folders.erase("C:\\ProgramData\\Varn");
  ASSERT_EQ(run(kInstall), ExitCode::Done);
  EXPECT_TRUE(pc.folders.count("C:\\ProgramData\\Varn"));
  EXPECT_FALSE(pc.openFolders.count("C:\\ProgramData\\Varn"));
  EXPECT_FALSE(pc.openFolders.count(folder));
  EXPECT_TRUE(keptHas("Exit code 0: done.")) << kept();
  ASSERT_EQ(run("/quiet /uninstall"), ExitCode::Done);
  EXPECT_TRUE(keptHas("started with: /quiet /uninstall")) << kept();
  EXPECT_NE(content(folder + "\\PrnWizard.previous.log").find(kInstall), std::string::npos)
      << "the run before's log kept beside it";

  // A folder that others may write to: no log there, and the /log says so.
  for (const std::string& open : {std::string("C:\\ProgramData\\Varn"), folder}) {
    pc.files.erase(kKept);
    pc.openFolders.insert(open);
    ASSERT_EQ(run("/quiet /uninstall"), ExitCode::Done);
    EXPECT_EQ(pc.file(kKept), nullptr) << open;
    EXPECT_TRUE(logHas("No log is kept: accounts other than the administrators may write to " +
                       open + "."))
        << log();
    pc.openFolders.erase(open);
  }
  // Its folder cannot be made, or who may write there cannot be told: no
  // log, and the run goes on.
  pc.failCall(platform::FilesCall::CreateDirectory, 5, 1);
  ASSERT_EQ(run("/quiet /uninstall"), ExitCode::Done);
  EXPECT_TRUE(logHas("No log is kept: C:\\ProgramData\\Varn cannot be made. Code 5")) << log();
  pc.failCall(platform::FilesCall::WritableByOthers, 1332, 1);
  ASSERT_EQ(run("/quiet /uninstall"), ExitCode::Done);
  EXPECT_TRUE(logHas("who may write to C:\\ProgramData\\Varn cannot be told. Code 1332")) << log();
  pc.commonAppData = "";
  ASSERT_EQ(run("/quiet /uninstall"), ExitCode::Done);
  EXPECT_TRUE(logHas("the common application data folder is not known. Code 127")) << log();

  // Windows 98 has no security: its folders are everyone's, and the log is
  // kept there all the same.
  pc.commonAppData = "C:\\ProgramData";
  pc.version = 0xC0000A04;
  pc.deleteRegistryTree(monitortest::kMonitorKey);
  pc.files.erase(kKept);
  ASSERT_EQ(run("/quiet /uninstall"), ExitCode::Done);
  EXPECT_TRUE(keptHas("Exit code 0: done.")) << kept();
}

}  // namespace
