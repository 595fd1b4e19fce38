// Where this process runs and whom for.  Deployment tools start installers
// as SYSTEM, in session 0, where nobody sees a window, or as an account
// that is not the signed-in user's; a person starts them in their own
// session.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/windows.h"

namespace app {

struct Session {
  platform::Account account;         // its name empty when it cannot be read
  std::optional<std::uint32_t> id;   // none: the system has no sessions (9x, NT 4.0)
  std::optional<std::string> signedIn;  // who is signed in to it; none: cannot be told
  std::uint8_t osMajorVersion = 0;

  // Nobody can see a window: the process runs as SYSTEM, or in session 0
  // of Windows Vista and later, which holds services only (before Vista
  // session 0 is the console's).
  bool unseen() const;
  // The process runs as the account signed in to its session, whose own
  // settings (the default printer) it may change: not SYSTEM, and the
  // session's user when that can be told.
  bool signedInUsersOwn() const;
  // "TESTPC\alice in session 1", for the log.
  std::string describe() const;
};

// `signedIn` is asked only with `whoIsSignedIn` (it loads the terminal
// services' DLL, which the wizard's start does without).
Session currentSession(platform::Windows& os, bool whoIsSignedIn = true);

}  // namespace app
