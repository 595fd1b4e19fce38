// How the wizard's features talk to the user: a message to read or a
// question to answer.  A feature says what to show and how it looks; the
// prompter decides how it reaches the user (a message box owned by the
// wizard's windows, a record in a test, a log line in an unattended run).
// Nothing here knows of pages or windows.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

enum class Buttons { Ok, YesNo };
enum class Icon { None, Stop, Question, Information };
// The values MessageBoxA returns; Failed when the box could not be shown.
enum class Answer { Failed = 0, Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// Whom the box belongs to: the application as a whole, or the page in
// front (which then takes no input until it is answered).
enum class Owner { Application, Page };

struct Prompt {
  std::string text;
  // The plain dialog carries the application's title; otherwise `caption`,
  // where empty gives the system's own caption ("Error").
  bool applicationTitle = false;
  std::string caption;
  Buttons buttons = Buttons::Ok;
  Icon icon = Icon::None;
  Owner owner = Owner::Application;
};

// A failure as the messages say it: the text, a new line, "Code " and the
// system's code as %d prints it.
inline std::string failureText(const std::string& what, std::uint32_t code) {
  return what + "\nCode " + std::to_string(static_cast<std::int32_t>(code));
}

class Prompter {
 public:
  virtual ~Prompter() = default;
  // Shows the prompt and waits for its answer.
  virtual Answer prompt(const Prompt& p) = 0;

  // The plain message dialog: the application's title, OK, no icon.
  void showMessage(const std::string& text) {
    prompt({text, true, "", Buttons::Ok, Icon::None, Owner::Application});
  }
  // A box with OK only.
  void inform(const std::string& text, const std::string& caption, Icon icon,
              Owner owner = Owner::Application) {
    prompt({text, false, caption, Buttons::Ok, icon, owner});
  }
  // A Yes/No question; only Yes counts (a box that cannot be shown is No).
  bool askYes(const std::string& text, const std::string& caption, Icon icon,
              Owner owner = Owner::Application) {
    return prompt({text, false, caption, Buttons::YesNo, icon, owner}) == Answer::Yes;
  }
};

}  // namespace platform
