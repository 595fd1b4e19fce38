#include "discovery/network_setup.h"

#include "discovery/device_table.h"
#include "discovery/protocol.h"
#include "discovery/receiver.h"

namespace discovery {

int receiveBufferGranted = 0;

namespace {

void error(platform::Prompter& prompter, const char* text) {
  prompter.inform(text, "Error", platform::Icon::None);
}

void closeDown(platform::Network& net) {
  net.closeSocket(discoverySocket);
  net.wsaCleanup();
}

}  // namespace

Setup setUpNetwork(platform::Network& net, platform::Windows& windows,
                   platform::Prompter& prompter, PortHolder holder) {
  if (net.wsaStartup(0x0202) != platform::kOk) {
    error(prompter, "WSAStartup failed!!\n");
    return Setup::NoDiscovery;
  }
  if (net.socket(discoverySocket) != platform::kOk) {
    error(prompter, "INVALID_SOCKET!!\n");
    return Setup::NoDiscovery;
  }
  if (net.setSockOpt(discoverySocket, platform::SockOpt::Broadcast, 1) != platform::kOk) {
    error(prompter, "setsockopt error!!\n");
    return Setup::NoDiscovery;
  }
  // Room for the replies of many servers at once (a burst of ten requests
  // to 255 servers is 2,550 replies within milliseconds).
  net.setSockOpt(discoverySocket, platform::SockOpt::ReceiveBuffer, kReceiveBufferBytes);
  receiveBufferGranted = 0;
  net.getSockOpt(discoverySocket, platform::SockOpt::ReceiveBuffer, receiveBufferGranted);

  if (platform::Error bound = net.bind(discoverySocket, platform::kInaddrAny, DISCOVERY_PORT)) {
    platform::WindowId companion = 0;
    windows.findWindow("", kCompanionTitle, companion);
    if (holder == PortHolder::LeaveAlone) {
      closeDown(net);
      prompter.showMessage(platform::failureText(
          "The discovery port " + std::to_string(DISCOVERY_PORT) + " is held by " +
              (companion ? std::string("the ") + kCompanionTitle + " utility, which is left open"
                         : std::string("another program (the ") + kCompanionTitle +
                               " utility of another session, perhaps)") +
              ".",
          bound));
      return Setup::PortHeld;
    }
    if (!companion) {
      error(prompter, "Bind failed!!\n");
      closeDown(net);
      return Setup::NoDiscovery;
    }
    if (!prompter.askYes(
            "Please close the Varn Lanwarden Discovery utility\nbefore running the Printer "
            "Setup Wizard utility.\n Do you want to close the Varn Lanwarden Discovery "
            "utility now?",
            "Information", platform::Icon::Question, platform::Owner::Page)) {
      closeDown(net);
      prompter.inform(
          "We cannot run the Varn Lanwarden Discovery and\nPrinter Setup Wizard "
          "simultaneously\nPlease run the printer wizard later.",
          "Information", platform::Icon::Question, platform::Owner::Page);
      return Setup::EndProgram;
    }
    windows.sendMessage(companion, platform::kWmClose, 0, 0);
    windows.sendMessage(companion, platform::kWmDestroy, 0, 0);
    windows.sleep(1000);
    net.bind(discoverySocket, platform::kInaddrAny, DISCOVERY_PORT);
  }
  clearTaloInfo();
  return Setup::Ready;
}

}  // namespace discovery
