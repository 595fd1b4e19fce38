// The wizard on each kind of machine: a 32-bit one, 64-bit Windows with the
// 32-bit wizard as a WOW64 guest or the 64-bit wizard itself, and ARM64.
// On the in-memory PC as Windows behaves there: the spooler takes its own
// environment only, a guest's system folder is SysWOW64, a process loads
// DLLs of its own bitness only.
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/sha256.h"
#include "app/unattended.h"
#include "discovery/receiver.h"
#include "gui/headless/headless_ui.h"
#include "monitor/install.h"
#include "monitor/status.h"
#include "monitor_fixture.h"

namespace {

using platform::Architecture;
using platform::FakePc;
using platform::Machine;

const std::string kSetup = "C:\\Setup";
const std::string kWizard64 = kSetup + "\\PrnWizard64.exe";
const std::string kWizard64Bytes = "MZ the 64-bit wizard built with this one";
const std::string kSysWow64 = FakePc::kSysWow64;
const std::string kLog = "C:\\logs\\run.log";
const std::string kWowCompanion =
    std::string("Software\\WOW6432Node\\") + (monitor::kCompanionKey + std::string("Software\\").size());

struct Named {
  const char* name;
  Machine machine;
};
const Named kMachines[] = {
    {"32-bit", {Architecture::X86, false}},
    {"x64, 32-bit guest", {Architecture::X64, true}},
    {"x64, 64-bit process", {Architecture::X64, false}},
    {"ARM64, 32-bit guest", {Architecture::Arm64, true}},
    {"ARM64, 64-bit process", {Architecture::Arm64, false}},
};

FakePc::File bits(FakePc::File f, int b) {
  f.bits = b;
  return f;
}

class Machines : public monitortest::MonitorPc {
 protected:
  void SetUp() override {
    MonitorPc::SetUp();
    discovery::resetReceiver();
    pc.window(app)->title = "";
    ui.setApplicationWindow(app);
    pc.addFolder("C:\\logs");
    pc.programPath = kSetup + "\\PrnWizard.exe";
    pc.putFile(pc.programPath, FakePc::dataFile("MZ the 32-bit wizard"));
    pc.addPrinter("HP LaserJet 1100 (MS)", "LPT1:");
  }
  void TearDown() override {
    discovery::bStopReceiver = 1;
    pc.endProcess();
    discovery::resetReceiver();
    app::destroyPages();
    MonitorPc::TearDown();
  }
  // The companion utilities as their 32-bit installer leaves them on a
  // 64-bit machine: "AppPath" in the 32-bit view, the 32-bit files in it
  // and the 64-bit ones in its x64 folder.
  void companion64(bool with64BitFiles) {
    pc.deleteRegistryTree(monitor::kCompanionKey);
    pc.setRegistryString(kWowCompanion, "AppPath", monitortest::kAppPath);
    shipAll(5u);
    if (!with64BitFiles) return;
    const std::string x64 = monitortest::kAppPath + "\\x64";
    pc.putFile(x64 + "\\talomon.dl_", bits(FakePc::monitorDll(5u, "x64 talomon"), 64));
    pc.putFile(x64 + "\\taloui.dl_", bits(FakePc::plainDll("x64 taloui"), 64));
  }
  // The PC but the run's own log.
  FakePc::State state() const {
    FakePc::State s = pc.state();
    s.files.erase(kLog);
    s.forget("C:\\ProgramData\\Varn");
    return s;
  }
  int run(const std::string& line, const std::string& hash) {
    pc.newProcess();
    return app::runApplication(pc, ui, line, hash);
  }
  gui::HeadlessUi ui{pc};
};

// The rules of each machine that Wine does not show.
TEST(MachineRules, SpoolerFoldersAndLoadsFollowTheMachine) {
  for (const Named& m : kMachines) {
    SCOPED_TRACE(m.name);
    FakePc pc;
    pc.setMachine(m.machine);
    const int own = m.machine.process64() ? 64 : 32;
    const int spooler = m.machine.native == Architecture::X86 ? 32 : 64;
    // Only the spooler's own environment, and only a DLL of its bitness.
    pc.putFile(monitortest::kSys + "\\mon.dll", bits(FakePc::monitorDll(1u), spooler));
    pc.putFile(monitortest::kSys + "\\other.dll", bits(FakePc::monitorDll(1u), 96 - spooler));
    const std::string own_env = m.machine.native == Architecture::X86   ? "Windows NT x86"
                                : m.machine.native == Architecture::X64 ? "Windows x64"
                                                                        : "Windows ARM64";
    for (const char* env : {"Windows x64", "Windows ARM64", "Windows 4.0", "Windows NT x86"}) {
      // A 32-bit machine takes the 9x family's name too, as it always did here.
      const bool taken = env == own_env || (spooler == 32 && env == std::string("Windows 4.0"));
      EXPECT_EQ(pc.addMonitor({"M", env, "mon.dll"}), taken ? 0u : 1805u) << env;
      pc.deleteMonitor(env, "M");
    }
    EXPECT_EQ(pc.addMonitor({"N", own_env, "other.dll"}), 193u);
    // A guest's file calls in the system folder go to SysWOW64; the folder
    // it is told is system32 all the same.
    std::string sys;
    ASSERT_EQ(pc.systemDirectory(sys), 0u);
    EXPECT_EQ(sys, monitortest::kSys);
    pc.putFile("C:\\in\\a.dll", bits(FakePc::plainDll("a"), own));
    ASSERT_EQ(pc.copyFile("C:\\in\\a.dll", sys + "\\a.dll", true), 0u);
    EXPECT_EQ(pc.file(kSysWow64 + "\\a.dll") != nullptr, m.machine.guest);
    EXPECT_EQ(pc.file(sys + "\\a.dll") != nullptr, !m.machine.guest);
    // A process loads DLLs of its own bitness only.
    pc.putFile("C:\\in\\b.dll", bits(FakePc::plainDll("b"), 96 - own));
    platform::Module module = 0;
    EXPECT_EQ(pc.loadLibrary("C:\\in\\b.dll", module), 193u);
    ASSERT_EQ(pc.loadLibrary(sys + "\\a.dll", module), 0u);
    EXPECT_EQ(pc.freeLibrary(module), 0u);
    // The 32-bit view of HKLM\Software on a 64-bit machine.
    pc.setRegistryString(kWowCompanion, "AppPath", "32-bit view");
    pc.setRegistryString(monitor::kCompanionKey, "AppPath", "own view");
    platform::RegKey key = 0;
    std::uint32_t type = 0;
    std::string data;
    ASSERT_EQ(pc.regOpenKey32(monitor::kCompanionKey, key), 0u);
    ASSERT_EQ(pc.regQueryValue(key, "AppPath", type, data), 0u);
    pc.regCloseKey(key);
    EXPECT_EQ(data, std::string(m.machine.native == Architecture::X86 ? "own view" : "32-bit view") +
                        '\0');
  }
}

// The 32-bit wizard as a guest on x64 Windows: it starts the 64-bit wizard
// built with it, with the same command line, and passes its exit code on;
// with none, or another file of that name, it says so and changes nothing.
// On a 32-bit machine it never looks for one.
TEST_F(Machines, TheThirtyTwoBitWizardHandsOverOnlyToItsOwnSixtyFourBitWizard) {
  enum Beside { None, Other, Ours };
  struct Case {
    Machine machine;
    Beside beside;
    const char* line;
  };
  const std::string hash = app::sha256Hex(kWizard64Bytes);
  for (Case c : {Case{{Architecture::X64, true}, None, ""},
                 Case{{Architecture::X64, true}, None, "/quiet /server:10.77.0.4 \"/printer:HP LaserJet 1100 (MS)\""},
                 Case{{Architecture::X64, true}, Other, ""},
                 Case{{Architecture::X64, true}, Other, "/quiet /server:10.77.0.4 \"/printer:HP LaserJet 1100 (MS)\""},
                 Case{{Architecture::X64, true}, Ours, ""},
                 Case{{Architecture::X64, true}, Ours, "/quiet /server:10.77.0.4 \"/printer:HP LaserJet 1100 (MS)\""},
                 Case{{Architecture::X86, false}, Ours, "/quiet /server:10.77.0.4 \"/printer:HP LaserJet 1100 (MS)\""}}) {
    const bool quiet = *c.line != '\0';
    SCOPED_TRACE(std::string(c.machine.guest ? "guest" : "32-bit machine") + ", beside: " +
                 std::to_string(c.beside) + ", line: " + c.line);
    pc.boxes.clear();
    pc.started.clear();
    pc.files.erase(kLog);
    pc.setMachine(c.machine);
    shipAll(5u);
    if (c.beside != None)
      pc.putFile(kWizard64, bits(FakePc::dataFile(c.beside == Ours ? kWizard64Bytes
                                                                   : kWizard64Bytes + " patched"),
                                 64));
    const FakePc::State before = state();
    const std::string line = quiet ? std::string(c.line) + " /log:" + kLog : "";
    pc.onStart = [&](const FakePc::StartedProcess& p) -> std::uint32_t {
      // Held from the check until now: nobody could change it.
      EXPECT_EQ(pc.writeFile(kWizard64, "evil", false), 32u);
      EXPECT_EQ(pc.copyFile(kSetup + "\\PrnWizard.exe", kWizard64, false), 32u);
      EXPECT_EQ(pc.moveFile(kWizard64, kSetup + "\\aside.exe"), 32u);
      EXPECT_EQ(pc.deleteFile(kWizard64), 32u);
      EXPECT_EQ(p.program, kWizard64);
      return 7;
    };
    if (!quiet && !c.machine.guest) ui.expectEnd();
    const int code = run(line, hash);
    pc.onStart = nullptr;

    if (!c.machine.guest) {  // as ever: the wizard's own run
      EXPECT_EQ(code, 0) << content(kLog);
      EXPECT_TRUE(pc.started.empty());
      EXPECT_TRUE(registered());
      continue;
    }
    if (c.beside == Ours) {
      EXPECT_EQ(code, 7) << "its exit code passed on";
      ASSERT_EQ(pc.started.size(), 1u);
      EXPECT_EQ(pc.started[0].commandLine, "\"" + kWizard64 + "\"" + (quiet ? " " + line : ""));
      EXPECT_TRUE(pc.boxes.empty());
      EXPECT_EQ(pc.file(kLog), nullptr) << "the 64-bit wizard's log is its own";
    } else {
      EXPECT_EQ(code, 30);
      EXPECT_TRUE(pc.started.empty());
      const std::string said = quiet ? content(kLog) : (pc.boxes.empty() ? "" : pc.boxes[0].text);
      EXPECT_NE(said.find("64-bit wizard, PrnWizard64.exe, shipped beside this one"),
                std::string::npos)
          << said;
      EXPECT_NE(said.find(c.beside == None ? "It is not in \"C:\\Setup\"."
                                           : "is not the one shipped with this wizard"),
                std::string::npos)
          << said;
      EXPECT_NE(said.find("Nothing was changed."), std::string::npos) << said;
      if (quiet) {
        EXPECT_NE(said.find("Exit code 30: "), std::string::npos) << said;
      }
      EXPECT_EQ(pc.boxes.size(), quiet ? 0u : 1u);
    }
    EXPECT_TRUE(app::createdPages().empty());
    EXPECT_TRUE(pc.mutexesOwned().empty());
    EXPECT_TRUE(pc.monitorRequests.empty());
    EXPECT_EQ(before, state()) << FakePc::difference(before, state());
    if (c.beside != None) {
      EXPECT_EQ(pc.deleteFile(kWizard64), 0u) << "let go once started";
    }
  }
}

// A 64-bit wizard that cannot be started, or an ARM64 machine for either
// wizard: said, and nothing changed.
TEST_F(Machines, NoWizardRunsOnArm64AndAWizardThatCannotStartIsSaid) {
  const std::string hash = app::sha256Hex(kWizard64Bytes);
  struct Case {
    Machine machine;
    bool failStart;
    int code;
    const char* said;
  };
  for (Case c : {Case{{Architecture::Arm64, true}, false, 31, "this Windows runs on ARM64"},
                 Case{{Architecture::Arm64, false}, false, 31, "this Windows runs on ARM64"},
                 Case{{Architecture::X64, true}, true, 32, "could not be started"}}) {
    for (bool quiet : {false, true}) {
      SCOPED_TRACE(std::to_string(c.code) + (quiet ? " quiet" : " wizard"));
      pc.boxes.clear();
      pc.files.erase(kLog);
      pc.setMachine(c.machine);
      pc.putFile(kWizard64, bits(FakePc::dataFile(kWizard64Bytes), 64));
      companion64(true);
      if (c.failStart) pc.failCall(platform::WindowsCall::CreateProcess, 740, 1);
      const FakePc::State before = state();
      EXPECT_EQ(run(quiet ? "/quiet /server:10.77.0.4 /log:" + kLog : "", hash), c.code);
      const std::string said = quiet ? content(kLog) : (pc.boxes.empty() ? "" : pc.boxes[0].text);
      EXPECT_NE(said.find(c.said), std::string::npos) << said;
      EXPECT_NE(said.find("Nothing was changed."), std::string::npos) << said;
      EXPECT_TRUE(pc.started.empty());
      EXPECT_TRUE(app::createdPages().empty());
      EXPECT_EQ(before, state()) << FakePc::difference(before, state());
    }
  }
}

// The 64-bit wizard on x64 Windows installs the 64-bit monitor from
// AppPath\x64 into the native system folder for "Windows x64"; without
// those files it says so and changes nothing.
TEST_F(Machines, TheSixtyFourBitWizardInstallsFromTheX64FolderOrChangesNothing) {
  pc.setMachine({Architecture::X64, false});
  companion64(false);
  FakePc::State before = state();
  EXPECT_EQ(run("/quiet /server:10.77.0.4 \"/printer:HP LaserJet 1100 (MS)\" /log:" + kLog, ""), 4);
  EXPECT_NE(content(kLog).find("The 64-bit printer sharing driver's files are not in \"" +
                               monitortest::kAppPath + "\\x64\"."),
            std::string::npos)
      << content(kLog);
  EXPECT_TRUE(pc.monitorRequests.empty());
  EXPECT_EQ(before, state()) << FakePc::difference(before, state());

  // The same words in the wizard's box.
  osMajorVersion = 5;
  EXPECT_FALSE(monitor::installMonitor({pc, pc, pc, pc.prompter(), 5, true}));
  ASSERT_EQ(pc.boxes.size(), 1u);
  EXPECT_EQ(pc.boxes[0].text, "The 64-bit printer sharing driver's files are not in \"" +
                                  monitortest::kAppPath + "\\x64\".\nNothing was changed.");
  EXPECT_EQ(before, state()) << FakePc::difference(before, state());

  companion64(true);
  resetWizardState();
  ASSERT_EQ(run("/quiet /server:10.77.0.4 \"/printer:HP LaserJet 1100 (MS)\" /log:" + kLog, ""), 0) << content(kLog);
  EXPECT_EQ(content(monitortest::kSys + "\\talomon.dll"), "x64 talomon");
  EXPECT_EQ(content(monitortest::kSys + "\\taloui.dll"), "x64 taloui");
  EXPECT_EQ(pc.file(kSysWow64 + "\\talomon.dll"), nullptr);
  ASSERT_EQ(pc.monitorRequests.size(), 1u);
  EXPECT_EQ(pc.monitorRequests[0].environment, "Windows x64");
  EXPECT_TRUE(registered());
  EXPECT_EQ(portOf("HP LaserJet 1100 (MS)"), "Remote Port");
  // Its version is read by loading it.
  EXPECT_EQ(monitor::installedVersionText(pc, 5, true), "5");
}

}  // namespace

namespace {

// The hash the hand-over trusts: FIPS 180-4's examples, whole and fed in
// pieces of every size across the 64-byte blocks.
TEST(Sha256, PublishedVectorsWholeAndInPieces) {
  const std::pair<std::string, const char*> vectors[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}};
  for (const auto& [text, digest] : vectors) {
    EXPECT_EQ(app::sha256Hex(text), digest) << text.size();
    for (std::size_t piece : {1u, 3u, 55u, 63u, 64u, 65u, 130u}) {
      app::Sha256 h;
      for (std::size_t at = 0; at < text.size(); at += piece)
        h.add(text.data() + at, std::min(piece, text.size() - at));
      EXPECT_EQ(h.hex(), digest) << text.size() << " in pieces of " << piece;
    }
  }
}

}  // namespace
