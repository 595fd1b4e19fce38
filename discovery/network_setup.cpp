#include "discovery/network_setup.h"

#include "discovery/device_table.h"
#include "discovery/protocol.h"
#include "discovery/receiver.h"

namespace discovery {

int receiveBufferGranted = 0;

namespace {

void error(platform::Platform& os, const char* text) {
  os.ask(os.applicationWindow(), text, "Error", platform::Buttons::Ok, platform::Icon::None);
}

void closeDown(platform::Platform& os) {
  os.closeSocket(discoverySocket);
  os.wsaCleanup();
}

}  // namespace

Setup setUpNetwork(platform::Platform& os, platform::WindowId owner) {
  if (os.wsaStartup(0x0202) != platform::kOk) {
    error(os, "WSAStartup failed!!\n");
    return Setup::NoDiscovery;
  }
  if (os.socket(discoverySocket) != platform::kOk) {
    error(os, "INVALID_SOCKET!!\n");
    return Setup::NoDiscovery;
  }
  if (os.setSockOpt(discoverySocket, platform::SockOpt::Broadcast, 1) != platform::kOk) {
    error(os, "setsockopt error!!\n");
    return Setup::NoDiscovery;
  }
  // Room for the replies of many servers at once (a burst of ten requests
  // to 255 servers is 2,550 replies within milliseconds).
  os.setSockOpt(discoverySocket, platform::SockOpt::ReceiveBuffer, kReceiveBufferBytes);
  receiveBufferGranted = 0;
  os.getSockOpt(discoverySocket, platform::SockOpt::ReceiveBuffer, receiveBufferGranted);

  if (os.bind(discoverySocket, platform::kInaddrAny, DISCOVERY_PORT) != platform::kOk) {
    platform::WindowId companion = 0;
    os.findWindow("", kCompanionTitle, companion);
    if (!companion) {
      error(os, "Bind failed!!\n");
      closeDown(os);
      return Setup::NoDiscovery;
    }
    platform::Answer answer = os.ask(
        owner,
        "Please close the Varn Lanwarden Discovery utility\nbefore running the Printer Setup "
        "Wizard utility.\n Do you want to close the Varn Lanwarden Discovery utility now?",
        "Information", platform::Buttons::YesNo, platform::Icon::Question);
    if (answer != platform::Answer::Yes) {
      closeDown(os);
      os.ask(owner,
                    "We cannot run the Varn Lanwarden Discovery and\nPrinter Setup Wizard "
                    "simultaneously\nPlease run the printer wizard later.",
                    "Information", platform::Buttons::Ok, platform::Icon::Question);
      return Setup::EndProgram;
    }
    os.sendMessage(companion, platform::kWmClose, 0, 0);
    os.sendMessage(companion, platform::kWmDestroy, 0, 0);
    os.sleep(1000);
    os.bind(discoverySocket, platform::kInaddrAny, DISCOVERY_PORT);
  }
  clearTaloInfo();
  startReceiver(os);
  return Setup::Ready;
}

}  // namespace discovery
