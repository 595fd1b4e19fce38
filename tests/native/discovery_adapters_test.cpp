// Directed broadcasts per adapter address and the subnet test.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include "discovery/adapters.h"
#include "discovery/receiver.h"
#include "platform/fake/fake_pc.h"

namespace {

class Adapters : public ::testing::Test {
 protected:
  void SetUp() override {
    pc.setApplication(pc.addWindow("TApplication", "Varn PRN WIZARD"), "Varn PRN WIZARD");
    pc.socket(discovery::discoverySocket);
    pc.setSockOpt(discovery::discoverySocket, platform::SockOpt::Broadcast, 1);
  }
  std::vector<std::string> messages() const {
    std::vector<std::string> texts;
    for (const auto& b : pc.boxes) {
      EXPECT_EQ(b.caption, "Varn PRN WIZARD");
      EXPECT_EQ(b.icon, platform::Icon::None);
      texts.push_back(b.text);
    }
    return texts;
  }
  std::map<std::string, int> sentTo() const {
    std::map<std::string, int> count;
    for (const auto& d : pc.sent()) {
      in_addr a{};
      a.s_addr = d.to;
      count[::inet_ntoa(a)]++;
    }
    return count;
  }
  int same(const std::string& server) { return discovery::sameSubnet(pc, pc.prompter(), server); }

  platform::FakePc pc;
};

TEST_F(Adapters, OnlyThePcsOwnSubnetsCount) {
  pc.addAdapter({{"10.0.0.5", "255.0.0.0"}});
  EXPECT_EQ(same("10.20.30.40"), 1);
  EXPECT_EQ(same("192.168.1.7"), 0);
  EXPECT_EQ(same("11.0.0.5"), 0);
  EXPECT_TRUE(messages().empty());
}

TEST_F(Adapters, TwoAdaptersGetABurstEachAndBothSubnetsCount) {
  pc.addAdapter({{"192.168.1.5", "255.255.255.0"}});
  pc.addAdapter({{"192.168.2.5", "255.255.255.0"}});
  EXPECT_EQ(discovery::bcastMsg(pc, pc, pc.prompter()), 0);
  EXPECT_EQ(sentTo(), (std::map<std::string, int>{{"192.168.1.255", 5}, {"192.168.2.255", 5}}));
  EXPECT_EQ(same("192.168.2.200"), 1);
  EXPECT_EQ(same("192.168.1.1"), 1);
  EXPECT_EQ(same("192.168.3.1"), 0);
}

TEST_F(Adapters, EveryAddressOfAnAdapterGetsItsBurst) {
  pc.addAdapter({{"10.1.0.9", "255.255.0.0"}, {"172.16.4.9", "255.255.252.0"}});
  discovery::bcastMsg(pc, pc, pc.prompter());
  EXPECT_EQ(sentTo(), (std::map<std::string, int>{{"10.1.255.255", 5}, {"172.16.7.255", 5}}));
  EXPECT_EQ(same("172.16.5.1"), 1);
}

TEST_F(Adapters, UnusableAddressesAreSkippedSilently) {
  pc.addAdapter({{"0.0.0.0", "0.0.0.0"},            // waiting for an address
                 {"10.9.9.9", "255.255.255.255"},   // host mask
                 {"10.8.8.8", "0.0.0.0"},
                 {"not an address", "255.255.255.0"},
                 {"192.168.7.2", "255.255.255.0"}});
  discovery::bcastMsg(pc, pc, pc.prompter());
  EXPECT_EQ(sentTo(), (std::map<std::string, int>{{"192.168.7.255", 5}}));
  EXPECT_EQ(same("10.9.9.9"), 0);
  EXPECT_EQ(same("10.8.8.8"), 0);
  EXPECT_EQ(same("192.168.7.99"), 1);
  EXPECT_TRUE(messages().empty());
}

TEST_F(Adapters, AnAddressThatIsNoDottedIpv4IsReported) {
  pc.addAdapter({{"10.0.0.5", "255.0.0.0"}});
  EXPECT_EQ(same("255.255.255.255"), 0);
  EXPECT_EQ(same("abc"), 0);
  EXPECT_EQ(same(""), 0);
  EXPECT_EQ(messages(), (std::vector<std::string>{"inet_addr() error!", "inet_addr() error!",
                                                  "inet_addr() error!"}));
  EXPECT_TRUE(pc.sent().empty());
}

TEST_F(Adapters, NoAdapterAtAllShowsTheSizingError) {
  EXPECT_EQ(same("10.0.0.1"), 0);
  discovery::bcastMsg(pc, pc, pc.prompter());
  EXPECT_EQ(messages(), (std::vector<std::string>{"GetAdaptersInfo sizing failed with error 232\n",
                                                  "GetAdaptersInfo sizing failed with error 232\n"}));
  EXPECT_TRUE(pc.sent().empty());
}

TEST_F(Adapters, FailuresOfEitherCallAreShownAndCountAsNoAdapter) {
  pc.addAdapter({{"10.0.0.5", "255.0.0.0"}});
  pc.failCall(platform::NetworkCall::GetAdaptersInfoSizing, 87, 1);
  EXPECT_EQ(same("10.0.0.9"), 0);
  pc.failCall(platform::NetworkCall::GetAdaptersInfo, 1168, 1);
  EXPECT_EQ(same("10.0.0.9"), 0);
  pc.failCall(platform::NetworkCall::GetAdaptersInfo, 8, 1);
  discovery::bcastMsg(pc, pc, pc.prompter());
  EXPECT_TRUE(pc.sent().empty());
  EXPECT_EQ(same("10.0.0.9"), 1);  // the faults are spent
  EXPECT_EQ(messages(), (std::vector<std::string>{"GetAdaptersInfo sizing failed with error 87\n",
                                                  "GetAdaptersInfo failed with error 1168\n",
                                                  "GetAdaptersInfo failed with error 8\n"}));
}

// A backend whose sizing call reports an absurd size.
class HugeAdapterList : public platform::FakePc {
  std::uint32_t doAdaptersInfoSize(std::uint32_t& size) override {
    size = 0xFFFFFF00u;
    return platform::kErrorBufferOverflow;
  }
};

TEST(AdaptersMemory, AnAllocationThatCannotBeMadeIsReported) {
  HugeAdapterList pc;
  pc.setApplication(1, "Varn PRN WIZARD");
  EXPECT_EQ(discovery::sameSubnet(pc, pc.prompter(), "10.0.0.1"), 0);
  ASSERT_EQ(pc.boxes.size(), 1u);
  EXPECT_EQ(pc.boxes[0].text, "Memory allocation error\n");
}

}  // namespace
