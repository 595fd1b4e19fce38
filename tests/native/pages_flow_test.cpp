// The page graph, walked headlessly on the in-memory PC: the real pages and
// features, with printers, monitor files and registry laid out per test.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "discovery/receiver.h"
#include "app/application.h"
#include "app/state/wizard_state.h"
#include "gui/headless/headless_ui.h"
#include "pages/Browtalo.h"
#include "pages/Endfrm.h"
#include "pages/Frmakprn.h"
#include "pages/Frmhacd.h"
#include "pages/Frmhawiz.h"
#include "pages/Frmhenet.h"
#include "pages/Frmhiprn.h"
#include "pages/Frmhlex.h"
#include "pages/Frmhlex98.h"
#include "pages/Frmnoprn.h"
#include "pages/Frmsvrip.h"
#include "pages/Mainfrm.h"
#include "pages/Prnfrm.h"
#include "pages/Prnwiz.h"
#include "pages/Talowiz.h"
#include "platform/fake/fake_pc.h"
#include "discovery/device_table.h"
#include "monitor/family.h"
#include "monitor/registry_key.h"

namespace {

using Step = std::function<void()>;
using platform::Answer;

constexpr char kAppPath[] = "C:\\Program Files\\Varn";
// The server printer name the detection page shows when a test's "Next >"
// makes a server usable.
std::string serverPrinter;

class PageFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    w = std::make_unique<World>();
    discovery::resetReceiver();
    resetWizardState();
    discovery::clearTaloInfo();
    serverPrinter.clear();
    // These runs are about the pages: no discovery socket, no receiver thread.
    w->pc.failCall(platform::NetworkCall::WSAStartup, 10091);
    w->ui.setApplicationWindow(w->pc.addWindow(kAppClass, ""));
    w->pc.addAdapter({{"10.0.0.1", "255.255.255.0"}});
    shipMonitor(2);
  }
  void TearDown() override {
    app::destroyPages();
    discovery::clearTaloInfo();
  }

  // The companion utilities' folder with the monitor files of `version`.
  void shipMonitor(std::uint32_t version) {
    w->pc.setRegistryString(monitor::kCompanionKey, "AppPath", kAppPath);
    w->pc.putFile(std::string(kAppPath) + "\\talomon.dl_", platform::FakePc::monitorDll(version));
    w->pc.putFile(std::string(kAppPath) + "\\taloui.dl_", platform::FakePc::plainDll());
    w->pc.putFile(std::string(kAppPath) + "\\lprmon.dl_", platform::FakePc::monitorDll(version));
  }
  // The monitor as an earlier run left it: registered, its DLL in place.
  void installedMonitor(std::uint32_t version, const std::string& address) {
    w->pc.putFile(w->pc.systemDir + "\\talomon.dll", platform::FakePc::monitorDll(version));
    w->pc.registerMonitor(monitor::kMonitorName, "talomon.dll");
    w->pc.setRegistryString(monitor::kMonitorKey, "Server Address", address);
  }
  std::string portOf(const std::string& printer) {
    platform::PrinterInfo2* p = w->pc.printer(printer);
    return p && p->portName ? *p->portName : "?";
  }
  std::string storedAddress() const {
    return w->pc.registryString(monitor::kMonitorKey, "Server Address").value_or("(none)");
  }
  bool monitorRegistered() const {
    for (const std::string& m : w->pc.monitorNames())
      if (m == monitor::kMonitorName) return true;
    return false;
  }

  // Runs the wizard through every step, after which it must have ended.
  void run(const std::vector<Step>& steps) {
    w->ui.expectEnd();
    // The start-up's own report of the missing socket is not the pages'.
    w->ui.then([this] {
      ASSERT_EQ(w->pc.boxes.size(), 1u);
      w->pc.boxes.clear();
    });
    for (const Step& s : steps) w->ui.then(s);
    EXPECT_EQ(app::runApplication(w->pc, w->ui), 0);
  }
  std::string top() const {
    return w->ui.openForms().empty() ? std::string("-") : w->ui.openForms().back()->name();
  }
  Step click(std::function<gui::Control*()> control) {
    return [this, control] { w->ui.click(*control()); };
  }
  Step expectTop(const std::string& name) {
    return [this, name] { EXPECT_EQ(top(), name); };
  }
  // Detection shows a server, as its timer would after a reply.
  static Step serverFound(const std::string& ip = "10.0.0.7") {
    return [ip] { TaloWizard->showServer({"KX220", ip, serverPrinter}); };
  }
  Step endHere() {
    return [this] { w->ui.click(*w->ui.openForms().back()->cancelButton); };
  }
  std::vector<std::string> boxTexts() const {
    std::vector<std::string> texts;
    for (const auto& b : w->pc.boxes) texts.push_back(b.text);
    return texts;
  }

  // A fresh PC and toolkit for each run.
  struct World {
    platform::FakePc pc;
    gui::HeadlessUi ui{pc};
  };
  std::unique_ptr<World> w;
};

// The ways from the welcome page to every page that has a Cancel.
struct Path {
  std::string page;
  std::function<void(platform::FakePc&)> setUp;
  std::vector<std::function<gui::Control*()>> clicks;
};

std::vector<Path> everyPage() {
  auto none = [](platform::FakePc&) {};
  // A local printer that fits the server's: the automatic page proposes it.
  auto printer = [](const std::string& name) {
    return [name](platform::FakePc& pc) {
      pc.addPrinter(name, "LPT1:");
      serverPrinter = name;
      pc.answers.push_back(Answer::Yes);  // the port question, where it comes
    };
  };
  auto next = [] {
    TaloWizard->showServer({"KX220", "10.0.0.7", serverPrinter});
    return TaloWizard->BtnNext;
  };
  return {
      {"MainForm", none, {}},
      {"TaloWizard", none, {[] { return MainForm->BtnNext; }}},
      {"BrowTaloForm", none, {[] { return MainForm->BtnNext; }, [] { return TaloWizard->BtnMore; }}},
      {"FormHelpInstPrn", none, {[] { return MainForm->SpeedButton1; }}},
      {"FormHelpWizAddPrn", none,
       {[] { return MainForm->SpeedButton1; }, [] { return FormHelpInstPrn->RbWiz; },
        [] { return FormHelpInstPrn->BtnNext; }}},
      {"FormHelpCDAddPrn", none,
       {[] { return MainForm->SpeedButton1; }, [] { return FormHelpInstPrn->RbCD; },
        [] { return FormHelpInstPrn->BtnNext; }}},
      {"FormAskPrn",
       [](platform::FakePc& pc) {
         pc.addPrinter("Epson LX-300", "LPT1:");
         serverPrinter = "HP LaserJet 4";
       },
       {[] { return MainForm->BtnNext; }, next}},
      {"FormNoPrn", none, {[] { return MainForm->BtnNext; }, next}},
      {"PrnWizard", printer("HP LaserJet 4"), {[] { return MainForm->BtnNext; }, next}},
      {"PrnForm", printer("HP LaserJet 4"),
       {[] { return MainForm->BtnNext; }, next, [] { return PrnWizard->BtnMore; }}},
      {"EndForm", printer("HP LaserJet 4"),
       {[] { return MainForm->BtnNext; }, next, [] { return PrnWizard->BtnNext; }}},
      {"FormHelpLex", printer("Lexmark Z52"),
       {[] { return MainForm->BtnNext; }, next, [] { return PrnWizard->BtnNext; }}},
      {"FormHelpLex98",
       [printer](platform::FakePc& pc) {
         printer("Lexmark Z52")(pc);
         pc.version = 0xC0000A04;  // Windows 98
       },
       {[] { return MainForm->BtnNext; }, next, [] { return PrnWizard->BtnNext; },
        [] { return FormHelpLex->BtnNext; }}},
      {"FormHelpNetError", none,
       {[] { return MainForm->BtnNext; },
        [] {
          TaloWizard->showServer({"KX220", "192.168.9.9", ""});  // another subnet
          return TaloWizard->SB_ERROR;
        }}},
  };
}

