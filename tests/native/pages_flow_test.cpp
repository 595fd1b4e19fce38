// The page graph, walked headlessly with the work behind the buttons faked.
#include <gtest/gtest.h>

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
#include "tests/native/pages_fake_work.h"

namespace {

using Step = std::function<void()>;

class PageFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    w = std::make_unique<World>();
    discovery::resetReceiver();
    resetWizardState();
    // These runs are about the pages: no discovery socket, no receiver thread.
    w->pc.failCall(platform::NetworkCall::WSAStartup, 10091);
    w->ui.setApplicationWindow(w->pc.addWindow(kAppClass, ""));
    pages::setWizardWork(&w->work);
  }
  void TearDown() override {
    app::destroyPages();
    pages::setWizardWork(nullptr);
  }

  // Runs the wizard through the steps; a step after the end fails the test.
  void run(const std::vector<Step>& steps) {
    // The start-up's own report of the missing socket is not the pages'.
    w->ui.then([this] {
      ASSERT_EQ(w->pc.boxes.size(), 1u);
      w->pc.boxes.clear();
    });
    for (const Step& s : steps) w->ui.then(s);
    w->ui.then([] { ADD_FAILURE() << "the program did not end"; });
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
  // Detection shown a server: "Next >" is usable, as its timer would make it.
  Step serverFound() {
    return [] { TaloWizard->BtnNext->setEnabled(true); };
  }
  Step endHere() {
    return [this] { w->ui.click(*w->ui.openForms().back()->cancelButton); };
  }

  // A fresh PC, toolkit and work for each run.
  struct World {
    platform::FakePc pc;
    gui::HeadlessUi ui{pc};
    pagestest::FakeWork work;
  };
  std::unique_ptr<World> w;
};

// The ways from the welcome page to every page that has a Cancel.
struct Path {
  std::string page;
  std::function<void(pagestest::FakeWork&, platform::FakePc&)> setUp;
  std::vector<std::function<gui::Control*()>> clicks;
};

std::vector<Path> everyPage() {
  auto none = [](pagestest::FakeWork&, platform::FakePc&) {};
  auto printer = [](const std::string& name) {
    return [name](pagestest::FakeWork& w, platform::FakePc&) { w.printer = name; };
  };
  auto next = [] {
    TaloWizard->BtnNext->setEnabled(true);  // a server was found
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
       [](pagestest::FakeWork& w, platform::FakePc&) {
         w.printerPage = pages::PrinterPage::AskPrinter;
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
       [](pagestest::FakeWork& w, platform::FakePc& pc) {
         w.printer = "Lexmark Z52";
         pc.version = 0xC0000A04;  // Windows 98
       },
       {[] { return MainForm->BtnNext; }, next, [] { return PrnWizard->BtnNext; },
        [] { return FormHelpLex->BtnNext; }}},
      {"FormHelpNetError", none,
       {[] { return MainForm->BtnNext; },
        [] {
          TaloWizard->SB_ERROR->show();  // the server is in another subnet
          return TaloWizard->SB_ERROR;
        }}},
  };
}

TEST_F(PageFlow, CancelFromEveryDepthEndsAtOnceAsksNothingAndStopsTheReceiver) {
  for (const Path& path : everyPage()) {
    SCOPED_TRACE(path.page);
    TearDown();
    SetUp();
    path.setUp(w->work, w->pc);
    std::vector<Step> steps;
    for (const auto& c : path.clicks) steps.push_back([this, c] { w->ui.click(*c()); });
    std::size_t depth = 0;
    steps.push_back([&] {
      EXPECT_EQ(top(), path.page);
      depth = w->ui.openForms().size();
      EXPECT_EQ(w->ui.openForms().back()->cancelButton->text(), "Cancel");
    });
    steps.push_back(endHere());
    run(steps);
    EXPECT_EQ(w->ui.stepsLeft(), 1u) << "steps ran after Cancel";
    EXPECT_GE(depth, 1u);
    EXPECT_TRUE(w->ui.terminated());
    EXPECT_TRUE(w->ui.openForms().empty());
    EXPECT_EQ(discovery::bStopReceiver.load(), 1);
    EXPECT_TRUE(w->pc.boxes.empty());
    EXPECT_FALSE(w->pc.unexpectedQuestion);
  }
}

