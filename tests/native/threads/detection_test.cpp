// The detection page and the browse list on the in-memory PC: the real
// discovery socket and receiver thread, with the LAN answering from a script.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "discovery/receiver.h"
#include "app/application.h"
#include "discovery/device_table.h"
#include "gui/headless/headless_ui.h"
#include "pages/Browtalo.h"
#include "pages/Frmhenet.h"
#include "pages/Mainfrm.h"
#include "pages/Talowiz.h"
#include "tests/native/discovery_fixture.h"

namespace {

using Step = std::function<void()>;

struct Server {
  std::string ip;
  std::uint32_t model;
  std::string printer;
};

class Detection : public ::testing::Test {
 protected:
  void SetUp() override {
    discovery::resetReceiver();
    resetWizardState();
    discovery::clearTaloInfo();
    pc.addAdapter({{"10.77.0.1", "255.255.255.0"}});
    ui.setApplicationWindow(pc.addWindow(kAppClass, ""));
    // The LAN: every server in `lan` answers every request.
    pc.onSend = [this](const platform::FakePc::Sent&) {
      for (const Server& s : lan) pc.deliver(testnet::ip(s.ip), testnet::reply(s.model, s.printer));
    };
  }
  void TearDown() override {
    app::destroyPages();
    discovery::clearTaloInfo();
  }

