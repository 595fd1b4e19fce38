#include "discovery/adapters.h"

#include "discovery/receiver.h"

namespace discovery {

std::vector<Subnet> readSubnets(platform::Network& net, platform::Prompter& prompter) {
  std::vector<Subnet> subnets;
  std::uint32_t size = 0;
  platform::Error result = net.adaptersInfoSize(size);
  if (result != 0 && result != platform::kErrorBufferOverflow) {
    prompter.showMessage("GetAdaptersInfo sizing failed with error " + std::to_string(result) +
                         "\n");
    return subnets;
  }
  if (size > kMaxAdapterBuffer) {
    prompter.showMessage("Memory allocation error\n");
    return subnets;
  }
  std::vector<platform::Adapter> adapters;
  result = net.adaptersInfo(size, adapters);
  if (result != 0) {
    prompter.showMessage("GetAdaptersInfo failed with error " + std::to_string(result) + "\n");
    return subnets;
  }
  for (const platform::Adapter& adapter : adapters) {
    for (const platform::AdapterAddress& a : adapter.addresses) {
      platform::Ipv4 ip = platform::kInaddrNone, mask = platform::kInaddrNone;
      net.inetAddr(a.ipAddress, ip);
      net.inetAddr(a.ipMask, mask);
      if (ip == 0 || ip == platform::kInaddrNone || mask == 0 || mask == platform::kInaddrNone)
        continue;
      subnets.push_back({ip, mask});
    }
  }
  return subnets;
}

int bcastMsg(platform::Network& net, platform::Windows& clock, platform::Prompter& prompter) {
  for (const Subnet& s : readSubnets(net, prompter)) sendBurst(net, clock, ~s.mask | s.address);
  return 0;
}

int sameSubnet(platform::Network& net, platform::Prompter& prompter,
               const std::string& serverAddress) {
  platform::Ipv4 server = platform::kInaddrNone;
  net.inetAddr(serverAddress, server);
  if (server == platform::kInaddrNone) {
    prompter.showMessage("inet_addr() error!");
    return 0;
  }
  for (const Subnet& s : readSubnets(net, prompter))
    if ((s.address & s.mask) == (server & s.mask)) return 1;
  return 0;
}

}  // namespace discovery
