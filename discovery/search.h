// The search the detection page and the browse list run: requests out, and
// the servers in the device table as values the pages show.
#pragma once

#include <string>
#include <vector>

#include "platform/network.h"
#include "platform/prompter.h"
#include "platform/windows.h"

namespace discovery {

struct Server {
  std::string model;
  std::string ip;
  std::string printer;
};

// Empties the device table and sends one burst to 255.255.255.255 and one
// to every adapter's directed broadcast address.
void startSearch(platform::Network& net, platform::Windows& clock, platform::Prompter& prompter);

// The server the detection page shows: the first that names a printer,
// else the first that answered.  False when none has answered.
bool chooseServer(Server& chosen);

// Every server in the table, in the order they answered.
std::vector<Server> foundServers();

}  // namespace discovery
