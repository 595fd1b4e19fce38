// The in-memory PC's windows and message boxes.
#include "platform/fake/fake_pc.h"

namespace platform {

WindowId FakePc::addWindow(const std::string& cls, const std::string& title) {
  windows.push_back({nextId_, cls, title});
  nextId_ += 4;
  return windows.back().id;
}

FakePc::Window* FakePc::window(WindowId id) {
  for (auto& w : windows)
    if (w.id == id) return &w;
  return nullptr;
}

Error FakePc::doGetVersion(std::uint32_t& v) {
  v = version;
  return kOk;
}

Error FakePc::doFindWindow(const std::string& cls, const std::string& title, WindowId& found) {
  for (const auto& w : windows)
    if ((cls.empty() || w.cls == cls) && w.title == title) {
      found = w.id;
      return kOk;
    }
  return kOk;
}

Error FakePc::doSetForegroundWindow(WindowId id) {
  if (!window(id)) return kErrorInvalidWindowHandle;
  foreground = id;
  return kOk;
}

Error FakePc::doSetWindowText(WindowId id, const std::string& text) {
  Window* w = window(id);
  if (!w) return kErrorInvalidWindowHandle;
  w->title = text;
  return kOk;
}

Error FakePc::doMessageBox(WindowId owner, const std::string& text, const std::string& caption,
                           Buttons buttons, Icon icon, Answer& answer) {
  answer = nextAnswer(buttons);
  boxes.push_back({owner, text, caption, buttons, icon, answer});
  if (whileShown) whileShown(ShownBox(boxes.back()));
  return kOk;
}

Error FakePc::doShellExecute(const ShellRequest& request) {
  shellRequests.push_back(request);
  return kOk;
}

Error FakePc::doSendMessage(WindowId window, unsigned message, std::uintptr_t, std::intptr_t) {
  sentMessages.push_back({window, message});
  if (message != kWmClose) return kOk;
  // The window closes and lets its port go.
  auto held = portOfWindow.find(window);
  if (held != portOfWindow.end()) {
    portsHeldElsewhere.erase(held->second);
    portOfWindow.erase(held);
  }
  std::erase_if(windows, [window](const Window& w) { return w.id == window; });
  return kOk;
}

Error FakePc::doComputerName(std::string& name) {
  name = computer;
  return kOk;
}

}  // namespace platform
