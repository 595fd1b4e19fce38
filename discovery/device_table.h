// The table of servers found: filled by the receiver thread, read by the
// pages' timers.  An entry's texts are written before its in-use flag, which
// is published with release and read with acquire, so a reader that scans
// from entry 0 to the first free entry never sees a half-written entry.
// Writers (an insert, a clear) exclude each other; readers take no lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace discovery {

inline constexpr int MAX_NO_OF_TALO = 255;

struct TALO_INFO {
  char taloIP[32];
  char printerName[256];
  char modelName[32];
  std::atomic<std::int32_t> bFlag;  // 1: in use

  bool inUse() const { return bFlag.load(std::memory_order_acquire) == 1; }
};

extern TALO_INFO taloInfo[MAX_NO_OF_TALO];

// Empties the whole table: every byte of every entry becomes 0.
void clearTaloInfo();

enum class Insert { Added, Duplicate, Full };
// Enters a server under its address text unless the address is there already.
Insert insertTalo(const std::string& ip, const std::string& model, const std::string& printer);

// The number of leading entries in use.
int taloCount();

}  // namespace discovery
