// A PC with one adapter and the discovery socket, for the discovery tests.
#pragma once

#include <arpa/inet.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/state/wizard_state.h"
#include "discovery/device_table.h"
#include "discovery/protocol.h"
#include "discovery/receiver.h"
#include "platform/fake/fake_pc.h"

namespace testnet {

inline platform::Ipv4 ip(const std::string& text) { return ::inet_addr(text.c_str()); }
inline std::string dotted(platform::Ipv4 address) {
  in_addr a{};
  a.s_addr = address;
  return ::inet_ntoa(a);
}

// A GETINFO reply: the header, then the printer name (no NUL added unless
// `terminate`), optionally padded to `length` bytes.
inline std::vector<std::uint8_t> reply(std::uint32_t productId, const std::string& printer,
                                       bool terminate = true) {
  std::vector<std::uint8_t> d(discovery::kHeaderSize);
  discovery::writeHeader({0x0C, 0x16, 0x001F, productId}, d.data());
  d.insert(d.end(), printer.begin(), printer.end());
  if (terminate) d.push_back(0);
  return d;
}

// A PC on 10.77.0.0/24 with the application window, no receiver running
// and an empty device table.
class DiscoveryPc : public ::testing::Test {
 protected:
  void SetUp() override {
    discovery::resetReceiver();
    resetWizardState();
    discovery::clearTaloInfo();
    pc.setApplication(pc.addWindow("TApplication", "Varn PRN WIZARD"), "Varn PRN WIZARD");
    pc.addAdapter({{"10.77.0.1", "255.255.255.0"}});
  }

  platform::FakePc pc;
};

// The same with the discovery socket bound and no receiver: the test
// hands each datagram to processReq itself.
class DiscoveryTest : public DiscoveryPc {
 protected:
  void SetUp() override {
    DiscoveryPc::SetUp();
    ASSERT_EQ(pc.socket(s), platform::kOk);
    pc.setSockOpt(s, platform::SockOpt::Broadcast, 1);
    ASSERT_EQ(pc.bind(s, 0, 9999), platform::kOk);
    discovery::discoverySocket = s;
  }
  void TearDown() override { discovery::clearTaloInfo(); }

  void deliver(const std::string& from, std::vector<std::uint8_t> bytes) {
    pc.deliver(ip(from), std::move(bytes));
  }
  int process() { return discovery::processReq(pc, s); }
  std::string entryIp(int i) const { return discovery::taloInfo[i].taloIP; }
  std::string entryPrinter(int i) const { return discovery::taloInfo[i].printerName; }
  std::string entryModel(int i) const { return discovery::taloInfo[i].modelName; }

  platform::Socket s = platform::kInvalidSocket;
};

}  // namespace testnet
