// The command line and the unattended installation on the in-memory PC.
#include "app/unattended.h"

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/command_line.h"
#include "discovery/receiver.h"
#include "gui/headless/headless_ui.h"
#include "monitor_fixture.h"

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
      {"/quiet /quiet", "/quiet is given twice."},
      {"/quiet server", "Unexpected argument \"server\": switches begin with / or -."},
      {"/server:10.0.0.5", "The switches work only with /quiet."},
      {"/quiet /uninstall /server:10.0.0.5", "/uninstall takes no /server."},
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

// A PC with the companion folder's files, an LaserJet and another printer.
class Unattended : public monitortest::MonitorPc {
 protected:
  void SetUp() override {
    MonitorPc::SetUp();
    discovery::resetReceiver();
    pc.window(app)->title = "";  // this copy's window, untitled: no copy is running
    ui.setApplicationWindow(app);
    shipAll(0x200);
    pc.addPrinter("Epson LQ-570", "LPT1:");
    pc.addPrinter("HP LaserJet 1100 (MS)", "LPT1:");
    pc.addFolder("C:\\logs");
  }
  void TearDown() override {
    app::destroyPages();
    MonitorPc::TearDown();
  }

  // Each run is a new process: the last one's window is gone.
  ExitCode run(const std::string& line) {
    pc.window(app)->title = "";
    int code = app::runApplication(pc, ui, line + " /log:C:\\logs\\run.log");
    return static_cast<ExitCode>(code);
  }
  std::string log() const { return content("C:\\logs\\run.log"); }
  // The PC without the run's log: what a run must leave as it was.
  platform::FakePc::State state() const {
    platform::FakePc::State s = pc.state();
    s.files.erase("C:\\logs\\run.log");
    return s;
  }
  bool logHas(const std::string& text) const { return log().find(text) != std::string::npos; }

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
  EXPECT_TRUE(pc.boxes.empty());
  EXPECT_TRUE(app::createdPages().empty());
  EXPECT_TRUE(ui.applicationWindowHidden);
  EXPECT_EQ(pc.window(app)->title, kAppTitle);  // the wizard started meanwhile finds it
  EXPECT_TRUE(
      logHas("question [Information]: Change HP LaserJet 1100 (MS) port setting from "
             "\"LPT1:\" to \"Remote Port\" ? -> Yes"))
      << log();
  EXPECT_TRUE(logHas("Exit code 0: done.")) << log();
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

  pc.addWindow("TApplication", kAppTitle);
  EXPECT_EQ(run("/quiet /server:10.77.0.4 /printer:\"Epson LQ-570\""), ExitCode::AnotherCopy);
  EXPECT_TRUE(logHas("Another copy of the wizard is running.")) << log();

  EXPECT_FALSE(registered());
  EXPECT_FALSE(pc.registryString(monitortest::kMonitorKey, "Server Address").has_value());
  EXPECT_EQ(portOf("Epson LQ-570"), "LPT1:");
  EXPECT_TRUE(pc.boxes.empty());
  // A log that cannot be written is a bad command line too.
  EXPECT_EQ(app::runApplication(pc, ui, "/quiet /printer:Epson /log:C:\\none\\x.log"), 1);
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

TEST_F(Unattended, HelpAndMistakesWithoutQuietAnswerInABox) {
  EXPECT_EQ(app::runApplication(pc, ui, "/?"), 0);
  ASSERT_EQ(pc.boxes.size(), 1u);
  EXPECT_NE(pc.boxes[0].text.find("  9  the uninstall stopped"), std::string::npos);
  EXPECT_EQ(app::runApplication(pc, ui, "/server:10.0.0.5"), 1);
  ASSERT_EQ(pc.boxes.size(), 2u);
  EXPECT_EQ(pc.boxes[1].text.rfind("The switches work only with /quiet.\n\n", 0), 0u);
  EXPECT_TRUE(app::createdPages().empty());
}

}  // namespace
