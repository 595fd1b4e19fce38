// Fault loops on the in-memory PC, as the most trusted storage engines test
// themselves.  Each run is made once to count its platform calls; then, for
// every call k, again with call k failing, and again with the process
// ended after call k (every later call does nothing and fails) followed by
// the next start.  The whole PC (files and folders, registry and with it the
// monitors, the spooler's running monitors, printers, ports, the default
// printer) must afterwards be as it was before the run or after one of its
// steps, never anything in between; a run whose steps all completed (a
// failed read may change a decision, not the outcome's soundness) leaves
// nothing half-done either.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/state/wizard_state.h"
#include "discovery/device_table.h"
#include "discovery/receiver.h"
#include "gui/headless/headless_ui.h"
#include "journal/journal.h"
#include "monitor/family.h"
#include "monitor/registry_key.h"
#include "pages/Endfrm.h"
#include "pages/Mainfrm.h"
#include "pages/Prnwiz.h"
#include "pages/Talowiz.h"
#include "platform/fake/fake_pc.h"

namespace {

using platform::Answer;
using platform::FakePc;
using State = FakePc::State;

const std::string kSys = "C:\\windows\\system32";
const std::string kAppPath = "C:\\Program Files\\Varn\\Lanwarden Utilities";
const std::string kLog = "C:\\logs\\run.log";
const std::string kPrinter = "HP LaserJet 1100";

// One action of a walk: the page it is taken on, what the page shows
// first (a server found), and the button the user clicks.
struct Action {
  std::string page;
  std::function<void()> prepare;
  std::function<gui::Control*()> button;
};

// The PC without the unattended run's log, which is the run's report.
State pcState(const FakePc& pc) {
  State s = pc.state();
  s.files.erase(kLog);
  s.forget("C:\\ProgramData\\Varn");
  return s;
}

class FaultLoop : public ::testing::Test {
 protected:
  void TearDown() override { endProcess(); }

  // The PC of these loops: the companion utilities with version `shipped`
  // of the monitor, the wizard's key as its MSI package makes it, three
  // printers (the server's one on "FILE:"), a default printer.
  void makePc(std::uint32_t shipped) {
    endProcess();  // the toolkit goes before the PC it uses
    pc = std::make_unique<FakePc>();
    pc->addAdapter({{"10.0.0.1", "255.255.255.0"}});
    pc->setRegistryString(monitor::kCompanionKey, "AppPath", kAppPath);
    pc->putFile(kAppPath + "\\talomon.dl_", FakePc::monitorDll(shipped, "shipped talomon"));
    pc->putFile(kAppPath + "\\taloui.dl_", FakePc::plainDll("shipped taloui"));
    pc->setRegistryString(journal::kWizardKey, "Shortcut", "1");
    pc->addPrinter("Epson LQ", "LPT1:");
    pc->addPrinter(kPrinter, "FILE:");
    pc->addPrinter("Plotter", "COM1:");
    pc->defaultPrinterName = "Epson LQ";
    pc->addFolder("C:\\logs");
  }
  // An earlier installation at work: version 1, its settings and port key,
  // a printer on its port whose own port is remembered.
  void olderMonitorAtWork() {
    pc->putFile(kSys + "\\talomon.dll", FakePc::monitorDll(1u, "old talomon"));
    pc->putFile(kSys + "\\taloui.dll", FakePc::plainDll("old taloui"));
    pc->registerMonitor(monitor::kMonitorName, "talomon.dll");
    pc->setRegistryString(monitor::kMonitorKey, "Server Address", "10.0.0.9");
    pc->setRegistryString(monitor::kMonitorKey + std::string("\\Ports\\Remote Port"), "Timeout",
                          "30");
    pc->printer("Plotter")->portName = "Remote Port";
    pc->setRegistryString(journal::kPortsKey, "Plotter", "COM1:");
  }

  // A start of the program, as a new process on the same PC.
  void startProcess() {
    endProcess();
    pc->newProcess();
    pc->windows.clear();
    discovery::resetReceiver();
    resetWizardState();
    discovery::clearTaloInfo();
    // No discovery socket, no receiver thread: these runs are about changes.
    pc->failCall(platform::NetworkCall::WSAStartup, 10091);
    pc->answers.assign(20, Answer::Yes);
    ui = std::make_unique<gui::HeadlessUi>(*pc);
    ui->setApplicationWindow(pc->addWindow(kAppClass, ""));
    ui->endsEarly();
  }
  void endProcess() {
    app::destroyPages();
    discovery::clearTaloInfo();
    ui.reset();
  }

