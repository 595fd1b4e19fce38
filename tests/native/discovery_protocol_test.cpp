// The discovery datagrams and how one received datagram is handled.
#include "discovery/receiver.h"
#include "tests/native/discovery_fixture.h"

namespace {

using testnet::DiscoveryTest;
using testnet::reply;

TEST(Protocol, RequestIsTheFixed512ByteGetInfoCommand) {
  auto request = discovery::getInfoRequest();
  ASSERT_EQ(request.size(), 512u);
  const std::uint8_t head[] = {0x0C, 0x15, 0x1F, 0x00, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(request.data(), head, 8), 0);
  for (std::size_t i = 8; i < request.size(); ++i) ASSERT_EQ(request[i], 0) << i;
}

TEST(Protocol, HeaderIsLittleEndianByteByByte) {
  const std::uint8_t bytes[] = {0x0C, 0x16, 0x1F, 0x00, 0x78, 0x56, 0x34, 0x12};
  discovery::NET_PACKET_HDR h = discovery::readHeader(bytes);
  EXPECT_EQ(h.ServiceId, 0x0C);
  EXPECT_EQ(h.PacketType, 0x16);
  EXPECT_EQ(h.OpCode, 0x001F);
  EXPECT_EQ(h.ProductId, 0x12345678u);
  std::uint8_t out[8] = {};
  discovery::writeHeader(h, out);
  EXPECT_EQ(std::memcmp(out, bytes, 8), 0);
}

TEST(Protocol, OnlyTheTwoModelCodesNameAModel) {
  EXPECT_STREQ(discovery::modelText(0x00010000), "KX220");
  EXPECT_STREQ(discovery::modelText(0x00020000), "KX230");
  EXPECT_STREQ(discovery::modelText(0x00000100), "No Info");  // bytes 00 01 00 00
  EXPECT_STREQ(discovery::modelText(0), "No Info");
  EXPECT_STREQ(discovery::modelText(0x00030000), "No Info");
}

TEST_F(DiscoveryTest, FourByteReplyIsAServerWithoutModelOrPrinter) {
  deliver("10.77.0.9", {0x0C, 0x16, 0x1F, 0x00});
  EXPECT_EQ(process(), 0);
  ASSERT_EQ(discovery::taloCount(), 1);
  EXPECT_EQ(entryIp(0), "10.77.0.9");
  EXPECT_EQ(entryModel(0), "No Info");
  EXPECT_EQ(entryPrinter(0), "");
}

TEST_F(DiscoveryTest, ModelCodeBytesOnTheWire) {
  std::vector<std::uint8_t> d = {0x0C, 0x16, 0x1F, 0x00, 0x00, 0x01, 0x00, 0x00, 'P', 0};
  deliver("10.77.0.3", d);
  d[5] = 0x00;
  d[6] = 0x01;
  deliver("10.77.0.4", d);
  d[6] = 0x02;
  deliver("10.77.0.5", d);
  for (int i = 0; i < 3; ++i) process();
  ASSERT_EQ(discovery::taloCount(), 3);
  EXPECT_EQ(entryModel(0), "No Info");
  EXPECT_EQ(entryModel(1), "KX220");
  EXPECT_EQ(entryModel(2), "KX230");
}

TEST_F(DiscoveryTest, OwnRequestIsDroppedWithoutAFlush) {
  discovery::sendBurst(pc, pc, platform::kInaddrNone);  // five come back to us
  deliver("10.77.0.3", reply(0x00010000, "HP LaserJet 1100"));
  EXPECT_EQ(pc.queued(9999), 6u);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(process(), 0);
  EXPECT_EQ(discovery::taloCount(), 0);
  EXPECT_EQ(pc.queued(9999), 1u) << "the reply behind our requests was flushed";
  EXPECT_EQ(process(), 0);
  EXPECT_EQ(discovery::taloCount(), 1);
}

TEST_F(DiscoveryTest, ForeignDatagramFlushesWhatIsQueuedBehindIt) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"op code 20 00", {0x0C, 0x16, 0x20, 0x00, 0, 0, 0, 0}},
      {"packet type 0x17", {0x0C, 0x17, 0x1F, 0x00, 0, 0, 0, 0}},
      {"service 0x0D", {0x0D, 0x16, 0x1F, 0x00, 0, 0, 0, 0}},
      {"empty datagram", {}},
  };
  for (const Case& c : cases) {
    discovery::clearTaloInfo();
    deliver("10.77.0.7", c.bytes);
    deliver("10.77.0.3", reply(0x00010000, "P1"));
    deliver("10.77.0.4", reply(0x00010000, "P2"));
    EXPECT_EQ(process(), -1) << c.what;
    EXPECT_EQ(pc.queued(9999), 0u) << c.what;
    EXPECT_EQ(discovery::taloCount(), 0) << c.what;
    // Later replies are stored again.
    deliver("10.77.0.5", reply(0x00020000, "P3"));
    EXPECT_EQ(process(), 0) << c.what;
    EXPECT_EQ(discovery::taloCount(), 1) << c.what;
  }
}

TEST_F(DiscoveryTest, TenRepliesFromOneServerKeepTheFirstName) {
  deliver("10.77.0.3", reply(0x00010000, "First Printer"));
  for (int i = 0; i < 9; ++i) deliver("10.77.0.3", reply(0x00020000, "Other " + std::to_string(i)));
  for (int i = 0; i < 10; ++i) EXPECT_EQ(process(), 0);
  ASSERT_EQ(discovery::taloCount(), 1);
  EXPECT_EQ(entryPrinter(0), "First Printer");
  EXPECT_EQ(entryModel(0), "KX220");
}