TEST_F(PageFlow, CancelFromEveryDepthEndsAtOnceAsksNothingAndStopsTheReceiver) {
  for (const Path& path : everyPage()) {
    SCOPED_TRACE(path.page);
    TearDown();
    SetUp();
    path.setUp(w->pc);
    std::vector<Step> steps;
    for (const auto& c : path.clicks) steps.push_back([this, c] { w->ui.click(*c()); });
    std::size_t depth = 0, boxes = 0;
    steps.push_back([&] {
      EXPECT_EQ(top(), path.page);
      depth = w->ui.openForms().size();
      boxes = w->pc.boxes.size();
      EXPECT_EQ(w->ui.openForms().back()->cancelButton->text(), "Cancel");
    });
    steps.push_back(endHere());
    run(steps);
    EXPECT_GE(depth, 1u);
    EXPECT_TRUE(w->ui.terminated());
    EXPECT_TRUE(w->ui.openForms().empty());
    EXPECT_EQ(discovery::bStopReceiver.load(), 1);
    EXPECT_EQ(w->pc.boxes.size(), boxes) << "Cancel asked something";
    EXPECT_FALSE(w->pc.unexpectedQuestion);
  }
}

TEST_F(PageFlow, WelcomeNextOpensDetectionAndItsBackRerunsTheWelcomeShowHandler) {
  run({[&] {
         EXPECT_FALSE(MainForm->PanelUninstall->visible()) << "no monitor yet";
         EXPECT_EQ(MainForm->lblVer->text(), "0");
       },
       click([] { return MainForm->BtnNext; }),
       [&] {
         EXPECT_EQ(top(), "TaloWizard");
         EXPECT_TRUE(TaloWizard->Timer1->enabled());
         EXPECT_FALSE(TaloWizard->BtnNext->enabled());
         installedMonitor(0x0102, "10.0.0.7");  // installed meanwhile
       },
       click([] { return TaloWizard->BtnBack; }),
       [&] {
         EXPECT_EQ(top(), "MainForm");
         EXPECT_TRUE(MainForm->PanelUninstall->showing());
         EXPECT_EQ(MainForm->lblVer->text(), "258");
         EXPECT_EQ(MainForm->lblIP->text(), "10.0.0.7");
         EXPECT_FALSE(TaloWizard->Timer1->enabled()) << "closing stops the detection";
       },
       endHere()});
}

TEST_F(PageFlow, DetectionShowEmptiesTheServerLabelsAndStartsTheTickCount) {
  run({click([] { return MainForm->BtnNext; }), serverFound(),
       [&] {
         dwDetectTicks = 17;
         EXPECT_EQ(TaloWizard->LblIP->text(), "10.0.0.7");
       },
       click([] { return TaloWizard->BtnBack; }), click([] { return MainForm->BtnNext; }),
       [&] {
         EXPECT_EQ(TaloWizard->LblIP->text(), "");
         EXPECT_EQ(TaloWizard->LblProduct->text(), "");
         EXPECT_EQ(TaloWizard->LblPrinter->text(), "");
         EXPECT_EQ(dwDetectTicks, 0u);
       },
       endHere()});
}

TEST_F(PageFlow, BrowseCloseBoxLeavesTheDetectionTimerOffAndBackTurnsItOn) {
  run({click([] { return MainForm->BtnNext; }),
       [&] {
         w->ui.tick(*TaloWizard->Timer1);
         EXPECT_EQ(dwDetectTicks, 1u);
         EXPECT_TRUE(TaloWizard->PanelNotFound->showing()) << "no server answered";
       },
       click([] { return TaloWizard->BtnMore; }),
       [&] {
         EXPECT_EQ(top(), "BrowTaloForm");
         EXPECT_FALSE(TaloWizard->Timer1->enabled());
         EXPECT_EQ(dwDetectTicks, 0u);
         EXPECT_TRUE(BrowTaloForm->Timer1->enabled());
         EXPECT_EQ(BrowTaloForm->LblTALO->text(), "0");
         w->ui.closeBox(*BrowTaloForm);
       },
       [&] {
         EXPECT_EQ(top(), "TaloWizard");
         EXPECT_FALSE(TaloWizard->Timer1->enabled());
         EXPECT_FALSE(BrowTaloForm->Timer1->enabled());
         w->ui.tick(*TaloWizard->Timer1);
         EXPECT_EQ(dwDetectTicks, 0u) << "no polling after the close box";
       },
       click([] { return TaloWizard->BtnMore; }), click([] { return BrowTaloForm->BtnBack; }),
       [&] {
         EXPECT_EQ(top(), "TaloWizard");
         EXPECT_TRUE(TaloWizard->Timer1->enabled());
         w->ui.tick(*TaloWizard->Timer1);
         EXPECT_EQ(dwDetectTicks, 1u) << "a fresh count after Back";
       },
       endHere()});
}

TEST_F(PageFlow, BrowseNextHandsTheRowOverAndLeavesTheDetectionTimerOff) {
  run({click([] { return MainForm->BtnNext; }), click([] { return TaloWizard->BtnMore; }),
       [&] {
         discovery::insertTalo("10.0.0.2", "KX220", "");
         discovery::insertTalo("10.0.0.3", "KX230", "HP LaserJet 4");
         w->ui.tick(*BrowTaloForm->Timer1);
         ASSERT_EQ(BrowTaloForm->ListView->count(), 2);
         EXPECT_EQ(BrowTaloForm->LblTALO->text(), "2");
         EXPECT_EQ(BrowTaloForm->ListView->row(0)[2], "10.0.0.3") << "printers first";
         w->ui.tick(*BrowTaloForm->Timer1);
         EXPECT_EQ(BrowTaloForm->ListView->count(), 2) << "a row per server";
       },
       click([] { return BrowTaloForm->BtnBrowse; }),
       [&] {
         EXPECT_EQ(BrowTaloForm->ListView->count(), 0);
         EXPECT_EQ(BrowTaloForm->LblTALO->text(), "0");
         EXPECT_EQ(discovery::taloCount(), 0) << "Refresh empties the table";
         discovery::insertTalo("10.0.0.4", "KX220", "Epson LX-300");
         w->ui.tick(*BrowTaloForm->Timer1);
       },
       click([] { return BrowTaloForm->BtnSet; }),
       [&] {
         EXPECT_EQ(top(), "TaloWizard");
         EXPECT_EQ(TaloWizard->LblIP->text(), "10.0.0.4");
         EXPECT_EQ(TaloWizard->LblProduct->text(), "KX220");
         EXPECT_EQ(TaloWizard->LblPrinter->text(), "Epson LX-300");
         EXPECT_TRUE(TaloWizard->BtnNext->enabled());
         EXPECT_FALSE(TaloWizard->Timer1->enabled());
       },
       click([] { return TaloWizard->BtnMore; }), click([] { return BrowTaloForm->BtnSet; }),
       [&] {
         EXPECT_EQ(TaloWizard->LblIP->text(), "") << "an empty list forgets the server";
         EXPECT_TRUE(TaloWizard->PanelNotFound->showing());
         EXPECT_FALSE(TaloWizard->BtnNext->enabled());
       },
       endHere()});
}

