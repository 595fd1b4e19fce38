#include "discovery/adapters.h"

#include "discovery/receiver.h"

namespace discovery {

std::vector<Subnet> readSubnets(platform::Platform& os) {
  std::vector<Subnet> subnets;
  std::uint32_t size = 0;
  platform::Error result = os.adaptersInfoSize(size);
  if (result != 0 && result != platform::kErrorBufferOverflow) {
    os.showMessage("GetAdaptersInfo sizing failed with error " + std::to_string(result) + "\n");
    return subnets;
  }
  if (size > kMaxAdapterBuffer) {
    os.showMessage("Memory allocation error\n");
    return subnets;
  }
  std::vector<platform::Adapter> adapters;
  result = os.adaptersInfo(size, adapters);
  if (result != 0) {
    os.showMessage("GetAdaptersInfo failed with error " + std::to_string(result) + "\n");
    return subnets;
  }
  for (const platform::Adapter& adapter : adapters) {
    for (const platform::AdapterAddress& a : adapter.addresses) {
      platform::Ipv4 ip = platform::kInaddrNone, mask = platform::kInaddrNone;
      os.inetAddr(a.ipAddress, ip);
      os.inetAddr(a.ipMask, mask);
      if (ip == 0 || ip == platform::kInaddrNone || mask == 0 || mask == platform::kInaddrNone)
        continue;
      subnets.push_back({ip, mask});
    }
  }
  return subnets;
}

int bcastMsg(platform::Platform& os) {
  for (const Subnet& s : readSubnets(os)) sendBurst(os, ~s.mask | s.address);
  return 0;
}

int sameSubnet(platform::Platform& os, const std::string& serverAddress) {
  platform::Ipv4 server = platform::kInaddrNone;
  os.inetAddr(serverAddress, server);
  if (server == platform::kInaddrNone) {
    os.showMessage("inet_addr() error!");
    return 0;
  }
  for (const Subnet& s : readSubnets(os))
    if ((s.address & s.mask) == (server & s.mask)) return 1;
  return 0;
}

}  // namespace discovery