TEST_F(DiscoveryTest, PrinterNameIsCutTo255AndEndsAtNulOrDatagram) {
  deliver("10.77.0.3", reply(0, std::string(300, 'x')));
  deliver("10.77.0.4", reply(0, "abc\0def", false));
  std::vector<std::uint8_t> unterminated = reply(0, "Name", false);  // ends at the datagram
  deliver("10.77.0.5", unterminated);
  std::vector<std::uint8_t> full = reply(0, std::string(504, 'y'), false);  // 512, no NUL
  deliver("10.77.0.6", full);
  deliver("10.77.0.7", reply(0, "Caf\xE9 Drucker \xFC"));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(process(), 0);
  ASSERT_EQ(discovery::taloCount(), 5);
  EXPECT_EQ(entryPrinter(0), std::string(255, 'x'));
  EXPECT_EQ(entryPrinter(1), "abc");
  EXPECT_EQ(entryPrinter(2), "Name");
  EXPECT_EQ(entryPrinter(3), std::string(255, 'y'));
  EXPECT_EQ(entryPrinter(4), "Caf\xE9 Drucker \xFC");
}

TEST_F(DiscoveryTest, OversizeDatagramIsDroppedWhole) {
  std::vector<std::uint8_t> big = reply(0x00010000, std::string(600, 'z'));
  ASSERT_GT(big.size(), 512u);
  deliver("10.77.0.3", big);
  deliver("10.77.0.4", reply(0x00010000, "Fits"));
  EXPECT_EQ(process(), 1);
  EXPECT_EQ(discovery::taloCount(), 0);
  EXPECT_EQ(process(), 0);
  ASSERT_EQ(discovery::taloCount(), 1);
  EXPECT_EQ(entryIp(0), "10.77.0.4");
}

TEST_F(DiscoveryTest, SamePrinterAtTwoAddressesIsTwoServers) {
  deliver("10.77.0.3", reply(0x00010000, "Epson LQ"));
  deliver("10.77.0.30", reply(0x00010000, "Epson LQ"));
  process();
  process();
  ASSERT_EQ(discovery::taloCount(), 2);
  EXPECT_EQ(entryIp(0), "10.77.0.3");
  EXPECT_EQ(entryIp(1), "10.77.0.30");
}

TEST_F(DiscoveryTest, The256thServerIsNotStored) {
  for (int i = 0; i < 256; ++i) {
    deliver("10.77." + std::to_string(1 + i / 200) + "." + std::to_string(1 + i % 200),
            reply(0, "P" + std::to_string(i)));
    EXPECT_EQ(process(), 0);
  }
  EXPECT_EQ(discovery::taloCount(), 255);
  EXPECT_EQ(entryPrinter(254), "P254");
  for (int i = 0; i < 255; ++i) ASSERT_EQ(entryPrinter(i), "P" + std::to_string(i));
}

TEST_F(DiscoveryTest, NothingArrivingWithinTheSecondIsATimeOut) {
  EXPECT_EQ(process(), 1);
  EXPECT_EQ(discovery::taloCount(), 0);
}

TEST_F(DiscoveryTest, ClearEmptiesEveryByte) {
  deliver("10.77.0.3", reply(0x00010000, "P1"));
  process();
  discovery::clearTaloInfo();
  EXPECT_EQ(discovery::taloCount(), 0);
  const auto& e = discovery::taloInfo[0];
  for (char c : e.taloIP) ASSERT_EQ(c, 0);
  for (char c : e.printerName) ASSERT_EQ(c, 0);
  for (char c : e.modelName) ASSERT_EQ(c, 0);
  deliver("10.77.0.9", reply(0, ""));
  process();
  EXPECT_EQ(entryIp(0), "10.77.0.9");  // refilled from entry 0
}

TEST_F(DiscoveryTest, StopFlagMakesProcessReqReceiveNothing) {
  deliver("10.77.0.3", reply(0, "P"));
  discovery::bStopReceiver = 1;
  EXPECT_EQ(process(), 0);
  EXPECT_EQ(discovery::taloCount(), 0);
  EXPECT_EQ(pc.queued(9999), 1u);
}

TEST_F(DiscoveryTest, StopFlagEndsAFlush) {
  // Datagrams that keep coming after the main window closed do not hold
  // the receiver in the flush.
  for (int i = 0; i < 5; ++i) deliver("10.77.0.3", reply(0, "P"));
  discovery::bStopReceiver = 1;
  EXPECT_EQ(discovery::flushSocket(pc, s), 0);
  EXPECT_EQ(pc.queued(9999), 5u);
}

TEST_F(DiscoveryTest, BurstIsFiveRequestsTenMillisecondsApart) {
  auto before = pc.slept.load();
  discovery::broadcastGetInfo(pc, pc);
  auto sent = pc.sent();
  ASSERT_EQ(sent.size(), 5u);
  auto request = discovery::getInfoRequest();
  for (const auto& d : sent) {
    EXPECT_EQ(d.to, platform::kInaddrNone);
    EXPECT_EQ(d.port, 9999);
    EXPECT_EQ(d.bytes, std::vector<std::uint8_t>(request.begin(), request.end()));
  }
  EXPECT_EQ(pc.slept.load() - before, 50u);
}

}  // namespace
