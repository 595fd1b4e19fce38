// The discovery socket's set-up when the welcome page is created.
#pragma once

#include "platform/platform.h"

namespace discovery {

enum class Setup {
  Ready,        // bound, table empty, receiver running
  NoDiscovery,  // a step failed; the wizard runs on without discovery
  EndProgram,   // the user would not close the companion utility
};

// `owner` is the welcome page, which owns the companion questions.
Setup setUpNetwork(platform::Platform& os, platform::WindowId owner);

// The receive buffer the system granted the socket, in bytes.
extern int receiveBufferGranted;

inline constexpr char kCompanionTitle[] = "Varn Lanwarden Discovery";

}  // namespace discovery
