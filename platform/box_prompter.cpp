#include "platform/box_prompter.h"

namespace platform {

Answer BoxPrompter::prompt(const Prompt& p) {
  WindowId owner = p.owner == Owner::Page && page_ ? page_ : os_.applicationWindow();
  return os_.ask(owner, p.text, p.applicationTitle ? os_.applicationTitle() : p.caption, p.buttons,
                 p.icon);
}

}  // namespace platform