TEST_F(PageFlow, WelcomeNextOpensDetectionAndItsBackRerunsTheWelcomeShowHandler) {
  run({[&] {
         EXPECT_EQ(w->work.count("welcomeShow"), 1);
         EXPECT_FALSE(MainForm->PanelUninstall->visible());
       },
       click([] { return MainForm->BtnNext; }),
       [&] {
         EXPECT_EQ(top(), "TaloWizard");
         EXPECT_TRUE(TaloWizard->Timer1->enabled());
         EXPECT_FALSE(TaloWizard->BtnNext->enabled());
         EXPECT_EQ(w->work.count("detectionShow"), 1);
         w->work.monitorInstalled = true;  // installed meanwhile
       },
       click([] { return TaloWizard->BtnBack; }),
       [&] {
         EXPECT_EQ(top(), "MainForm");
         EXPECT_EQ(w->work.count("welcomeShow"), 2);
         EXPECT_TRUE(MainForm->PanelUninstall->showing());
         EXPECT_FALSE(TaloWizard->Timer1->enabled()) << "closing stops the detection";
       },
       click([] { return MainForm->BtnNext; }),
       [&] { EXPECT_EQ(w->work.count("detectionShow"), 2); }, endHere()});
}

TEST_F(PageFlow, DetectionShowEmptiesTheServerLabels) {
  run({click([] { return MainForm->BtnNext; }),
       [&] {
         TaloWizard->LblIP->setText("10.0.0.9");
         TaloWizard->LblProduct->setText("KX220");
         TaloWizard->LblPrinter->setText("HP");
       },
       click([] { return TaloWizard->BtnBack; }), click([] { return MainForm->BtnNext; }),
       [&] {
         EXPECT_EQ(TaloWizard->LblIP->text(), "");
         EXPECT_EQ(TaloWizard->LblProduct->text(), "");
         EXPECT_EQ(TaloWizard->LblPrinter->text(), "");
       },
       endHere()});
}

TEST_F(PageFlow, BrowseCloseBoxLeavesTheDetectionTimerOffAndBackTurnsItOn) {
  run({click([] { return MainForm->BtnNext; }),
       [&] {
         w->ui.tick(*TaloWizard->Timer1);
         EXPECT_EQ(w->work.count("detectionTick"), 1);
       },
       click([] { return TaloWizard->BtnMore; }),
       [&] {
         EXPECT_EQ(top(), "BrowTaloForm");
         EXPECT_FALSE(TaloWizard->Timer1->enabled());
         EXPECT_EQ(w->work.count("detectionStopped"), 1);
         EXPECT_TRUE(BrowTaloForm->Timer1->enabled());
         EXPECT_EQ(BrowTaloForm->LblTALO->text(), "0");
         w->ui.closeBox(*BrowTaloForm);
       },
       [&] {
         EXPECT_EQ(top(), "TaloWizard");
         EXPECT_FALSE(TaloWizard->Timer1->enabled());
         EXPECT_FALSE(BrowTaloForm->Timer1->enabled());
         w->ui.tick(*TaloWizard->Timer1);
         EXPECT_EQ(w->work.count("detectionTick"), 1) << "no polling after the close box";
       },
       click([] { return TaloWizard->BtnMore; }), click([] { return BrowTaloForm->BtnBack; }),
       [&] {
         EXPECT_EQ(top(), "TaloWizard");
         EXPECT_TRUE(TaloWizard->Timer1->enabled());
         w->ui.tick(*TaloWizard->Timer1);
         EXPECT_EQ(w->work.count("detectionTick"), 2);
       },
       endHere()});
}