TEST_F(PageFlow, BrowseListCountsRowsFocusesTheFirstAndSortsPrintersFirst) {
  run({click([] { return MainForm->BtnNext; }), click([] { return TaloWizard->BtnMore; }),
       [&] {
         gui::ListView& list = *BrowTaloForm->ListView;
         list.addRow({"", "KX220", "10.0.0.2", ""});
         EXPECT_EQ(list.focusedRow(), 0);
         list.addRow({"", "KX230", "10.0.0.3", "HP LaserJet"});
         list.addRow({"", "KX220", "10.0.0.4", "E"});
         EXPECT_EQ(BrowTaloForm->LblTALO->text(), "3");
         list.sort();
         EXPECT_EQ(list.row(0)[2], "10.0.0.3");
         EXPECT_EQ(list.row(1)[2], "10.0.0.4");
         EXPECT_EQ(list.row(2)[2], "10.0.0.2");
         EXPECT_EQ(list.focusedRow(), 2) << "the focus mark moves with its row";
       },
       click([] { return BrowTaloForm->BtnBack; }), click([] { return TaloWizard->BtnMore; }),
       [&] {
         EXPECT_EQ(BrowTaloForm->ListView->count(), 0) << "reopening rebuilds the list";
         EXPECT_EQ(BrowTaloForm->LblTALO->text(), "0");
       },
       endHere()});
}

TEST_F(PageFlow, ManualSetIpCancelStaysOkPutsTheAddressOnTheDetectionPage) {
  w->pc.setRegistryString(monitor::kMonitorKey, "Server Address", "10.0.0.99");
  run({click([] { return MainForm->BtnNext; }),
       [&] { TaloWizard->showNoServer(false); },
       click([] { return TaloWizard->BtnMore; }), click([] { return BrowTaloForm->BtnManual; }),
       [&] {
         EXPECT_EQ(top(), "FormServerIP");
         EXPECT_TRUE(monitorRegistered()) << "the installation runs first";
         EXPECT_EQ(FormServerIP->EdIP->text(), "10.0.0.99");
         EXPECT_EQ(BrowTaloForm->bManualCancelled, 0);
       },
       click([] { return FormServerIP->BtnCancel; }),
       [&] {
         EXPECT_EQ(top(), "BrowTaloForm");
         EXPECT_EQ(BrowTaloForm->bManualCancelled, 1);
         EXPECT_EQ(TaloWizard->LblIP->text(), "");
       },
       click([] { return BrowTaloForm->BtnManual; }),
       [&] {
         EXPECT_EQ(BrowTaloForm->bManualCancelled, 0);
         FormServerIP->EdIP->setText("10.0.0.5");
         w->pc.answers.push_back(Answer::Yes);  // the stored address is replaced
         w->pc.failCall(platform::RegistryCall::RegSetValueEx, 5, 1);
       },
       click([] { return FormServerIP->BtnOK; }),
       [&] {
         EXPECT_EQ(top(), "FormServerIP") << "the write failed: the dialog stays";
         EXPECT_EQ(boxTexts().back(), "Failed to set data for 'Server Address'");
         EXPECT_EQ(storedAddress(), "10.0.0.99");
         w->pc.answers.push_back(Answer::Yes);
       },
       click([] { return FormServerIP->BtnOK; }),
       [&] {
         EXPECT_EQ(top(), "TaloWizard");
         EXPECT_EQ(storedAddress(), "10.0.0.5");
         EXPECT_EQ(TaloWizard->LblIP->text(), "10.0.0.5");
         EXPECT_EQ(TaloWizard->LblProduct->text(), "Manual IP Address");
         EXPECT_EQ(TaloWizard->LblPrinter->text(), "");
         EXPECT_EQ(TaloWizard->LblIP->color(), gui::clWindowText);
         EXPECT_FALSE(TaloWizard->SB_ERROR->visible());
         EXPECT_TRUE(TaloWizard->BtnNext->enabled());
         EXPECT_FALSE(TaloWizard->PanelNotFound->visible());
       },
       endHere()});
  EXPECT_FALSE(w->pc.unexpectedQuestion);
}

TEST_F(PageFlow, ManualSetIpOkUnchangedKeepsALongStoredAddressWhole) {
  const std::string stored = "192.168.100.2001";  // 16 characters, more than one can type
  w->pc.setRegistryString(monitor::kMonitorKey, "Server Address", stored);
  run({click([] { return MainForm->BtnNext; }),
       [&] { TaloWizard->showNoServer(false); },
       click([] { return TaloWizard->BtnMore; }), click([] { return BrowTaloForm->BtnManual; }),
       [&] { EXPECT_EQ(FormServerIP->EdIP->text(), stored); },
       click([] { return FormServerIP->BtnOK; }),
       [&] {
         EXPECT_EQ(top(), "TaloWizard");
         EXPECT_EQ(storedAddress(), stored);
         EXPECT_EQ(TaloWizard->LblIP->text(), stored);
         for (const std::string& text : boxTexts())
           EXPECT_EQ(text.find("Change the server"), std::string::npos) << "nothing changed: nothing asked";
       },
       endHere()});
  EXPECT_FALSE(w->pc.unexpectedQuestion);
}

TEST_F(PageFlow, ManualSetIpStaysWhenTheInstallationFails) {
  w->pc.failCall(platform::FilesCall::CopyFile, 5, 1);
  run({click([] { return MainForm->BtnNext; }), click([] { return TaloWizard->BtnMore; }),
       click([] { return BrowTaloForm->BtnManual; }),
       [&] {
         EXPECT_EQ(top(), "BrowTaloForm");
         EXPECT_EQ(boxTexts(), std::vector<std::string>{"Failed to Copy file !"});
         EXPECT_FALSE(monitorRegistered());
       },
       endHere()});
}