  // Runs the wizard, taking `actions` one after the other while each finds
  // its page on top; a page that is not there (a step failed) ends the walk
  // with Cancel.  `afterStep(i)` runs after the i-th action moved on.
  // True when every action ran and the program ended by them.
  bool walk(const std::vector<Action>& actions, const std::function<void(std::size_t)>& afterStep) {
    startProcess();
    auto ran = std::make_shared<std::size_t>(0);
    auto told = std::make_shared<std::size_t>(0);  // actions afterStep has heard of
    auto ended = std::make_shared<bool>(false);
    auto tell = [afterStep, told](std::size_t done) {
      for (; *told < done; ++*told)
        if (afterStep) afterStep(*told);
    };
    // The walk's frame outlives the program's run: the step may name itself.
    auto step = std::make_shared<std::function<void()>>();
    std::function<void()>* self = step.get();
    *step = [this, actions, tell, ran, ended, self] {
      const auto& forms = ui->openForms();
      if (forms.empty()) return;
      gui::Form* top = forms.back();
      tell(*ran);
      if (*ran == actions.size() || top->name() != actions[*ran].page) {
        // The step before failed (or all ran): the user gives up.
        if (top->cancelButton) ui->click(*top->cancelButton);
        return;
      }
      const Action& action = actions[*ran];
      if (action.prepare) action.prepare();
      gui::Control* button = action.button();
      if (!button->showing() || !button->enabled()) {
        // Not there to click (a status the page could not read).
        if (top->cancelButton) ui->click(*top->cancelButton);
        return;
      }
      ui->then(*self);
      ++*ran;
      ui->click(*button);
      if (ui->terminated()) {
        if (*ran == actions.size()) tell(*ran);
        *ended = *ran == actions.size();
      }
    };
    ui->then(*step);
    app::runApplication(*pc, *ui);
    return *ended;
  }

  int quiet(const std::string& line) {
    startProcess();
    return app::runApplication(*pc, *ui, line + " /log:" + kLog);
  }

  // What the whole PC must be after a run: as before it, or as after one
  // of its steps; or, when the run completed, sound.
  void expectSound(const State& s, const std::string& what) {
    for (const auto& [path, file] : s.files) {
      EXPECT_EQ(path.find("PrnWizard."), std::string::npos) << what << ": " << path;
      EXPECT_TRUE(path.size() < 4 || (path.substr(path.size() - 4) != ".new" &&
                                      path.substr(path.size() - 4) != ".old"))
          << what << ": " << path;
    }
    for (const std::string& folder : s.folders)
      EXPECT_EQ(folder.find("PrnWizard."), std::string::npos) << what << ": " << folder;
    EXPECT_FALSE(s.registry.count(journal::kJournalKey)) << what << ": a journal is left";
    for (const auto& [name, path] : s.spoolerModules)
      EXPECT_TRUE(s.files.count(path)) << what << ": " << name << " runs a missing " << path;
  }
  static int indexOf(const std::vector<State>& states, const State& s) {
    for (std::size_t i = 0; i < states.size(); ++i)
      if (states[i] == s) return static_cast<int>(i);
    return -1;
  }

  struct Counts {
    std::uint64_t points = 0;
    int unchanged = 0, afterAStep = 0, completedOtherwise = 0, otherEnd = 0;
  };

