// The discovery socket's set-up when the welcome page is created, and the
// receiver thread it starts.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "discovery/receiver.h"
#include "app/application.h"
#include "discovery/network_setup.h"
#include "gui/headless/headless_ui.h"
#include "tests/native/discovery_fixture.h"

namespace {

using platform::Answer;
using platform::NetworkCall;

// Waits (bounded) for a condition that another thread makes true.
template <class F>
bool eventually(F condition) {
  for (int i = 0; i < 400; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return condition();
}

class Setup : public testnet::DiscoveryPc {
 protected:
  void SetUp() override {
    DiscoveryPc::SetUp();
    welcome = pc.addWindow("TWizContainer", "Printer Sharing Server Setup Wizard");
  }
  void TearDown() override {
    // End the receiver: the flag, then one datagram to wake it.
    discovery::bStopReceiver = 1;
    pc.deliver(testnet::ip("10.77.0.250"), testnet::reply(0, ""));
    EXPECT_TRUE(eventually([] { return !discovery::receiverRunning(); }));
    discovery::clearTaloInfo();
  }
  // As the welcome page does it: its questions belong to the page, and a
  // socket that is ready gets its receiver.
  discovery::Setup setUp() {
    platform::BoxPrompter prompter(pc, welcome);
    discovery::Setup setup = discovery::setUpNetwork(pc, pc, prompter);
    if (setup == discovery::Setup::Ready) discovery::startReceiver(pc);
    return setup;
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> t;
    for (const auto& b : pc.boxes) t.push_back(b.text);
    return t;
  }

  platform::WindowId welcome = 0;
};

TEST_F(Setup, BindsTheBroadcastSocketAndFillsTheTableFromReplies) {
  ASSERT_EQ(setUp(), discovery::Setup::Ready);
  EXPECT_TRUE(pc.boxes.empty());
  int broadcast = 0, buffer = 0;
  pc.getSockOpt(discovery::discoverySocket, platform::SockOpt::Broadcast, broadcast);
  pc.getSockOpt(discovery::discoverySocket, platform::SockOpt::ReceiveBuffer, buffer);
  EXPECT_EQ(broadcast, 1);
  EXPECT_EQ(buffer, 1 << 20);
  EXPECT_EQ(discovery::receiveBufferGranted, 1 << 20);
  EXPECT_TRUE(discovery::receiverRunning());

  discovery::broadcastGetInfo(pc, pc);  // our own requests come back and are dropped
  pc.deliver(testnet::ip("10.77.0.3"), testnet::reply(0x00010000, "HP LaserJet 1100"));
  pc.deliver(testnet::ip("10.77.0.4"), testnet::reply(0x00020000, ""));
  ASSERT_TRUE(eventually([] { return discovery::taloCount() == 2; }));
  EXPECT_STREQ(discovery::taloInfo[0].taloIP, "10.77.0.3");
  EXPECT_STREQ(discovery::taloInfo[0].printerName, "HP LaserJet 1100");
  EXPECT_STREQ(discovery::taloInfo[1].modelName, "KX230");
}

TEST_F(Setup, EachFailingStepShowsItsErrorAndLeavesNoReceiver) {
  struct Case {
    NetworkCall call;
    const char* text;
  } cases[] = {{NetworkCall::WSAStartup, "WSAStartup failed!!\n"},
               {NetworkCall::Socket, "INVALID_SOCKET!!\n"},
               {NetworkCall::SetSockOpt, "setsockopt error!!\n"}};
  for (const Case& c : cases) {
    pc.boxes.clear();
    pc.clearFaults();
    pc.failCall(c.call, 10050);
    EXPECT_EQ(setUp(), discovery::Setup::NoDiscovery) << c.text;
    ASSERT_EQ(pc.boxes.size(), 1u);
    EXPECT_EQ(pc.boxes[0].text, c.text);
    EXPECT_EQ(pc.boxes[0].caption, "Error");
    EXPECT_EQ(pc.boxes[0].icon, platform::Icon::None);
    EXPECT_EQ(pc.boxes[0].buttons, platform::Buttons::Ok);
    EXPECT_FALSE(discovery::receiverRunning());
  }
}

TEST_F(Setup, PortHeldByAProgramWithoutTheCompanionWindowFailsToBind) {
  pc.portsHeldElsewhere.insert(9999);
  EXPECT_EQ(setUp(), discovery::Setup::NoDiscovery);
  EXPECT_EQ(texts(), std::vector<std::string>{"Bind failed!!\n"});
  EXPECT_FALSE(pc.socketOpen(discovery::discoverySocket));
  EXPECT_EQ(pc.wsaCleanups(), 1);
  EXPECT_FALSE(discovery::receiverRunning());
}

TEST_F(Setup, CompanionClosedOnYesThenDiscoveryWorks) {
  platform::WindowId companion = pc.addWindow("TLanwarden", "Varn Lanwarden Discovery");
  pc.portOfWindow[companion] = 9999;
  pc.portsHeldElsewhere.insert(9999);
  pc.answers.push_back(Answer::Yes);
  EXPECT_EQ(setUp(), discovery::Setup::Ready);
  ASSERT_EQ(pc.boxes.size(), 1u);
  EXPECT_EQ(pc.boxes[0].owner, welcome);
  EXPECT_EQ(pc.boxes[0].caption, "Information");
  EXPECT_EQ(pc.boxes[0].icon, platform::Icon::Question);
  EXPECT_EQ(pc.boxes[0].text,
            "Please close the Varn Lanwarden Discovery utility\nbefore running the Printer Setup "
            "Wizard utility.\n Do you want to close the Varn Lanwarden Discovery utility now?");
  ASSERT_EQ(pc.sentMessages.size(), 2u);
  EXPECT_EQ(pc.sentMessages[0].message, platform::kWmClose);
  EXPECT_EQ(pc.sentMessages[1].message, platform::kWmDestroy);
  EXPECT_EQ(pc.slept.load(), 1000u);
  pc.deliver(testnet::ip("10.77.0.3"), testnet::reply(0, "P"));
  EXPECT_TRUE(eventually([] { return discovery::taloCount() == 1; }));
}

TEST_F(Setup, CompanionKeptOnNoEndsTheProgramWithZero) {
  platform::WindowId companion = pc.addWindow("TLanwarden", "Varn Lanwarden Discovery");
  pc.portOfWindow[companion] = 9999;
  pc.portsHeldElsewhere.insert(9999);
  pc.answers.push_back(Answer::No);
  gui::HeadlessUi ui(pc);
  pc.window(pc.applicationWindow())->title = "";  // this copy's window, not yet titled
  ui.setApplicationWindow(pc.applicationWindow());
  ui.expectEnd();  // a message loop would find no step and fail
  EXPECT_EQ(app::runApplication(pc, ui), 0);
  ASSERT_EQ(pc.boxes.size(), 2u);
  EXPECT_EQ(pc.boxes[1].text,
            "We cannot run the Varn Lanwarden Discovery and\nPrinter Setup Wizard "
            "simultaneously\nPlease run the printer wizard later.");
  EXPECT_EQ(pc.boxes[1].caption, "Information");
  EXPECT_EQ(pc.boxes[1].buttons, platform::Buttons::Ok);
  EXPECT_EQ(pc.boxes[1].icon, platform::Icon::Question);
  EXPECT_EQ(app::createdPages().size(), 1u) << "nothing else runs";
  EXPECT_TRUE(pc.sentMessages.empty());
  EXPECT_FALSE(pc.socketOpen(discovery::discoverySocket));
  EXPECT_EQ(pc.wsaCleanups(), 1);
  EXPECT_FALSE(discovery::receiverRunning());
  app::destroyPages();
}

TEST_F(Setup, ReceiverEndsOnTheFirstDatagramAfterTheStopFlag) {
  ASSERT_EQ(setUp(), discovery::Setup::Ready);
  discovery::bStopReceiver = 1;
  pc.deliver(testnet::ip("10.77.0.3"), testnet::reply(0, "Late"));
  EXPECT_TRUE(eventually([] { return !discovery::receiverRunning(); }));
  EXPECT_EQ(discovery::taloCount(), 0);
}

// An unattended run leaves the port's holder alone: nothing is asked or
// closed, the socket is closed, and the holder is named when it can be.
TEST_F(Setup, LeftAloneAHeldPortIsReportedWithItsCodeAndItsHolderKept) {
  pc.portsHeldElsewhere.insert(9999);
  platform::BoxPrompter prompter(pc, welcome);
  EXPECT_EQ(discovery::setUpNetwork(pc, pc, prompter, discovery::PortHolder::LeaveAlone),
            discovery::Setup::PortHeld);
  platform::WindowId companion = pc.addWindow("TLanwarden", "Varn Lanwarden Discovery");
  pc.portOfWindow[companion] = 9999;
  EXPECT_EQ(discovery::setUpNetwork(pc, pc, prompter, discovery::PortHolder::LeaveAlone),
            discovery::Setup::PortHeld);
  EXPECT_EQ(texts(), (std::vector<std::string>{
                         "The discovery port 9999 is held by another program (the Varn Lanwarden "
                         "Discovery utility of another session, perhaps).\nCode 10048",
                         "The discovery port 9999 is held by the Varn Lanwarden Discovery utility, "
                         "which is left open.\nCode 10048"}));
  EXPECT_TRUE(pc.sentMessages.empty());
  EXPECT_NE(pc.window(companion), nullptr);
  EXPECT_FALSE(pc.socketOpen(discovery::discoverySocket));
  EXPECT_EQ(pc.wsaCleanups(), 2);
  EXPECT_FALSE(discovery::receiverRunning());
}

// After an unattended search nothing waits on the socket any more: the
// thread has left and the socket is closed.
TEST_F(Setup, StoppingTheReceiverClosesTheSocketAndWaitsForTheThread) {
  ASSERT_EQ(setUp(), discovery::Setup::Ready);
  ASSERT_TRUE(discovery::receiverRunning());
  EXPECT_TRUE(discovery::stopReceiver(pc, 2000));
  EXPECT_FALSE(discovery::receiverRunning());
  EXPECT_FALSE(pc.socketOpen(discovery::discoverySocket));
}

TEST_F(Setup, ReceiverPausesAfterRepeatedWaitFailures) {
  pc.failCall(NetworkCall::Select, 10038);  // from the thread's first wait on
  ASSERT_EQ(setUp(), discovery::Setup::Ready);
  // Ten failures in a row pause 10+20+...+1000 ms of (virtual) sleep.
  ASSERT_TRUE(eventually([&] { return pc.slept.load() >= 3000; }));
  discovery::bStopReceiver = 1;
  EXPECT_TRUE(eventually([] { return !discovery::receiverRunning(); }));
  pc.clearFaults();
}

}  // namespace