TEST_F(PageFlow, DetectionNextInstallsStoresAndChoosesThePrinterPage) {
  w->pc.addPrinter("HP LaserJet 4", "LPT1:");
  serverPrinter = "HP LaserJet 4";
  w->pc.failCall(platform::FilesCall::CopyFile, 5, 1);
  run({click([] { return MainForm->BtnNext; }), serverFound(),
       [&] { TaloWizard->Timer1->setEnabled(true); }, click([] { return TaloWizard->BtnNext; }),
       [&] {
         EXPECT_EQ(top(), "TaloWizard") << "the installation failed";
         EXPECT_FALSE(TaloWizard->Timer1->enabled());
         EXPECT_EQ(storedAddress(), "(none)");
         // An earlier setting the address cannot replace.
         w->pc.setRegistryValue(monitor::kMonitorKey, "Server Address",
                                {platform::kRegDword, "1234"});
       },
       click([] { return TaloWizard->BtnNext; }),
       [&] {
         EXPECT_EQ(top(), "TaloWizard") << "the address could not be stored";
         EXPECT_EQ(boxTexts().back(), "Invalid data type for 'Server Address'");
         // The installation and the address are one step: undone together.
         EXPECT_FALSE(monitorRegistered());
         EXPECT_EQ(w->pc.registryValue(monitor::kMonitorKey, "Server Address")->type,
                   platform::kRegDword);
         EXPECT_EQ(w->pc.file(w->pc.systemDir + "\\talomon.dll"), nullptr);
         w->pc.deleteRegistryTree(monitor::kMonitorKey);
         PrnWizard->bPickByHand = 1;
       },
       click([] { return TaloWizard->BtnNext; }),
       [&] {
         EXPECT_EQ(top(), "PrnWizard");
         EXPECT_EQ(storedAddress(), "10.0.0.7");
         EXPECT_EQ(PrnWizard->bPickByHand, 0);
         EXPECT_EQ(PrnWizard->LblProduct->text(), "HP LaserJet 4");
         TaloWizard->Timer1->setEnabled(true);
       },
       click([] { return PrnWizard->BtnBack; }),
       [&] {
         EXPECT_EQ(top(), "TaloWizard");
         EXPECT_FALSE(TaloWizard->Timer1->enabled()) << "back stops the detection timer";
         TaloWizard->showServer({"KX220", "10.0.0.7", "Canon BJC-80"});  // fits no printer
       },
       click([] { return TaloWizard->BtnNext; }), expectTop("FormAskPrn"),
       [&] { TaloWizard->Timer1->setEnabled(true); }, click([] { return FormAskPrn->Button2; }),
       [&] {
         EXPECT_EQ(top(), "TaloWizard");
         EXPECT_FALSE(TaloWizard->Timer1->enabled());
       },
       endHere()});
  EXPECT_FALSE(w->pc.unexpectedQuestion) << "the same address again asks nothing";
}

TEST_F(PageFlow, AskPrinterChoicesShowTheirPanelsOnFocusAndNextNeedsATick) {
  w->pc.addPrinter("Epson LX-300", "LPT1:");
  run({click([] { return MainForm->BtnNext; }), serverFound(),
       click([] { return TaloWizard->BtnNext; }),
       [&] {
         EXPECT_EQ(top(), "FormAskPrn") << "a server without a printer fits none";
         EXPECT_EQ(FormAskPrn->LblPrn->text(), "your printer");
         EXPECT_FALSE(FormAskPrn->BtnNext->enabled());
         EXPECT_FALSE(FormAskPrn->PanelInst->visible());
         EXPECT_FALSE(FormAskPrn->PanelPick->visible());
         EXPECT_THROW(w->ui.click(*FormAskPrn->BtnNext), std::logic_error);
         w->ui.focus(*FormAskPrn->RbInst);  // the focus alone, no tick
         EXPECT_TRUE(FormAskPrn->BtnNext->enabled());
         EXPECT_TRUE(FormAskPrn->PanelInst->showing());
         EXPECT_FALSE(FormAskPrn->PanelPick->visible());
         w->ui.click(*FormAskPrn->BtnNext);
         EXPECT_EQ(top(), "FormAskPrn") << "nothing is ticked: Next does nothing";
         w->ui.click(*FormAskPrn->RbPick);
         EXPECT_TRUE(FormAskPrn->RbPick->checked());
         EXPECT_TRUE(FormAskPrn->PanelPick->showing());
         EXPECT_FALSE(FormAskPrn->PanelInst->visible());
       },
       click([] { return FormAskPrn->BtnNext; }),
       [&] {
         EXPECT_EQ(top(), "PrnForm") << "picked by hand: the list opens over the printer page";
         ASSERT_GE(w->ui.openForms().size(), 2u);
         EXPECT_EQ(w->ui.openForms()[w->ui.openForms().size() - 2]->name(), "PrnWizard");
         EXPECT_EQ(PrnWizard->bPickByHand, 1);
         EXPECT_EQ(PrnWizard->LblProduct->text(), "Epson LX-300") << "the first printer";
         EXPECT_EQ(PrnForm->ListView->focusedRow(), 0) << "the proposed one is current";
       },
       click([] { return PrnForm->BtnBack; }), click([] { return PrnWizard->BtnBack; }),
       [&] {
         EXPECT_EQ(top(), "FormAskPrn");
         EXPECT_EQ(PrnWizard->bPickByHand, 1) << "stays 1 until the detection Next";
       },
       click([] { return FormAskPrn->Button2; }),
       [&] { TaloWizard->showServer({"KX220", "10.0.0.7", "Canon BJC-80"}); },
       click([] { return TaloWizard->BtnNext; }),
       [&] {
         EXPECT_EQ(FormAskPrn->LblPrn->text(), "Canon BJC-80");
         EXPECT_FALSE(FormAskPrn->RbPick->checked()) << "each showing unticks";
         EXPECT_FALSE(FormAskPrn->PanelPick->visible());
         EXPECT_FALSE(FormAskPrn->BtnNext->enabled());
       },
       click([] { return FormAskPrn->RbInst; }), click([] { return FormAskPrn->BtnNext; }),
       expectTop("FormHelpInstPrn"), endHere()});
}

TEST_F(PageFlow, HowToInstallChoicesAndTheirHelpPages) {
  run({click([] { return MainForm->SpeedButton1; }),
       [&] {
         EXPECT_EQ(top(), "FormHelpInstPrn");
         EXPECT_FALSE(FormHelpInstPrn->BtnNext->enabled());
         w->ui.focus(*FormHelpInstPrn->RbCD);
         EXPECT_TRUE(FormHelpInstPrn->PanelCD->showing());
         EXPECT_FALSE(FormHelpInstPrn->PanelWiz->visible());
         w->ui.click(*FormHelpInstPrn->BtnNext);
         EXPECT_EQ(top(), "FormHelpInstPrn");
       },
       click([] { return FormHelpInstPrn->RbWiz; }),
       [&] {
         EXPECT_TRUE(FormHelpInstPrn->PanelWiz->showing());
         EXPECT_FALSE(FormHelpInstPrn->PanelCD->visible());
       },
       click([] { return FormHelpInstPrn->BtnNext; }), expectTop("FormHelpWizAddPrn"),
       click([] { return FormHelpWizAddPrn->BtnBack; }), expectTop("FormHelpInstPrn"),
       click([] { return FormHelpInstPrn->RbCD; }), click([] { return FormHelpInstPrn->BtnNext; }),
       expectTop("FormHelpCDAddPrn"), click([] { return FormHelpCDAddPrn->BtnBack; }),
       click([] { return FormHelpInstPrn->BtnBack; }),
       [&] {
         EXPECT_EQ(top(), "MainForm") << "the welcome page's help returns to it";
         EXPECT_FALSE(w->ui.terminated());
       },
       click([] { return MainForm->SpeedButton1; }),
       [&] {
         EXPECT_FALSE(FormHelpInstPrn->RbCD->checked()) << "each showing unticks";
         EXPECT_FALSE(FormHelpInstPrn->PanelCD->visible());
         EXPECT_FALSE(FormHelpInstPrn->BtnNext->enabled());
       },
       endHere()});
}

