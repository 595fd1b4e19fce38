// The message boxes of the monitor's operations: owned by the application
// window, with the information icon.
#pragma once

#include <string>

#include "platform/platform.h"

namespace monitor {

inline void inform(platform::Platform& os, const std::string& text,
                   const std::string& caption = "") {
  os.ask(os.applicationWindow(), text, caption, platform::Buttons::Ok,
         platform::Icon::Information);
}

// A Yes/No question captioned "Information"; only Yes counts.
inline bool askYes(platform::Platform& os, const std::string& text) {
  return os.ask(os.applicationWindow(), text, "Information", platform::Buttons::YesNo,
                platform::Icon::Information) == platform::Answer::Yes;
}

}  // namespace monitor
