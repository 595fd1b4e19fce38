// libFuzzer target: datagrams of any shape, from any address, through the
// receiver's acceptance path into the device table.  The table must keep
// its invariants whatever arrives.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "discovery/device_table.h"
#include "discovery/protocol.h"
#include "discovery/receiver.h"
#include "platform/fake/fake_pc.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

bool terminated(const char* field, std::size_t size) { return std::memchr(field, 0, size) != nullptr; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static platform::FakePc* pc = [] {
    auto* p = new platform::FakePc;
    p->waitScale = 0.0;  // flushes do not wait
    p->addAdapter({{"10.77.0.1", "255.255.255.0"}});
    platform::Socket s = platform::kInvalidSocket;
    p->socket(s);
    p->bind(s, 0, 9999);
    discovery::discoverySocket = s;
    return p;
  }();
  discovery::clearTaloInfo();
  // Input: repeated [source byte][length byte pair][bytes...].
  std::size_t at = 0;
  int datagrams = 0;
  while (at + 3 <= size && datagrams < 64) {
    platform::Ipv4 from = 0x0A4D0000u | static_cast<platform::Ipv4>(data[at]) << 24 | 0x0A;
    std::size_t length = static_cast<std::size_t>(data[at + 1] | data[at + 2] << 8) % 700;
    at += 3;
    length = std::min(length, size - at);
    pc->deliver(from, std::vector<std::uint8_t>(data + at, data + at + length));
    at += length;
    ++datagrams;
  }
  for (int i = 0; i < datagrams + 1; ++i) {
    int r = discovery::processReq(*pc, discovery::discoverySocket);
    check(r == 0 || r == 1 || r == -1);
  }
  int n = discovery::taloCount();
  check(n <= discovery::MAX_NO_OF_TALO);
  for (int i = 0; i < discovery::MAX_NO_OF_TALO; ++i) {
    const auto& e = discovery::taloInfo[i];
    check(e.inUse() == (i < n));
    if (i >= n) continue;
    check(terminated(e.taloIP, sizeof e.taloIP));
    check(terminated(e.printerName, sizeof e.printerName));
    check(terminated(e.modelName, sizeof e.modelName));
    std::string model = e.modelName;
    check(model == "KX220" || model == "KX230" || model == "No Info");
    for (int j = 0; j < i; ++j) check(std::strcmp(e.taloIP, discovery::taloInfo[j].taloIP) != 0);
  }
  return 0;
}