  // The loops for one run.  `setUp` lays out the PC; `run` makes the run
  // and says whether it completed, calling `boundary` after each step.
  void loops(const std::string& name, const std::function<void()>& setUp,
             const std::function<bool(const std::function<void()>& boundary)>& run) {
    // The reference run: its calls, and the PC after each step.
    setUp();
    std::vector<State> states{pcState(*pc)};
    std::vector<std::uint64_t> stepEnds{0};
    pc->resetCallCount();
    ASSERT_TRUE(run([&] {
      states.push_back(pcState(*pc));
      stepEnds.push_back(pc->callCount());
    })) << name
        << ": the reference run did not complete";
    const std::uint64_t calls = pc->callCount();
    ASSERT_GT(calls, 10u);
    ASSERT_NE(states.front(), states.back()) << name << ": the run changed nothing";
    expectSound(states.back(), name + " reference");

    Counts failing, killed;
    for (std::uint64_t k = 1; k <= calls; ++k) {
      SCOPED_TRACE(name + ", call " + std::to_string(k) + " failing");
      setUp();
      pc->resetCallCount();
      pc->failNthCall(k, 1117);  // ERROR_IO_DEVICE
      bool completed = run([] {});
      State after = pcState(*pc);
      int at = indexOf(states, after);
      ++failing.points;
      if (at == 0) {
        ++failing.unchanged;
      } else if (at > 0) {
        ++failing.afterAStep;
      } else {
        EXPECT_TRUE(completed) << "left half-done: " << FakePc::difference(states.front(), after);
        ++failing.completedOtherwise;
        // A file the process could not let go of (its DLL not freed) is
        // removed by the next start, which changes nothing else.
        walk({}, nullptr);
        after = pcState(*pc);
        if (indexOf(states, after) < 0) {
          ++failing.otherEnd;
          if (std::getenv("FAULT_LOOP_SHOW"))
            std::printf("-- %s, call %llu failing, ends otherwise:\n%s", name.c_str(),
                        static_cast<unsigned long long>(k),
                        FakePc::difference(states.back(), after).c_str());
        }
      }
      expectSound(after, name);
      if (HasFailure()) return;
    }
    for (std::uint64_t k = 0; k <= calls; ++k) {
      SCOPED_TRACE(name + ", ended after call " + std::to_string(k));
      setUp();
      pc->resetCallCount();
      pc->killAfter(k);
      run([] {});
      ASSERT_TRUE(pc->killed() || k == calls);
      pc->revive();
      // The next start undoes what the ended run left, and does nothing else.
      ASSERT_TRUE(walk({}, nullptr) || true);
      State after = pcState(*pc);
      // Before the run, or as the last step begun before call k left it.
      std::size_t step = 0;
      while (step + 1 < stepEnds.size() && stepEnds[step + 1] <= k) ++step;
      int at = indexOf(states, after);
      EXPECT_TRUE(after == states[step] || (step + 1 < states.size() && after == states[step + 1]))
          << "expected the state after step " << step << " (or " << step + 1 << "); "
          << FakePc::difference(states[step], after);
      ++killed.points;
      (at == 0 ? killed.unchanged : killed.afterAStep)++;
      expectSound(after, name);
      if (HasFailure()) return;
    }
    std::printf(
        "%s: %llu calls. Failing each: %d left the PC as before, %d as after a step, %d completed "
        "otherwise (%d of them, after the next start, with another outcome). Ended after each "
        "(and started again): %d as before, %d as after a step.\n",
        name.c_str(), static_cast<unsigned long long>(calls), failing.unchanged, failing.afterAStep,
        failing.completedOtherwise, failing.otherEnd, killed.unchanged, killed.afterAStep);
  }

  // The installation as a user walks it: the detection page's "Next >"
  // (the installation and the address), the printer page's "Next >" (the
  // port, Yes), "Done" with the default printer ticked.
  std::vector<Action> installationWalk() {
    return {
        {"MainForm", nullptr, [] { return MainForm->BtnNext; }},
        {"TaloWizard",
         [] {
           TaloWizard->showServer({"KX230", "10.0.0.4", "HP LaserJet 1100"});
         },
         [] { return TaloWizard->BtnNext; }},
        {"PrnWizard", nullptr, [] { return PrnWizard->BtnNext; }},
        {"EndForm", nullptr, [] { return EndForm->Button1; }},
    };
  }

