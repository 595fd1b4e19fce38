#include "discovery/device_table.h"

#include <cstring>
#include <mutex>

namespace discovery {

TALO_INFO taloInfo[MAX_NO_OF_TALO];

namespace {

std::mutex writers;

void copyCut(char* field, std::size_t size, const std::string& text) {
  std::size_t n = std::min(text.size(), size - 1);
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

}  // namespace

void clearTaloInfo() {
  std::lock_guard<std::mutex> hold(writers);
  for (TALO_INFO& entry : taloInfo) {
    entry.bFlag.store(0, std::memory_order_release);
    std::memset(entry.taloIP, 0, sizeof entry.taloIP);
    std::memset(entry.printerName, 0, sizeof entry.printerName);
    std::memset(entry.modelName, 0, sizeof entry.modelName);
  }
}

Insert insertTalo(const std::string& ip, const std::string& model, const std::string& printer) {
  std::lock_guard<std::mutex> hold(writers);
  for (TALO_INFO& entry : taloInfo) {
    if (!entry.inUse()) {
      copyCut(entry.modelName, sizeof entry.modelName, model);
      copyCut(entry.taloIP, sizeof entry.taloIP, ip);
      copyCut(entry.printerName, sizeof entry.printerName, printer);
      entry.bFlag.store(1, std::memory_order_release);
      return Insert::Added;
    }
    if (ip == entry.taloIP) return Insert::Duplicate;
  }
  return Insert::Full;
}

int taloCount() {
  int n = 0;
  while (n < MAX_NO_OF_TALO && taloInfo[n].inUse()) ++n;
  return n;
}

}  // namespace discovery
