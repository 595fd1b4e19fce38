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
  PortHeld,     // another program holds the port, and it was left alone
};

// What to do when another program holds the discovery port: the wizard
// offers to close the companion utility (a person decides); an unattended
// run never closes a user's program.
enum class PortHolder { OfferToClose, LeaveAlone };

// The questions about the companion utility belong to the page (Owner::Page);
// the errors to the application.  `windows` finds and closes the utility.
// With LeaveAlone a failed bind closes the socket, says which program
// holds the port when it can tell, with the bind's code, and is PortHeld.
Setup setUpNetwork(platform::Network& net, platform::Windows& windows,
                   platform::Prompter& prompter,
                   PortHolder holder = PortHolder::OfferToClose);

// The receive buffer the system granted the socket, in bytes.
extern int receiveBufferGranted;

inline constexpr char kCompanionTitle[] = "Varn Lanwarden Discovery";

}  // namespace discovery
