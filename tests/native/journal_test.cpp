// The journal seen from outside: what a start finds after a run that was
// ended in the middle, says and undoes; what a report that changes nothing
// (/quiet /status) reads; and the rights decision that Wine cannot show
// faithfully.
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/unattended.h"
#include "discovery/receiver.h"
#include "gui/headless/headless_ui.h"
#include "journal/journal.h"
#include "monitor_fixture.h"
#include "platform/access.h"

namespace {

using app::ExitCode;
using platform::FakePc;

const std::string kInstall = "/quiet /server:10.77.0.4 \"/printer:HP LaserJet 1100\" /default";

class Journal : public monitortest::MonitorPc {
 protected:
  void SetUp() override {
    MonitorPc::SetUp();
    discovery::resetReceiver();
    shipAll(2u);
    pc.addPrinter("Epson LQ-570", "LPT1:");
    pc.addPrinter("HP LaserJet 1100", "FILE:");
    pc.defaultPrinterName = "Epson LQ-570";
    pc.addFolder("C:\\logs");
    // The wizard's starts here are about what they undo: no discovery.
    pc.failCall(platform::NetworkCall::WSAStartup, 10091);
  }
  void TearDown() override {
    app::destroyPages();
    ui.reset();
    MonitorPc::TearDown();
  }
  // A start of the program on the same PC; the last one's process is gone.
  int start(const std::string& line) {
    app::destroyPages();
    ui = std::make_unique<gui::HeadlessUi>(pc);
    pc.newProcess();
    pc.window(app)->title = "";
    ui->setApplicationWindow(app);
    ui->endsEarly();
    return app::runApplication(pc, *ui, line.empty() ? line : line + " /log:C:\\logs\\run.log");
  }
  // The unattended installation, ended after its n-th call.
  void endedAfter(std::uint64_t n) {
    pc.resetCallCount();
    pc.killAfter(n);
    start(kInstall);
    pc.revive();
  }
  FakePc::State state() const {
    FakePc::State s = pc.state();
    s.files.erase("C:\\logs\\run.log");
    s.forget("C:\\ProgramData\\Varn");  // the kept log
    return s;
  }
  std::string log() const { return content("C:\\logs\\run.log"); }
  std::unique_ptr<gui::HeadlessUi> ui;
};

TEST_F(Journal, TheNextStartUndoesAnEndedRunAndSaysWhat) {
  const FakePc::State before = state();
  // The run ended later and later, until it has registered its monitor and
  // moved the printer; each time the next start puts all back.
  std::uint64_t k = 1;
  for (;; ++k) {
    ASSERT_LT(k, 1000u) << "the run never got that far";
    endedAfter(k);
    if (registered() && portOf("HP LaserJet 1100") == "Remote Port") break;
    ASSERT_EQ(start(""), 0);
    ASSERT_TRUE(state() == before) << k << ": " << FakePc::difference(before, state());
    pc.boxes.clear();
  }

  // What a report that changes nothing reads meanwhile.
  std::optional<journal::Pending> pending;
  const FakePc::State ended = state();
  ASSERT_EQ(journal::readPending(pc, pending), platform::kOk);
  ASSERT_TRUE(pending);
  EXPECT_EQ(pending->step, "the unattended installation");
  auto holds = [&](const std::string& change) {
    return std::find(pending->changes.begin(), pending->changes.end(), change) !=
           pending->changes.end();
  };
  EXPECT_TRUE(holds("registered the monitor \"Printer Sharing Port Monitor\""));
  EXPECT_TRUE(holds("moved the printer \"HP LaserJet 1100\" off the port \"FILE:\""));
  EXPECT_TRUE(state() == ended) << "the report changed the PC";

  // The wizard's start: a message, then the welcome page on the PC as it was.
  pc.boxes.clear();
  ASSERT_EQ(start(""), 0);
  ASSERT_FALSE(pc.boxes.empty());
  const std::string said = pc.boxes.front().text;
  EXPECT_EQ(said.rfind("The wizard was ended before it finished the unattended installation. "
                       "What it had changed is put back as it was:",
                       0),
            0u)
      << said;
  EXPECT_NE(said.find("- put the printer \"HP LaserJet 1100\" back on \"FILE:\""),
            std::string::npos)
      << said;
  EXPECT_NE(said.find("- removed the monitor \"Printer Sharing Port Monitor\" again"),
            std::string::npos)
      << said;
  EXPECT_TRUE(state() == before) << FakePc::difference(before, state());
  ASSERT_EQ(journal::readPending(pc, pending), platform::kOk);
  EXPECT_FALSE(pending);

  // Unattended the same: logged, then the run goes on and completes.
  endedAfter(k);
  ASSERT_EQ(start(kInstall), 0) << log();
  EXPECT_NE(log().find("The wizard was ended before it finished the unattended installation."),
            std::string::npos)
      << log();
  EXPECT_TRUE(registered());
  EXPECT_EQ(portOf("HP LaserJet 1100"), "Remote Port");
  EXPECT_EQ(pc.defaultPrinterName, "HP LaserJet 1100");
  EXPECT_FALSE(pc.registryKeyExists(journal::kJournalKey));
}

// A journal that cannot be undone stops every start until it can: nothing
// new is built on a PC half put back.
TEST_F(Journal, AJournalThatCannotBeUndoneStopsTheStart) {
  installOld(1u);
  // The update ended just after the old monitor was removed...
  for (std::uint64_t k = 1; registered(); ++k) {
    ASSERT_LT(k, 1000u);
    ASSERT_EQ(start(""), 0);
    endedAfter(k);
  }
  // ... and its DLL gone meanwhile: it cannot be registered again.
  pc.files.erase(monitortest::kSys + "\\talomon.dll");
  EXPECT_EQ(static_cast<ExitCode>(start(kInstall)), ExitCode::UndoFailed);
  EXPECT_NE(log().find("not all of it could be put back"), std::string::npos) << log();
  EXPECT_NE(log().find("Exit code 20"), std::string::npos) << log();
  std::optional<journal::Pending> pending;
  ASSERT_EQ(journal::readPending(pc, pending), platform::kOk);
  EXPECT_TRUE(pending) << "kept for the next try";
  // The wizard says so and ends before its first page.
  pc.boxes.clear();
  EXPECT_EQ(start(""), 0);
  ASSERT_EQ(pc.boxes.size(), 1u) << pc.boxes[0].text;
  EXPECT_NE(pc.boxes[0].text.find("Start the wizard again to try once more."), std::string::npos)
      << pc.boxes[0].text;
  EXPECT_TRUE(app::createdPages().empty());
}

// On the 9x family the default printer is put back by its attribute.
TEST_F(Journal, NineXFamilyPutsTheDefaultPrinterBack) {
  pc.version = 0xC0000A04;
  ship(2u, "lprmon");
  pc.printer("Epson LQ-570")->attributes |= platform::kPrinterAttributeDefault;
  const FakePc::State before = state();
  // The test page fails after the default was set: all of it is put back.
  pc.failCall(platform::PrintingCall::CreateDC, 1801, 1);
  EXPECT_EQ(static_cast<ExitCode>(start(kInstall + " /testpage")), ExitCode::TestPageFailed);
  EXPECT_NE(log().find("\"HP LaserJet 1100\" is the default printer."), std::string::npos) << log();
  EXPECT_NE(log().find("Nothing was changed."), std::string::npos) << log();
  EXPECT_TRUE(state() == before) << FakePc::difference(before, state());
  EXPECT_EQ(pc.defaultPrinterName, "Epson LQ-570");
}

// Without a default printer before, the one made cannot be unmade: the log
// says so instead of "Nothing was changed".
TEST_F(Journal, ADefaultPrinterThatWasNotThereIsSaid) {
  pc.defaultPrinterName.clear();
  pc.failCall(platform::PrintingCall::CreateDC, 1801, 1);
  EXPECT_EQ(static_cast<ExitCode>(start(kInstall + " /testpage")), ExitCode::TestPageFailed);
  EXPECT_EQ(log().find("Nothing was changed."), std::string::npos) << log();
  EXPECT_NE(log().find("Not put back: there was no default printer before; \"HP LaserJet 1100\" "
                       "stays the default."),
            std::string::npos)
      << log();
  EXPECT_FALSE(registered());
  EXPECT_EQ(portOf("HP LaserJet 1100"), "FILE:");
}

// The rights decision, on DACLs as Windows stores them (Wine shows only
// what the Unix mode says, so this is where it is pinned).
std::vector<std::uint8_t> sid(std::uint8_t authority, std::vector<std::uint32_t> subs) {
  std::vector<std::uint8_t> b{1, static_cast<std::uint8_t>(subs.size()), 0, 0, 0, 0, 0, authority};
  for (std::uint32_t s : subs)
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(s >> (8 * i)));
  return b;
}
struct Ace {
  std::uint8_t type, flags;
  std::uint32_t mask;
  std::vector<std::uint8_t> who;
};
std::vector<std::uint8_t> dacl(const std::vector<Ace>& aces) {
  std::vector<std::uint8_t> body;
  auto put = [&](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) body.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  for (const Ace& a : aces) {
    body.push_back(a.type);
    body.push_back(a.flags);
    put(static_cast<std::uint32_t>(8 + a.who.size() + (a.type == 5 ? 4 : 0)), 2);
    put(a.mask, 4);
    if (a.type == 5) put(0, 4);  // an object ACE without GUIDs
    body.insert(body.end(), a.who.begin(), a.who.end());
  }
  std::vector<std::uint8_t> acl{2, 0};
  acl.push_back(static_cast<std::uint8_t>((8 + body.size()) & 0xFF));
  acl.push_back(static_cast<std::uint8_t>((8 + body.size()) >> 8));
  acl.push_back(static_cast<std::uint8_t>(aces.size()));
  acl.push_back(0);
  acl.push_back(0);
  acl.push_back(0);
  acl.insert(acl.end(), body.begin(), body.end());
  return acl;
}