TEST_F(PageFlow, NoWayBackFromPrinterSettingNotFound) {
  run({click([] { return MainForm->BtnNext; }), serverFound(),
       click([] { return TaloWizard->BtnNext; }),
       [&] {
         EXPECT_EQ(top(), "FormNoPrn");
         EXPECT_FALSE(FormNoPrn->BtnBack->enabled());
         EXPECT_THROW(w->ui.click(*FormNoPrn->BtnBack), std::logic_error);
       },
       click([] { return FormNoPrn->BtnNext; }), expectTop("FormHelpInstPrn"),
       click([] { return FormHelpInstPrn->BtnBack; }),
       [&] {
         EXPECT_EQ(top(), "FormNoPrn");
         EXPECT_FALSE(FormNoPrn->BtnBack->enabled());
       },
       endHere()});
}

TEST_F(PageFlow, APickByHandListOpenedWhileEndingClosesAtOnce) {
  w->pc.addPrinter("Epson LX-300", "LPT1:");
  run({click([] { return MainForm->BtnNext; }), serverFound(),
       click([] { return TaloWizard->BtnNext; }), click([] { return FormAskPrn->RbPick; }),
       // The printers cannot be listed any more: the printer page finds none.
       [&] { w->pc.failCall(platform::SpoolerCall::EnumPrintersSizing, 1722); },
       click([] { return FormAskPrn->BtnNext; }),
       [&] {
         EXPECT_EQ(top(), "FormNoPrn");
         EXPECT_EQ(boxTexts(), std::vector<std::string>{"EnumPrinters Failed!!"});
       },
       endHere()});
  EXPECT_TRUE(w->ui.openForms().empty());
  EXPECT_EQ(w->pc.boxes.size(), 1u) << "the manual list never listed";
}

TEST_F(PageFlow, ManualPrinterListNext) {
  w->pc.addPrinter("HP LaserJet 4", "LPT1:");
  w->pc.addPrinter("Epson LQ", "LPT1:");
  w->pc.addPrinter("Canon BJ", "Remote Port");
  serverPrinter = "HP LaserJet 4";
  run({click([] { return MainForm->BtnNext; }), serverFound(),
       click([] { return TaloWizard->BtnNext; }), click([] { return PrnWizard->BtnMore; }),
       [&] {
         EXPECT_EQ(PrnForm->LblPrn->text(), "3");
         ASSERT_EQ(PrnForm->ListView->count(), 3);
         EXPECT_EQ(PrnForm->ListView->row(2), (gui::ListView::Row{"", "Canon BJ", "Remote Port"}));
         EXPECT_EQ(PrnForm->ListView->imageOf(PrnForm->ListView->row(2)), 1);
         EXPECT_EQ(PrnForm->ListView->imageOf(PrnForm->ListView->row(1)), 0);
         EXPECT_EQ(PrnForm->ListView->focusedRow(), 0) << "the proposed printer";
       },
       click([] { return PrnForm->BtnBack; }),
       // The proposed printer is gone from the list: no row is current.
       [&] { PrnWizard->LblProduct->setText("Removed Printer"); },
       click([] { return PrnWizard->BtnMore; }),
       [&] {
         EXPECT_EQ(PrnForm->ListView->focusedRow(), -1);
         w->ui.click(*PrnForm->Button1);
         ASSERT_EQ(w->pc.boxes.size(), 1u);
         EXPECT_EQ(w->pc.boxes[0].text, "Please select a printer setting.");
         EXPECT_EQ(w->pc.boxes[0].caption, "Information");
         EXPECT_EQ(w->pc.boxes[0].icon, platform::Icon::Information);
         EXPECT_EQ(w->pc.boxes[0].buttons, platform::Buttons::Ok);
         EXPECT_EQ(top(), "PrnForm");
         PrnForm->ListView->setFocusedRow(2);
       },
       click([] { return PrnForm->Button1; }),
       [&] {
         EXPECT_EQ(top(), "PrnWizard");
         EXPECT_EQ(PrnWizard->LblProduct->text(), "Canon BJ");
         EXPECT_EQ(portOf("Canon BJ"), "Remote Port") << "the list changes no port";
       },
       click([] { return PrnWizard->BtnMore; }),
       [&] {
         EXPECT_EQ(PrnForm->ListView->count(), 3) << "filled afresh";
         EXPECT_EQ(PrnForm->LblPrn->text(), "3");
         EXPECT_EQ(PrnForm->ListView->focusedRow(), 2);
         EXPECT_FALSE(PrnForm->RbNoPrn->checked());
       },
       click([] { return PrnForm->RbNoPrn; }), click([] { return PrnForm->Button1; }),
       expectTop("FormHelpInstPrn"), endHere()});
}

TEST_F(PageFlow, ManualListHiddenButtonsSetThePortOfTheCurrentOrFirstRow) {
  w->pc.addPrinter("HP LaserJet 4", "LPT1:");
  w->pc.addPrinter("Epson LQ", "Remote Port");
  serverPrinter = "HP LaserJet 4";
  run({click([] { return MainForm->BtnNext; }), serverFound(),
       click([] { return TaloWizard->BtnNext; }), click([] { return PrnWizard->BtnMore; }),
       [&] {
         PrnForm->ListView->setFocusedRow(1);
         PrnForm->BtnLPT->onClick();
         EXPECT_EQ(portOf("Epson LQ"), "LPT1:");
         EXPECT_EQ(PrnForm->ListView->row(1)[2], "LPT1:") << "the list is refreshed";
         PrnForm->ListView->setFocusedRow(-1);
         PrnForm->BtnSet->onClick();
         EXPECT_EQ(portOf("HP LaserJet 4"), "Remote Port") << "no current row: the first";
         EXPECT_FALSE(w->pc.unexpectedQuestion) << "no question";
       },
       endHere()});
}

TEST_F(PageFlow, LexmarkAndCompaqNamesPassThroughTheLexmarkPage) {
  struct Case {
    const char* printer;
    const char* next;
  } cases[] = {{"Lexmark Z52 Color Jetprinter", "FormHelpLex"},
               {"LEXMARK Optra E", "FormHelpLex"},
               {"Compaq IJ600", "FormHelpLex"},
               {"COMPAQ IJ 600", "FormHelpLex"},
               {"lexmark z52", "EndForm"},
               {"LexMark 3200", "EndForm"},
               {"compaq ij600", "EndForm"},
               {"HP LaserJet 4", "EndForm"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.printer);
    TearDown();
    SetUp();
    w->pc.addPrinter(c.printer, "LPT1:");
    serverPrinter = c.printer;
    w->pc.answers = {Answer::No, Answer::Yes};
    run({click([] { return MainForm->BtnNext; }), serverFound(),
         click([] { return TaloWizard->BtnNext; }), click([] { return PrnWizard->BtnNext; }),
         [&] {
           EXPECT_EQ(top(), "PrnWizard") << "declined: the page stays";
           EXPECT_EQ(portOf(c.printer), "LPT1:");
           EXPECT_TRUE(PrnWizard->BtnNext->enabled());
           EXPECT_TRUE(PrnWizard->BtnBack->enabled());
         },
         click([] { return PrnWizard->BtnNext; }), expectTop(c.next),
         [&] { EXPECT_EQ(portOf(c.printer), "Remote Port"); }, endHere()});
    ASSERT_EQ(w->pc.boxes.size(), 2u);
    EXPECT_EQ(w->pc.boxes[0].text, std::string("Change ") + c.printer +
                                       " port setting \n from \"LPT1:\" to \"Remote Port\" ?");
    EXPECT_FALSE(w->ui.busy()) << "the hourglass is gone";
  }
}