  std::unique_ptr<FakePc> pc;
  std::unique_ptr<gui::HeadlessUi> ui;
};

// The welcome page's "Next >" changes nothing: its step ends where the
// detection page's begins.
TEST_F(FaultLoop, WholeInstallationInTheWizard) {
  loops(
      "installation (wizard)", [this] { makePc(2u); },
      [this](const std::function<void()>& boundary) {
        return walk(installationWalk(), [&](std::size_t i) {
          if (i > 0) boundary();
        });
      });
}

TEST_F(FaultLoop, UpdateOverAnOlderMonitorInTheWizard) {
  loops(
      "update (wizard)",
      [this] {
        makePc(2u);
        olderMonitorAtWork();
      },
      [this](const std::function<void()>& boundary) {
        return walk(installationWalk(), [&](std::size_t i) {
          if (i > 0) boundary();
        });
      });
}

TEST_F(FaultLoop, UninstallInTheWizard) {
  loops(
      "uninstall (wizard)",
      [this] {
        makePc(2u);
        olderMonitorAtWork();
        pc->printer(kPrinter)->portName = "Remote Port";
        pc->setRegistryString(journal::kPortsKey, kPrinter, "FILE:");
      },
      [this](const std::function<void()>& boundary) {
        return walk({{"MainForm", nullptr, [] { return MainForm->Button2; }}},
                    [&](std::size_t) { boundary(); });
      });
}

TEST_F(FaultLoop, UnattendedInstallationOverAnOlderMonitor) {
  loops(
      "unattended installation",
      [this] {
        makePc(2u);
        olderMonitorAtWork();
      },
      [this](const std::function<void()>& boundary) {
        int code =
            quiet("/quiet /server:10.0.0.4 \"/printer:" + kPrinter + "\" /default /testpage");
        if (code == 0) boundary();
        return code == 0;
      });
}

TEST_F(FaultLoop, UnattendedUninstall) {
  loops(
      "unattended uninstall",
      [this] {
        makePc(2u);
        olderMonitorAtWork();
      },
      [this](const std::function<void()>& boundary) {
        int code = quiet("/quiet /uninstall");
        if (code == 0) boundary();
        return code == 0;
      });
}

}  // namespace

namespace {

// The same runs by the 64-bit wizard on x64 Windows: the companion's key in
// the 32-bit view, its 64-bit files in AppPath\x64, the older monitor
// 64-bit.
class FaultLoop64 : public FaultLoop {
 protected:
  void makePc64() {
    makePc(2u);
    olderMonitorAtWork();
    pc->setMachine({platform::Architecture::X64, false});
    pc->deleteRegistryTree(monitor::kCompanionKey);
    pc->setRegistryString("Software\\WOW6432Node\\Varn\\Varn Vuvarode Lanwarden Utilities",
                          "AppPath", kAppPath);
    FakePc::File talomon = FakePc::monitorDll(2u, "shipped x64 talomon");
    FakePc::File taloui = FakePc::plainDll("shipped x64 taloui");
    talomon.bits = taloui.bits = 64;
    pc->putFile(kAppPath + "\\x64\\talomon.dl_", talomon);
    pc->putFile(kAppPath + "\\x64\\taloui.dl_", taloui);
    for (const char* installed : {"\\talomon.dll", "\\taloui.dll"}) pc->files[kSys + installed].bits = 64;
  }
};

TEST_F(FaultLoop64, InstallationUpdateAndUninstallByTheSixtyFourBitWizard) {
  // Each way of updating puts the shipped 64-bit monitor in the native
  // system folder.
  for (bool quietly : {true, false}) {
    makePc64();
    ASSERT_TRUE(quietly ? quiet("/quiet /server:10.0.0.4 \"/printer:" + kPrinter + "\"") == 0
                        : walk(installationWalk(), nullptr));
    const FakePc::File* installed = pc->file(kSys + "\\talomon.dll");
    ASSERT_NE(installed, nullptr);
    EXPECT_EQ(installed->content, "shipped x64 talomon") << (quietly ? "unattended" : "wizard");
  }
  for (const char* line : {"/quiet /server:10.0.0.4 \"/printer:HP LaserJet 1100\" /default",
                           "/quiet /uninstall"}) {
    loops(line, [this] { makePc64(); },
          [this, line](const std::function<void()>& boundary) {
            int code = quiet(line);
            if (code == 0) boundary();
            return code == 0;
          });
    if (HasFailure()) return;
  }
  loops(
      "update (64-bit wizard)", [this] { makePc64(); },
      [this](const std::function<void()>& boundary) {
        return walk(installationWalk(), [&](std::size_t i) {
          if (i > 0) boundary();
        });
      });
}

}  // namespace
