#include "platform/fake/fake_pc.h"

namespace platform {

namespace {
constexpr std::uint32_t kErrorInvalidWindowHandle = 1400;
}

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

WindowId FakePc::doFindWindow(const std::string& cls, const std::string& title) {
  for (const auto& w : windows)
    if ((cls.empty() || w.cls == cls) && w.title == title) return w.id;
  return 0;
}

bool FakePc::doSetForegroundWindow(WindowId id) {
  if (!window(id)) return false;
  foreground = id;
  return true;
}

bool FakePc::doSetWindowText(WindowId id, const std::string& text) {
  Window* w = window(id);
  if (!w) {
    fail(kErrorInvalidWindowHandle);
    return false;
  }
  w->title = text;
  return true;
}

Answer FakePc::doMessageBox(WindowId owner, const std::string& text, const std::string& caption,
                            Buttons buttons, Icon icon) {
  // OK boxes answer Ok; questions take the next queued answer.
  Answer answer = Answer::Ok;
  if (buttons == Buttons::YesNo) {
    if (answers.empty()) {
      unexpectedQuestion = true;
      answer = Answer::No;
    } else {
      answer = answers.front();
      answers.pop_front();
    }
  }
  boxes.push_back({owner, text, caption, buttons, icon, answer});
  if (whileShown) whileShown(ShownBox(boxes.back()));
  return answer;
}

}  // namespace platform