TEST_F(PageFlow, BrowseNextHandsTheRowOverAndLeavesTheDetectionTimerOff) {
  run({click([] { return MainForm->BtnNext; }), click([] { return TaloWizard->BtnMore; }),
       [&] {
         w->ui.tick(*BrowTaloForm->Timer1);
         EXPECT_EQ(w->work.count("browseTick"), 1);
       },
       click([] { return BrowTaloForm->BtnBrowse; }), click([] { return BrowTaloForm->BtnSet; }),
       [&] {
         EXPECT_EQ(top(), "TaloWizard");
         EXPECT_EQ(w->work.count("browseRefresh"), 1);
         EXPECT_EQ(w->work.count("browseSet"), 1);
         EXPECT_FALSE(TaloWizard->Timer1->enabled());
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
  run({click([] { return MainForm->BtnNext; }),
       [&] { TaloWizard->PanelNotFound->show(); },
       click([] { return TaloWizard->BtnMore; }), click([] { return BrowTaloForm->BtnManual; }),
       [&] {
         EXPECT_EQ(top(), "FormServerIP");
         EXPECT_EQ(w->work.count("installMonitor"), 1);
         EXPECT_EQ(w->work.count("serverIpShow"), 1);
         EXPECT_EQ(BrowTaloForm->bManualCancelled, 0);
       },
       click([] { return FormServerIP->BtnCancel; }),
       [&] {
         EXPECT_EQ(top(), "BrowTaloForm");
         EXPECT_EQ(BrowTaloForm->bManualCancelled, 1);
         EXPECT_EQ(w->work.count("browseManual"), 0);
         w->work.serverIpOkay = false;  // the write fails: the dialog stays
       },
       click([] { return BrowTaloForm->BtnManual; }),
       [&] { EXPECT_EQ(BrowTaloForm->bManualCancelled, 0); },
       click([] { return FormServerIP->BtnOK; }),
       [&] {
         EXPECT_EQ(top(), "FormServerIP");
         w->work.serverIpOkay = true;
       },
       click([] { return FormServerIP->BtnOK; }),
       [&] {
         EXPECT_EQ(top(), "TaloWizard");
         EXPECT_EQ(w->work.count("browseManual"), 1);
         EXPECT_TRUE(TaloWizard->BtnNext->enabled());
         EXPECT_FALSE(TaloWizard->PanelNotFound->visible());
       },
       endHere()});
}

TEST_F(PageFlow, ManualSetIpStaysWhenTheInstallationFails) {
  w->work.installOk = false;
  run({click([] { return MainForm->BtnNext; }), click([] { return TaloWizard->BtnMore; }),
       click([] { return BrowTaloForm->BtnManual; }),
       [&] {
         EXPECT_EQ(top(), "BrowTaloForm");
         EXPECT_EQ(w->work.count("serverIpShow"), 0);
       },
       endHere()});
}

TEST_F(PageFlow, DetectionNextStopsOnAFailedStepAndElseChoosesThePrinterPage) {
  w->work.installOk = false;
  w->work.printer = "HP LaserJet";
  run({click([] { return MainForm->BtnNext; }), serverFound(),
       [&] { TaloWizard->LblIP->setText("10.0.0.7"); },
       click([] { return TaloWizard->BtnNext; }),
       [&] {
         EXPECT_EQ(top(), "TaloWizard");
         EXPECT_FALSE(TaloWizard->Timer1->enabled());
         EXPECT_EQ(w->work.count("storeServerAddress"), 0);
         w->work.installOk = true;
         w->work.storeOk = false;
       },
       click([] { return TaloWizard->BtnNext; }),
       [&] {
         EXPECT_EQ(top(), "TaloWizard");
         EXPECT_EQ(w->work.storedAddress, "10.0.0.7");
         EXPECT_EQ(w->work.count("choosePrinterPage"), 0);
         w->work.storeOk = true;
         PrnWizard->bPickByHand = 1;
       },
       click([] { return TaloWizard->BtnNext; }),
       [&] {
         EXPECT_EQ(top(), "PrnWizard");
         EXPECT_EQ(PrnWizard->bPickByHand, 0);
         EXPECT_EQ(PrnWizard->LblProduct->text(), "HP LaserJet");
         TaloWizard->Timer1->setEnabled(true);
       },
       click([] { return PrnWizard->BtnBack; }),
       [&] {
         EXPECT_EQ(top(), "TaloWizard");
         EXPECT_FALSE(TaloWizard->Timer1->enabled()) << "back stops the detection timer";
         w->work.printerPage = pages::PrinterPage::AskPrinter;
       },
       click([] { return TaloWizard->BtnNext; }), expectTop("FormAskPrn"),
       [&] { TaloWizard->Timer1->setEnabled(true); },
       click([] { return FormAskPrn->Button2; }),
       [&] {
         EXPECT_EQ(top(), "TaloWizard");
         EXPECT_FALSE(TaloWizard->Timer1->enabled());
       },
       endHere()});
}

TEST_F(PageFlow, AskPrinterChoicesShowTheirPanelsOnFocusAndNextNeedsATick) {
  w->work.printerPage = pages::PrinterPage::AskPrinter;
  w->work.printer = "Epson LX";
  run({click([] { return MainForm->BtnNext; }), serverFound(),
       click([] { return TaloWizard->BtnNext; }),
       [&] {
         EXPECT_EQ(top(), "FormAskPrn");
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
       },
       click([] { return PrnForm->BtnBack; }), click([] { return PrnWizard->BtnBack; }),
       [&] {
         EXPECT_EQ(top(), "FormAskPrn");
         EXPECT_EQ(PrnWizard->bPickByHand, 1) << "stays 1 until the detection Next";
       },
       click([] { return FormAskPrn->Button2; }),
       [&] { TaloWizard->LblPrinter->setText("Canon BJC-80"); },
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
  w->work.printerPage = pages::PrinterPage::AskPrinter;
  run({click([] { return MainForm->BtnNext; }), serverFound(),
       click([] { return TaloWizard->BtnNext; }), click([] { return FormAskPrn->RbPick; }),
       click([] { return FormAskPrn->BtnNext; }),
       [&] {
         EXPECT_EQ(top(), "FormNoPrn");  // no printer at all
         EXPECT_EQ(w->work.count("fillPrinterList"), 0);
       },
       endHere()});
  EXPECT_TRUE(w->ui.openForms().empty());
  EXPECT_EQ(w->ui.stepsLeft(), 1u);
}

TEST_F(PageFlow, ManualPrinterListNext) {
  w->work.printer = "HP LaserJet";
  run({click([] { return MainForm->BtnNext; }), serverFound(),
       click([] { return TaloWizard->BtnNext; }), click([] { return PrnWizard->BtnMore; }),
       [&] {
         EXPECT_EQ(w->work.count("fillPrinterList"), 1);
         EXPECT_EQ(PrnForm->LblPrn->text(), "0");
         w->ui.click(*PrnForm->Button1);
         ASSERT_EQ(w->pc.boxes.size(), 1u);
         EXPECT_EQ(w->pc.boxes[0].text, "Please select a printer setting.");
         EXPECT_EQ(w->pc.boxes[0].caption, "Information");
         EXPECT_EQ(w->pc.boxes[0].icon, platform::Icon::Information);
         EXPECT_EQ(w->pc.boxes[0].buttons, platform::Buttons::Ok);
         EXPECT_EQ(top(), "PrnForm");
         PrnForm->ListView->addRow({"", "Epson LQ", "LPT1:"});
         PrnForm->ListView->addRow({"", "Canon BJ", "Remote Port"});
         EXPECT_EQ(PrnForm->LblPrn->text(), "2");
         EXPECT_EQ(PrnForm->ListView->imageOf(PrnForm->ListView->row(1)), 1);
         EXPECT_EQ(PrnForm->ListView->imageOf(PrnForm->ListView->row(0)), 0);
         PrnForm->ListView->setFocusedRow(1);
       },
       click([] { return PrnForm->Button1; }),
       [&] {
         EXPECT_EQ(top(), "PrnWizard");
         EXPECT_EQ(PrnWizard->LblProduct->text(), "Canon BJ");
       },
       click([] { return PrnWizard->BtnMore; }),
       [&] {
         EXPECT_EQ(PrnForm->ListView->count(), 0);
         EXPECT_EQ(w->work.count("fillPrinterList"), 2);
       },
       click([] { return PrnForm->RbNoPrn; }), click([] { return PrnForm->Button1; }),
       expectTop("FormHelpInstPrn"), endHere()});
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
    w->work.printer = c.printer;
    w->work.moveOk = false;
    run({click([] { return MainForm->BtnNext; }), serverFound(),
         click([] { return TaloWizard->BtnNext; }), click([] { return PrnWizard->BtnNext; }),
         [&] {
           EXPECT_EQ(top(), "PrnWizard") << "declined or failed: the page stays";
           w->work.moveOk = true;
         },
         click([] { return PrnWizard->BtnNext; }), expectTop(c.next), endHere()});
    EXPECT_EQ(w->work.count("moveToRemotePort"), 2);
  }
  EXPECT_TRUE(pages::needsLexmarkHelp("My LEXMARK"));
  EXPECT_FALSE(pages::needsLexmarkHelp("LEXmark"));
  EXPECT_FALSE(pages::needsLexmarkHelp(""));
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
    w->work.printer = "Lexmark Z52";
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
  }
}

TEST_F(PageFlow, AddPrinterWizardRequestAndEnd) {
  run({click([] { return MainForm->SpeedButton1; }), click([] { return FormHelpInstPrn->RbWiz; }),
       click([] { return FormHelpInstPrn->BtnNext; }),
       click([] { return FormHelpWizAddPrn->BtnNext; })});
  ASSERT_EQ(w->pc.shellRequests.size(), 1u);
  const platform::ShellRequest& r = w->pc.shellRequests[0];
  EXPECT_EQ(r.mask, 0x40u);
  EXPECT_EQ(r.owner, 0u);
  EXPECT_EQ(r.verb, "open");
  EXPECT_EQ(r.file, "rundll32.exe");
  EXPECT_EQ(r.parameters, "shell32.dll,SHHelpShortcuts_RunDLL AddPrinter");
  EXPECT_EQ(r.directory, "");
  EXPECT_EQ(r.show, 10);
  EXPECT_TRUE(w->pc.boxes.empty());
  EXPECT_TRUE(w->ui.terminated());
  EXPECT_EQ(discovery::bStopReceiver.load(), 1);
  EXPECT_EQ(w->ui.stepsLeft(), 1u);
}

TEST_F(PageFlow, AddPrinterFailureIsReportedAndStillEnds) {
  w->pc.failCall(platform::WindowsCall::ShellExecute, 2);
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
  EXPECT_TRUE(w->ui.terminated());
  EXPECT_EQ(w->ui.stepsLeft(), 1u);
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
  EXPECT_EQ(w->ui.stepsLeft(), 1u);
}

TEST_F(PageFlow, NetworkErrorPageDoneEndsAndBackReturns) {
  run({click([] { return MainForm->BtnNext; }),
       [&] { TaloWizard->SB_ERROR->show(); }, click([] { return TaloWizard->SB_ERROR; }),
       expectTop("FormHelpNetError"), click([] { return FormHelpNetError->BtnBack; }),
       expectTop("TaloWizard"), click([] { return TaloWizard->SB_ERROR; }),
       click([] { return FormHelpNetError->BtnNext; })});
  EXPECT_TRUE(w->ui.terminated());
  EXPECT_EQ(w->ui.stepsLeft(), 1u);
}

TEST_F(PageFlow, CompletionDoneSetsTheDefaultOnlyWhenTickedAndEndsEitherWay) {
  for (bool tick : {false, true}) {
    SCOPED_TRACE(tick);
    TearDown();
    SetUp();
    w->work.printer = "HP LaserJet";
    run({click([] { return MainForm->BtnNext; }), serverFound(),
         click([] { return TaloWizard->BtnNext; }), click([] { return PrnWizard->BtnNext; }),
         [&] {
           EXPECT_EQ(w->work.count("endShow"), 1);
           w->ui.click(*EndForm->SpeedButton2);
           EXPECT_EQ(w->work.count("printTestPage"), 1);
           EXPECT_EQ(top(), "EndForm");
           if (tick) w->ui.click(*EndForm->CB_Default);
         },
         click([] { return EndForm->Button1; })});
    EXPECT_EQ(w->work.count("setDefaultPrinter"), tick ? 1 : 0);
    EXPECT_TRUE(w->ui.terminated());
    EXPECT_EQ(w->ui.stepsLeft(), 1u);
  }
}

TEST_F(PageFlow, UninstallEndsOnlyAfterASuccessfulRemoval) {
  w->work.monitorInstalled = true;
  run({click([] { return MainForm->Button2; }),
       [&] {
         EXPECT_EQ(top(), "MainForm");
         w->work.uninstallOk = true;
       },
       click([] { return MainForm->Button2; })});
  EXPECT_EQ(w->work.count("uninstall"), 2);
  EXPECT_TRUE(w->ui.terminated());
  EXPECT_EQ(discovery::bStopReceiver.load(), 1);
  EXPECT_EQ(w->ui.stepsLeft(), 1u);
}

TEST_F(PageFlow, TheDoNothingWorkLetsTheExeReachEveryPage) {
  pages::setWizardWork(nullptr);
  run({click([] { return MainForm->BtnNext; }), click([] { return TaloWizard->BtnMore; }),
       click([] { return BrowTaloForm->BtnManual; }), click([] { return FormServerIP->BtnOK; }),
       [&] {
         EXPECT_EQ(top(), "TaloWizard");
         EXPECT_TRUE(TaloWizard->BtnNext->enabled());
       },
       click([] { return TaloWizard->BtnNext; }), expectTop("FormNoPrn"), endHere()});
  EXPECT_TRUE(w->ui.terminated());
}

}  // namespace