  // Runs the wizard through every step, after which it must have ended.
  void run(const std::vector<Step>& steps) {
    ui.expectEnd();
    for (const Step& s : steps) ui.then(s);
    EXPECT_EQ(app::runApplication(pc, ui), 0);
    EXPECT_FALSE(pc.unexpectedQuestion);
  }
  // A reply arrives; the step waits (bounded) until the receiver stored it.
  Step answer(const Server& s) {
    return [this, s] {
      int before = discovery::taloCount();
      pc.deliver(testnet::ip(s.ip), testnet::reply(s.model, s.printer));
      waitForTable(before + 1);
    };
  }
  void waitForTable(int n) {
    for (int i = 0; i < 1000 && discovery::taloCount() < n; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_EQ(discovery::taloCount(), n);
  }
  Step tick() {
    return [this] { ui.tick(*TaloWizard->Timer1); };
  }
  Step browseTick() {
    return [this] { ui.tick(*BrowTaloForm->Timer1); };
  }
  Step click(std::function<gui::Control*()> c) {
    return [this, c] { ui.click(*c()); };
  }
  Step expectServer(const std::string& ip, const std::string& model, const std::string& printer) {
    return [ip, model, printer] {
      EXPECT_EQ(TaloWizard->LblIP->text(), ip);
      EXPECT_EQ(TaloWizard->LblProduct->text(), model);
      EXPECT_EQ(TaloWizard->LblPrinter->text(), printer);
      EXPECT_TRUE(TaloWizard->BtnNext->enabled());
      EXPECT_FALSE(TaloWizard->PanelNotFound->visible());
    };
  }
  Step end() {
    return [this] { ui.click(*ui.openForms().back()->cancelButton); };
  }
  int sentTo(const std::string& address) const {
    int n = 0;
    for (const auto& d : pc.sent()) n += d.to == testnet::ip(address);
    return n;
  }
  std::vector<std::string> column(int c) const {
    std::vector<std::string> v;
    for (const auto& r : BrowTaloForm->ListView->rows()) v.push_back(r[static_cast<std::size_t>(c)]);
    return v;
  }

  platform::FakePc pc;
  gui::HeadlessUi ui{pc};
  std::vector<Server> lan;
};

const Server A{"10.77.0.3", 0x00010000, ""};
const Server B{"10.77.0.4", 0x00020000, "P1"};
const Server C{"10.77.0.5", 0x00010000, "P2"};
auto welcomeNext = [] { return MainForm->BtnNext; };
auto more = [] { return TaloWizard->BtnMore; };

TEST_F(Detection, ShowingThePageSendsBothBurstsAndTheFirstPrinterServerStaysForGood) {
  run({click(welcomeNext),
       [this] {
         EXPECT_EQ(sentTo("255.255.255.255"), 5);
         EXPECT_EQ(sentTo("10.77.0.255"), 5);
         EXPECT_FALSE(TaloWizard->BtnNext->enabled());
         EXPECT_EQ(TaloWizard->LblIP->text(), "");
       },
       answer(A), tick(), expectServer("10.77.0.3", "KX220", ""),
       [] { EXPECT_TRUE(TaloWizard->BtnNext->focused()); },
       answer(B), tick(), expectServer("10.77.0.4", "KX230", "P1"),
       answer(C), tick(), expectServer("10.77.0.4", "KX230", "P1"),
       [] {
         EXPECT_EQ(TaloWizard->LblIP->color(), gui::clWindowText);
         EXPECT_FALSE(TaloWizard->SB_ERROR->visible());
       },
       end()});
  EXPECT_TRUE(pc.boxes.empty());
}

TEST_F(Detection, OnlyServersWithoutPrintersShowTheFirst) {
  run({click(welcomeNext), answer(A), answer({"10.77.0.9", 0x00020000, ""}), tick(),
       expectServer("10.77.0.3", "KX220", ""), end()});
}

TEST_F(Detection, AServerInAnotherSubnetIsRedWithTheWarningAndNextStillWorks) {
  run({click(welcomeNext), answer({"192.168.5.9", 0x00010000, "Far"}), tick(),
       expectServer("192.168.5.9", "KX220", "Far"),
       [] {
         EXPECT_EQ(TaloWizard->LblIP->color(), gui::clRed);
         EXPECT_TRUE(TaloWizard->SB_ERROR->showing());
       },
       click([] { return TaloWizard->SB_ERROR; }),
       [this] { EXPECT_EQ(ui.openForms().back(), FormHelpNetError); }, end()});
}

TEST_F(Detection, NoServerShowsTheNotFoundPanelAndKeepsNextDisabled) {
  run({click(welcomeNext), tick(),
       [] {
         EXPECT_TRUE(TaloWizard->PanelNotFound->showing());
         EXPECT_FALSE(TaloWizard->BtnNext->enabled());
       },
       // A late reply replaces the panel on the next tick.
       answer(B), tick(), expectServer("10.77.0.4", "KX230", "P1"), end()});
}

TEST_F(Detection, AfterThreeHundredAndOneTicksNothingChanges) {
  run({click(welcomeNext), answer(A),
       [this] {
         for (int i = 0; i < 301; ++i) ui.tick(*TaloWizard->Timer1);
         EXPECT_EQ(dwDetectTicks, 301u);
       },
       answer(B), tick(), expectServer("10.77.0.3", "KX220", ""),
       // "More..." and "< Back" start a fresh count on the same table.
       click(more), click([] { return BrowTaloForm->BtnBack; }), tick(),
       expectServer("10.77.0.4", "KX230", "P1"), [] { EXPECT_EQ(dwDetectTicks, 1u); }, end()});
}

// A failing adapter walk shows its message on every tick, one box at a time:
// a tick that falls while the box is up is dropped and does not count
// towards the 301.
TEST_F(Detection, AFailingSubnetTestShowsOneBoxAtATimeAndTicksUnderItDoNotCount) {
  int depth = 0;
  std::size_t nested = 0;
  std::vector<std::uint32_t> ticksUnderBox;
  pc.whileShown = [&](const platform::FakePc::ShownBox&) {
    if (++depth == 1 && dwDetectTicks > 0) {
      std::size_t before = pc.boxes.size();
      EXPECT_FALSE(TaloWizard->enabled()) << "the detection page takes input under the box";
      EXPECT_FALSE(MainForm->enabled());
      ui.tick(*TaloWizard->Timer1);
      nested += pc.boxes.size() - before;
      ticksUnderBox.push_back(dwDetectTicks);
    }
    --depth;
  };
  run({click(welcomeNext), answer(B),
       [this] { pc.failCall(platform::NetworkCall::GetAdaptersInfoSizing, 232); }, tick(), tick(),
       [&] {
         EXPECT_EQ(nested, 0u) << "a box opened on top of a box";
         EXPECT_EQ(ticksUnderBox, (std::vector<std::uint32_t>{1, 2}));
         EXPECT_EQ(dwDetectTicks, 2u);
         EXPECT_TRUE(TaloWizard->enabled());
         EXPECT_FALSE(MainForm->enabled());
         EXPECT_TRUE(TaloWizard->BtnNext->focused());
         EXPECT_EQ(TaloWizard->LblIP->color(), gui::clRed);
         int shown = 0;
         for (const auto& b : pc.boxes)
           shown += b.text == "GetAdaptersInfo sizing failed with error 232\n";
         EXPECT_EQ(shown, 2);
       },
       end()});
}

TEST_F(Detection, BrowseListListsPrintersFirstHighlightsTheCurrentServerAndRefreshes) {
  lan = {A, B, C};
  run({click(welcomeNext), [this] { waitForTable(3); }, tick(),
       expectServer("10.77.0.4", "KX230", "P1"), click(more),
       [this] {
         EXPECT_EQ(BrowTaloForm->LblTALO->text(), "0");
         EXPECT_EQ(BrowTaloForm->ListView->count(), 0);
         EXPECT_FALSE(TaloWizard->Timer1->enabled());
       },
       browseTick(),
       [this] {
         EXPECT_EQ(BrowTaloForm->LblTALO->text(), "3");
         auto ips = column(2);
         ASSERT_EQ(ips.size(), 3u);
         EXPECT_EQ(ips[2], "10.77.0.3");  // the one without a printer last
         gui::ListView& list = *BrowTaloForm->ListView;
         ASSERT_GE(list.focusedRow(), 0);
         EXPECT_EQ(list.row(list.focusedRow())[2], "10.77.0.4");
         EXPECT_EQ(list.selectedRow(), list.focusedRow());
       },
       browseTick(), [this] { EXPECT_EQ(BrowTaloForm->LblTALO->text(), "3"); },
       [this] {
         int limited = sentTo("255.255.255.255"), directed = sentTo("10.77.0.255");
         ui.click(*BrowTaloForm->BtnBrowse);
         EXPECT_EQ(sentTo("255.255.255.255") - limited, 5);
         EXPECT_EQ(sentTo("10.77.0.255") - directed, 0);
         EXPECT_EQ(BrowTaloForm->LblTALO->text(), "0");
         EXPECT_EQ(BrowTaloForm->ListView->count(), 0);
         EXPECT_TRUE(BrowTaloForm->Timer1->enabled());
         waitForTable(3);
       },
       browseTick(), [this] { EXPECT_EQ(BrowTaloForm->LblTALO->text(), "3"); },
       // A row clicked by the user is what "Next >" takes.
       [this] { BrowTaloForm->ListView->inputFocusedRow(1); },
       click([] { return BrowTaloForm->BtnSet; }),
       [this] {
         EXPECT_EQ(ui.openForms().back(), TaloWizard);
         EXPECT_FALSE(TaloWizard->Timer1->enabled());
         EXPECT_EQ(TaloWizard->LblIP->text(), column(2)[1]);
       },
       end()});
}

TEST_F(Detection, BrowseNextWithAnEmptyListClearsTheDetectionPage) {
  run({click(welcomeNext), answer(B), tick(), expectServer("10.77.0.4", "KX230", "P1"),
       click(more), [] { discovery::clearTaloInfo(); }, browseTick(),
       click([] { return BrowTaloForm->BtnSet; }),
       [] {
         EXPECT_EQ(TaloWizard->LblIP->text(), "");
         EXPECT_EQ(TaloWizard->LblProduct->text(), "");
         EXPECT_EQ(TaloWizard->LblPrinter->text(), "");
         EXPECT_TRUE(TaloWizard->PanelNotFound->showing());
         EXPECT_FALSE(TaloWizard->BtnNext->enabled());
       },
       answer(B), click(more), browseTick(),
       [] { EXPECT_EQ(BrowTaloForm->LblTALO->text(), "1"); },  // reopened: counts from 0
       end()});
}

TEST_F(Detection, BrowseNextOnAServerInAnotherSubnetMarksItRed) {
  run({click(welcomeNext), answer({"172.16.0.8", 0x00010000, "Far"}), click(more), browseTick(),
       click([] { return BrowTaloForm->BtnSet; }),
       [] {
         EXPECT_EQ(TaloWizard->LblIP->text(), "172.16.0.8");
         EXPECT_EQ(TaloWizard->LblIP->color(), gui::clRed);
         EXPECT_TRUE(TaloWizard->SB_ERROR->showing());
         EXPECT_TRUE(TaloWizard->BtnNext->enabled());
       },
       end()});
}

}  // namespace
