// The discovery socket's set-up when the welcome page is created.
#pragma once

#include "platform/network.h"
#include "platform/prompter.h"
#include "platform/windows.h"

namespace discovery {

enum class Setup {
  Ready,        // bound and the table empty: the caller starts the receiver
  NoDiscovery,  // a step failed; the wizard runs on without discovery
  EndProgram,   // the user would not close the companion utility
};

// The questions about the companion utility belong to the page (Owner::Page);
// the errors to the application.  `windows` finds and closes the utility.
Setup setUpNetwork(platform::Network& net, platform::Windows& windows,
                   platform::Prompter& prompter);

// The receive buffer the system granted the socket, in bytes.
extern int receiveBufferGranted;

inline constexpr char kCompanionTitle[] = "Varn Lanwarden Discovery";

}  // namespace discovery
