// The device table with a clear and inserts racing, and a reader scanning
// without a lock (run under ThreadSanitizer too).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "discovery/device_table.h"

namespace {

TEST(TableRace, ClearAndInsertExcludeEachOtherAndReadersSeeWholeEntries) {
  discovery::clearTaloInfo();
  std::atomic<bool> done{false};
  std::atomic<int> torn{0};
  std::thread receiver([&] {
    for (int round = 0; round < 40; ++round)
      for (int i = 0; i < 300; ++i) {
        std::string ip = "10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250);
        discovery::insertTalo(ip, "KX220", "printer of " + ip);
      }
    done = true;
  });
  // The UI thread clears and reads while the receiver inserts.
  int clears = 0;
  while (!done) {
    int n = 0;
    for (; n < discovery::MAX_NO_OF_TALO && discovery::taloInfo[n].inUse(); ++n) {
      const auto& e = discovery::taloInfo[n];
      if (std::string(e.printerName) != "printer of " + std::string(e.taloIP)) ++torn;
    }
    if (++clears % 3 == 0) discovery::clearTaloInfo();
  }
  receiver.join();
  EXPECT_EQ(torn.load(), 0);
  EXPECT_GT(clears, 0);
  // Unique addresses, no gaps.
  int count = discovery::taloCount();
  for (int i = 0; i < count; ++i)
    for (int j = 0; j < i; ++j)
      ASSERT_STRNE(discovery::taloInfo[i].taloIP, discovery::taloInfo[j].taloIP);
  for (int i = count; i < discovery::MAX_NO_OF_TALO; ++i) ASSERT_FALSE(discovery::taloInfo[i].inUse());
}

}  // namespace