TEST_F(PageFlow, LexmarkNextBranchesOnTheVersion) {
  struct Case {
    std::uint32_t version;
    const char* next;
  } cases[] = {{0xC0000A04, "FormHelpLex98"},  // 98: major 4
               {0x05650004, "FormHelpLex98"},  // NT 4.0
               {0x0A280105, "EndForm"},        // XP: major 5
               {0x1DB10106, "EndForm"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    TearDown();
    SetUp();
    w->pc.version = c.version;
    w->pc.addPrinter("Lexmark Z52", "Remote Port");  // already there: no question
    serverPrinter = "Lexmark Z52";
    std::vector<Step> steps = {click([] { return MainForm->BtnNext; }), serverFound(),
                               click([] { return TaloWizard->BtnNext; }),
                               click([] { return PrnWizard->BtnNext; }),
                               click([] { return FormHelpLex->BtnNext; }), expectTop(c.next)};
    if (std::string(c.next) == "FormHelpLex98") {
      steps.push_back(click([] { return FormHelpLex98->BtnNext; }));
      steps.push_back(expectTop("EndForm"));
      steps.push_back(click([] { return EndForm->Button2; }));
      steps.push_back(expectTop("FormHelpLex98"));
      steps.push_back(click([] { return FormHelpLex98->BtnBack; }));
    } else {
      steps.push_back(click([] { return EndForm->Button2; }));
    }
    steps.push_back(expectTop("FormHelpLex"));
    steps.push_back(click([] { return FormHelpLex->BtnBack; }));
    steps.push_back(expectTop("PrnWizard"));
    steps.push_back(endHere());
    run(steps);
    EXPECT_TRUE(w->pc.boxes.empty());
    EXPECT_EQ(w->pc.printerWrites.size(), 1u) << "written again, its port unchanged";
  }
}

// rundll32.exe by its full path, where each family keeps it: NT in the
// system folder, 9x in the Windows folder above its system folder.
TEST_F(PageFlow, AddPrinterWizardRequestAndEnd) {
  struct Case {
    std::uint32_t version;
    const char* systemDir;
    const char* rundll32;
  } cases[] = {{0x0A280105, "C:\\windows\\system32", "C:\\windows\\system32\\rundll32.exe"},
               {0x05650004, "C:\\WINNT\\system32", "C:\\WINNT\\system32\\rundll32.exe"},
               {0xC0000A04, "C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS\\rundll32.exe"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rundll32);
    TearDown();
    SetUp();
    w->pc.version = c.version;
    w->pc.systemDir = c.systemDir;
    run({click([] { return MainForm->SpeedButton1; }), click([] { return FormHelpInstPrn->RbWiz; }),
         click([] { return FormHelpInstPrn->BtnNext; }),
         click([] { return FormHelpWizAddPrn->BtnNext; })});
    ASSERT_EQ(w->pc.shellRequests.size(), 1u);
    const platform::ShellRequest& r = w->pc.shellRequests[0];
    EXPECT_EQ(r.mask, 0x40u);
    EXPECT_EQ(r.owner, 0u);
    EXPECT_EQ(r.verb, "open");
    EXPECT_EQ(r.file, c.rundll32);
    EXPECT_EQ(r.parameters, "shell32.dll,SHHelpShortcuts_RunDLL AddPrinter");
    EXPECT_EQ(r.directory, "");
    EXPECT_EQ(r.show, 10);
    EXPECT_TRUE(w->pc.boxes.empty());
    EXPECT_TRUE(w->ui.terminated());
    EXPECT_EQ(discovery::bStopReceiver.load(), 1);
  }
}

// Neither the system folder nor the start: the same message, and the wizard ends.
TEST_F(PageFlow, AddPrinterFailureIsReportedAndStillEnds) {
  using Failure = void (*)(platform::FakePc&);
  const Failure failures[] = {
      [](platform::FakePc& pc) { pc.failCall(platform::FilesCall::GetSystemDirectory, 8); },
      [](platform::FakePc& pc) { pc.failCall(platform::WindowsCall::ShellExecute, 2); }};
  for (Failure fail : failures) {
    TearDown();
    SetUp();
    fail(w->pc);
    platform::WindowId page = 0;
    run({click([] { return MainForm->SpeedButton1; }), click([] { return FormHelpInstPrn->RbWiz; }),
         click([] { return FormHelpInstPrn->BtnNext; }),
         [&] { page = w->ui.windowOf(*FormHelpWizAddPrn); },
         click([] { return FormHelpWizAddPrn->BtnNext; })});
    ASSERT_EQ(w->pc.boxes.size(), 1u);
    EXPECT_EQ(w->pc.boxes[0].text, "Could not create process!");
    EXPECT_EQ(w->pc.boxes[0].caption, "");
    EXPECT_EQ(w->pc.boxes[0].icon, platform::Icon::Stop);
    EXPECT_EQ(w->pc.boxes[0].buttons, platform::Buttons::Ok);
    EXPECT_EQ(w->pc.boxes[0].owner, page);
    EXPECT_NE(page, 0u);
    EXPECT_TRUE(w->pc.shellRequests.empty());
    EXPECT_TRUE(w->ui.terminated());
  }
}

TEST_F(PageFlow, CdPageDoneTellsToInsertTheCdAndEnds) {
  run({click([] { return MainForm->SpeedButton1; }), click([] { return FormHelpInstPrn->RbCD; }),
       click([] { return FormHelpInstPrn->BtnNext; }),
       click([] { return FormHelpCDAddPrn->BtnNext; })});
  ASSERT_EQ(w->pc.boxes.size(), 1u);
  EXPECT_EQ(w->pc.boxes[0].text, "Please Insert the Installation CD of your printer.");
  EXPECT_EQ(w->pc.boxes[0].caption, "Information");
  EXPECT_EQ(w->pc.boxes[0].icon, platform::Icon::Information);
  EXPECT_TRUE(w->pc.shellRequests.empty());
  EXPECT_TRUE(w->ui.terminated());
}

TEST_F(PageFlow, NetworkErrorPageDoneEndsAndBackReturns) {
  run({click([] { return MainForm->BtnNext; }),
       [&] { TaloWizard->SB_ERROR->show(); }, click([] { return TaloWizard->SB_ERROR; }),
       expectTop("FormHelpNetError"), click([] { return FormHelpNetError->BtnBack; }),
       expectTop("TaloWizard"), click([] { return TaloWizard->SB_ERROR; }),
       click([] { return FormHelpNetError->BtnNext; })});
  EXPECT_TRUE(w->ui.terminated());
}

TEST_F(PageFlow, CompletionShowsTheStoredServerAndTheChosenPrinter) {
  w->pc.addPrinter("HP LaserJet 4", "Remote Port");
  serverPrinter = "HP LaserJet 4";
  run({click([] { return MainForm->BtnNext; }), serverFound("10.0.0.7"),
       click([] { return TaloWizard->BtnNext; }), click([] { return PrnWizard->BtnNext; }),
       [&] {
         EXPECT_EQ(top(), "EndForm");
         EXPECT_EQ(EndForm->LblIP->text(), "10.0.0.7");
         EXPECT_EQ(EndForm->LblIP->color(), gui::clNavy);
         EXPECT_EQ(EndForm->LblPrn->text(), "HP LaserJet 4");
         EXPECT_TRUE(EndForm->CB_Default->checked());
         EXPECT_FALSE(EndForm->PanelNotFound->visible());
         w->ui.click(*EndForm->CB_Default);
         EXPECT_FALSE(EndForm->CB_Default->checked());
       },
       click([] { return EndForm->Button2; }), click([] { return PrnWizard->BtnBack; }),
       [&] {
         TaloWizard->showServer({"KX220", "192.168.5.5", serverPrinter});
         w->pc.answers.push_back(Answer::No);  // keep the stored address
       },
       click([] { return TaloWizard->BtnNext; }), click([] { return PrnWizard->BtnNext; }),
       [&] {
         EXPECT_TRUE(EndForm->CB_Default->checked()) << "ticked again on every showing";
         EXPECT_EQ(EndForm->LblIP->text(), "10.0.0.7") << "the stored one was kept (No)";
         EXPECT_EQ(boxTexts().back(),
                   "Change the server from \"10.0.0.7\" \nto the new IP address \"192.168.5.5\" ?");
       },
       endHere()});
}

TEST_F(PageFlow, CompletionPrintsTheTestPageAndSaysSoOnlyWhenTheSpoolerTookIt) {
  w->pc.addPrinter("HP LaserJet 4", "Remote Port");
  w->pc.computer = "WORKSTATION-017";
  serverPrinter = "HP LaserJet 4";
  run({click([] { return MainForm->BtnNext; }), serverFound(),
       click([] { return TaloWizard->BtnNext; }), click([] { return PrnWizard->BtnNext; }),
       click([] { return EndForm->SpeedButton2; }),
       [&] {
         EXPECT_EQ(top(), "EndForm");
         ASSERT_EQ(w->pc.jobs.size(), 1u);
         const platform::FakePc::PrintJob& job = w->pc.jobs[0];
         EXPECT_EQ(job.printer, "HP LaserJet 4");
         EXPECT_EQ(job.document, "Test Page");
         EXPECT_TRUE(job.ended);
         EXPECT_EQ(job.pages, 1);
         EXPECT_EQ(job.paper.width, 2100) << "A4 portrait";
         EXPECT_EQ(job.paper.height, 2970);
         std::vector<std::string> texts;
         for (const auto& t : job.texts) texts.push_back(t.text);
         for (const char* want : {"Congratulations !", "10.0.0.7", "HP LaserJet 4",
                                  "WORKSTATION-017", "1000", "0", "Driver Version:"})
           EXPECT_NE(std::find(texts.begin(), texts.end(), want), texts.end()) << want;
         EXPECT_EQ(boxTexts().back(), "Test page printed");
         EXPECT_EQ(w->pc.boxes.back().caption, "Information");
         EXPECT_EQ(w->ui.progress, (std::vector<std::string>{"Printing the test page ...", ""}));
         w->pc.failCall(platform::PrintingCall::EndDoc, 1157, 1);
       },
       click([] { return EndForm->SpeedButton2; }),
       [&] {
         EXPECT_EQ(w->pc.jobs.size(), 2u);
         EXPECT_FALSE(w->pc.jobs[1].ended);
         EXPECT_EQ(boxTexts().back(), "The test page could not be printed.\nCode 1157");
       },
       endHere()});
}

TEST_F(PageFlow, CompletionWarnsOfAServerOutsideEverySubnetWithItsHelp) {
  w->pc.addPrinter("HP LaserJet 4", "Remote Port");
  serverPrinter = "HP LaserJet 4";
  run({click([] { return MainForm->BtnNext; }), serverFound("192.168.5.5"),
       click([] { return TaloWizard->BtnNext; }), click([] { return PrnWizard->BtnNext; }),
       [&] {
         EXPECT_EQ(EndForm->LblIP->color(), gui::clRed);
         EXPECT_TRUE(EndForm->PanelNotFound->showing());
       },
       click([] { return EndForm->SpeedButton3; }), expectTop("FormHelpNetError"),
       click([] { return FormHelpNetError->BtnBack; }), expectTop("EndForm"), endHere()});
}

TEST_F(PageFlow, CompletionOnWindows98FindsThePrinterOnItsRemotePortWithoutTheDialog) {
  w->pc.version = 0xC0000A04;
  w->pc.addPrinter("Epson LQ", "LPT1:");
  w->pc.addPrinter("HP LaserJet 4", "Remote Port");
  serverPrinter = "HP LaserJet 4";
  run({click([] { return MainForm->BtnNext; }), serverFound(),
       click([] { return TaloWizard->BtnNext; }), click([] { return PrnWizard->BtnNext; }),
       click([] { return EndForm->SpeedButton2; }),
       [&] {
         EXPECT_EQ(w->pc.printDialogs, 0);
         ASSERT_EQ(w->pc.jobs.size(), 1u);
         EXPECT_EQ(w->pc.jobs[0].printer, "HP LaserJet 4");
       },
       endHere()});
}

// The dialog's printer and copies are printed; cancelled, the default
// printer gets one copy; with no printer at all nothing prints.  The
// progress window shows only while a page prints, never over the dialog.
TEST_F(PageFlow, CompletionPrintsThroughTheDialogWhenTheEngineListLacksThePrinter) {
  w->pc.version = 0x05650004;  // NT 4: bare names, but the target has " on Remote Port"
  w->pc.addPrinter("HP LaserJet 4", "Remote Port");
  w->pc.addPrinter("Epson LQ", "LPT1:");
  w->pc.defaultPrinterName = "HP LaserJet 4";
  w->pc.dialogPrinter = "Epson LQ";
  w->pc.dialogCopies = 3;
  w->pc.whilePrintDialog = [&] {
    EXPECT_TRUE(w->ui.progress.empty() || w->ui.progress.back().empty())
        << "a progress window covers the print dialog";
  };
  serverPrinter = "HP LaserJet 4";
  const std::vector<std::string> printedOnce = {"Printing the test page ...", ""};
  run({click([] { return MainForm->BtnNext; }), serverFound(),
       click([] { return TaloWizard->BtnNext; }), click([] { return PrnWizard->BtnNext; }),
       click([] { return EndForm->SpeedButton2; }),
       [&] {
         EXPECT_EQ(w->pc.printDialogs, 1);
         ASSERT_EQ(w->pc.jobs.size(), 1u);
         EXPECT_EQ(w->pc.jobs[0].printer, "Epson LQ");
         EXPECT_EQ(w->pc.jobs[0].pages, 3) << "the copies asked for";
         EXPECT_EQ(w->ui.progress, printedOnce);
         w->pc.dialogConfirms = false;
       },
       click([] { return EndForm->SpeedButton2; }),
       [&] {
         ASSERT_EQ(w->pc.jobs.size(), 2u) << "printed although the dialog was cancelled";
         EXPECT_EQ(w->pc.jobs[1].printer, "HP LaserJet 4");
         EXPECT_EQ(w->pc.jobs[1].pages, 1);
         EXPECT_EQ(boxTexts().back(), "Test page printed");
         w->pc.defaultPrinterName.clear();
         w->ui.progress.clear();
       },
       click([] { return EndForm->SpeedButton2; }),
       [&] {
         EXPECT_EQ(w->pc.jobs.size(), 2u);
         EXPECT_TRUE(w->ui.progress.empty()) << "a progress window without printing";
         EXPECT_EQ(boxTexts().back(), "The test page could not be printed.\nCode 1801");
       },
       endHere()});
}

TEST_F(PageFlow, CompletionDoneSetsTheDefaultOnlyWhenTickedAndEndsEitherWay) {
  struct Case {
    std::uint32_t version;
    bool tick;
  } cases[] = {{0x0A280105, false}, {0x0A280105, true}, {0xC0000A04, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    SCOPED_TRACE(c.tick);
    TearDown();
    SetUp();
    w->pc.version = c.version;
    w->pc.addPrinter("Epson LQ", "LPT1:");
    w->pc.addPrinter("HP LaserJet 4", "Remote Port");
    w->pc.defaultPrinterName = "Epson LQ";
    serverPrinter = "HP LaserJet 4";
    run({click([] { return MainForm->BtnNext; }), serverFound(),
         click([] { return TaloWizard->BtnNext; }), click([] { return PrnWizard->BtnNext; }),
         [&] {
           if (!c.tick) w->ui.click(*EndForm->CB_Default);
         },
         click([] { return EndForm->Button1; })});
    EXPECT_EQ(w->pc.defaultPrinterName, c.tick ? "HP LaserJet 4" : "Epson LQ");
    EXPECT_TRUE(w->pc.boxes.empty());
    EXPECT_TRUE(w->ui.terminated());
  }
}

TEST_F(PageFlow, CompletionDoneSaysWhenTheDefaultPrinterCannotBeSetAndStillEnds) {
  struct Case {
    std::uint32_t version;
    platform::SpoolerCall call;
    const char* message;
  } cases[] = {
      {0x0A280105, platform::SpoolerCall::SetDefaultPrinter,
       "Could not make HP LaserJet 4 the default printer.\nCode 1801"},
      {0xC0000A04, platform::SpoolerCall::OpenPrinter, "OpenPrinter Failed!"},
      {0xC0000A04, platform::SpoolerCall::GetPrinter5Sizing, "GetPrinter Failed!!"},
      {0xC0000A04, platform::SpoolerCall::GetPrinter5, "GetPrinter Falied!!"},
      {0xC0000A04, platform::SpoolerCall::SetPrinter5,
       "Could not make HP LaserJet 4 the default printer.\nCode 1801"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    TearDown();
    SetUp();
    w->pc.version = c.version;
    w->pc.addPrinter("HP LaserJet 4", "Remote Port");
    serverPrinter = "HP LaserJet 4";
    run({click([] { return MainForm->BtnNext; }), serverFound(),
         click([] { return TaloWizard->BtnNext; }), click([] { return PrnWizard->BtnNext; }),
         [&] { w->pc.failCall(c.call, 1801, 1); }, click([] { return EndForm->Button1; })});
    EXPECT_EQ(boxTexts(), std::vector<std::string>{c.message});
    EXPECT_EQ(w->pc.defaultPrinterName, "");
    EXPECT_TRUE(w->ui.terminated());
  }
}

TEST_F(PageFlow, UninstallEndsOnlyAfterASuccessfulRemoval) {
  installedMonitor(3, "10.0.0.7");
  w->pc.addPrinter("HP LaserJet 4", "Remote Port");
  w->pc.failCall(platform::SpoolerCall::DeleteMonitor, 5, 1);
  w->pc.answers = {Answer::No, Answer::Yes, Answer::Yes};
  run({[&] { EXPECT_TRUE(MainForm->PanelUninstall->showing()); },
       click([] { return MainForm->Button2; }),
       [&] {
         EXPECT_EQ(top(), "MainForm") << "declined";
         EXPECT_EQ(portOf("HP LaserJet 4"), "Remote Port");
         EXPECT_TRUE(monitorRegistered());
       },
       click([] { return MainForm->Button2; }),
       [&] {
         EXPECT_EQ(top(), "MainForm") << "the spooler refused";
         EXPECT_EQ(boxTexts().back(), "DeleteMonitor Failed !");
         EXPECT_TRUE(monitorRegistered());
         EXPECT_FALSE(w->ui.busy());
       },
       click([] { return MainForm->Button2; })});
  EXPECT_FALSE(monitorRegistered());
  EXPECT_EQ(portOf("HP LaserJet 4"), "LPT1:");
  EXPECT_EQ(boxTexts().back(), "The Printer Sharing Drvier\nunistall successfully.");
  EXPECT_TRUE(w->ui.terminated());
  EXPECT_EQ(discovery::bStopReceiver.load(), 1);
}

TEST_F(PageFlow, TheWholeRoadOnThePc) {
  w->pc.addPrinter("Epson LQ", "LPT1:");
  w->pc.addPrinter("HP LaserJet 1100", "LPT1:");
  run({click([] { return MainForm->BtnNext; }),
       [&] {
         discovery::insertTalo("10.0.0.3", "KX220", "");
         discovery::insertTalo("10.0.0.4", "KX230", "Hewlett-Packard LaserJet 1100");
         w->ui.tick(*TaloWizard->Timer1);
         EXPECT_EQ(TaloWizard->LblIP->text(), "10.0.0.4");
         EXPECT_EQ(TaloWizard->LblPrinter->text(), "Hewlett-Packard LaserJet 1100");
         w->pc.answers.push_back(Answer::Yes);  // the port question
       },
       click([] { return TaloWizard->BtnNext; }),
       [&] {
         EXPECT_TRUE(monitorRegistered());
         EXPECT_NE(w->pc.file(w->pc.systemDir + "\\talomon.dll"), nullptr);
         EXPECT_NE(w->pc.file(w->pc.systemDir + "\\taloui.dll"), nullptr);
         EXPECT_EQ(storedAddress(), "10.0.0.4");
         EXPECT_EQ(dwDriverVersion, 0u) << "nothing was installed before";
         EXPECT_EQ(top(), "PrnWizard");
         EXPECT_EQ(PrnWizard->LblProduct->text(), "HP LaserJet 1100");
       },
       click([] { return PrnWizard->BtnNext; }),
       [&] {
         EXPECT_EQ(portOf("HP LaserJet 1100"), "Remote Port");
         EXPECT_EQ(portOf("Epson LQ"), "LPT1:");
         EXPECT_EQ(top(), "EndForm");
       },
       click([] { return EndForm->SpeedButton2; }), click([] { return EndForm->Button1; })});
  ASSERT_EQ(w->pc.jobs.size(), 1u);
  EXPECT_EQ(w->pc.jobs[0].printer, "HP LaserJet 1100");
  EXPECT_EQ(w->pc.defaultPrinterName, "HP LaserJet 1100");
  EXPECT_TRUE(w->ui.terminated());
  EXPECT_FALSE(w->pc.unexpectedQuestion);
}

}  // namespace
