// The PC's IPv4 adapter addresses: directed broadcasts to every subnet the
// PC is on, and the test whether a server lies in one of those subnets.
#pragma once

#include <string>
#include <vector>

#include "platform/network.h"
#include "platform/prompter.h"
#include "platform/windows.h"

namespace discovery {

// A usable adapter address: address and mask both parse, and neither is
// 0 or 255.255.255.255.  Values in network byte order.
struct Subnet {
  platform::Ipv4 address;
  platform::Ipv4 mask;
};

// Reads the adapter list; on failure the user sees why and the list is empty.
std::vector<Subnet> readSubnets(platform::Network& net, platform::Prompter& prompter);

// Five GETINFO requests to the directed broadcast address of every usable
// adapter address; always 0.
int bcastMsg(platform::Network& net, platform::Windows& clock, platform::Prompter& prompter);

// 1 when `serverAddress` lies in the subnet of a usable adapter address,
// else 0 (also when the test could not be made).
int sameSubnet(platform::Network& net, platform::Prompter& prompter,
               const std::string& serverAddress);

// A buffer size past this is taken as an allocation that cannot be made.
inline constexpr std::uint32_t kMaxAdapterBuffer = 4u << 20;

}  // namespace discovery