TEST(Rights, OnlyAdministratorsTheSystemAndTheInstallerMayWrite) {
  const auto system = sid(5, {18}), admins = sid(5, {32, 544}), users = sid(5, {32, 545}),
             creatorOwner = sid(3, {0}), everyone = sid(1, {0}), bob = sid(5, {21, 1, 2, 3, 1001}),
             installer =
                 sid(5, {80, 956008885u, 3418522649u, 1831038044u, 1853292631u, 2271478464u});
  constexpr std::uint32_t kFull = 0x1F01FF, kReadExecute = 0x1200A9, kModify = 0x1301BF;
  // A folder under Program Files: users read and execute.
  const std::vector<Ace> programFiles{{0, 0x10, kFull, installer},
                                      {0, 0x1B, 0x10000000, creatorOwner},
                                      {0, 0x10, kFull, system},
                                      {0, 0x10, kFull, admins},
                                      {0, 0x10, kReadExecute, users}};
  EXPECT_FALSE(platform::writableByOthers(dacl(programFiles)));
  EXPECT_FALSE(platform::writableByOthers(platform::adminOnlyDacl()));
  // Anyone else who may write, append, delete, re-permission or own it.
  for (std::uint32_t right :
       {0x2u, 0x4u, 0x40u, 0x10000u, 0x40000u, 0x80000u, 0x10000000u, 0x40000000u, kModify}) {
    SCOPED_TRACE(right);
    auto aces = programFiles;
    aces.push_back({0, 0, right, users});
    EXPECT_TRUE(platform::writableByOthers(dacl(aces)));
    aces.back() = {5, 0, right, bob};  // an object ACE
    EXPECT_TRUE(platform::writableByOthers(dacl(aces)));
    aces.back() = {0, 0x08, right, everyone};  // inherit-only: not on the object
    EXPECT_FALSE(platform::writableByOthers(dacl(aces)));
    aces.back() = {1, 0, right, everyone};  // a deny grants nothing
    EXPECT_FALSE(platform::writableByOthers(dacl(aces)));
  }
  // Reading the attributes or writing them is no change of the content.
  auto aces = programFiles;
  aces.push_back({0, 0, 0x100 | 0x80 | 0x10, everyone});
  EXPECT_FALSE(platform::writableByOthers(dacl(aces)));
  // A null DACL lets everyone do everything; a broken one is not trusted.
  EXPECT_TRUE(platform::writableByOthers(std::nullopt));
  auto broken = dacl(programFiles);
  broken.resize(broken.size() - 3);
  EXPECT_TRUE(platform::writableByOthers(broken));
  EXPECT_TRUE(platform::writableByOthers(std::vector<std::uint8_t>{2, 0}));
}

}  // namespace
