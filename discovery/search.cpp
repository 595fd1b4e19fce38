#include "discovery/search.h"

#include "discovery/adapters.h"
#include "discovery/device_table.h"
#include "discovery/receiver.h"

namespace discovery {

namespace {
Server serverOf(const TALO_INFO& e) { return {e.modelName, e.taloIP, e.printerName}; }
}  // namespace

void startSearch(platform::Network& net, platform::Windows& clock, platform::Prompter& prompter) {
  clearTaloInfo();
  broadcastGetInfo(net, clock);
  bcastMsg(net, clock, prompter);
}

bool chooseServer(Server& chosen) {
  int used = 0;
  for (; used < MAX_NO_OF_TALO && taloInfo[used].inUse(); ++used) {
    if (taloInfo[used].printerName[0] != '\0') {
      chosen = serverOf(taloInfo[used]);
      return true;
    }
  }
  if (used == 0) return false;
  // Nobody names a printer: the first that answered (a full table too).
  chosen = serverOf(taloInfo[0]);
  return true;
}

std::vector<Server> foundServers() {
  std::vector<Server> servers;
  for (int i = 0; i < MAX_NO_OF_TALO && taloInfo[i].inUse(); ++i)
    servers.push_back(serverOf(taloInfo[i]));
  return servers;
}

}  // namespace discovery
